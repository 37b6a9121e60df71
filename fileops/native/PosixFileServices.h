#pragma once

// Private to fileops: other parts reach the native services through NativeFiles.h and ErrorMapping.h.
#ifndef PARVIX_FILEOPS_INTERNAL
#error "fileops/native/ is private to fileops"
#endif

#include "../FileServices.h"

#include <memory>

namespace parvix {

// File services on the POSIX file interface. "Ordinary files" are regular files (links followed)
// whose name does not start with "."; directories, devices, FIFOs and sockets never are.
class PosixFileServices : public FileServices
{
public:
    PosixFileServices();
    ~PosixFileServices() override;

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
    std::string textFileBytes(const std::vector<std::string>& lines) override;
};

} // namespace parvix
