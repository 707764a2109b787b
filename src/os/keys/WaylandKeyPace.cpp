#include "os/keys/WaylandKeyPace.h"

#include <algorithm>
#include <thread>

namespace Keys {

void WaylandKeyPace::awaitNextStroke()
{
    constexpr std::chrono::nanoseconds fullPace =
        std::chrono::nanoseconds(std::chrono::seconds(1)) / WaylandKeysPerSecond;
    if (m_strokes % m_strokesPerBatch == 0) {
        const auto now = std::chrono::steady_clock::now();
        if (m_next > now)
            std::this_thread::sleep_until(m_next);
        m_next = std::max(m_next, now);
    }
    m_next += std::max(fullPace, m_slowdownPerKeyTyped * m_strokes++);
}

} // namespace Keys
