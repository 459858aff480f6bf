// The exchange sort on its own: ascending order for counts from below 0 to
// the capacity, the extremes of the signed 32-bit range compared as signed
// values, elements past the count untouched, and agreement with std::sort on
// random lists.

#include "exchange_sort.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <numeric>
#include <random>
#include <vector>

namespace {

using array_sort::capacity;
using array_sort::exchange_sort;
using array_sort::Numbers;

constexpr std::int32_t min32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t max32 = std::numeric_limits<std::int32_t>::max();
constexpr std::uint32_t seed = 20261207;
constexpr int rounds = 4000;
// Fills the part of the array the sort must not touch.
constexpr std::int32_t untouched = 0x5EED;

// Sorts `values` placed at the front of an array whose rest holds a marker,
// and returns the whole array.
Numbers sorted(const std::vector<std::int32_t>& values, std::int32_t T)
{
    Numbers a;
    a.fill(untouched);
    std::copy(values.begin(), values.end(), a.begin());
    exchange_sort(a, T);
    return a;
}

Numbers expected(std::vector<std::int32_t> values, std::int32_t sorted_count)
{
    std::sort(values.begin(), values.begin() + sorted_count);
    Numbers a;
    a.fill(untouched);
    std::copy(values.begin(), values.end(), a.begin());
    return a;
}

struct Case {
    const char* name;
    std::vector<std::int32_t> values;
    std::int32_t T;
};

std::vector<std::int32_t> descending(std::int32_t n)
{
    std::vector<std::int32_t> v(static_cast<std::size_t>(n));
    std::iota(v.rbegin(), v.rend(), -n / 2);
    return v;
}

TEST(ExchangeSort, Table)
{
    const std::vector<Case> cases = {
        {"count 0 leaves the array alone", {3, 2, 1}, 0},
        {"negative count leaves the array alone", {3, 2, 1}, -1},
        {"most negative count", {3, 2, 1}, min32},
        {"count 1 leaves the array alone", {3, 2, 1}, 1},
        {"two in order", {1, 2}, 2},
        {"two reversed", {2, 1}, 2},
        {"only the first T are sorted", {5, 4, 3, 2, 1}, 3},
        {"overview example", {7, -3, 7, 0}, 4},
        {"duplicates kept", {2, 2, 1, 2, 1, 1}, 6},
        {"all equal", {9, 9, 9, 9}, 4},
        {"extremes against each other", {max32, min32}, 2},
        {"extremes against all others", {0, max32, -1, min32, 1, max32, min32}, 7},
        {"difference would overflow", {min32, 1, max32, -1}, 4},
        {"already ascending", {-5, -1, 0, 3, 8}, 5},
        {"100 descending", descending(capacity), capacity},
    };
    for (const auto& c : cases) {
        const std::int32_t prefix = std::max(c.T, 0);
        EXPECT_EQ(sorted(c.values, c.T),
                  expected(c.values, std::min(prefix, static_cast<std::int32_t>(c.values.size()))))
            << c.name;
    }
}

TEST(ExchangeSort, AgreesWithStdSortOnRandomLists)
{
    std::mt19937 rng(seed); // NOLINT(cert-msc32-c,cert-msc51-cpp): the same lists on every run
    std::uniform_int_distribution<std::int32_t> length(0, capacity);
    // A narrow range gives many duplicates; the full range reaches the extremes.
    std::uniform_int_distribution<std::int32_t> narrow(-3, 3);
    std::uniform_int_distribution<std::int32_t> full(min32, max32);
    for (int round = 0; round < rounds; ++round) {
        auto& value = round % 2 == 0 ? narrow : full;
        const std::int32_t n = length(rng);
        std::vector<std::int32_t> values(static_cast<std::size_t>(n));
        std::generate(values.begin(), values.end(), [&] { return value(rng); });
        ASSERT_EQ(sorted(values, n), expected(values, n)) << "round " << round << ", " << n << " numbers";
    }
}

} // namespace
