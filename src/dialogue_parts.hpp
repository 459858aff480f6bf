#pragma once

// What the dialogue's two paths share, in dialogue_parts.cpp: why an answer
// was refused and the words for it, naming an answer, judging a word and
// quoting it, and the reading of white space. A script's answers are read in
// dialogue.cpp, a person's at a terminal in terminal_lines.cpp.

#include "exchange_sort.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <string_view>

namespace array_sort::dialogue_parts {

// Why an answer was refused, or why the reading stopped. (A read that
// failed leaves the stream bad, and the caller reports its cause.)
enum class Reason {
    not_a_number,  // not a sign and digits
    too_large,     // a sign and digits, above the signed 32-bit range
    too_small,     // a sign and digits, below it
    above_maximum, // a count above the capacity
    too_long,      // a word longer than any number (at a terminal)
    utf16,         // text in UTF-16, which has no numbers to read here
    input_ended,
};

// An answer taken, or why it was not.
using Refusal = std::optional<Reason>;

// What every diagnostic starts with.
inline constexpr std::string_view program_name = "array-sort: ";

// The columns of the screen that every line of a message fits in, counting
// a byte as one column (bytes from 0x80 up are never wider on the screen)
// and a control character, shown as ^ and a letter, as two.
inline constexpr std::size_t screen_width = 80;

// The longest word that can be one number at a terminal, and the most of a
// word that a message shows.
inline constexpr std::size_t longest_word = 32;

// The first bytes of a word (or of words one blank apart), as many as a
// message shows, and how many bytes it had in all.
struct Excerpt {
    std::array<char, longest_word> text{};
    std::size_t size = 0;
};

// The bytes of `e` that were kept.
std::size_t kept_size(const Excerpt& e);
// Counts `c` into `e`, keeping it if there is room.
void append(Excerpt& e, char c);

// Writes what a reason says, the one place that words them.
void write_reason(std::ostream& err, Reason why);

// Writes what an answer was to be: the count, or number k of T (each at
// least 1). Returns the characters written.
std::size_t name_answer(std::ostream& err, bool count, std::int32_t k, std::int32_t T);

// Judges a whole word as one number: an optional sign, then decimal digits
// only, at most 32 bytes, within the signed 32-bit range. Returns why it is
// not one, if it is not; else `value` is the number.
Refusal whole_number(const Excerpt& word, std::int32_t& value);

// Why a word that formatted extraction could not take is no number, judged by
// its first 32 bytes: out of range, by its sign, when they are a sign and
// digits (extraction takes any number of digits), else not a whole number.
Reason refused_reason(const Excerpt& word);

// Writes the excerpt in quotes within `columns` columns, quotes included,
// as the terminal echoed it and never cut inside a character. Returns the
// columns written.
std::size_t write_quoted(std::ostream& out, const Excerpt& e, std::size_t columns);

// Writes the first line of the report on a refused word, without its line
// end: the program's name, what the answer was to be (as name_answer), the
// word quoted in the room the line has, and why. Returns the columns written.
std::size_t write_refused(std::ostream& err, bool count, std::int32_t k, std::int32_t T, const Excerpt& word,
                          Reason why);

// Writes the whole report on an input that ended before the count or number
// k of T.
void write_input_ended(std::ostream& err, bool count, std::int32_t k, std::int32_t T);

using traits = std::istream::traits_type;

// White space and decimal digits as the streams' classic locale knows them.
bool is_space(std::istream::int_type c);
bool is_digit(std::istream::int_type c);

// Flushes the output tied to `in`, so that whatever was written is on the
// screen before a read that may wait for the person to type.
void flush_tied(std::istream& in);

// The answers of a person at a terminal, taken a line at a time: a line is
// taken whole or not at all, and every mistake is named. Returns 0 once the
// list is complete, 1 when the input ends or fails first.
int read_lines(std::istream& in, std::ostream& out, std::ostream& err, Numbers& ARRAY_Size, std::int32_t& T);

} // namespace array_sort::dialogue_parts
