#include "exchange_sort.hpp"

#include <cstddef>

namespace array_sort {

namespace {

// The intermediate of every exchange. It lives for the whole run and is never
// reset between exchanges or passes.
std::int32_t Temp = 0; // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

} // namespace

void exchange_sort(Numbers& ARRAY_Size, std::int32_t T)
{
    for (std::int32_t pass = 0; pass < T; ++pass) {
        // T >= 1 here, so T - 1 cannot overflow. `left` always holds element j,
        // so each step loads only element j + 1.
        std::int32_t left = ARRAY_Size[0];
        for (std::int32_t j = 0; j < T - 1; ++j) {
            auto& right = ARRAY_Size[static_cast<std::size_t>(j) + 1];
            if (left > right) {
                Temp = left;
                ARRAY_Size[static_cast<std::size_t>(j)] = right;
                right = Temp; // element j + 1 is now `left` again
            } else {
                left = right;
            }
        }
    }
}

} // namespace array_sort
