#include "FileError.h"
#include "NativeFiles.h"
#include "TempDir.h"
#include "TestPaths.h"
#include "WindowsTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>

namespace parvix {
namespace {

using test::TempDir;

class Win32FileServicesTest : public ::testing::Test
{
protected:
    std::vector<std::string> sorted(std::vector<std::string> names)
    {
        std::sort(names.begin(), names.end());
        return names;
    }

    // The table number of the failure `action` throws, or 0 when it does not throw.
    static int failureNumber(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const FileError& error) {
            return error.number();
        }
        return 0;
    }

    TempDir dir;
    std::unique_ptr<FileServices> native = makeNativeFileServices();
    FileServices& files = *native;
};

TEST_F(Win32FileServicesTest, OrdinaryFilesLeaveOutFoldersHiddenAndSystemFiles)
{
    test::writeWideFile(dir.file("plain.001"), "a");
    test::writeWideFile(dir.file("hidden.001"), "b");
    test::writeWideFile(dir.file("system.001"), "c");
    test::writeWideFile(dir.file("readonly.001"), "d");
    ASSERT_TRUE(CreateDirectoryW(utf16FromUtf8(dir.file("folder.001")).c_str(), nullptr));
    test::setAttributes(dir.file("hidden.001"), FILE_ATTRIBUTE_HIDDEN);
    test::setAttributes(dir.file("system.001"), FILE_ATTRIBUTE_SYSTEM);
    test::setAttributes(dir.file("readonly.001"), FILE_ATTRIBUTE_READONLY);

    EXPECT_EQ(sorted(files.list(dir.file("*.001"), ListingKind::OrdinaryFiles)),
              (std::vector<std::string>{"plain.001", "readonly.001"}));
    EXPECT_EQ(sorted(files.list(dir.file("*"), ListingKind::WithDirectories)),
              (std::vector<std::string>{"folder.001", "hidden.001", "plain.001", "readonly.001", "system.001"}));

    // One name without wildcards: the existence tests of the engines.
    EXPECT_TRUE(exists(files, dir.file("plain.001"), ListingKind::OrdinaryFiles));
    EXPECT_FALSE(exists(files, dir.file("hidden.001"), ListingKind::OrdinaryFiles));
    EXPECT_FALSE(exists(files, dir.file("system.001"), ListingKind::OrdinaryFiles));
    EXPECT_FALSE(exists(files, dir.file("folder.001"), ListingKind::OrdinaryFiles));
    EXPECT_TRUE(exists(files, dir.file("folder.001"), ListingKind::WithDirectories));
    EXPECT_TRUE(exists(files, dir.file("plain.001"), ListingKind::WithDirectories));
    test::setAttributes(dir.file("readonly.001"), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Win32FileServicesTest, MissingFilesAndFoldersListNothing)
{
    EXPECT_TRUE(files.list(dir.file("none.txt"), ListingKind::OrdinaryFiles).empty());
    EXPECT_TRUE(files.list(dir.file("none\\a.txt"), ListingKind::OrdinaryFiles).empty());
    EXPECT_TRUE(files.list(dir.file("none\\*"), ListingKind::OrdinaryFiles).empty());
    EXPECT_TRUE(files.list(dir.file("none"), ListingKind::WithDirectories).empty());
    EXPECT_TRUE(files.list(dir.file("x*"), ListingKind::OrdinaryFiles).empty());
    // A file where a folder is expected, and a name Windows cannot hold.
    test::writeWideFile(dir.file("file"), "x");
    EXPECT_TRUE(files.list(dir.file("file\\a.txt"), ListingKind::OrdinaryFiles).empty());
    EXPECT_TRUE(files.list(dir.file("a<b|c"), ListingKind::OrdinaryFiles).empty());
}

TEST_F(Win32FileServicesTest, RootsAndDriveFoldersExist)
{
    // The folder part of C:\movie is "C:".
    EXPECT_FALSE(files.list("C:", ListingKind::WithDirectories).empty());
    EXPECT_FALSE(files.list("C:\\", ListingKind::WithDirectories).empty());
    EXPECT_FALSE(files.list(dir.path() + "\\", ListingKind::WithDirectories).empty());
}

TEST_F(Win32FileServicesTest, PatternsMatchWithoutRegardToCaseAndOnlyByTheLongName)
{
    test::writeWideFile(dir.file("Movie$avi.001"), "1");
    test::writeWideFile(dir.file("movie$avi.1000"), "2");
    test::writeWideFile(dir.file("movie$avi"), "3");
    test::writeWideFile(dir.file("other.001"), "4");
    EXPECT_EQ(sorted(files.list(dir.file("MOVIE$AVI.*"), ListingKind::OrdinaryFiles)),
              (std::vector<std::string>{"Movie$avi.001", "movie$avi.1000"}));
    EXPECT_TRUE(matchesPatternIgnoringCase(L"\u00c9T\u00c9.txt", L"\u00e9t\u00e9.*"));
    EXPECT_FALSE(matchesPatternIgnoringCase(L"MOVIE~1.001", L"movie$avi.*"));
}

TEST_F(Win32FileServicesTest, DeviceNamesAreNoFiles)
{
    EXPECT_TRUE(files.list(dir.file("NUL"), ListingKind::OrdinaryFiles).empty());
    EXPECT_TRUE(files.list(dir.file("CON"), ListingKind::OrdinaryFiles).empty());
    // Writing a piece to a device would lose it.
    EXPECT_EQ(failureNumber([&] { files.openReadWrite(dir.file("NUL")); }), errnum::kPermissionDenied);
}

TEST_F(Win32FileServicesTest, AMissingDriveIsReportedAsTheDriveNotAsAMissingFile)
{
    const std::string drive = test::unusedDriveLetter();
    for (const std::string& path : {drive + "\\a.txt", drive + "\\folder\\a.txt", drive, drive + "\\"}) {
        SCOPED_TRACE(path);
        for (const auto kind : {ListingKind::OrdinaryFiles, ListingKind::WithDirectories}) {
            if (path.back() == '\\' && kind == ListingKind::OrdinaryFiles)
                continue;
            EXPECT_EQ(failureNumber([&] { files.list(path, kind); }), errnum::kDeviceUnavailable);
        }
    }
    EXPECT_EQ(failureNumber([&] { files.list(drive + "\\*.001", ListingKind::OrdinaryFiles); }),
              errnum::kDeviceUnavailable);
    EXPECT_EQ(failureNumber([&] { files.fileLength(drive + "\\a.001"); }), errnum::kDeviceUnavailable);
    EXPECT_EQ(failureNumber([&] { files.openRead(drive + "\\a.001"); }), errnum::kDeviceUnavailable);
    EXPECT_EQ(failureNumber([&] { files.openReadWrite(drive + "\\a.txt"); }), errnum::kDeviceUnavailable);
    EXPECT_FALSE(files.identity(drive + "\\a.txt").has_value());
}

TEST_F(Win32FileServicesTest, MissingFilesOnAnExistingDriveFailAsMissing)
{
    EXPECT_EQ(failureNumber([&] { files.fileLength(dir.file("none.001")); }), errnum::kFileNotFound);
    EXPECT_EQ(failureNumber([&] { files.openRead(dir.file("none.001")); }), errnum::kFileNotFound);
    // A folder missing on the way: the file cannot be written there, as on Linux.
    EXPECT_EQ(failureNumber([&] { files.openReadWrite(dir.file("none\\a.txt")); }), errnum::kFileNotFound);
    // A missing file in a folder that exists is one that opening would create; in a missing folder none is.
    const auto missing = files.identity(dir.file("none.001"));
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(missing->kind, FileKind::None);
    EXPECT_EQ(files.identity(dir.file("NONE.001")), missing);
    EXPECT_FALSE(files.identity(dir.file("none\\a.txt")).has_value());
}

TEST_F(Win32FileServicesTest, ReadsAndWritesAtOffsetsFromTheStart)
{
    const std::string path = dir.file("data.bin");
    {
        auto file = files.openReadWrite(path);
        const std::string first = "Hello, world";
        file->write(0, reinterpret_cast<const std::byte*>(first.data()), first.size());
        const std::string second = "W";
        file->write(7, reinterpret_cast<const std::byte*>(second.data()), second.size());
        std::string back(5, '\0');
        file->read(7, reinterpret_cast<std::byte*>(back.data()), back.size());
        EXPECT_EQ(back, "World");
        file->close();
    }
    EXPECT_EQ(test::readWideFile(path), "Hello, World");
    EXPECT_EQ(files.fileLength(path), 12);

    // Opening for reading and writing keeps the content; truncating cuts it.
    {
        auto file = files.openReadWrite(path);
        file->truncate(5);
        file->close();
    }
    EXPECT_EQ(test::readWideFile(path), "Hello");

    // Reading past the end is an input error, not a short read.
    auto file = files.openRead(path);
    std::string buffer(6, '\0');
    EXPECT_EQ(failureNumber([&] { file->read(0, reinterpret_cast<std::byte*>(buffer.data()), buffer.size()); }),
              errnum::kDeviceIo);
    file->close();
}

TEST_F(Win32FileServicesTest, PositionsBeyondFourGigabytesReachTheirBytes)
{
    // A sparse file, so that nothing is written for the gap before the far position.
    const std::string path = dir.file("far.bin");
    auto file = files.openReadWrite(path);
    file->close();
    {
        const HANDLE handle = CreateFileW(utf16FromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        DWORD returned = 0;
        const BOOL sparse = DeviceIoControl(handle, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
        CloseHandle(handle);
        if (!sparse)
            GTEST_SKIP() << "this file system has no sparse files";
    }
    const std::int64_t farPosition = (std::int64_t{5} << 30) + 7; // above 2^32, with bits in both halves
    file = files.openReadWrite(path);
    file->write(farPosition, reinterpret_cast<const std::byte*>("far"), 3);
    file->write(1, reinterpret_cast<const std::byte*>("near"), 4);
    std::string back(3, '\0');
    file->read(farPosition, reinterpret_cast<std::byte*>(back.data()), back.size());
    EXPECT_EQ(back, "far");
    file->read(1, reinterpret_cast<std::byte*>(back.data()), back.size());
    EXPECT_EQ(back, "nea");
    EXPECT_EQ(files.fileLength(path), farPosition + 3);
    file->truncate(0);
    file->close();
}

TEST_F(Win32FileServicesTest, ANewFileTakesTheNameOfAnExistingOneEvenAHiddenOne)
{
    const std::string path = dir.file("piece.001");
    test::writeWideFile(path, "a longer earlier content");
    test::setAttributes(path, FILE_ATTRIBUTE_HIDDEN);
    std::string temporary;
    auto file = files.createTemporary(path, AtLink::Replace, temporary);
    file->write(0, reinterpret_cast<const std::byte*>("new"), 3);
    // While it is open, as the cut renames it.
    files.rename(temporary, path, AtLink::Replace);
    file->close();
    EXPECT_EQ(test::readWideFile(path), "new");
    EXPECT_NE(GetFileAttributesW(utf16FromUtf8(path).c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST_F(Win32FileServicesTest, ProtectedAndLockedFilesAreReportedAsProtected)
{
    const std::string readOnly = dir.file("readonly.001");
    test::writeWideFile(readOnly, "x");
    test::setAttributes(readOnly, FILE_ATTRIBUTE_READONLY);
    // Wine run by root lets a writer in all the same; then there is no refusal to report.
    const HANDLE writer = CreateFileW(utf16FromUtf8(readOnly).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (writer == INVALID_HANDLE_VALUE) {
        EXPECT_EQ(failureNumber([&] { writeTextFile(files, readOnly, {"x"}); }), errnum::kPermissionDenied);
        EXPECT_EQ(failureNumber([&] { files.openReadWrite(readOnly); }), errnum::kPermissionDenied);
    } else {
        CloseHandle(writer);
    }
    test::setAttributes(readOnly, FILE_ATTRIBUTE_NORMAL);

    // Another program that holds a file open without sharing it.
    const std::string locked = dir.file("locked.bin");
    test::writeWideFile(locked, "x");
    const HANDLE holder = CreateFileW(utf16FromUtf8(locked).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(failureNumber([&] { files.openRead(locked); }), errnum::kPermissionDenied);
    EXPECT_EQ(failureNumber([&] { writeTextFile(files, locked, {"x"}); }), errnum::kPermissionDenied);
    // Asking for its length or identity does not need the bytes and still works.
    EXPECT_EQ(files.fileLength(locked), 1);
    EXPECT_TRUE(files.identity(locked).has_value());
    CloseHandle(holder);

    // A folder where a file is expected, as on Linux.
    ASSERT_TRUE(CreateDirectoryW(utf16FromUtf8(dir.file("folder")).c_str(), nullptr));
    EXPECT_EQ(failureNumber([&] { files.fileLength(dir.file("folder")); }), errnum::kPermissionDenied);
    EXPECT_EQ(failureNumber([&] { files.openRead(dir.file("folder")); }), errnum::kPermissionDenied);
    EXPECT_EQ(failureNumber([&] { writeTextFile(files, dir.file("folder"), {"x"}); }), errnum::kPermissionDenied);
}

TEST_F(Win32FileServicesTest, IdentityFindsOneFileUnderTwoSpellings)
{
    test::writeWideFile(dir.file("Report.txt"), "1");
    test::writeWideFile(dir.file("other.txt"), "2");
    const auto id = files.identity(dir.file("Report.txt"));
    ASSERT_TRUE(id.has_value());
    EXPECT_EQ(files.identity(dir.file("REPORT.TXT")), id);
    EXPECT_EQ(files.identity(dir.file(".\\Report.txt")), id);
    EXPECT_NE(files.identity(dir.file("other.txt")), id);
}

TEST_F(Win32FileServicesTest, NamesAreUtf8BothWays)
{
    const std::string name = "\xc3\xa9t\xc3\xa9 \xe6\x96\x87\xe4\xbb\xb6.001"; // "été 文件.001"
    test::writeWideFile(dir.file(name), "abc");
    EXPECT_EQ(files.list(dir.file("*.001"), ListingKind::OrdinaryFiles), std::vector<std::string>{name});
    EXPECT_TRUE(exists(files, dir.file(name), ListingKind::OrdinaryFiles));
    EXPECT_EQ(files.fileLength(dir.file(name)), 3);
    // Bytes that are no UTF-8 name no file.
    EXPECT_TRUE(files.list(dir.file("\xff\xfe.001"), ListingKind::OrdinaryFiles).empty());
    EXPECT_EQ(failureNumber([&] { files.openRead(dir.file("\xff.001")); }), errnum::kPathFileAccess);
}

TEST_F(Win32FileServicesTest, TextLinesGoOutInTheOemCodePageWithCrLf)
{
    if (GetOEMCP() != 437 && GetOEMCP() != 850)
        GTEST_SKIP() << "expects the OEM code page 437 or 850, this system uses " << GetOEMCP();
    const std::string path = dir.file("Link.bat");
    test::writeWideFile(path, "an earlier, longer script that must not show through");
    // "é" and "ñ" are in the code page (0x82, 0xa4 in both); "ł" and "文" are not, and never become a
    // look-alike such as "l".
    writeTextFile(files, path, {"copy/B \"caf\xc3\xa9$txt.001\" \"ni\xc3\xb1o.txt\"", "\xc5\x82\xe6\x96\x87"});
    EXPECT_EQ(test::readWideFile(path), "copy/B \"caf\x82$txt.001\" \"ni\xa4o.txt\"\r\n??\r\n");
}

} // namespace
} // namespace parvix
