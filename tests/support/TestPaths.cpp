#include "TestPaths.h"

#include "Platform.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <winternl.h>
#else
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace parvix::test {

namespace fs = std::filesystem;

std::string joinPath(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == kSeparator)
        return folder + name;
    return folder + kSeparator + name;
}

std::string nativePath(std::string path)
{
    for (char& c : path) {
        if (c == '/')
            c = kSeparator;
    }
    return path;
}

std::string patternBytes(std::size_t size, std::uint32_t seed)
{
    // A small linear congruential generator: fast, and the same on every platform.
    std::string bytes(size, '\0');
    std::uint32_t state = seed * 2654435761u + 12345u;
    for (auto& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string readFile(const std::string& path)
{
    std::ifstream in(fs::path(path), std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool fileExists(const std::string& path)
{
    std::error_code error;
    return fs::exists(fs::symlink_status(fs::path(path), error));
}

#ifndef _WIN32
void makeSocket(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path))
        throw std::runtime_error("socket path too long: " + path);
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!bound)
        throw std::runtime_error("cannot make a socket at " + path);
}
#endif

std::map<std::string, std::string> snapshotTree(const std::string& folder)
{
    std::map<std::string, std::string> tree;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(folder))) {
        // Entries lie below `folder`, so the relative path is what follows it (no look-up of links).
        const std::string name = entry.path().lexically_relative(fs::path(folder)).generic_string();
        if (entry.is_symlink())
            tree[name] = "<link>" + fs::read_symlink(entry.path()).generic_string();
        else if (entry.is_directory())
            tree[name] = "<dir>";
        else if (entry.is_regular_file())
            tree[name] = readFile(entry.path().string());
        else
            tree[name] = "<other>";
    }
    return tree;
}

std::size_t firstDifference(const std::string& a, const std::string& b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (a[i] != b[i])
            return i;
    }
    return a.size() == b.size() ? std::string::npos : common;
}

#ifdef _WIN32
namespace {

// The process's entries in the system's table of handles. Wine answers GetProcessHandleCount with 0,
// but keeps this table; its process ids are small, so the 16 bits the table holds of them are enough.
int handlesInSystemTable()
{
    using Query = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    constexpr ULONG kSystemHandleInformation = 16;
    constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
    if (!query)
        throw std::runtime_error("cannot count the process's handles");
    std::vector<char> buffer(1 << 16);
    NTSTATUS status;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), nullptr)) ==
           kInfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        throw std::runtime_error("cannot count the process's handles");
    const auto* table = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
    const SYSTEM_HANDLE_ENTRY* entries = table->Handle;
    const ULONG process = GetCurrentProcessId() & 0xFFFF;
    int count = 0;
    for (ULONG i = 0; i < table->Count; ++i)
        count += (entries[i].OwnerPid & 0xFFFF) == process ? 1 : 0;
    return count;
}

} // namespace
#endif

int openDescriptors()
{
#ifdef _WIN32
    // The first exception of a process leaves handles open under Wine: throw it before the first count,
    // so that the first failure a test provokes does not count as a leak.
    static const bool thrown = [] {
        try {
            throw std::runtime_error("first exception");
        } catch (const std::runtime_error&) {
        }
        return true;
    }();
    (void)thrown;
    DWORD count = 0;
    if (!GetProcessHandleCount(GetCurrentProcess(), &count))
        throw std::runtime_error("cannot count the process's handles");
    return count != 0 ? static_cast<int>(count) : handlesInSystemTable();
#else
    // The listing's own descriptor is counted every time alike.
    const auto entries = fs::directory_iterator(fs::path("/proc/self/fd"));
    return static_cast<int>(std::distance(fs::begin(entries), fs::end(entries)));
#endif
}

std::string concatenated(const std::vector<std::string>& paths)
{
    std::string bytes;
    for (const auto& path : paths)
        bytes += readFile(path);
    return bytes;
}

} // namespace parvix::test
