#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace parvix {

// Every member may throw FileError, carrying the file-error number of the failure.

enum class ListingKind
{
    OrdinaryFiles,   // no directories, no hidden or system files (on POSIX: regular files not named ".*")
    WithDirectories, // also directories: the existence test of a folder
    // The files of a set whose name the user gave: ordinary files, and on POSIX also those whose name
    // starts with "." (the user named them; the dot rule is for browsing a folder).
    SetMembers,
};

// Whether a link at a name is followed to the file it leads to, or is itself what a new file replaces.
// A join writes the file the user's destination leads to; a cut replaces its outputs' names, so that a
// link planted under one of them is never written through.
enum class AtLink
{
    Follow,
    Replace,
};

// What a path leads to, for writing into it.
enum class FileKind
{
    None,    // nothing yet: opening it for writing creates `name` in the folder
    Regular, // an ordinary file, hidden or not
    Link,    // a link at the name, which a new file replaces (AtLink::Replace only)
    Other,   // a folder, a device, a FIFO, a socket, or a link that never ends
};

// Says whether two paths lead to one file: its device and file index, or, for a file that opening
// would create, those of its folder and the name it would get there.
struct FileIdentity
{
    std::uint64_t device = 0;
    std::uint64_t index = 0;
    std::string name;
    FileKind kind = FileKind::Regular;
    bool operator==(const FileIdentity&) const = default;
};

// An open file. Destroying it closes it without reporting; close() reports a failing close, and closing
// a closed file does nothing.
class File
{
public:
    virtual ~File() = default;
    File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Offsets count bytes from the start of the file. A read fills the whole buffer or fails. A stream
    // (standard input or output) is read with readNext() instead, and written in order, whatever the
    // offset says.
    virtual void read(std::int64_t offset, std::byte* buffer, std::size_t size) = 0;
    virtual void write(std::int64_t offset, const std::byte* buffer, std::size_t size) = 0;
    // What comes next from a stream, at most `size` bytes: as many as it has for now, 0 at its end.
    virtual std::size_t readNext(std::byte* buffer, std::size_t size)
    {
        (void)buffer, (void)size;
        return 0;
    }
    virtual void truncate(std::int64_t length) = 0;
    // Waits until what was written is on the device, not just in the system's memory.
    virtual void flush() = 0;
    // Waits until the bytes written so far have been handed to the device, which the system began to do
    // as they were written; unlike flush() it does not wait for the file system's own records. So a
    // writer keeps its unwritten bytes few. A write that failed on the way is reported here, and may not
    // be reported again by a later flush.
    virtual void awaitWriteBack() {}
    // Hands the bytes written so far to the device without waiting for them. Writes are handed over
    // in batches of a few megabytes on their own; a writer that is done with a file says so here.
    virtual void startWriteBack() {}
    virtual void close() = 0;

    // Copies `size` bytes at `sourceOffset` of `source` to `offset` of this file inside the operating
    // system where that costs less than the caller's read and write. Returns false when the caller must
    // copy the whole range through a buffer itself: the system may have refused part-way, after copying
    // the start of the range to its place, which the caller's copy then writes again. A failure (a throw) may leave part of the range copied.
    virtual bool copyFrom(File& source, std::int64_t sourceOffset, std::int64_t offset, std::int64_t size)
    {
        (void)source, (void)sourceOffset, (void)offset, (void)size;
        return false;
    }
    // The system's handle of the open file (a descriptor, a Win32 handle), which a copy inside the system
    // needs of its source; -1 for a file that has none, or is closed.
    virtual std::intptr_t systemHandle() const { return -1; }
    // The path it was opened by, for what is said of it.
    virtual const std::string& path() const = 0;
};

class FileServices
{
public:
    virtual ~FileServices() = default;

    // Names (without their folder) matching a path, or a pattern with "*" and "?" in its last part.
    // A missing folder or file gives an empty list, not a failure.
    virtual std::vector<std::string> list(const std::string& pattern, ListingKind kind) = 0;
    virtual std::int64_t fileLength(const std::string& path) = 0;
    // Where the path leads, links followed, those that dangle too (to the file that opening would
    // create); with AtLink::Replace what the name itself is (a link there is a Link). Nothing when it
    // leads nowhere a file could be: a folder on the way is missing.
    virtual std::optional<FileIdentity> identity(const std::string& path, AtLink atLink = AtLink::Follow) = 0;

    virtual std::unique_ptr<File> openRead(const std::string& path) = 0;
    // Read and write, created when missing, never truncated on opening.
    virtual std::unique_ptr<File> openReadWrite(const std::string& path) = 0;
    // The program's standard input and output, as streams: a pipe, a terminal or a file the shell gave.
    virtual std::unique_ptr<File> openStandardInput() = 0;
    virtual std::unique_ptr<File> openStandardOutput() = 0;
    // A new, empty file with a name of its own beside `destination` (beside the file it leads to, with
    // AtLink::Follow), for writing a file that later takes `destination`'s place. It has the permissions
    // of the ordinary file it will replace, or only its owner's for a new one, so that nobody reads
    // along what a protected file's replacement holds; while it is open, no program takes it for a
    // leftover. Its path goes to `path`.
    virtual std::unique_ptr<File> createTemporary(const std::string& destination, AtLink atLink, std::string& path) = 0;
    // Puts the file `from` in the place of `destination` (of the file it leads to, with AtLink::Follow) in
    // one step: whoever looks sees the old file or the new one, never a part. The new one takes the old
    // one's owner and permissions, or a new file's usual permissions.
    virtual void rename(const std::string& from, const std::string& destination, AtLink atLink) = 0;
    virtual void remove(const std::string& path) = 0;
    // Removes the temporary files that work in `folder` left behind (a kill, a power cut) and that no
    // running program holds. It never fails: what cannot be removed stays.
    virtual void removeLeftovers(const std::string& folder) = 0;
    // Bytes that may still be written on the volume that holds `folder`.
    virtual std::int64_t freeSpace(const std::string& folder) = 0;
    // Waits until the folder's list of names (files created, replaced or removed) is on the device.
    virtual void flushFolder(const std::string& folder) = 0;
    // Waits until the file at `path` (not a link's target) is on the device.
    virtual void flushFile(const std::string& path) = 0;

    // The bytes of a line of a text file, converted to the system's 8-bit code page; its end is not part
    // of it.
    virtual std::string textLineBytes(const std::string& line) = 0;
};

// True when the listing of `path` finds something of the kind.
inline bool exists(FileServices& files, const std::string& path, ListingKind kind)
{
    return !files.list(path, kind).empty();
}

// Writes a file under a temporary name beside `path` (`write` puts its bytes in), flushes it and puts it
// in `path`'s place, a link there included: a failure leaves whatever was there before, and no part of
// the new file under either name.
void replaceFile(FileServices& files, const std::string& path, const std::function<void(File&)>& write);

// A text file of these lines (see textLineBytes), each ended by a carriage return and a line feed, put in
// place as replaceFile() puts one.
void writeTextFile(FileServices& files, const std::string& path, const std::vector<std::string>& lines);

} // namespace parvix
