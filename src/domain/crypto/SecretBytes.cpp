#include "domain/crypto/SecretBytes.h"

#include "domain/error/AppError.h"

#include <sodium.h>
#include <utility>

void StartSodium()
{
    if (sodium_init() < 0)
        throw AppError(ErrorNumber::CannotCreateObject,
                       QStringLiteral("The cipher library (libsodium) could not start: the system gives no random "
                                      "numbers."));
}

SecretBytes::SecretBytes(std::size_t size) : m_size(size)
{
    StartSodium();
    m_data = static_cast<unsigned char*>(sodium_malloc(size));
    if (!m_data)
        throw AppError(ErrorNumber::CannotCreateObject, QStringLiteral("There is no memory left to keep a key in."));
    sodium_memzero(m_data, size);
}

SecretBytes::~SecretBytes()
{
    free();
}

SecretBytes::SecretBytes(SecretBytes&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0))
{}

SecretBytes& SecretBytes::operator=(SecretBytes&& other) noexcept
{
    if (this != &other) {
        free();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
    }
    return *this;
}

void SecretBytes::free()
{
    // sodium_free wipes the bytes before it gives the pages back.
    sodium_free(m_data);
    m_data = nullptr;
    m_size = 0;
}

void WipeBytes(QByteArray& bytes)
{
    if (!bytes.isEmpty())
        sodium_memzero(bytes.data(), static_cast<std::size_t>(bytes.size()));
    bytes.clear();
}
