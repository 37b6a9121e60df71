#include "FaultInjectingFileServices.h"

#include "FileError.h"
#include "NativeFiles.h"

namespace parvix::test {

class FaultInjectingFile : public File
{
public:
    FaultInjectingFile(std::unique_ptr<File> inner, FaultInjectingFileServices& owner, std::string path)
        : m_inner(std::move(inner)), m_owner(owner), m_path(std::move(path))
    {
        ++m_owner.m_openFiles;
    }
    ~FaultInjectingFile() override { --m_owner.m_openFiles; }

    void read(std::int64_t offset, std::byte* buffer, std::size_t size) override
    {
        m_owner.tick(FaultInjectingFileServices::Call::Read, "read " + m_path);
        m_inner->read(offset, buffer, size);
    }
    std::size_t readNext(std::byte* buffer, std::size_t size) override
    {
        m_owner.tick(FaultInjectingFileServices::Call::Read, "readNext " + m_path);
        return m_inner->readNext(buffer, size);
    }
    void write(std::int64_t offset, const std::byte* buffer, std::size_t size) override
    {
        m_owner.tick(FaultInjectingFileServices::Call::Write, "write " + m_path);
        m_inner->write(offset, buffer, size);
    }
    void truncate(std::int64_t length) override
    {
        m_owner.tick(FaultInjectingFileServices::Call::Truncate, "truncate " + m_path);
        m_inner->truncate(length);
    }
    void awaitWriteBack() override
    {
        m_owner.tick(FaultInjectingFileServices::Call::Flush, "awaitWriteBack " + m_path);
        m_inner->awaitWriteBack();
    }
    void startWriteBack() override { m_inner->startWriteBack(); }
    void flush() override
    {
        m_owner.tick(FaultInjectingFileServices::Call::Flush, "flush " + m_path);
        m_inner->flush();
    }
    void close() override
    {
        m_owner.tick(FaultInjectingFileServices::Call::Close, "close " + m_path);
        m_inner->close();
    }

    bool copyFrom(File& source, std::int64_t sourceOffset, std::int64_t offset, std::int64_t size) override
    {
        m_owner.tick(FaultInjectingFileServices::Call::CopyRange, "copyRange " + m_path);
        if (!m_owner.m_kernelCopy)
            return false;
        const std::size_t entry = m_owner.m_log.size() - 1;
        // The real files only know their own kind.
        const bool copied =
            m_inner->copyFrom(static_cast<FaultInjectingFile&>(source).inner(), sourceOffset, offset, size);
        if (copied)
            m_owner.m_log[entry] += " done";
        return copied;
    }
    const std::string& path() const override { return m_path; }

    File& inner() { return *m_inner; }

private:
    std::unique_ptr<File> m_inner;
    FaultInjectingFileServices& m_owner;
    std::string m_path;
};

FaultInjectingFileServices::FaultInjectingFileServices() : m_native(makeNativeFileServices()), m_inner(*m_native) {}

void FaultInjectingFileServices::failOn(Call call, std::int64_t nth, int number)
{
    m_failCall = call;
    m_failAt = nth;
    m_callsOfKind = 0;
    m_failNumber = number;
    m_fired = false;
}

void FaultInjectingFileServices::tick(Call call, const std::string& what)
{
    ++m_calls;
    m_log.push_back(what);
    const bool counts = m_failCall == Call::Any || m_failCall == call;
    if (counts && ++m_callsOfKind == m_failAt) {
        m_fired = true;
        m_log.back() += " !";
        throw FileError(m_failNumber, 0, "injected failure of call " + std::to_string(m_calls) + ": " + what);
    }
}

void FaultInjectingFileServices::opening(Call call, const std::string& what)
{
    if (onOpen)
        onOpen();
    tick(call, what);
}

std::unique_ptr<File> FaultInjectingFileServices::wrap(std::unique_ptr<File> file, const std::string& path)
{
    return std::make_unique<FaultInjectingFile>(std::move(file), *this, path);
}

std::vector<std::string> FaultInjectingFileServices::list(const std::string& pattern, ListingKind kind)
{
    const char* verb = kind == ListingKind::OrdinaryFiles ? "listFiles "
                       : kind == ListingKind::SetMembers  ? "listSet "
                                                          : "listAll ";
    tick(Call::List, verb + pattern);
    return m_inner.list(pattern, kind);
}

std::int64_t FaultInjectingFileServices::fileLength(const std::string& path)
{
    tick(Call::FileLength, "fileLength " + path);
    return m_inner.fileLength(path);
}

std::optional<FileIdentity> FaultInjectingFileServices::identity(const std::string& path, AtLink atLink)
{
    tick(Call::Identity, "identity " + path);
    return m_inner.identity(path, atLink);
}

std::unique_ptr<File> FaultInjectingFileServices::openRead(const std::string& path)
{
    opening(Call::OpenRead, "openRead " + path);
    return wrap(m_inner.openRead(path), path);
}

std::unique_ptr<File> FaultInjectingFileServices::openReadWrite(const std::string& path)
{
    opening(Call::OpenReadWrite, "openReadWrite " + path);
    return wrap(m_inner.openReadWrite(path), path);
}

std::unique_ptr<File> FaultInjectingFileServices::openStandardInput()
{
    opening(Call::OpenStream, "openStandardInput");
    return wrap(m_inner.openStandardInput(), "-");
}

std::unique_ptr<File> FaultInjectingFileServices::openStandardOutput()
{
    opening(Call::OpenStream, "openStandardOutput");
    return wrap(m_inner.openStandardOutput(), "-");
}

std::unique_ptr<File> FaultInjectingFileServices::createTemporary(const std::string& destination, AtLink atLink,
                                                                  std::string& path)
{
    if (onCreate)
        onCreate();
    opening(Call::CreateTemporary, "createTemporary " + destination);
    auto file = m_inner.createTemporary(destination, atLink, path);
    return wrap(std::move(file), path);
}

void FaultInjectingFileServices::rename(const std::string& from, const std::string& destination, AtLink atLink)
{
    tick(Call::Rename, "rename " + from + " " + destination);
    m_inner.rename(from, destination, atLink);
}

void FaultInjectingFileServices::removeLeftovers(const std::string& folder)
{
    // It never fails, so it is no call to fail.
    m_inner.removeLeftovers(folder);
}

void FaultInjectingFileServices::remove(const std::string& path)
{
    tick(Call::Remove, "remove " + path);
    m_inner.remove(path);
}

std::int64_t FaultInjectingFileServices::freeSpace(const std::string& folder)
{
    tick(Call::FreeSpace, "freeSpace " + folder);
    return m_inner.freeSpace(folder);
}

void FaultInjectingFileServices::flushFolder(const std::string& folder)
{
    tick(Call::FlushFolder, "flushFolder " + folder);
    m_inner.flushFolder(folder);
}

void FaultInjectingFileServices::flushFile(const std::string& path)
{
    tick(Call::FlushFile, "flushFile " + path);
    m_inner.flushFile(path);
}

std::string FaultInjectingFileServices::textLineBytes(const std::string& line)
{
    return m_inner.textLineBytes(line);
}

} // namespace parvix::test
