#include "par2/RepairDecoder.h"

#include "par2/Galois16.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace parvix::par2 {

RepairDecoder::RepairDecoder(std::uint64_t sliceSize, std::vector<std::uint32_t> exponents)
    : m_sums(sliceSize, std::move(exponents))
{
}

void RepairDecoder::addRecovery(std::size_t k, std::uint64_t offset, const std::byte* data, std::size_t size)
{
    // Every power of 1 is 1: the bytes are added as they are, to sum k alone.
    m_sums.add(1, offset, data, size, k, 1);
}

void RepairDecoder::addInput(std::uint16_t constant, std::uint64_t offset, const std::byte* data, std::size_t size)
{
    m_sums.add(constant, offset, data, size);
}

void RepairDecoder::addInput(std::uint16_t constant, std::uint64_t offset, const std::byte* data, std::size_t size,
                             std::size_t first, std::size_t count)
{
    m_sums.add(constant, offset, data, size, first, count);
}

void RepairDecoder::addInput(std::span<const SliceInput> inputs, std::size_t first, std::size_t count)
{
    m_sums.add(inputs, first, count);
}

bool RepairDecoder::solve(std::span<const std::uint16_t> missingConstants)
{
    std::vector<std::uint32_t> exponents(m_sums.count());
    for (std::size_t k = 0; k < exponents.size(); ++k)
        exponents[k] = m_sums.exponent(k);
    auto matrix = solveRepair(missingConstants, exponents);
    if (!matrix)
        return false;
    m_matrix = std::move(matrix);
    // rebuild() may run on several threads: the sums are put in order once, here.
    m_sums.toWordOrder();
    return true;
}

void RepairDecoder::rebuild()
{
    rebuild(0, m_sums.sliceSize());
}

void RepairDecoder::rebuild(std::uint64_t offset, std::uint64_t size)
{
    if (!m_matrix)
        throw std::logic_error("rebuild() before a successful solve()");
    if (offset > sliceSize() || size > sliceSize() - offset || offset % 2 != 0 || size % 2 != 0)
        throw std::out_of_range("the range lies outside the slice or splits a word");
    const std::size_t m = m_matrix->rows.size();
    if (m == 0)
        return;
    // Block by block, every chosen sum is read before any is overwritten.
    const std::size_t block = std::clamp<std::size_t>((8u << 20) / m, 512, 16 * 1024) & ~std::size_t{63};
    std::vector<std::byte> out(m * block);
    for (std::uint64_t at = offset, end = offset + size; at < end;) {
        const auto step = static_cast<std::size_t>(std::min<std::uint64_t>(block, end - at));
        std::fill(out.begin(), out.end(), std::byte{0});
        for (std::size_t r = 0; r < m; ++r) {
            for (std::size_t j = 0; j < m; ++j) {
                const std::byte* sum = m_sums.slice(m_matrix->rows[j]).data() + at;
                Galois16::multiplyAdd(out.data() + r * block, sum, step, m_matrix->inverse[r * m + j]);
            }
        }
        for (std::size_t r = 0; r < m; ++r)
            std::memcpy(m_sums.slice(m_matrix->rows[r]).data() + at, out.data() + r * block, step);
        at += step;
    }
}

std::span<const std::byte> RepairDecoder::rebuilt(std::size_t r) const
{
    if (!m_matrix || r >= m_matrix->rows.size())
        throw std::out_of_range("no such rebuilt slice");
    return m_sums.slice(m_matrix->rows[r]);
}

} // namespace parvix::par2
