#pragma once

#include <iosfwd>

namespace array_sort {

// The whole conversation of one run: announces the capacity, asks for the
// count and the numbers, reads them from `in`, sorts them and writes them to
// `out`. Returns the exit status: 0 when the sorted list was written, 1 when
// the input was refused or could not be read.
//
// From a script, the count and the numbers are read by formatted extraction,
// and the first answer that cannot be used gets one line on `err` and stops
// the dialogue, before anything more is written to `out`. That line quotes a
// word refused, which is given back: `in`'s position is moved back to its
// first byte, where the stream can move.
//
// `at_terminal` is for a person typing: the answers are taken a line at a
// time, and a line is taken whole or not at all. Every word that an answer
// needs must be one whole number; a line with a mistake gets one line on
// `err` that names the word and asks for the whole line again, and nothing of
// it is kept. Words after the last number are named on `err` and left.
//
// The end of the input stops the dialogue with a line on `err`. A read that
// failed (`in` gone bad) stops it without one: the caller, who knows the
// cause, reports it.
int run_dialogue(std::istream& in, std::ostream& out, std::ostream& err, bool at_terminal);

} // namespace array_sort
