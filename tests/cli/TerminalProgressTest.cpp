#include "TerminalProgress.h"

#include <gtest/gtest.h>

#include <sstream>

namespace parvix {
namespace {

using namespace std::chrono_literals;

constexpr std::int64_t kMiB = 1024 * 1024;

// What the line shows at a moment, or (without `done`) a message that takes it away.
struct Step
{
    std::chrono::milliseconds at;
    std::optional<std::int64_t> done;
    std::optional<std::int64_t> total;
};

std::string drawn(bool terminal, const std::vector<Step>& steps)
{
    std::ostringstream out;
    std::chrono::steady_clock::time_point now;
    TerminalProgress progress(out, terminal, [&] { return now; });
    for (const auto& step : steps) {
        now = std::chrono::steady_clock::time_point(step.at);
        if (step.done)
            progress.update(*step.done, step.total);
        else
            progress.clear();
    }
    progress.finish();
    return out.str();
}

TEST(TerminalProgress, DrawsOneLineAtMostTenTimesASecond)
{
    const std::optional<std::int64_t> unknown;
    const struct
    {
        const char* name;
        std::vector<Step> steps;
        std::string drawn;
    } cases[] = {
        {"a known total",
         {{0ms, 0, 10 * kMiB},
          {50ms, kMiB, 10 * kMiB},
          {1000ms, 2 * kMiB, 10 * kMiB},
          {1000ms, std::nullopt, unknown},
          {1050ms, 3 * kMiB, 10 * kMiB},
          {2000ms, 10 * kMiB, 10 * kMiB}},
         "\r  0%  0 B of 10.0 MiB\033[K"
         "\r 20%  2.0 MiB of 10.0 MiB  2.0 MiB/s  0:04 left\033[K"
         "\r\033[K"
         "\r100%  10.0 MiB of 10.0 MiB  5.0 MiB/s\033[K"
         "\r\033[K"},
        {"hours left",
         {{0ms, 0, 20 * kMiB}, {4000ms, 4096, 20 * kMiB}},
         "\r  0%  0 B of 20.0 MiB\033[K"
         "\r  0%  4.0 KiB of 20.0 MiB  1.0 KiB/s  5:41:16 left\033[K"
         "\r\033[K"},
        {"a pipe's unknown total",
         {{0ms, 0, unknown}, {2000ms, 3 * kMiB, unknown}},
         "\r0 B\033[K"
         "\r3.0 MiB  1.5 MiB/s\033[K"
         "\r\033[K"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(drawn(true, c.steps), c.drawn);
        EXPECT_EQ(drawn(false, c.steps), "");
    }
}

} // namespace
} // namespace parvix
