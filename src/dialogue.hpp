#pragma once

#include <iosfwd>

namespace array_sort {

// The whole conversation of one run: announces the capacity, asks for the
// count and the numbers, reads them from `in`, sorts them and writes them to
// `out`. Bad input gets one line on `err` and stops the dialogue before
// anything more is written to `out`. Returns the exit status: 0 when the
// sorted list was written, 1 when the input was refused.
int run_dialogue(std::istream& in, std::ostream& out, std::ostream& err);

} // namespace array_sort
