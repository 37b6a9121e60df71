#include "DiskErrorTable.h"

#include "RecordingWindow.h"

#include <gtest/gtest.h>

namespace parvix {
namespace {

constexpr const char* kNoDisk = "The specify drive cann't to be used\r\rNo disk in the drive";

TEST(DiskErrorTable, SevenNumbersHaveMessages)
{
    const struct
    {
        int number;
        const char* text;
    } cases[] = {
        {52, kNoDisk},         {53, "The file cann't to be written!"},
        {57, "DiskI/0 error"}, {61, "The disk room is not enough"},
        {68, kNoDisk},         {70, "Disk is protected or file is protected"},
        {71, "Disk error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        EXPECT_EQ(diskErrorMessage(c.number, DiskErrorEntries::All), std::optional<std::string_view>(c.text));
        const std::optional<std::string_view> driveChange =
            c.number == 53 ? std::nullopt : std::optional<std::string_view>(c.text);
        EXPECT_EQ(diskErrorMessage(c.number, DiskErrorEntries::AllButFileNotFound), driveChange);
    }
}

TEST(DiskErrorTable, OtherNumbersHaveNone)
{
    for (int number : {-1, 0, 1, 5, 7, 51, 54, 55, 58, 60, 62, 67, 69, 72, 75, 76, 1000}) {
        SCOPED_TRACE(number);
        EXPECT_EQ(diskErrorMessage(number, DiskErrorEntries::All), std::nullopt);
        EXPECT_EQ(diskErrorMessage(number, DiskErrorEntries::AllButFileNotFound), std::nullopt);
    }
}

TEST(DiskErrorTable, ReportShowsOneStopBoxWithTheProgramTitleOrNothing)
{
    {
        test::RecordingWindow window;
        reportDiskError(window, 61, DiskErrorEntries::All);
        EXPECT_EQ(window.requests(), std::vector<std::string>{"box DiskError Tavrin: The disk room is not enough"});
    }
    {
        test::RecordingWindow window;
        reportDiskError(window, 68, DiskErrorEntries::AllButFileNotFound);
        EXPECT_EQ(window.requests(), std::vector<std::string>{std::string("box DiskError Tavrin: ") + kNoDisk});
    }
    {
        test::RecordingWindow window;
        reportDiskError(window, 53, DiskErrorEntries::All);
        EXPECT_EQ(window.requests(), std::vector<std::string>{"box DiskError Tavrin: The file cann't to be written!"});
    }
    for (const auto& [number, entries] :
         {std::pair{53, DiskErrorEntries::AllButFileNotFound}, std::pair{75, DiskErrorEntries::All},
          std::pair{76, DiskErrorEntries::All}, std::pair{76, DiskErrorEntries::AllButFileNotFound}}) {
        test::RecordingWindow window;
        reportDiskError(window, number, entries);
        EXPECT_EQ(window.requests(), std::vector<std::string>{}) << number;
    }
}

} // namespace
} // namespace parvix
