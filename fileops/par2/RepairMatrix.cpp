#include "par2/RepairMatrix.h"

#include "par2/Galois16.h"

#include <algorithm>
#include <utility>

namespace parvix::par2 {

namespace {

using G = Galois16;

// row ^= factor × other, from column `from` on.
void subtractRow(std::uint16_t* row, const std::uint16_t* other, std::uint16_t factor, std::size_t from,
                 std::size_t width)
{
    for (std::size_t c = from; c < width; ++c)
        row[c] ^= G::multiply(other[c], factor);
}

} // namespace

std::optional<RepairMatrix> solveRepair(std::span<const std::uint16_t> missingConstants,
                                        std::span<const std::uint32_t> exponents)
{
    const std::size_t m = missingConstants.size();
    RepairMatrix result;
    if (m == 0)
        return result;
    if (exponents.size() < m)
        return std::nullopt;

    // Rows are tried one by one against the chosen ones, kept reduced: each has a leading 1 in its own column.
    std::vector<std::uint16_t> reduced; // m wide, one row per chosen exponent
    std::vector<std::size_t> pivots;    // each chosen row's leading column
    std::vector<std::uint16_t> row(m);
    for (std::size_t j = 0; j < exponents.size() && result.rows.size() < m; ++j) {
        for (std::size_t c = 0; c < m; ++c)
            row[c] = G::power(missingConstants[c], exponents[j]);
        for (std::size_t k = 0; k < pivots.size(); ++k) {
            if (const std::uint16_t factor = row[pivots[k]]; factor != 0)
                subtractRow(row.data(), &reduced[k * m], factor, 0, m);
        }
        const auto lead = std::find_if(row.begin(), row.end(), [](std::uint16_t v) { return v != 0; });
        if (lead == row.end())
            continue;
        const std::uint16_t scale = G::inverse(*lead);
        for (std::uint16_t& v : row)
            v = G::multiply(v, scale);
        pivots.push_back(static_cast<std::size_t>(lead - row.begin()));
        reduced.insert(reduced.end(), row.begin(), row.end());
        result.rows.push_back(j);
    }
    if (result.rows.size() < m)
        return std::nullopt;

    // Gauss-Jordan on [A | I] for the chosen rows, A[j][c] = constant c to the power of exponent j.
    const std::size_t width = 2 * m;
    std::vector<std::uint16_t> work(m * width, 0);
    for (std::size_t j = 0; j < m; ++j) {
        for (std::size_t c = 0; c < m; ++c)
            work[j * width + c] = G::power(missingConstants[c], exponents[result.rows[j]]);
        work[j * width + m + j] = 1;
    }
    for (std::size_t c = 0; c < m; ++c) {
        std::size_t pivot = c;
        while (pivot < m && work[pivot * width + c] == 0)
            ++pivot;
        if (pivot == m)
            return std::nullopt; // cannot happen for rows chosen above, but a wrong answer must not either
        if (pivot != c)
            std::swap_ranges(&work[pivot * width], &work[pivot * width] + width, &work[c * width]);
        std::uint16_t* pivotRow = &work[c * width];
        const std::uint16_t scale = G::inverse(pivotRow[c]);
        for (std::size_t k = c; k < width; ++k)
            pivotRow[k] = G::multiply(pivotRow[k], scale);
        for (std::size_t r = 0; r < m; ++r) {
            if (r == c)
                continue;
            if (const std::uint16_t factor = work[r * width + c]; factor != 0)
                subtractRow(&work[r * width], pivotRow, factor, c, width);
        }
    }
    result.inverse.resize(m * m);
    for (std::size_t r = 0; r < m; ++r)
        std::copy_n(&work[r * width + m], m, &result.inverse[r * m]);
    return result;
}

} // namespace parvix::par2
