#pragma once

// What the dialogue's two paths share: why an answer was refused and the
// words for it, and the reading of white space. A script's answers are read
// in dialogue.cpp, a person's at a terminal in terminal_lines.cpp.

#include "exchange_sort.hpp"

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <string_view>

namespace array_sort::dialogue_parts {

// Why an answer was refused, or why the reading stopped. (A read that
// failed leaves the stream bad, and the caller reports its cause.)
enum class Reason {
    not_a_number,  // not a sign and digits (from a script: or out of range)
    too_large,     // a sign and digits, above the signed 32-bit range
    too_small,     // a sign and digits, below it
    above_maximum, // a count above the capacity
    too_long,      // a word longer than any number (at a terminal)
    utf16,         // text in UTF-16, which has no numbers to read here
    input_ended,
};

// An answer taken, or why it was not.
using Refusal = std::optional<Reason>;

// What a reason says, the one place that words them. From a script,
// formatted extraction does not tell a number out of range from text, and
// the range is named; at a terminal, where the word is quoted beside it, the
// reason is short, so that the word has room on a line of the screen.
void write_reason(std::ostream& err, Reason why, bool at_terminal);
// The characters that write_reason writes.
std::size_t reason_width(Reason why, bool at_terminal);

// Writes what an answer was to be: the count, or number k of T (each at
// least 1). Returns the characters written.
std::size_t name_answer(std::ostream& err, bool count, std::int32_t k, std::int32_t T);

// What every diagnostic starts with.
inline constexpr std::string_view program_name = "array-sort: ";

using traits = std::istream::traits_type;

// White space as the streams' classic locale knows it.
bool is_space(std::istream::int_type c);

// Flushes the output tied to `in`, so that whatever was written is on the
// screen before a read that may wait for the person to type.
void flush_tied(std::istream& in);

// The answers of a person at a terminal, taken a line at a time: a line is
// taken whole or not at all, and every mistake is named. Returns 0 once the
// list is complete, 1 when the input ends or fails first.
int read_lines(std::istream& in, std::ostream& out, std::ostream& err, Numbers& ARRAY_Size, std::int32_t& T);

} // namespace array_sort::dialogue_parts
