#include "par2/Par2Set.h"

#include "par2/PacketFormat.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <unordered_set>

namespace parvix::par2 {

std::uint32_t Par2Set::sliceCount() const
{
    return firstSlice(files.size());
}

std::uint32_t Par2Set::firstSlice(std::size_t file) const
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < file; ++i)
        count += files[i].slices.size();
    return static_cast<std::uint32_t>(count);
}

Md5Hash fileId(const Md5Hash& md5First16k, std::uint64_t length, std::string_view name)
{
    Md5 md5;
    md5.update(reinterpret_cast<const std::byte*>(md5First16k.data()), md5First16k.size());
    std::byte lengthBytes[8];
    format::putLe(lengthBytes, length, 8);
    md5.update(lengthBytes, sizeof lengthBytes);
    md5.update(reinterpret_cast<const std::byte*>(name.data()), name.size());
    return md5.digest();
}

bool fileIdLess(const Md5Hash& a, const Md5Hash& b)
{
    return std::lexicographical_compare(a.rbegin(), a.rend(), b.rbegin(), b.rend());
}

Md5Hash recoverySetId(std::uint64_t sliceSize, const std::vector<Md5Hash>& sortedFileIds,
                      const std::vector<Md5Hash>& sortedNonRecoveryIds)
{
    Md5 md5;
    std::byte numbers[12];
    format::putLe(numbers, sliceSize, 8);
    format::putLe(numbers + 8, sortedFileIds.size(), 4);
    md5.update(numbers, sizeof numbers);
    for (const auto* ids : {&sortedFileIds, &sortedNonRecoveryIds}) {
        for (const Md5Hash& id : *ids)
            md5.update(reinterpret_cast<const std::byte*>(id.data()), id.size());
    }
    return md5.digest();
}

std::uint64_t slicesOf(std::uint64_t length, std::uint64_t sliceSize)
{
    return length / sliceSize + (length % sliceSize != 0 ? 1 : 0);
}

std::uint16_t inputSliceConstant(std::uint32_t index)
{
    static const std::vector<std::uint16_t> constants = [] {
        std::vector<std::uint16_t> out;
        out.reserve(kMaxInputSlices);
        std::uint16_t power = 1; // 2^exponent, stepped along without the field's tables
        for (std::uint32_t exponent = 0; out.size() < kMaxInputSlices; ++exponent) {
            if (exponent % 3 != 0 && exponent % 5 != 0 && exponent % 17 != 0 && exponent % 257 != 0)
                out.push_back(power);
            power = static_cast<std::uint16_t>((power << 1) ^ ((power & 0x8000) != 0 ? 0x100B : 0));
        }
        return out;
    }();
    if (index >= kMaxInputSlices)
        throw std::out_of_range("a recovery set has at most 32768 input slices");
    return constants[index];
}

namespace {

std::vector<std::size_t> orderById(const std::vector<Md5Hash>& ids)
{
    std::vector<std::size_t> order(ids.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return fileIdLess(ids[a], ids[b]); });
    return order;
}

void checkNamesAndCount(const std::vector<std::string_view>& names, std::uint64_t slices)
{
    std::unordered_set<std::string_view> seen;
    for (const std::string_view name : names) {
        if (!seen.insert(name).second)
            throw std::invalid_argument("two files of a recovery set have one name");
    }
    if (slices > kMaxInputSlices)
        throw std::invalid_argument("a recovery set has at most 32768 input slices");
}

} // namespace

Par2Set makeSet(std::uint64_t sliceSize, std::vector<InputFile> files)
{
    format::checkSliceSize(sliceSize);
    std::vector<Md5Hash> ids;
    std::vector<std::string_view> names;
    std::uint64_t slices = 0;
    for (InputFile& file : files) {
        if (file.slices.size() != slicesOf(file.length, sliceSize))
            throw std::invalid_argument("a file's slice checksums do not match its length");
        file.id = fileId(file.md5First16k, file.length, file.name);
        ids.push_back(file.id);
        names.push_back(file.name);
        slices += file.slices.size();
    }
    checkNamesAndCount(names, slices);

    Par2Set set;
    set.sliceSize = sliceSize;
    std::vector<Md5Hash> sortedIds;
    for (const std::size_t i : orderById(ids)) {
        sortedIds.push_back(ids[i]);
        set.files.push_back(std::move(files[i]));
    }
    set.id = recoverySetId(sliceSize, sortedIds);
    return set;
}

SetLayout::SetLayout(std::uint64_t sliceSize, const std::vector<FileKey>& files)
    : m_sliceSize(sliceSize), m_positions(files.size()), m_firstSlices(files.size())
{
    format::checkSliceSize(sliceSize);
    std::vector<std::string_view> names;
    std::uint64_t slices = 0;
    for (const FileKey& file : files) {
        m_ids.push_back(par2::fileId(file.md5First16k, file.length, file.name));
        names.push_back(file.name);
        slices += slicesOf(file.length, sliceSize);
    }
    checkNamesAndCount(names, slices);

    std::vector<Md5Hash> sortedIds;
    std::uint32_t next = 0;
    const std::vector<std::size_t> order = orderById(m_ids);
    for (std::size_t position = 0; position < order.size(); ++position) {
        const std::size_t file = order[position];
        m_positions[file] = position;
        m_firstSlices[file] = next;
        next += static_cast<std::uint32_t>(slicesOf(files[file].length, sliceSize));
        sortedIds.push_back(m_ids[file]);
    }
    m_sliceCount = next;
    m_setId = recoverySetId(sliceSize, sortedIds);
}

std::uint16_t SetLayout::constant(std::size_t file, std::uint32_t slice) const
{
    return inputSliceConstant(m_firstSlices[file] + slice);
}

} // namespace parvix::par2
