#pragma once

#include <iosfwd>

namespace array_sort {

// The whole conversation of one run: announces the capacity, asks for the
// count and the numbers, reads them from `in`, sorts them and writes them to
// `out`. Returns the exit status: 0 when the sorted list was written, 1 when
// the input was refused or could not be read.
//
// A bad answer gets one line on `err`. With `ask_again` (a person at a
// terminal) the line says what to type again, the rest of the input line is
// dropped and the same answer is read again; without it the dialogue stops
// there, before anything more is written to `out`. The end of the input
// always stops it. A read that failed (`in` gone bad) stops it without a
// line: the caller, who knows the cause, reports it.
int run_dialogue(std::istream& in, std::ostream& out, std::ostream& err, bool ask_again);

} // namespace array_sort
