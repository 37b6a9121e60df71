#include "par2/Par2Reader.h"

#include "par2/PacketFormat.h"

#include <algorithm>
#include <cstring>

namespace parvix::par2 {

namespace {

using namespace format;

constexpr std::size_t kWindow = 1024 * 1024;
// The largest body kept: room for a main packet naming 32768 files, and for the slice checksums of a file
// with every slice a set can have (16 + 20 × 32768 bytes).
constexpr std::uint64_t kMaxKeptBody = 12 + 16 * 2 * std::uint64_t{kMaxInputSlices};

// The file seen through a window of kWindow bytes that moves on as reading does.
class Source
{
public:
    Source(const ReadAt& read, std::uint64_t length)
        : m_read(read), m_length(length), m_buffer(static_cast<std::size_t>(std::min<std::uint64_t>(kWindow, length)))
    {
    }

    std::uint64_t length() const { return m_length; }
    bool failed() const { return m_failed; }

    // size bytes at offset, which must lie in the file; nothing when the read fails.
    const std::byte* view(std::uint64_t offset, std::size_t size)
    {
        std::size_t got = 0;
        return run(offset, size, size, got);
    }

    // The bytes from offset on, at least `least` and at most `most` of them, which must lie in the file:
    // those the window holds already, or a window read from offset. Their count goes to `size`; nothing
    // when the read fails. So a file is read once however small its packets are.
    const std::byte* run(std::uint64_t offset, std::size_t least, std::uint64_t most, std::size_t& size)
    {
        if (offset >= m_start && offset + least <= m_start + m_filled) {
            size = static_cast<std::size_t>(std::min<std::uint64_t>(m_start + m_filled - offset, most));
            return m_buffer.data() + (offset - m_start);
        }
        size = static_cast<std::size_t>(std::min<std::uint64_t>(most, kWindow));
        return refill(offset, size);
    }

    // The offset of the next magic at or after offset, or the file's length.
    std::uint64_t findMagic(std::uint64_t offset)
    {
        while (offset + kMagic.size() <= m_length) {
            std::size_t size = 0;
            const std::byte* bytes = run(offset, kMagic.size(), m_length - offset, size);
            if (bytes == nullptr)
                return m_length;
            const std::byte* end = bytes + size;
            const std::byte* found = std::search(bytes, end, kMagic.begin(), kMagic.end());
            if (found != end)
                return offset + static_cast<std::uint64_t>(found - bytes);
            if (offset + size == m_length)
                break;
            // A magic may straddle the window's end.
            offset += size - (kMagic.size() - 1);
        }
        return m_length;
    }

private:
    // A window from offset, of which at least size bytes must be read.
    const std::byte* refill(std::uint64_t offset, std::size_t size)
    {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(kWindow, m_length - offset));
        m_start = offset;
        m_filled = std::min(m_read(offset, m_buffer.data(), want), want);
        if (m_filled < size) {
            m_failed = true;
            return nullptr;
        }
        return m_buffer.data();
    }

    const ReadAt& m_read;
    std::uint64_t m_length;
    std::vector<std::byte> m_buffer;
    std::uint64_t m_start = 0;
    std::size_t m_filled = 0;
    bool m_failed = false;
};

std::string textOf(const std::byte* bytes, std::size_t size)
{
    std::string text(reinterpret_cast<const char*>(bytes), size);
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

// Parses a body of a kind read here; false when it cannot be one.
bool parse(const PacketType& type, const Md5Hash& setId, const std::vector<std::byte>& body, Par2FileContents& out)
{
    const std::byte* b = body.data();
    const std::size_t size = body.size();
    if (type == kMainType) {
        if (size < 12 || (size - 12) % 16 != 0)
            return false;
        const std::uint64_t count = getLe(b + 8, 4);
        const std::size_t ids = (size - 12) / 16;
        if (count > ids)
            return false;
        MainPacket main{setId, getLe(b, 8), {}, {}};
        for (std::size_t i = 0; i < ids; ++i)
            (i < count ? main.fileIds : main.nonRecoveryFileIds).push_back(getHash(b + 12 + 16 * i));
        out.mains.push_back(std::move(main));
    } else if (type == kFileDescriptionType) {
        if (size < 56)
            return false;
        out.fileDescriptions.push_back(
            {setId, getHash(b), getHash(b + 16), getHash(b + 32), getLe(b + 48, 8), textOf(b + 56, size - 56)});
    } else if (type == kSliceChecksumsType) {
        if (size < 16 || (size - 16) % 20 != 0)
            return false;
        SliceChecksumPacket checksums{setId, getHash(b), {}};
        for (std::size_t at = 16; at < size; at += 20)
            checksums.slices.push_back({getHash(b + at), static_cast<std::uint32_t>(getLe(b + at + 16, 4))});
        out.sliceChecksums.push_back(std::move(checksums));
    } else if (type == kCreatorType) {
        out.creators.push_back({setId, textOf(b, size)});
    } else {
        return false;
    }
    return true;
}

} // namespace

Par2FileContents readPar2File(const ReadAt& read, std::uint64_t length, const ReadOptions& options)
{
    Par2FileContents out;
    Source source(read, length);
    std::vector<std::byte> body;
    std::uint64_t offset = 0;
    while (!source.failed()) {
        offset = source.findMagic(offset);
        if (offset + kHeaderSize > length)
            break;
        const std::byte* header = source.view(offset, kHeaderSize);
        if (header == nullptr)
            break;
        const std::uint64_t packetLength = getLe(header + 8, 8);
        const Md5Hash expected = getHash(header + 16);
        const Md5Hash setId = getHash(header + 32);
        PacketType type;
        std::memcpy(type.data(), header + 48, type.size());

        if (packetLength % 4 != 0 || packetLength < kHeaderSize || packetLength > length - offset) {
            ++out.damagedPackets;
            offset += kMagic.size();
            continue;
        }
        const std::uint64_t bodySize = packetLength - kHeaderSize;
        const bool recovery = type == kRecoverySliceType;
        const bool kept =
            !recovery && bodySize <= kMaxKeptBody &&
            (type == kMainType || type == kFileDescriptionType || type == kSliceChecksumsType || type == kCreatorType);
        const bool check = !recovery || options.checkRecoveryData;

        // The hash runs over the set ID, the type and the body, read a window at a time.
        body.clear();
        Md5 md5;
        md5.update(header + kHashedFrom, kHeaderSize - kHashedFrom);
        std::uint32_t exponent = 0;
        if (recovery && bodySize >= 4) {
            const std::byte* start = source.view(offset + kHeaderSize, 4);
            if (start == nullptr)
                break;
            exponent = static_cast<std::uint32_t>(getLe(start, 4));
        }
        for (std::uint64_t at = offset + kHeaderSize, end = offset + packetLength; check && at < end;) {
            std::size_t step = 0;
            const std::byte* bytes = source.run(at, 1, end - at, step);
            if (bytes == nullptr)
                break;
            md5.update(bytes, step);
            if (kept)
                body.insert(body.end(), bytes, bytes + step);
            at += step;
        }
        if (source.failed())
            break;
        if (check && md5.digest() != expected) {
            ++out.damagedPackets;
            offset += kMagic.size();
            continue;
        }

        if (recovery) {
            if (bodySize < 4)
                ++out.damagedPackets;
            else
                out.recoverySlices.push_back({setId, exponent, offset + kHeaderSize + 4, bodySize - 4});
        } else if (!kept) {
            ++out.skippedPackets;
        } else if (!parse(type, setId, body, out)) {
            ++out.damagedPackets;
        }
        offset += packetLength;
    }
    out.readFailed = source.failed();
    return out;
}

} // namespace parvix::par2
