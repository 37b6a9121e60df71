#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace parvix::par2 {

using Md5Hash = std::array<std::uint8_t, 16>;

// MD5, added to block by block: nettle on Linux, the system's CNG on Windows. A copy carries the state
// along, so that one stream of bytes can end in two digests (a piece as it is, and padded to its slice).
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
    // nettle's context is copied as bytes; CNG's is a handle duplicated by the system.
    alignas(8) std::byte m_state[112];
};

} // namespace parvix::par2
