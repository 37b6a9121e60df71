#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

namespace parvix {

// One line of progress on a terminal: per cent, bytes done and to do, the rate and the time left, or,
// when the total is not known (a pipe), the bytes and the rate. It is redrawn in place at most ten
// times a second, and taken away before a message or when the work ends. Where standard error is no
// terminal, or with --quiet, it is not enabled and writes nothing at all.
class TerminalProgress
{
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    TerminalProgress(std::ostream& out, bool enabled, Clock clock = &std::chrono::steady_clock::now);

    // `done` bytes of `total`; the first update after the start or after finish() starts the clock of
    // the rate.
    void update(std::int64_t done, std::optional<std::int64_t> total);
    // Takes the line away for a message; the next update draws it again.
    void clear();
    // Takes the line away for good: the work ended.
    void finish();

private:
    std::string line(std::int64_t done, std::optional<std::int64_t> total,
                     std::chrono::steady_clock::duration elapsed) const;

    std::ostream& m_out;
    bool m_enabled;
    Clock m_clock;
    std::optional<std::chrono::steady_clock::time_point> m_start;
    std::int64_t m_startDone = 0;
    std::optional<std::chrono::steady_clock::time_point> m_lastDraw;
    bool m_shown = false;
};

} // namespace parvix
