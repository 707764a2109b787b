#pragma once

#include <QByteArray>
#include <cstddef>

// Starts libsodium, once per process. Raises AppError when it cannot start (no random source).
void StartSodium();

// The bytes of a key, kept where libsodium's guarded allocation puts them: locked in memory so that they are never
// written to swap (where the system allows it), left out of core dumps, fenced by guard pages, and wiped when they
// are freed. Move-only, so that a key is never copied into ordinary memory by accident.
class SecretBytes
{
public:
    // Zero-filled bytes. Raises AppError when the memory cannot be had.
    explicit SecretBytes(std::size_t size);
    ~SecretBytes();
    SecretBytes(SecretBytes&& other) noexcept;
    SecretBytes& operator=(SecretBytes&& other) noexcept;
    SecretBytes(const SecretBytes&) = delete;
    SecretBytes& operator=(const SecretBytes&) = delete;

    unsigned char* data() { return m_data; }
    const unsigned char* data() const { return m_data; }
    std::size_t size() const { return m_size; }

private:
    void free();

    unsigned char* m_data = nullptr;
    std::size_t m_size = 0;
};

// Overwrites the bytes of an ordinary byte array that held a secret (a password's UTF-8 bytes, a deciphered text),
// so that they do not linger in freed memory.
void WipeBytes(QByteArray& bytes);
