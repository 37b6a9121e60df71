#include "TerminalProgress.h"

#include <cmath>
#include <cstdio>
#include <iterator>

namespace parvix {

namespace {

using namespace std::chrono_literals;

constexpr auto kRedrawEvery = 100ms;
constexpr const char* kClearLine = "\r\033[K";

std::string humanBytes(double bytes)
{
    static constexpr const char* kUnits[] = {"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
    char text[32];
    if (bytes < 1024) {
        std::snprintf(text, sizeof text, "%.0f B", bytes);
        return text;
    }
    std::size_t unit = 0;
    bytes /= 1024;
    while (bytes >= 1024 && unit + 1 < std::size(kUnits)) {
        bytes /= 1024;
        ++unit;
    }
    std::snprintf(text, sizeof text, "%.1f %s", bytes, kUnits[unit]);
    return text;
}

std::string duration(std::int64_t seconds)
{
    char text[32];
    if (seconds < 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                      static_cast<long long>(seconds % 60));
    else
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                      static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return text;
}

} // namespace

TerminalProgress::TerminalProgress(std::ostream& out, bool enabled, Clock clock)
    : m_out(out), m_enabled(enabled), m_clock(std::move(clock))
{
}

void TerminalProgress::update(std::int64_t done, std::optional<std::int64_t> total)
{
    if (!m_enabled)
        return;
    const auto now = m_clock();
    if (!m_start) {
        m_start = now;
        m_startDone = done;
    }
    if (m_lastDraw && now - *m_lastDraw < kRedrawEvery)
        return;
    m_lastDraw = now;
    // The rest of a longer line drawn before is cleared after the new one.
    m_out << '\r' << line(done, total, now - *m_start) << "\033[K" << std::flush;
    m_shown = true;
}

void TerminalProgress::clear()
{
    if (!m_shown)
        return;
    m_out << kClearLine << std::flush;
    m_shown = false;
}

void TerminalProgress::finish()
{
    clear();
    m_start.reset();
    m_lastDraw.reset();
}

std::string TerminalProgress::line(std::int64_t done, std::optional<std::int64_t> total,
                                   std::chrono::steady_clock::duration elapsed) const
{
    std::string text;
    if (total) {
        // Whole per cents, rounded down: 100% only when all is done.
        const int percent =
            *total > 0 ? static_cast<int>(std::floor(100.0 * static_cast<double>(done) / static_cast<double>(*total)))
                       : 100;
        char head[8];
        std::snprintf(head, sizeof head, "%3d%%", percent);
        text = std::string(head) + "  " + humanBytes(static_cast<double>(done)) + " of " +
               humanBytes(static_cast<double>(*total));
    } else {
        text = humanBytes(static_cast<double>(done));
    }
    const double seconds = std::chrono::duration<double>(elapsed).count();
    const double rate = seconds > 0 ? static_cast<double>(done - m_startDone) / seconds : 0;
    if (rate <= 0)
        return text;
    text += "  " + humanBytes(rate) + "/s";
    if (total && done < *total)
        text +=
            "  " + duration(static_cast<std::int64_t>(std::ceil(static_cast<double>(*total - done) / rate))) + " left";
    return text;
}

} // namespace parvix
