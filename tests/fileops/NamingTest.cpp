#include "Naming.h"

#include <gtest/gtest.h>

namespace parvix {
namespace {

TEST(Naming, PieceSuffix)
{
    EXPECT_EQ(pieceSuffix(1), ".001");
    EXPECT_EQ(pieceSuffix(42), ".042");
    EXPECT_EQ(pieceSuffix(1000), ".1000");
}

} // namespace
} // namespace parvix
