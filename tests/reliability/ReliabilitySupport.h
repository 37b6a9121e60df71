#pragma once

#include "JoinListAdd.h"
#include "JoinOperation.h"
#include "NativeFiles.h"
#include "RecordingWindow.h"
#include "Sandbox.h"
#include "SplitOperation.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace parvix::test {

// The disk-error boxes as the user sees them: stop icon, OK, the program's title.
inline const std::string kDiskFullBox = "box DiskError Tavrin: The disk room is not enough";
inline const std::string kProtectedBox = "box DiskError Tavrin: Disk is protected or file is protected";
inline const std::string kDiskIoBox = "box DiskError Tavrin: DiskI/0 error";
inline const std::string kNotWrittenBox = "box DiskError Tavrin: The file cann't to be written!";

// Skips a test that needs its own mounts where the machine cannot mount; CI must run it, so there
// the same condition fails.
#define REQUIRE_MOUNTS()                                                                                               \
    do {                                                                                                               \
        const std::string& reason_ = ::parvix::test::mountUnavailableReason();                                         \
        if (!reason_.empty()) {                                                                                        \
            if (std::getenv("CI") != nullptr)                                                                          \
                FAIL() << "CI must run this test, but " << reason_;                                                    \
            GTEST_SKIP() << "this machine cannot mount: " << reason_;                                                  \
        }                                                                                                              \
    } while (false)

// The last box shown, or "" when none was.
inline std::string lastBox(const RecordingWindow& window)
{
    const auto boxes = window.boxes();
    return boxes.empty() ? std::string() : boxes.back();
}

// The window after a cut that ended through its error path.
inline void expectCutErrorPathState(const RecordingWindow& window)
{
    EXPECT_EQ(window.tab, kSplitTab);
    EXPECT_EQ(window.pointer, Pointer::Default);
    EXPECT_FALSE(window.progressShown);
    EXPECT_EQ(window.progressValue, 0.0f);
}

// The window after a join or "Add" that ended through its error path: the tab is left alone.
inline void expectJoinErrorPathState(const RecordingWindow& window, int tabBefore)
{
    EXPECT_EQ(window.tab, tabBefore);
    EXPECT_EQ(window.pointer, Pointer::Default);
    EXPECT_FALSE(window.progressShown);
    EXPECT_EQ(window.progressValue, 0.0f);
}

// A cut that ended through its error path with `box` as the last box it showed.
inline void expectCutFailed(const OperationResult& result, const RecordingWindow& window, const std::string& box)
{
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(lastBox(window), box);
    expectCutErrorPathState(window);
}

// A join that ended through its error path with `box` as the last box it showed.
inline void expectJoinFailed(const OperationResult& result, const RecordingWindow& window, const std::string& box,
                             int tabBefore)
{
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(lastBox(window), box);
    expectJoinErrorPathState(window, tabBefore);
}

inline OperationResult runCut(RecordingWindow& window, FileServices& files, const std::string& source,
                              const std::string& base, const std::string& kilobytes)
{
    return SplitOperation(window, files).run({source, base, false, kilobytes});
}

// Joins what the window lists.
inline OperationResult runJoin(RecordingWindow& window, FileServices& files, const std::string& destination)
{
    return JoinOperation(window, files).run({destination, window.joinList});
}

inline OperationResult runAdd(RecordingWindow& window, FileServices& files, const std::string& chosen)
{
    return JoinListAdd(window, files).run(chosen, window.joinList);
}

// The lines of a program's output, without their line ends.
inline std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return lines;
}

} // namespace parvix::test
