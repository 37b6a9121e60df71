#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace parvix::par2 {

using Md5Hash = std::array<std::uint8_t, 16>;

// MD5, added to block by block: OpenSSL's on Linux (its assembly is the fastest of the maintained ones
// here), the system's CNG on Windows. A copy carries the state along, so that one stream of bytes can end
// in two digests (a piece as it is, and padded to its slice).
class Md5
{
public:
    Md5();
    ~Md5();
    Md5(const Md5& other);
    Md5& operator=(const Md5& other);

    void update(const std::byte* bytes, std::size_t size);
    // The digest of everything added since the start; the object then starts afresh.
    Md5Hash digest();

    static Md5Hash of(const std::byte* bytes, std::size_t size);

private:
    // A handle of the library's or the system's context, which a copy duplicates.
    alignas(8) std::byte m_state[sizeof(void*)];
};

} // namespace parvix::par2
