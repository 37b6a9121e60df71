#pragma once

#include <atomic>

namespace parvix {

// A user's wish to stop a running cut or join, raised from another thread (the window's) or from a
// signal handler; the engine looks at it between two chunks of its copy and then stops cleanly.
class StopRequest
{
public:
    void request() noexcept { m_requested.store(true, std::memory_order_relaxed); }
    bool requested() const noexcept { return m_requested.load(std::memory_order_relaxed); }

private:
    // Lock-free, so that a signal handler may set it.
    std::atomic<bool> m_requested{false};
    static_assert(std::atomic<bool>::is_always_lock_free);
};

// Thrown between two chunks of a copy when the user has asked to stop.
struct StopRequested
{
};

// Throws StopRequested when a stop has been asked for; no request, no stop.
inline void throwIfStopRequested(const StopRequest* stop)
{
    if (stop && stop->requested())
        throw StopRequested{};
}

} // namespace parvix
