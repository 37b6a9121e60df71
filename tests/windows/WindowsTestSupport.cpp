#include "WindowsTestSupport.h"

#include "NativeFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>

namespace parvix::test {

std::string unusedDriveLetter()
{
    const DWORD used = GetLogicalDrives();
    for (char letter = 'Q'; letter <= 'Y'; ++letter) {
        if ((used & (1u << (letter - 'A'))) == 0)
            return std::string{letter, ':'};
    }
    throw std::runtime_error("every drive letter from Q to Y is in use");
}

void setAttributes(const std::string& path, unsigned long attributes)
{
    ASSERT_TRUE(SetFileAttributesW(utf16FromUtf8(path).c_str(), attributes)) << path << " error " << GetLastError();
}

void writeWideFile(const std::string& utf8Path, const std::string& bytes)
{
    const HANDLE file = CreateFileW(utf16FromUtf8(utf8Path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot create " + utf8Path);
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes.size())
        throw std::runtime_error("cannot write " + utf8Path);
}

std::string readWideFile(const std::string& utf8Path)
{
    const HANDLE file = CreateFileW(utf16FromUtf8(utf8Path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot open " + utf8Path);
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

bool wideFileExists(const std::string& utf8Path)
{
    return GetFileAttributesW(utf16FromUtf8(utf8Path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace parvix::test
