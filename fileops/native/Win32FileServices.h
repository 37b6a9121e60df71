#pragma once

// Private to fileops: other parts reach the native services through NativeFiles.h and ErrorMapping.h.
#ifndef PARVIX_FILEOPS_INTERNAL
#error "fileops/native/ is private to fileops"
#endif

#include "../FileServices.h"

#include <string>
#include <string_view>

namespace parvix {

// File services on the Win32 wide-character interface. Paths are UTF-8 strings, converted to UTF-16
// for every call. "Ordinary files" are those that are neither directories nor devices nor marked
// hidden or system. A path on a drive letter that does not exist, or on a drive without a disk,
// fails with the drive's error instead of counting as missing.
class Win32FileServices : public FileServices
{
public:
    std::vector<std::string> list(const std::string& pattern, ListingKind kind) override;
    std::int64_t fileLength(const std::string& path) override;
    std::optional<FileIdentity> identity(const std::string& path, AtLink atLink) override;
    std::unique_ptr<File> openRead(const std::string& path) override;
    std::unique_ptr<File> openReadWrite(const std::string& path) override;
    std::unique_ptr<File> openStandardInput() override;
    std::unique_ptr<File> openStandardOutput() override;
    std::unique_ptr<File> createTemporary(const std::string& destination, AtLink atLink, std::string& path) override;
    void rename(const std::string& from, const std::string& destination, AtLink atLink) override;
    void remove(const std::string& path) override;
    void removeLeftovers(const std::string& folder) override;
    std::int64_t freeSpace(const std::string& folder) override;
    void flushFolder(const std::string& folder) override;
    void flushFile(const std::string& path) override;
    // Lines go out in the OEM code page (see batchTextFromUtf8), with CR LF: cmd reads a batch file in
    // that code page, so a name outside ASCII comes back through Link.bat when the code page holds it.
    std::string textFileBytes(const std::vector<std::string>& lines) override;
};

// The bytes of a UTF-8 text in the system's OEM code page. A character that the code page cannot hold
// is written as "?", never as a look-alike: "?" matches the one character it stands for in a file
// name, while a look-alike could name another file.
std::string batchTextFromUtf8(std::string_view text);

} // namespace parvix
