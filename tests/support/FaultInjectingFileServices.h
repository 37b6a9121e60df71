#pragma once

#include "FileServices.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace parvix::test {

// Wraps real file services: counts every call, the members of opened files included (read, write,
// truncate, flush, close), fails one chosen call with a chosen file-error number, and counts the files that
// are still open (wrapped files not yet destroyed). The kernel's copy is reached through the real
// files' copyFrom, so that their own copy runs.
class FaultInjectingFileServices : public FileServices
{
public:
    // Over the native file services, which it owns.
    FaultInjectingFileServices();
    explicit FaultInjectingFileServices(FileServices& inner) : m_inner(inner) {}

    enum class Call
    {
        Any,
        List,
        FileLength,
        Identity,
        OpenRead,
        OpenReadWrite,
        OpenStream,
        CopyRange,
        CreateTemporary,
        Rename,
        Remove,
        FreeSpace,
        FlushFolder,
        FlushFile,
        Read,
        Write,
        Truncate,
        Flush,
        Close,
    };
    // The `nth` call (from 1) of the kind, or of any kind, throws FileError(number) instead of reaching
    // the real services; 0 fails nothing.
    void failOn(Call call, std::int64_t nth, int number);
    // Runs at every file that is about to be opened or created, on the thread the engine works on;
    // onCreate only at those about to be created.
    std::function<void()> onOpen;
    std::function<void()> onCreate;

    // With false, a file's copyFrom() answers that the caller must copy through its buffer, so that every
    // byte goes through read() and write(); with true (the default) it asks the real file.
    void allowKernelCopy(bool allow) { m_kernelCopy = allow; }

    std::int64_t calls() const { return m_calls; }
    // Whether the chosen call has been reached and failed.
    bool fired() const { return m_fired; }
    int openFiles() const { return m_openFiles; }
    // One line per call, such as "openRead /tmp/x" or "write /tmp/x.001"; the failed one ends in " !",
    // and "copyRange <to>" ends in " done" when the real services copied the bytes.
    const std::vector<std::string>& log() const { return m_log; }

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
    std::string textLineBytes(const std::string& line) override;

private:
    friend class FaultInjectingFile;

    // Counts a call and throws when it is the chosen one.
    void tick(Call call, const std::string& what);
    // Runs the probe, then counts the call.
    void opening(Call call, const std::string& what);
    std::unique_ptr<File> wrap(std::unique_ptr<File> file, const std::string& path);

    std::unique_ptr<FileServices> m_native;
    FileServices& m_inner;
    std::int64_t m_calls = 0;
    Call m_failCall = Call::Any;
    std::int64_t m_failAt = 0;
    std::int64_t m_callsOfKind = 0;
    int m_failNumber = 0;
    bool m_fired = false;
    bool m_kernelCopy = true;
    int m_openFiles = 0;
    std::vector<std::string> m_log;
};

} // namespace parvix::test
