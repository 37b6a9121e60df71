#include "../ErrorMapping.h"
#include "../FileError.h"
#include "../NativeFiles.h"
#include "TemporaryName.h"
#include "UniqueHandle.h"
#include "Wildcard.h"
#include "WindowsApi.h"

#include <algorithm>

namespace parvix {

namespace {

// Error codes that newer headers name but older MinGW headers may lack.
constexpr DWORD kErrorDirectoryNotSupported = 336; // ERROR_DIRECTORY_NOT_SUPPORTED

std::string systemMessage(DWORD error)
{
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (length != 0 && buffer)
        text.assign(buffer, length);
    if (buffer)
        LocalFree(buffer);
    while (!text.empty() &&
           (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' || text.back() == L'.'))
        text.pop_back();
    if (text.empty())
        return "system error " + std::to_string(error);
    return utf8FromUtf16(text);
}

[[noreturn]] void fail(DWORD error, const FileAction& what)
{
    throw FileError(fileErrorFromWin32(error), static_cast<int>(error), what, systemMessage(error));
}

// Errors by which a path simply leads nowhere: nothing of that name, a folder on the way that is
// missing or is a file, a name Windows cannot hold.
bool meansNothingThere(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME ||
           error == ERROR_BAD_PATHNAME || error == ERROR_FILENAME_EXCED_RANGE || error == ERROR_DIRECTORY ||
           error == ERROR_BAD_NETPATH || error == ERROR_BAD_NET_NAME || error == ERROR_NO_UNICODE_TRANSLATION;
}

bool toUtf16(std::string_view text, std::wstring& out)
{
    out.clear();
    if (text.empty())
        return true;
    if (text.size() > static_cast<std::size_t>(INT32_MAX))
        return false;
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0)
        return false;
    out.resize(static_cast<std::size_t>(length));
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, out.data(), length) == length;
}

[[noreturn]] void failOn(DWORD error, std::wstring_view path, const FileAction& what)
{
    fail(driveAwareError(error, path), what);
}

std::wstring widePath(const std::string& path, const FileAction& what)
{
    std::wstring wide;
    if (!toUtf16(path, wide))
        fail(ERROR_NO_UNICODE_TRANSLATION, what);
    return wide;
}

// Device names (NUL, CON, COM1, …, and on older systems also "NUL.txt") lead to a device wherever they stand.
bool isDevice(const std::wstring& path)
{
    wchar_t full[16];
    const DWORD length = GetFullPathNameW(path.c_str(), 16, full, nullptr);
    return length > 0 && length < 16 && std::wstring_view(full, length).rfind(L"\\\\.\\", 0) == 0;
}

bool isDotOrDotDot(const wchar_t* name)
{
    return (name[0] == L'.' && name[1] == 0) || (name[0] == L'.' && name[1] == L'.' && name[2] == 0);
}

bool kindAccepts(ListingKind kind, DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_DEVICE)
        return false;
    if (kind == ListingKind::WithDirectories)
        return true;
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

struct HandleTraits
{
    using Handle = HANDLE;
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static bool close(HANDLE handle) { return CloseHandle(handle) != 0; }
};
using Handle = UniqueHandle<HandleTraits>;

// A temporary file is locked while it is written, at a byte no read or write ever reaches: a program
// that finds it locked leaves it alone. Taking the lock fails at once where another handle holds it.
bool lockAsWritten(HANDLE file)
{
    OVERLAPPED at{};
    at.Offset = 0xFFFFFFFEu;
    at.OffsetHigh = 0x7FFFFFFFu;
    return LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != 0;
}

struct FindTraits
{
    using Handle = HANDLE;
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static bool close(HANDLE handle) { return FindClose(handle) != 0; }
};

class Win32File : public File
{
public:
    Win32File(Handle handle, std::string path) : m_handle(std::move(handle)), m_path(std::move(path)) {}

    void read(std::int64_t start, std::byte* buffer, std::size_t size) override
    {
        std::uint64_t offset = static_cast<std::uint64_t>(start);
        while (size > 0) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, kChunk));
            OVERLAPPED at = overlappedAt(offset);
            DWORD got = 0;
            if (!ReadFile(m_handle.get(), buffer, chunk, &got, &at)) {
                const DWORD error = GetLastError();
                if (error != ERROR_HANDLE_EOF)
                    fail(error, {"read", m_path});
                got = 0;
            }
            if (got == 0)
                throw shrunkFileError(m_path, ERROR_HANDLE_EOF);
            buffer += got;
            size -= got;
            offset += got;
        }
    }

    void write(std::int64_t start, const std::byte* buffer, std::size_t size) override
    {
        std::uint64_t offset = static_cast<std::uint64_t>(start);
        while (size > 0) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, kChunk));
            OVERLAPPED at = overlappedAt(offset);
            DWORD put = 0;
            if (!WriteFile(m_handle.get(), buffer, chunk, &put, &at))
                fail(GetLastError(), {"write", m_path});
            if (put == 0)
                fail(ERROR_WRITE_FAULT, {"write", m_path});
            buffer += put;
            size -= put;
            offset += put;
        }
    }

    void truncate(std::int64_t length) override
    {
        LARGE_INTEGER at;
        at.QuadPart = length;
        if (!SetFilePointerEx(m_handle.get(), at, nullptr, FILE_BEGIN) || !SetEndOfFile(m_handle.get()))
            fail(GetLastError(), {"truncate", m_path});
    }

    void flush() override
    {
        // A device such as NUL has nothing to flush and says so.
        if (!FlushFileBuffers(m_handle.get())) {
            const DWORD error = GetLastError();
            if (error != ERROR_INVALID_FUNCTION && error != ERROR_INVALID_HANDLE)
                fail(error, {"flush", m_path});
        }
    }

    void close() override
    {
        if (!m_handle.close())
            fail(GetLastError(), {"close", m_path});
    }

    std::intptr_t systemHandle() const override
    {
        return m_handle.valid() ? reinterpret_cast<std::intptr_t>(m_handle.get()) : -1;
    }
    const std::string& path() const override { return m_path; }

private:
    // One call moves at most this much; a piece is at most 2 GB, so it takes one or two calls.
    static constexpr std::size_t kChunk = std::size_t{1} << 30;

    static OVERLAPPED overlappedAt(std::uint64_t offset)
    {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        return at;
    }

    Handle m_handle;
    std::string m_path;
};

// Standard input or output: read as it comes, written in order, byte for byte (no text mode). Its handle
// is the program's, and stays open.
class Win32Stream : public File
{
public:
    Win32Stream(HANDLE handle, std::string name) : m_handle(handle), m_path(std::move(name)) {}

    void read(std::int64_t, std::byte*, std::size_t) override { fail(ERROR_NOT_SUPPORTED, {"read", m_path}); }

    std::size_t readNext(std::byte* buffer, std::size_t size) override
    {
        DWORD got = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, std::size_t{1} << 30));
        if (!ReadFile(m_handle, buffer, chunk, &got, nullptr)) {
            const DWORD error = GetLastError();
            // The other end of a pipe has closed it: that is its end.
            if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF)
                return 0;
            fail(error, {"read", m_path});
        }
        return got;
    }

    void write(std::int64_t, const std::byte* buffer, std::size_t size) override
    {
        while (size > 0) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, std::size_t{1} << 30));
            DWORD put = 0;
            if (!WriteFile(m_handle, buffer, chunk, &put, nullptr))
                fail(GetLastError(), {"write", m_path});
            buffer += put;
            size -= put;
        }
    }

    void truncate(std::int64_t) override {}
    void flush() override { FlushFileBuffers(m_handle); }
    void close() override {}
    const std::string& path() const override { return m_path; }

private:
    HANDLE m_handle;
    std::string m_path;
};

std::unique_ptr<Win32File> openFile(const std::string& path, DWORD access, DWORD share, DWORD disposition)
{
    const FileAction what{"open", path};
    const std::wstring wide = widePath(path, what);
    Handle handle(CreateFileW(wide.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.valid())
        failOn(GetLastError(), wide, what);
    // A device name opens the device: reading it never ends and writing to it loses the bytes.
    if (GetFileType(handle.get()) != FILE_TYPE_DISK)
        fail(ERROR_ACCESS_DENIED, what);
    return std::make_unique<Win32File>(std::move(handle), path);
}

// Opens a file or folder only to ask about it: shares everything, so it works on files others hold open.
HANDLE openForQuery(const std::wstring& path)
{
    return CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// Nothing opens at `wide`: the file that creating it would make, named by its full path in capitals
// (names compare without regard to case here), when its folder exists. A link whose target is missing
// is not followed: it counts as something that is no file.
std::optional<FileIdentity> fileToBeCreated(const std::wstring& wide)
{
    if (GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES)
        return FileIdentity{0, 0, {}, FileKind::Other};
    const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return std::nullopt;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size)
        return std::nullopt;
    full.resize(length);
    const auto sep = full.find_last_of(L"\\/");
    if (sep == std::wstring::npos || sep + 1 == full.size())
        return std::nullopt;
    // A folder in the root keeps its separator ("C:\" rather than "C:", the current folder of drive C).
    const std::wstring folder = full.substr(0, sep == 0 || full[sep - 1] == L':' ? sep + 1 : sep);
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return std::nullopt;
    CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
    return FileIdentity{0, 0, utf8FromUtf16(full), FileKind::None};
}

std::size_t nameStart(std::wstring_view path)
{
    const auto sep = path.find_last_of(L"\\/");
    if (sep != std::wstring_view::npos)
        return sep + 1;
    // "C:name" is a name in the current folder of drive C.
    if (path.size() >= 2 && path[1] == L':')
        return 2;
    return 0;
}

} // namespace

std::wstring utf16FromUtf8(std::string_view text)
{
    std::wstring wide;
    if (!toUtf16(text, wide))
        fail(ERROR_NO_UNICODE_TRANSLATION, {"convert", std::string(text)});
    return wide;
}

std::string utf8FromUtf16(std::wstring_view text)
{
    // A lone surrogate (which names on disk may hold) becomes U+FFFD rather than a failure.
    std::string out;
    if (text.empty() || text.size() > static_cast<std::size_t>(INT32_MAX / 3))
        return out;
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return out;
    out.resize(static_cast<std::size_t>(length));
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), length, nullptr, nullptr);
    return out;
}

bool matchesPatternIgnoringCase(std::wstring_view name, std::wstring_view pattern)
{
    std::wstring n(name), p(pattern);
    if (!n.empty())
        CharUpperBuffW(n.data(), static_cast<DWORD>(n.size()));
    if (!p.empty())
        CharUpperBuffW(p.data(), static_cast<DWORD>(p.size()));
    return matchesWildcard<wchar_t>(n, p);
}

namespace {

// The bytes of a UTF-8 text in the system's OEM code page. A character that the code page cannot hold
// is written as "?", never as a look-alike: "?" matches the one character it stands for in a file
// name, while a look-alike could name another file.
std::string batchTextFromUtf8(std::string_view text)
{
    const std::wstring wide = utf16FromUtf8(text);
    std::string out;
    if (wide.empty())
        return out;
    // cmd reads a batch file in the console's code page, the OEM one unless "chcp" changed it: written in
    // the ANSI code page, a name outside ASCII ("café") would name another file when cmd reads it back.
    const UINT codePage = GetOEMCP();
    // Best-fit mapping would turn a character into a look-alike ("ł" into "l") and so name another
    // file; the UTF-8 code page accepts neither flags nor a default character.
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* fallback = utf8 ? nullptr : "?";
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, fallback, nullptr);
    if (length <= 0)
        fail(GetLastError(), {"convert to the OEM code page", std::string(text)});
    out.resize(static_cast<std::size_t>(length));
    if (WideCharToMultiByte(codePage, flags, wide.data(), size, out.data(), length, fallback, nullptr) != length)
        fail(GetLastError(), {"convert to the OEM code page", std::string(text)});
    return out;
}

// File services on the Win32 wide-character interface. Paths are UTF-8 strings, converted to UTF-16
// for every call. "Ordinary files" are those that are neither directories nor devices nor marked
// hidden or system. A path on a drive letter that does not exist, or on a drive without a disk,
// fails with the drive's error instead of counting as missing.
class Win32FileServices : public FileServices
{
public:
    std::vector<std::string> list(const std::string& pattern, ListingKind kind) override
    {
        const FileAction what{"list", pattern};
        std::vector<std::string> names;
        std::wstring wide;
        if (!toUtf16(pattern, wide) || wide.empty())
            return names;
        const std::wstring namePattern = wide.substr(nameStart(wide));

        // A drive that does not exist or holds no disk is no missing file: it is reported as the drive's
        // failure.
        auto nothingOr = [&](DWORD error) {
            if (!meansNothingThere(error))
                fail(error, what);
            const DWORD drive = driveAwareError(error, wide);
            if (drive != error)
                fail(drive, what);
            return names;
        };

        if (namePattern.find_first_of(L"*?") == std::wstring::npos) {
            if (kind == ListingKind::WithDirectories) {
                // A folder is looked up by its attributes, which also answer for roots ("C:", "C:\",
                // "\\server\share") that have no entry of their own to find.
                const DWORD attributes = GetFileAttributesW(wide.c_str());
                if (attributes == INVALID_FILE_ATTRIBUTES)
                    return nothingOr(GetLastError());
                if (isDevice(wide))
                    return names;
                names.push_back(namePattern.empty() ? pattern : utf8FromUtf16(namePattern));
                return names;
            }
            // A folder ("C:\", "C:") is no ordinary file; only its drive may still be unusable.
            if (namePattern.empty()) {
                if (GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES)
                    return nothingOr(GetLastError());
                return names;
            }
        }

        WIN32_FIND_DATAW found;
        const UniqueHandle<FindTraits> find(FindFirstFileW(wide.c_str(), &found));
        if (find.get() == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_NO_MORE_FILES)
                return names;
            return nothingOr(error);
        }
        const bool single = namePattern.find_first_of(L"*?") == std::wstring::npos;
        if (single && isDevice(wide))
            return names;
        do {
            if (isDotOrDotDot(found.cFileName) || !kindAccepts(kind, found.dwFileAttributes))
                continue;
            // The system matches a pattern against the short 8.3 names as well; only the names count here.
            if (!single && !matchesPatternIgnoringCase(found.cFileName, namePattern))
                continue;
            names.push_back(utf8FromUtf16(found.cFileName));
        } while (FindNextFileW(find.get(), &found));
        const DWORD error = GetLastError();
        if (error != ERROR_NO_MORE_FILES)
            fail(error, what);
        return names;
    }

    std::int64_t fileLength(const std::string& path) override
    {
        const FileAction what{"length of", path};
        const std::wstring wide = widePath(path, what);
        const Handle file(openForQuery(wide));
        if (file.get() == INVALID_HANDLE_VALUE)
            failOn(GetLastError(), wide, what);
        BY_HANDLE_FILE_INFORMATION info;
        if (!GetFileInformationByHandle(file.get(), &info))
            fail(GetLastError(), what);
        if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            fail(kErrorDirectoryNotSupported, what);
        LARGE_INTEGER size;
        if (!GetFileSizeEx(file.get(), &size))
            fail(GetLastError(), what);
        return size.QuadPart;
    }

    std::optional<FileIdentity> identity(const std::string& path, AtLink atLink) override
    {
        const FileAction what{"identity of", path};
        std::wstring wide;
        if (!toUtf16(path, wide) || wide.empty())
            return std::nullopt;
        if (isDevice(wide))
            return FileIdentity{0, 0, {}, FileKind::Other};
        // A link (a reparse point) at the name is what a new file replaces.
        if (atLink == AtLink::Replace) {
            const DWORD attributes = GetFileAttributesW(wide.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
                return FileIdentity{0, 0, {}, FileKind::Link};
        }
        const Handle file(openForQuery(wide));
        if (file.get() == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (!meansNothingThere(error))
                fail(error, what);
            return fileToBeCreated(wide);
        }
        BY_HANDLE_FILE_INFORMATION info;
        if (!GetFileInformationByHandle(file.get(), &info))
            fail(GetLastError(), what);
        const bool regular =
            (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && GetFileType(file.get()) == FILE_TYPE_DISK;
        return FileIdentity{info.dwVolumeSerialNumber,
                            (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
                            {},
                            regular ? FileKind::Regular : FileKind::Other};
    }

    std::unique_ptr<File> openRead(const std::string& path) override
    {
        // Others may read along, but nobody may write while the bytes are being taken.
        return openFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    }

    std::unique_ptr<File> openReadWrite(const std::string& path) override
    {
        return openFile(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS);
    }

    std::unique_ptr<File> openStandardInput() override
    {
        return std::make_unique<Win32Stream>(GetStdHandle(STD_INPUT_HANDLE), "standard input");
    }

    std::unique_ptr<File> openStandardOutput() override
    {
        return std::make_unique<Win32Stream>(GetStdHandle(STD_OUTPUT_HANDLE), "standard output");
    }

    std::unique_ptr<File> createTemporary(const std::string& destination, AtLink atLink, std::string& path) override
    {
        (void)atLink; // a name is replaced, not followed, either way here
        const FileAction what{kCreateTemporaryAction, destination};
        const auto sep = destination.find_last_of("\\/");
        const std::string folder = sep == std::string::npos ? std::string() : destination.substr(0, sep + 1);
        const std::string name = destination.substr(folder.size());
        for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
            const std::string candidate = folder + temporaryName(name);
            const std::wstring wide = widePath(candidate, what);
            // Shared for deleting, so that it can be renamed into place while it is open; its lock tells
            // every other program that it is being written.
            Handle handle(CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                      nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (handle.valid()) {
                if (!lockAsWritten(handle.get())) {
                    const DWORD error = GetLastError();
                    handle.close();
                    DeleteFileW(wide.c_str());
                    fail(error, what);
                }
                path = candidate;
                return std::make_unique<Win32File>(std::move(handle), candidate);
            }
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
                failOn(error, wide, what);
        }
        fail(ERROR_FILE_EXISTS, what);
    }

    void rename(const std::string& from, const std::string& destination, AtLink atLink) override
    {
        (void)atLink; // MoveFileEx replaces a link at the name itself
        const FileAction what{"rename " + from + " to", destination};
        const std::wstring wideFrom = widePath(from, what);
        const std::wstring wideTo = widePath(destination, what);
        // A hidden or system file stays so when it is replaced.
        const DWORD attributes = GetFileAttributesW(wideTo.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            const DWORD kept = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                             FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
            if (kept != 0 && !SetFileAttributesW(wideFrom.c_str(), kept))
                fail(GetLastError(), what);
        }
        // Write-through: the call returns once the new name is on the disk.
        if (!MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            failOn(GetLastError(), wideTo, what);
    }

    void remove(const std::string& path) override
    {
        const FileAction what{"remove", path};
        const std::wstring wide = widePath(path, what);
        if (!DeleteFileW(wide.c_str()))
            failOn(GetLastError(), wide, what);
    }

    void removeLeftovers(const std::string& folder) override
    {
        std::wstring wide;
        if (!toUtf16(folder, wide) || wide.empty())
            return;
        if (wide.back() != L'\\' && wide.back() != L'/')
            wide += L'\\';
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found;
        const UniqueHandle<FindTraits> find(FindFirstFileW((wide + L".*").c_str(), &found));
        if (find.get() == INVALID_HANDLE_VALUE)
            return;
        do {
            if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0 &&
                isTemporaryName(utf8FromUtf16(found.cFileName)))
                names.emplace_back(found.cFileName);
        } while (FindNextFileW(find.get(), &found));
        for (const auto& name : names) {
            const std::wstring path = wide + name;
            {
                Handle file(CreateFileW(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
                // A program that writes it holds its lock.
                if (!file.valid() || !lockAsWritten(file.get()))
                    continue;
            }
            DeleteFileW(path.c_str());
        }
    }

    std::int64_t freeSpace(const std::string& folder) override
    {
        const FileAction what{"free space of", folder};
        std::wstring wide = widePath(folder, what);
        // "C:" alone would mean the drive's current folder: the same volume, but say the root plainly.
        if (!wide.empty() && wide.back() != L'\\' && wide.back() != L'/')
            wide += L'\\';
        ULARGE_INTEGER available;
        if (!GetDiskFreeSpaceExW(wide.c_str(), &available, nullptr, nullptr))
            failOn(GetLastError(), wide, what);
        return available.QuadPart > static_cast<ULONGLONG>(INT64_MAX) ? INT64_MAX
                                                                      : static_cast<std::int64_t>(available.QuadPart);
    }

    void flushFolder(const std::string& folder) override
    {
        // NTFS journals the names in a folder itself, and a file's flush takes its own entry along; a rename
        // is written through (MOVEFILE_WRITE_THROUGH). There is no folder handle to flush.
        (void)folder;
    }

    void flushFile(const std::string& path) override
    {
        const FileAction what{"flush", path};
        const std::wstring wide = widePath(path, what);
        const Handle file(CreateFileW(wide.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!file.valid())
            failOn(GetLastError(), wide, what);
        if (!FlushFileBuffers(file.get()))
            fail(GetLastError(), what);
    }

    // Lines go out in the OEM code page (see batchTextFromUtf8): cmd reads a batch file in that code page,
    // so a name outside ASCII comes back through Link.bat when the code page holds it.
    std::string textLineBytes(const std::string& line) override { return batchTextFromUtf8(line); }
};

} // namespace

std::unique_ptr<FileServices> makeNativeFileServices()
{
    return std::make_unique<Win32FileServices>();
}

} // namespace parvix
