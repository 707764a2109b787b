#pragma once

#include "system/app/StoredTexts.h"

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

// Many stored values of a protected, unlocked file, taken in their order, such as a list's two texts a row. Each is
// an authenticated cipher's work, so helper threads on the other cores decipher them in chunks from the front while
// the caller takes them one by one and goes on with its own work (filling a grid). A chunk that no helper has begun
// the caller deciphers itself, so it waits at most for one chunk.
//
// The helpers hold the data key until they end: a lock in the meantime wipes it after the batch is done.
class StoredTextBatch
{
public:
    using Value = std::pair<StoredTextPlace, QString>;

    // Raises AppError when no data key is in memory.
    explicit StoredTextBatch(std::vector<Value> values);
    // Stops and waits for the helpers.
    ~StoredTextBatch();
    StoredTextBatch(const StoredTextBatch&) = delete;
    StoredTextBatch& operator=(const StoredTextBatch&) = delete;

    std::size_t size() const { return m_values.size(); }
    // The text of value i, as RevealStoredText gives it: nothing when it fails its check.
    const std::optional<QString>& text(std::size_t i);

private:
    enum ChunkState : int
    {
        Waiting = 0, // as a chunk's state starts
        Begun,
        Done
    };
    void helpOut();
    // Deciphers the chunk when nobody has begun it.
    bool tryRevealChunk(std::size_t chunk);
    void revealChunk(std::size_t chunk);

    std::vector<Value> m_values;
    std::vector<std::optional<QString>> m_texts;
    std::shared_ptr<const DataKey> m_key;
    std::unique_ptr<std::atomic<int>[]> m_chunkStates;
    std::size_t m_chunkCount = 0;
    std::atomic<std::size_t> m_nextChunk{0};
    std::atomic<bool> m_stopping{false};
    std::vector<std::thread> m_helpers;
};
