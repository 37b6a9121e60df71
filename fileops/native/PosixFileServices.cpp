#include "../ErrorMapping.h"
#include "../FileError.h"
#include "../NativeFiles.h"
#include "TemporaryName.h"
#include "UniqueHandle.h"
#include "Wildcard.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <memory>
#include <new>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#ifdef __linux__
#include <sys/vfs.h>
#endif
#include <unistd.h>
#include <utility>

namespace parvix {

namespace {

struct DescriptorTraits
{
    using Handle = int;
    static int invalid() { return -1; }
    // Don't retry close on EINTR: the descriptor is gone either way.
    static bool close(int fd) { return ::close(fd) == 0 || errno == EINTR; }
};
using Descriptor = UniqueHandle<DescriptorTraits>;

struct DirectoryTraits
{
    using Handle = DIR*;
    static DIR* invalid() { return nullptr; }
    static bool close(DIR* dir) { return ::closedir(dir) == 0; }
};

// open(2), tried again when a signal interrupts it.
Descriptor openDescriptor(const std::string& path, int flags)
{
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return Descriptor(fd);
}

[[noreturn]] void fail(int error, const FileAction& what)
{
    throw FileError(fileErrorFromErrno(error), error, what, std::strerror(error));
}

// Errors by which a listing simply finds nothing.
bool meansNothingThere(int error)
{
    return error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG || error == ELOOP;
}

// As many links as the kernel follows in one path.
constexpr int kMaxLinks = 40;

FileIdentity identityOf(const struct stat& st, std::string name, FileKind kind)
{
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino), std::move(name), kind};
}

// The folder part of a path ("." without one, "/" in the root) and the name after it.
std::pair<std::string, std::string> splitPath(const std::string& path)
{
    const auto sep = path.rfind('/');
    if (sep == std::string::npos)
        return {".", path};
    return {sep == 0 ? std::string(1, '/') : path.substr(0, sep), path.substr(sep + 1)};
}

std::string linkText(const std::string& path, const FileAction& what)
{
    std::string text(256, '\0');
    for (;;) {
        const ssize_t length = ::readlink(path.c_str(), text.data(), text.size());
        if (length < 0)
            fail(errno, what);
        if (static_cast<std::size_t>(length) < text.size()) {
            text.resize(static_cast<std::size_t>(length));
            return text;
        }
        text.resize(text.size() * 2);
    }
}

// Where opening `path` for writing leads: its links followed one by one, a dangling one too, to the
// name that would be created. Nothing when the links go round or never end.
std::optional<std::string> followLinks(const std::string& path, const FileAction& what)
{
    std::string at = path;
    for (int links = 0; links <= kMaxLinks; ++links) {
        struct stat st;
        if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return at;
        const std::string text = linkText(at, what);
        at = !text.empty() && text.front() == '/' ? text : splitPath(at).first + '/' + text;
    }
    return std::nullopt;
}

// The file a destination leads to, links followed; refused when the links go round.
std::string writeTarget(const std::string& destination, const FileAction& what)
{
    const auto target = followLinks(destination, what);
    if (!target)
        fail(ELOOP, what);
    return *target;
}

// The permissions a new file gets here: read and write for all, less the process's mask.
mode_t usualFileMode()
{
    static const mode_t mode = [] {
        // The kernel tells the mask without changing it; umask() would change it for a moment, for
        // every thread.
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("Umask:", 0) == 0)
                return static_cast<mode_t>(0666 & ~std::stoul(line.substr(6), nullptr, 8));
        }
        const mode_t mask = ::umask(022);
        ::umask(mask);
        return static_cast<mode_t>(0666 & ~mask);
    }();
    return mode;
}

// The permissions a temporary file starts with: those of the ordinary file it will replace, else its
// owner's alone. A name that can be no file's (too long, say) fails here, before anything is written.
mode_t temporaryMode(const std::string& target, AtLink atLink, const FileAction& what)
{
    struct stat st;
    const int found = atLink == AtLink::Follow ? ::stat(target.c_str(), &st) : ::lstat(target.c_str(), &st);
    if (found != 0 && errno != ENOENT)
        fail(errno, what);
    return found == 0 && S_ISREG(st.st_mode) ? (st.st_mode & 07777) : 0600;
}

// Errors by which a file system says that it cannot make a file without a name.
bool meansNoUnnamedFiles(int error)
{
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL || error == ENOENT;
}

// Written bytes are handed to the device as they are written, and a file waits for those more than a
// window behind: the system's memory holds little of it, the final flush is short, and progress follows
// the device, not the memory. Waiting at once for each write would leave the device idle between them.
// They are handed over a batch at a time: each request to the device costs the system a little.
constexpr off_t kWriteBehindWindow = 64 * 1024 * 1024;
constexpr off_t kWriteBehindBatch = 4 * 1024 * 1024;

// Writes all `size` bytes through `put` (a pwrite() or a write() of some of them, which returns how many
// it wrote or -1): a short write goes on from where it stopped, and a signal is no failure.
template <typename Put> void writeAll(const std::byte* buffer, std::size_t size, const std::string& path, Put put)
{
    while (size > 0) {
        const ssize_t done = put(buffer, size);
        if (done < 0) {
            if (errno == EINTR)
                continue;
            fail(errno, {"write", path});
        }
        buffer += done;
        size -= static_cast<std::size_t>(done);
    }
}

// Waits until a file's bytes are on the device. A device, a pipe or a terminal says with EINVAL (or
// EROFS) that it cannot be flushed: there is nothing to wait for.
void flushDescriptor(int fd, const FileAction& what)
{
    if (::fdatasync(fd) != 0 && errno != EINVAL && errno != EROFS)
        fail(errno, what);
}
class PosixFile : public File
{
public:
    PosixFile(Descriptor fd, std::string path, bool regular)
        : m_descriptor(std::move(fd)), m_path(std::move(path)), m_writeBehind(regular)
    {
    }

    void read(std::int64_t offset, std::byte* buffer, std::size_t size) override
    {
        off_t at = static_cast<off_t>(offset);
        while (size > 0) {
            const ssize_t got = ::pread(m_descriptor.get(), buffer, size, at);
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                fail(errno, {"read", m_path});
            }
            if (got == 0)
                throw shrunkFileError(m_path, EIO);
            buffer += got;
            size -= static_cast<std::size_t>(got);
            at += got;
        }
    }

    void write(std::int64_t offset, const std::byte* buffer, std::size_t size) override
    {
        const off_t start = static_cast<off_t>(offset);
        off_t at = start;
        writeAll(buffer, size, m_path, [&](const std::byte* from, std::size_t count) {
            const ssize_t put = ::pwrite(m_descriptor.get(), from, count, at);
            if (put > 0)
                at += put;
            return put;
        });
        written(start, at);
    }

    void truncate(std::int64_t length) override
    {
        // A device or a pipe has no length to cut: what was written to it is all there is.
        struct stat st;
        if (::fstat(m_descriptor.get(), &st) == 0 && !S_ISREG(st.st_mode))
            return;
        if (::ftruncate(m_descriptor.get(), static_cast<off_t>(length)) != 0)
            fail(errno, {"truncate", m_path});
    }

    void flush() override { flushDescriptor(m_descriptor.get(), {"flush", m_path}); }

    void close() override
    {
        if (!m_descriptor.close())
            fail(errno, {"close", m_path});
    }

    void awaitWriteBack() override
    {
        if (m_writeBehind)
            waitForDevice(0, 0);
        m_pendingFrom = m_pendingTo;
    }

    void startWriteBack() override { handOver(); }

    bool copyFrom(File& source, std::int64_t sourceOffset, std::int64_t offset, std::int64_t size) override;
    std::intptr_t systemHandle() const override { return m_descriptor.get(); }
    const std::string& path() const override { return m_path; }

    // Bytes [from, to) have been written, by write() or by the kernel's copy. They are handed to the
    // device with those written just before them once there are a batch of them. A file system that
    // cannot write early leaves it all to the flush, which also reports what went wrong on the way.
    void written(off_t from, off_t to)
    {
        if (!m_writeBehind || to <= from)
            return;
        if (from != m_pendingTo) {
            handOver();
            m_pendingFrom = from;
        }
        m_pendingTo = to;
        if (m_pendingTo - m_pendingFrom >= kWriteBehindBatch)
            handOver();
    }

    void handOver()
    {
        const off_t from = std::exchange(m_pendingFrom, m_pendingTo);
        if (!m_writeBehind || m_pendingTo <= from)
            return;
        if (::sync_file_range(m_descriptor.get(), from, m_pendingTo - from, SYNC_FILE_RANGE_WRITE) != 0) {
            m_writeBehind = false;
            return;
        }
        const off_t waitTo = m_pendingTo - kWriteBehindWindow;
        if (waitTo > m_waitedTo) {
            waitForDevice(m_waitedTo, waitTo - m_waitedTo);
            m_waitedTo = waitTo;
        }
    }

private:
    bool sharesCopies();

    // Waits for bytes handed to the device (a length of 0: to the end). The system tells a failed write
    // to the first wait that meets it and to no later flush of the file, so it is reported here. Only a
    // file system that cannot write early leaves the rest to the flush.
    void waitForDevice(off_t from, off_t length)
    {
        if (::sync_file_range(m_descriptor.get(), from, length,
                              SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER) == 0)
            return;
        if (errno != EINVAL && errno != ESPIPE && errno != ENOSYS && errno != EOPNOTSUPP)
            fail(errno, {"write", m_path});
        m_writeBehind = false;
    }

    Descriptor m_descriptor;
    std::string m_path;
    bool m_writeBehind;
    std::optional<bool> m_sharesCopies; // whether its file system copies without moving the bytes, once asked
    off_t m_waitedTo = 0;
    // Written but not yet handed to the device.
    off_t m_pendingFrom = 0;
    off_t m_pendingTo = 0;
};

// Standard input or output: read as it comes, written in order. Its descriptor is the program's, and
// stays open.
class PosixStream : public File
{
public:
    PosixStream(int fd, std::string name) : m_fd(fd), m_path(std::move(name)) {}

    void read(std::int64_t, std::byte*, std::size_t) override { fail(ESPIPE, {"read", m_path}); }

    std::size_t readNext(std::byte* buffer, std::size_t size) override
    {
        for (;;) {
            const ssize_t got = ::read(m_fd, buffer, size);
            if (got >= 0)
                return static_cast<std::size_t>(got);
            if (errno != EINTR)
                fail(errno, {"read", m_path});
        }
    }

    void write(std::int64_t, const std::byte* buffer, std::size_t size) override
    {
        writeAll(buffer, size, m_path,
                 [&](const std::byte* from, std::size_t count) { return ::write(m_fd, from, count); });
    }

    void truncate(std::int64_t) override {}

    // A pipe or a terminal has nothing to flush; a file the shell gave does.
    void flush() override { flushDescriptor(m_fd, {"flush", m_path}); }

    void close() override {}
    const std::string& path() const override { return m_path; }

private:
    int m_fd;
    std::string m_path;
};

// A folder, a FIFO or a socket where a file is opened: refused as protected, which is what Windows
// reports for a folder.
[[noreturn]] void failNotAFile(int error, const std::string& path)
{
    throw FileError(errnum::kPermissionDenied, error, {"open", path}, std::strerror(error));
}

std::unique_ptr<File> openFile(const std::string& path, int flags)
{
    // A FIFO keeps no bytes, and opening one waits for the other end: it would hang the whole operation
    // in open(). A socket cannot be opened at all.
    struct stat existing;
    if (::stat(path.c_str(), &existing) == 0 && (S_ISFIFO(existing.st_mode) || S_ISSOCK(existing.st_mode)))
        failNotAFile(ENXIO, path);
    Descriptor fd = openDescriptor(path, flags);
    if (!fd.valid()) {
        if (errno == EISDIR)
            failNotAFile(EISDIR, path);
        fail(errno, {"open", path});
    }
    struct stat st;
    const bool known = ::fstat(fd.get(), &st) == 0;
    if (known && S_ISDIR(st.st_mode))
        failNotAFile(EISDIR, path);
    return std::make_unique<PosixFile>(std::move(fd), path, known && S_ISREG(st.st_mode));
}

bool kindAccepts(ListingKind kind, const std::string& name, mode_t mode)
{
    switch (kind) {
    case ListingKind::OrdinaryFiles:
        return S_ISREG(mode) && !name.empty() && name[0] != '.';
    case ListingKind::SetMembers:
        return S_ISREG(mode);
    case ListingKind::WithDirectories:
        break;
    }
    return S_ISREG(mode) || S_ISDIR(mode);
}

// Below this a read and a write into the caller's buffer cost less than the kernel's copy.
constexpr std::int64_t kKernelCopyMinimum = 64 * 1024;

// copy_file_range refuses these when the pair of files or the kernel cannot do it (another file
// system, a file system without support, an old kernel): the caller's read and write then copy.
bool meansCopyUnsupported(int error)
{
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == ENOTSUP ||
           error == EBADF || error == ETXTBSY;
}

struct KernelCopy
{
    int from;
    int to;
    const std::string& fromPath;
    const std::string& toPath;
    PosixFile& toFile;

    // Copies [offset, end) of `from` to the same bytes of `to` shifted by `shift`. False when the kernel
    // cannot copy between these files; the caller then redoes the whole range through its buffer, which
    // writes the same bytes at the same places over anything copied here.
    bool copy(off_t offset, off_t end, off_t shift) const
    {
        while (offset < end) {
            loff_t in = offset;
            loff_t out = offset + shift;
            const ssize_t done = ::copy_file_range(from, &in, to, &out, static_cast<std::size_t>(end - offset), 0);
            if (done < 0) {
                if (errno == EINTR)
                    continue;
                if (meansCopyUnsupported(errno))
                    return false;
                fail(errno, {"copy " + fromPath + " to", toPath});
            }
            if (done == 0)
                return endReached(offset);
            toFile.written(offset + shift, offset + shift + done);
            offset += done;
        }
        return true;
    }

    // copy_file_range reports the end of the source as a copy of 0 bytes. When the source really is
    // that short it has shrunk since its length was taken, which a read reports as an input error;
    // some file systems report 0 without being at the end, and those are left to read and write.
    bool endReached(off_t offset) const
    {
        struct stat st;
        if (::fstat(from, &st) != 0)
            fail(errno, {"copy", fromPath});
        if (st.st_size <= offset)
            throw shrunkFileError(fromPath, EIO);
        return false;
    }

    // Where the next data at or after `offset` starts, below `end`; `end` when only holes remain.
    // -1 when the source cannot tell.
    off_t nextData(off_t offset, off_t end) const
    {
        const off_t data = ::lseek(from, offset, SEEK_DATA);
        if (data >= 0)
            return std::min(data, end);
        if (errno != ENXIO)
            return -1;
        // No data up to the end of the file: a hole, unless the file ends before the range does.
        struct stat st;
        if (::fstat(from, &st) != 0)
            fail(errno, {"copy", fromPath});
        if (st.st_size < end)
            throw shrunkFileError(fromPath, EIO);
        return end;
    }
};

bool PosixFile::copyFrom(File& source, std::int64_t sourceOffset, std::int64_t offset, std::int64_t size)
{
    // The kernel copies between descriptors: a source without one is copied through the caller's buffer.
    if (source.systemHandle() < 0 || size < kKernelCopyMinimum || sourceOffset < 0 || offset < 0)
        return false;
    const off_t begin = static_cast<off_t>(sourceOffset);
    const off_t end = begin + static_cast<off_t>(size);
    const off_t shift = static_cast<off_t>(offset - sourceOffset);
    const KernelCopy kernel{static_cast<int>(source.systemHandle()), m_descriptor.get(), source.path(), m_path, *this};

    struct stat in;
    struct stat out;
    if (::fstat(kernel.from, &in) != 0)
        fail(errno, {"copy", source.path()});
    if (::fstat(kernel.to, &out) != 0)
        fail(errno, {"copy", m_path});
    // A source shorter than the range fails before anything is written, as a read of it would.
    if (in.st_size < end)
        throw shrunkFileError(source.path(), EIO);
    if (!S_ISREG(in.st_mode) || !S_ISREG(out.st_mode))
        return false;

    // Holes of the source stay holes where the range lands at or past the end of the destination:
    // there the skipped bytes read as zeros, as they do in the source. Over old content they are copied.
    // A source with as many blocks as bytes has no holes to look for.
    const bool sparse = static_cast<std::int64_t>(in.st_blocks) * 512 < static_cast<std::int64_t>(in.st_size);
    // Elsewhere the kernel copies only where the file system shares the blocks or copies them itself. Most
    // (ext4, tmpfs) copy through memory as the caller's read and write do, at more cost on the way.
    if (!sparse && !sharesCopies())
        return false;
    const bool keepHoles = sparse && out.st_size <= begin + shift;
    off_t at = begin;
    off_t copiedEnd = begin;
    while (at < end) {
        off_t stop = end;
        if (keepHoles) {
            const off_t data = kernel.nextData(at, end);
            if (data > at) {
                at = data;
                continue;
            }
            if (data == at) {
                const off_t hole = ::lseek(kernel.from, at, SEEK_HOLE);
                if (hole > at)
                    stop = std::min(hole, end);
            }
        }
        if (!kernel.copy(at, stop, shift))
            return false;
        at = stop;
        copiedEnd = stop;
    }
    // A range that ends in a hole still ends where it should.
    if (copiedEnd < end && ::ftruncate(kernel.to, end + shift) != 0)
        fail(errno, {"write", m_path});
    return true;
}

bool PosixFile::sharesCopies()
{
    if (!m_sharesCopies) {
#ifdef __linux__
        // Those that clone extents (btrfs, XFS, bcachefs, OCFS2) or copy on the server (NFS, SMB, Ceph), and
        // those that hand the copy on to a file system below (overlay, FUSE).
        static constexpr std::uint32_t kSharing[] = {0x9123683E, 0x58465342, 0xCA451A4E, 0x7461636F, 0x6969,
                                                     0xFE534D42, 0xFF534D42, 0x00C36400, 0x794C7630, 0x65735546};
        struct statfs fs;
        m_sharesCopies = ::fstatfs(m_descriptor.get(), &fs) == 0 &&
                         std::find(std::begin(kSharing), std::end(kSharing), static_cast<std::uint32_t>(fs.f_type)) !=
                             std::end(kSharing);
#else
        m_sharesCopies = true;
#endif
    }
    return *m_sharesCopies;
}

// File services on the POSIX file interface. "Ordinary files" are regular files (links followed)
// whose name does not start with "."; directories, devices, FIFOs and sockets never are.
class PosixFileServices : public FileServices
{
public:
    std::vector<std::string> list(const std::string& pattern, ListingKind kind) override
    {
        const auto sep = pattern.rfind('/');
        std::string folder = sep == std::string::npos ? std::string(".") : pattern.substr(0, sep);
        if (folder.empty())
            folder.assign(1, '/'); // not `= "/"`: GCC 12 then warns of an overlapping memcpy that cannot happen
        const std::string namePattern = sep == std::string::npos ? pattern : pattern.substr(sep + 1);

        std::vector<std::string> names;
        if (namePattern.find_first_of("*?") == std::string::npos) {
            struct stat st;
            const std::string& path = namePattern.empty() ? folder : pattern;
            if (::stat(path.c_str(), &st) != 0) {
                if (meansNothingThere(errno))
                    return names;
                fail(errno, {"list", pattern});
            }
            const std::string name = namePattern.empty() ? folder : namePattern;
            if (namePattern.empty() ? S_ISDIR(st.st_mode) && kind == ListingKind::WithDirectories
                                    : kindAccepts(kind, name, st.st_mode))
                names.push_back(name);
            return names;
        }

        const UniqueHandle<DirectoryTraits> dir(::opendir(folder.c_str()));
        if (!dir.valid()) {
            if (meansNothingThere(errno))
                return names;
            fail(errno, {"list", pattern});
        }
        const int dirFd = ::dirfd(dir.get());
        for (;;) {
            errno = 0;
            const dirent* entry = ::readdir(dir.get());
            if (!entry) {
                if (errno != 0)
                    fail(errno, {"list", pattern});
                break;
            }
            const std::string name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            if (kind == ListingKind::OrdinaryFiles && name[0] == '.')
                continue;
            if (!matchesWildcard<char>(name, namePattern))
                continue;
            mode_t mode = 0;
            if (entry->d_type == DT_REG)
                mode = S_IFREG;
            else if (entry->d_type == DT_DIR)
                mode = S_IFDIR;
            else if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
                struct stat st;
                if (::fstatat(dirFd, name.c_str(), &st, 0) != 0)
                    continue; // a dangling link, or gone meanwhile
                mode = st.st_mode;
            }
            if (kindAccepts(kind, name, mode))
                names.push_back(name);
        }
        return names;
    }

    std::int64_t fileLength(const std::string& path) override
    {
        struct stat st;
        if (::stat(path.c_str(), &st) != 0)
            fail(errno, {"length of", path});
        if (S_ISDIR(st.st_mode))
            fail(EISDIR, {"length of", path});
        return static_cast<std::int64_t>(st.st_size);
    }

    std::optional<FileIdentity> identity(const std::string& path, AtLink atLink) override
    {
        const FileAction what{"identity of", path};
        struct stat st;
        if (atLink == AtLink::Replace) {
            if (::lstat(path.c_str(), &st) == 0) {
                const FileKind kind =
                    S_ISLNK(st.st_mode) ? FileKind::Link : (S_ISREG(st.st_mode) ? FileKind::Regular : FileKind::Other);
                return identityOf(st, {}, kind);
            }
            if (errno != ENOENT) {
                if (meansNothingThere(errno))
                    return std::nullopt;
                fail(errno, what);
            }
            auto [folder, name] = splitPath(path);
            if (name.empty() || name == "." || name == ".." || ::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
                return std::nullopt;
            return identityOf(st, std::move(name), FileKind::None);
        }
        if (::stat(path.c_str(), &st) == 0)
            return identityOf(st, {}, S_ISREG(st.st_mode) ? FileKind::Regular : FileKind::Other);
        if (errno == ELOOP)
            return FileIdentity{0, 0, {}, FileKind::Other};
        if (errno != ENOENT) {
            if (meansNothingThere(errno))
                return std::nullopt;
            fail(errno, what);
        }
        // Opening for writing follows a link that dangles and creates its target.
        const auto target = followLinks(path, what);
        if (!target)
            return FileIdentity{0, 0, {}, FileKind::Other};
        auto [folder, name] = splitPath(*target);
        if (name.empty() || name == "." || name == ".." || ::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return std::nullopt;
        return identityOf(st, std::move(name), FileKind::None);
    }

    std::unique_ptr<File> openRead(const std::string& path) override { return openFile(path, O_RDONLY); }

    std::unique_ptr<File> openReadWrite(const std::string& path) override { return openFile(path, O_RDWR | O_CREAT); }

    std::unique_ptr<File> openStandardInput() override
    {
        return std::make_unique<PosixStream>(STDIN_FILENO, "standard input");
    }

    std::unique_ptr<File> openStandardOutput() override
    {
        return std::make_unique<PosixStream>(STDOUT_FILENO, "standard output");
    }

    std::unique_ptr<File> createTemporary(const std::string& destination, AtLink atLink, std::string& path) override
    {
        const FileAction what{kCreateTemporaryAction, destination};
        const std::string target = atLink == AtLink::Follow ? writeTarget(destination, what) : destination;
        const auto [folder, name] = splitPath(target);
        const mode_t mode = temporaryMode(target, atLink, what);

        // Made without a name and locked before it gets one, so that no other program can take it for a
        // leftover in between; a file system that cannot do so gets a named file, locked at once.
        Descriptor fd = openDescriptor(folder, O_TMPFILE | O_RDWR);
        if (fd.valid()) {
            if (::flock(fd.get(), LOCK_EX) != 0 || ::fchmod(fd.get(), mode) != 0)
                fail(errno, what);
            const std::string self = "/proc/self/fd/" + std::to_string(fd.get());
            for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
                const std::string candidate = folder + "/" + temporaryName(name);
                if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                    path = candidate;
                    return std::make_unique<PosixFile>(std::move(fd), candidate, true);
                }
                if (errno == ENOENT && ::access(self.c_str(), F_OK) != 0)
                    break; // no /proc to give it a name through
                if (errno != EEXIST)
                    fail(errno, what);
            }
            fd.close();
        } else if (!meansNoUnnamedFiles(errno)) {
            fail(errno, what);
        }
        for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
            const std::string candidate = folder + "/" + temporaryName(name);
            fd = openDescriptor(candidate, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW);
            if (fd.valid()) {
                if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 || ::fchmod(fd.get(), mode) != 0) {
                    const int error = errno;
                    ::unlink(candidate.c_str());
                    fail(error, what);
                }
                path = candidate;
                return std::make_unique<PosixFile>(std::move(fd), candidate, true);
            }
            if (errno != EEXIST)
                fail(errno, what);
        }
        fail(EEXIST, what);
    }

    void rename(const std::string& from, const std::string& destination, AtLink atLink) override
    {
        const FileAction what{"rename " + from + " to", destination};
        const std::string target = atLink == AtLink::Follow ? writeTarget(destination, what) : destination;
        // Through a descriptor of its own, so that nothing put at its name meanwhile has its permissions changed.
        const Descriptor fd = openDescriptor(from, O_RDONLY | O_NOFOLLOW | O_NONBLOCK);
        if (!fd.valid())
            fail(errno, what);
        // The replaced file's owner, where the system lets us, and its permissions pass to the new one; a
        // new file gets the permissions any new file gets.
        struct stat st;
        const int found = atLink == AtLink::Follow ? ::stat(target.c_str(), &st) : ::lstat(target.c_str(), &st);
        if (found == 0 && S_ISREG(st.st_mode)) {
            if (::fchown(fd.get(), st.st_uid, st.st_gid) != 0 && errno != EPERM)
                fail(errno, what);
            if (::fchmod(fd.get(), st.st_mode & 07777) != 0)
                fail(errno, what);
        } else if (::fchmod(fd.get(), usualFileMode()) != 0) {
            fail(errno, what);
        }
        if (::rename(from.c_str(), target.c_str()) != 0)
            fail(errno, what);
    }

    void remove(const std::string& path) override
    {
        if (::unlink(path.c_str()) != 0)
            fail(errno, {"remove", path});
    }

    void removeLeftovers(const std::string& folder) override
    {
        const UniqueHandle<DirectoryTraits> dir(::opendir(folder.c_str()));
        if (!dir.valid())
            return;
        const int dirFd = ::dirfd(dir.get());
        std::vector<std::string> names;
        while (const dirent* entry = ::readdir(dir.get())) {
            if (isTemporaryName(entry->d_name))
                names.emplace_back(entry->d_name);
        }
        for (const auto& name : names) {
            const Descriptor fd(::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
            struct stat opened;
            if (!fd.valid() || ::fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode))
                continue;
            // A program that writes it holds its lock.
            if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
                continue;
            struct stat named;
            if (::fstatat(dirFd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_dev == opened.st_dev &&
                named.st_ino == opened.st_ino)
                ::unlinkat(dirFd, name.c_str(), 0);
        }
    }

    std::int64_t freeSpace(const std::string& folder) override
    {
        // A file passes for a folder in a listing; nothing can be written into it, as Windows says here too.
        struct stat info;
        if (::stat(folder.c_str(), &info) == 0 && !S_ISDIR(info.st_mode))
            fail(ENOTDIR, {"free space of", folder});
        struct statvfs st;
        if (::statvfs(folder.c_str(), &st) != 0)
            fail(errno, {"free space of", folder});
        const auto bytes = static_cast<unsigned long long>(st.f_bavail) * st.f_frsize;
        return bytes > static_cast<unsigned long long>(INT64_MAX) ? INT64_MAX : static_cast<std::int64_t>(bytes);
    }

    void flushFolder(const std::string& folder) override
    {
        const FileAction what{"flush", folder};
        const Descriptor fd = openDescriptor(folder, O_RDONLY | O_DIRECTORY);
        if (!fd.valid())
            fail(errno, what);
        // Some file systems cannot flush a folder (EINVAL): their names are written with the files.
        if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != EROFS)
            fail(errno, what);
    }

    void flushFile(const std::string& path) override
    {
        const FileAction what{"flush", path};
        const Descriptor fd = openDescriptor(path, O_RDONLY | O_NOFOLLOW | O_NONBLOCK);
        if (!fd.valid())
            fail(errno, what);
        flushDescriptor(fd.get(), what);
    }

    // The names' bytes go out as the file system holds them.
    std::string textLineBytes(const std::string& line) override { return line; }
};

} // namespace

std::unique_ptr<FileServices> makeNativeFileServices()
{
    return std::make_unique<PosixFileServices>();
}

} // namespace parvix
