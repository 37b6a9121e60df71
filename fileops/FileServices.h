#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace parvix {

class Crc32;

// Every member may throw FileError, carrying the file-error number of the failure.

enum class ListingKind
{
    OrdinaryFiles,   // no directories, no hidden or system files (on POSIX: regular files not named ".*")
    WithDirectories, // also directories: the existence test of a folder
};

// What a path leads to, for writing into it.
enum class FileKind
{
    None,    // nothing yet: opening it for writing creates `name` in the folder
    Regular, // an ordinary file, hidden or not
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

    // Positions are 1-based. A read fills the whole buffer or fails.
    virtual void read(std::int64_t position, std::byte* buffer, std::size_t size) = 0;
    virtual void write(std::int64_t position, const std::byte* buffer, std::size_t size) = 0;
    virtual void truncate(std::int64_t length) = 0;
    // Waits until what was written is on the device, not just in the system's memory.
    virtual void flush() = 0;
    // Waits until the bytes written so far have been handed to the device, which the system began to do
    // as they were written; unlike flush() it does not wait for the file system's own records, and it
    // reports nothing (flush() does). So a writer keeps its unwritten bytes few.
    virtual void awaitWriteBack() {}
    virtual void close() = 0;
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
    // create). Nothing when it leads nowhere a file could be: a folder on the way is missing.
    virtual std::optional<FileIdentity> identity(const std::string& path) = 0;

    virtual std::unique_ptr<File> openRead(const std::string& path) = 0;
    // Read and write, created when missing, never truncated on opening.
    virtual std::unique_ptr<File> openReadWrite(const std::string& path) = 0;
    // Write only, created or emptied.
    virtual std::unique_ptr<File> createReplace(const std::string& path) = 0;
    // A new, empty file with a name of its own beside the file that `destination` leads to (links
    // followed), for writing a file that later takes `destination`'s place. Its path goes to `path`.
    virtual std::unique_ptr<File> createTemporary(const std::string& destination, std::string& path) = 0;
    // Puts the file `from` in the place of the file that `to` leads to, in one step: whoever looks sees
    // the old file or the new one, never a part. The new one takes the old one's permissions.
    virtual void rename(const std::string& from, const std::string& to) = 0;
    virtual void remove(const std::string& path) = 0;
    // Bytes that may still be written on the volume that holds `folder`.
    virtual std::int64_t freeSpace(const std::string& folder) = 0;
    // Waits until the folder's list of names (files created, replaced or removed) is on the device.
    virtual void flushFolder(const std::string& folder) = 0;

    // Creates or replaces a text file and flushes it to the device; each line is converted to the
    // system's 8-bit code page and ended by a carriage return and a line feed.
    virtual void writeTextLines(const std::string& path, const std::vector<std::string>& lines) = 0;

    // Copies `size` bytes between open files inside the operating system where it can, adding them to
    // `checksum` when one is given; returns false, having copied nothing and added nothing, when the
    // caller must copy through a buffer itself. A failure may leave part of the range copied.
    virtual bool copyRange(File& from, std::int64_t fromPosition, File& to, std::int64_t toPosition, std::int64_t size,
                           Crc32* checksum = nullptr)
    {
        (void)from, (void)fromPosition, (void)to, (void)toPosition, (void)size, (void)checksum;
        return false;
    }
};

// True when the listing of `path` finds something of the kind.
inline bool exists(FileServices& files, const std::string& path, ListingKind kind)
{
    return !files.list(path, kind).empty();
}

} // namespace parvix
