#pragma once

#include <array>
#include <cstdint>

namespace array_sort {

// How many numbers the program holds: the dimension of ARRAY_Size, spelled out
// in the first line of the dialogue.
inline constexpr std::int32_t capacity = 100;

using Numbers = std::array<std::int32_t, capacity>;

// Puts the first T elements of ARRAY_Size into ascending order, in place, by
// adjacent exchanges through the file's one static Temp: T full passes over all
// T - 1 neighbouring pairs, no early exit. A T of 1 or less leaves the array as
// it is. Elements from T on are neither read nor written; T must not exceed
// capacity. Not reentrant: every call shares Temp.
void exchange_sort(Numbers& ARRAY_Size, std::int32_t T);

} // namespace array_sort
