#include "system/app/StoredTextBatch.h"

#include <algorithm>

namespace {

// Small enough that the caller seldom waits for a helper's chunk, large enough that claiming one costs nothing.
constexpr std::size_t ChunkValues = 256;

} // namespace

StoredTextBatch::StoredTextBatch(std::vector<Value> values)
    : m_values(std::move(values)), m_texts(m_values.size()), m_key(SharedDataKey()),
      m_chunkCount((m_values.size() + ChunkValues - 1) / ChunkValues)
{
    m_chunkStates = std::make_unique<std::atomic<int>[]>(m_chunkCount); // each Waiting (0)
    // the caller is one of the workers; a batch of a few chunks is not worth a thread
    const std::size_t helpers =
        m_chunkCount > 4 ? std::max(1u, std::thread::hardware_concurrency()) - std::size_t(1) : std::size_t(0);
    for (std::size_t i = 0; i < helpers; ++i)
        m_helpers.emplace_back([this] { helpOut(); });
}

StoredTextBatch::~StoredTextBatch()
{
    m_stopping = true;
    for (std::thread& helper : m_helpers)
        helper.join();
}

const std::optional<QString>& StoredTextBatch::text(std::size_t i)
{
    const std::size_t chunk = i / ChunkValues;
    std::atomic<int>& state = m_chunkStates[chunk];
    std::size_t ahead = chunk;
    while (state.load(std::memory_order_acquire) != Done) {
        // while a helper deciphers the chunk, the caller deciphers one that nobody has begun
        if (tryRevealChunk(chunk))
            continue;
        ahead = std::max(ahead, m_nextChunk.load(std::memory_order_relaxed));
        while (ahead < m_chunkCount && !tryRevealChunk(ahead))
            ++ahead;
        if (ahead >= m_chunkCount)
            state.wait(Begun, std::memory_order_acquire);
    }
    return m_texts[i];
}

// A chunk that fails is left to be begun again: by the caller, who meets the failure itself.
bool StoredTextBatch::tryRevealChunk(std::size_t chunk)
{
    std::atomic<int>& state = m_chunkStates[chunk];
    int waiting = Waiting;
    if (!state.compare_exchange_strong(waiting, Begun, std::memory_order_acquire))
        return false;
    try {
        revealChunk(chunk);
    } catch (...) {
        state.store(Waiting, std::memory_order_release);
        throw;
    }
    state.store(Done, std::memory_order_release);
    return true;
}

// Takes the chunks in order, skipping those the caller began; ends at the last chunk, on a stop, or on a failure.
void StoredTextBatch::helpOut()
{
    for (std::size_t chunk = m_nextChunk++; chunk < m_chunkCount && !m_stopping; chunk = m_nextChunk++) {
        try {
            if (tryRevealChunk(chunk))
                m_chunkStates[chunk].notify_all();
        } catch (...) {
            m_chunkStates[chunk].notify_all();
            return;
        }
    }
}

void StoredTextBatch::revealChunk(std::size_t chunk)
{
    const std::size_t end = std::min(m_values.size(), (chunk + 1) * ChunkValues);
    for (std::size_t i = chunk * ChunkValues; i < end; ++i) {
        const auto& [place, stored] = m_values[i];
        m_texts[i] = RevealStoredText(*m_key, place, stored);
    }
}
