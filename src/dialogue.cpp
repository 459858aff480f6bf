// The dialogue: its run from the first prompt to the sorted list, and a
// script's answers, read as formatted extraction reads them.

#include "dialogue.hpp"

#include "dialogue_parts.hpp"
#include "exchange_sort.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <ios>
#include <istream>
#include <limits>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string_view>

namespace array_sort {

namespace {

using dialogue_parts::append;
using dialogue_parts::Excerpt;
using dialogue_parts::flush_tied;
using dialogue_parts::is_digit;
using dialogue_parts::is_space;
using dialogue_parts::program_name;
using dialogue_parts::read_lines;
using dialogue_parts::Reason;
using dialogue_parts::Refusal;
using dialogue_parts::refused_reason;
using dialogue_parts::traits;
using dialogue_parts::write_reason;

// A script's input, read a byte at a time through take(), which keeps its
// first two bytes for the report on a refused answer.
struct ScriptInput {
    std::istream& in;
    std::streambuf& buffer;
    std::array<char, 2> start{};
    std::size_t taken = 0; // bytes taken, counted up to the size of `start`
};

// Takes the byte at the cursor, which is not the end of the input, and
// returns the one after it.
traits::int_type take(ScriptInput& s)
{
    if (s.taken < s.start.size()) {
        // NOLINTNEXTLINE(cppcoreguidelines-pro-bounds-constant-array-index): checked above
        s.start[s.taken] = traits::to_char_type(s.buffer.sgetc());
        ++s.taken;
    }
    return s.buffer.snextc();
}

// Takes the rest of a word that is no number, `c` on, up to white space or
// the end of the input, after the bytes of it in `word`. Returns why the
// word was refused.
Reason take_refused_word(ScriptInput& s, traits::int_type c, Excerpt& word)
{
    for (; !traits::eq_int_type(c, traits::eof()) && !is_space(c); c = take(s)) {
        append(word, traits::to_char_type(c));
    }
    return refused_reason(word);
}

// Reads one integer as formatted extraction does: skips white space, then
// takes an optional sign and every digit after it, and leaves the byte after
// them. Returns why no value was read, if none was: the end of the input, or
// a word that is not a number in range, which is then taken whole into
// `word`. On a read that failed, the stream is bad.
Refusal read_integer(ScriptInput& s, std::int32_t& value, Excerpt& word)
{
    // The magnitude, held at `beyond` once it is past any 32-bit value.
    constexpr std::int64_t largest = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t beyond = std::int64_t{1} << 32;
    constexpr std::int64_t base = 10;
    auto c = s.buffer.sgetc();
    while (is_space(c)) {
        c = take(s);
    }
    if (traits::eq_int_type(c, traits::eof())) {
        return Reason::input_ended;
    }
    const bool negative = c == '-';
    if (negative || c == '+') {
        append(word, traits::to_char_type(c));
        c = take(s);
    }
    bool digits = false;
    std::int64_t magnitude = 0;
    for (; is_digit(c); c = take(s)) {
        append(word, traits::to_char_type(c));
        magnitude = std::min(magnitude * base + (c - '0'), beyond);
        digits = true;
    }
    // A read that failed on the way, even after the last digit, leaves no
    // value, as it leaves none to extraction.
    if (digits && magnitude <= largest + (negative ? 1 : 0) && !s.in.bad()) {
        value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
        word = Excerpt{};
        return std::nullopt;
    }
    return take_refused_word(s, c, word);
}

// Skips the UTF-8 byte-order mark that some Windows editors write at the
// start of a file. Returns why the input cannot be read if it starts with a
// UTF-16 mark; part of a mark starts a word that is no number.
Refusal skip_byte_order_mark(ScriptInput& s, Excerpt& word)
{
    // UTF-8's mark, then UTF-16's little-endian and big-endian ones.
    constexpr std::array<std::string_view, 3> marks = {"\xef\xbb\xbf", "\xff\xfe", "\xfe\xff"};
    auto c = s.buffer.sgetc();
    const auto* mark = std::find_if(marks.begin(), marks.end(), [&](std::string_view m) {
        return traits::eq_int_type(c, traits::to_int_type(m.front()));
    });
    if (mark == marks.end()) {
        return std::nullopt;
    }
    std::size_t matched = 0;
    for (; matched < mark->size() && traits::eq_int_type(c, traits::to_int_type((*mark)[matched]));
         ++matched) {
        append(word, (*mark)[matched]);
        c = take(s);
    }
    if (matched < mark->size()) {
        return take_refused_word(s, c, word);
    }
    word = Excerpt{}; // a mark is no word
    return mark == marks.begin() ? Refusal() : Reason::utf16;
}

// Whether the input starts as text in UTF-16 does, with no mark: a text byte
// (a tab, a line end or printable ASCII), then a null byte, or the reverse.
// Its first byte has been taken; the second may still be at the cursor.
bool starts_as_utf16(const ScriptInput& s)
{
    const auto is_text = [](traits::int_type c) {
        return c == '\t' || (c >= '\n' && c <= '\r') || (c >= ' ' && c <= '~');
    };
    const auto first = traits::to_int_type(s.start[0]);
    const auto second = s.taken > 1 ? traits::to_int_type(s.start[1]) : s.buffer.sgetc();
    return (is_text(first) && second == 0) || (first == 0 && is_text(second));
}

// Reports, from a script, why the count (or number k of T) was not taken,
// and gives a refused word back to the input, so that the next reader of a
// shared file meets it whole. Returns 1.
int stop(ScriptInput& s, std::ostream& err, Reason why, const Excerpt& word, bool count, std::int32_t k,
         std::int32_t T)
{
    if (word.size > 0) {
        if (starts_as_utf16(s)) {
            why = Reason::utf16;
        }
        s.buffer.pubseekoff(-static_cast<std::streamoff>(word.size), std::ios_base::cur, std::ios_base::in);
    }
    if (why == Reason::input_ended) {
        dialogue_parts::write_input_ended(err, count, k, T);
        return 1;
    }
    if (why == Reason::utf16 || why == Reason::above_maximum) {
        err << program_name;
        if (why == Reason::above_maximum) {
            err << "count " << T << " is ";
        }
        write_reason(err, why); // for UTF-16, of the whole input
    } else {
        dialogue_parts::write_refused(err, count, k, T, word, why);
    }
    err << std::endl;
    return 1;
}

// The answers of a script: the count and the numbers by formatted
// extraction, after a byte-order mark if there is one, stopping at the first
// that cannot be used. A read that failed is the caller's to report.
int read_answers(std::istream& in, std::ostream& out, std::ostream& err, Numbers& ARRAY_Size, std::int32_t& T)
{
    ScriptInput s{in, *in.rdbuf()};
    Excerpt word;   // a word refused
    flush_tied(in); // as extraction does before it reads
    Refusal why = skip_byte_order_mark(s, word);
    if (!why) {
        why = read_integer(s, T, word);
    }
    if (!why && T > capacity) {
        why = Reason::above_maximum;
    }
    if (why) {
        return in.bad() ? 1 : stop(s, err, *why, word, true, 0, T);
    }
    out << "Please Enter The Numbers " << std::endl; // flushed: nothing more is written while they are read
    for (std::int32_t i = 0; i < T; ++i) {
        why = read_integer(s, ARRAY_Size[static_cast<std::size_t>(i)], word);
        if (why) {
            return in.bad() ? 1 : stop(s, err, *why, word, false, i + 1, T);
        }
    }
    return 0;
}

} // namespace

int run_dialogue(std::istream& in, std::ostream& out, std::ostream& err, bool at_terminal)
{
    std::int32_t T = 0;
    Numbers ARRAY_Size; // elements from T on are never touched

    out << "The Maximum Size Of The ARRAY = (" << capacity << ")" << std::endl;
    out << "Please Enter The Size Of The ARRAY" << std::endl;

    const int status =
        at_terminal ? read_lines(in, out, err, ARRAY_Size, T) : read_answers(in, out, err, ARRAY_Size, T);
    if (status != 0) {
        return status;
    }

    exchange_sort(ARRAY_Size, T);

    out << std::endl;
    out << "Numbers in the correct increasing order." << std::endl;
    out << std::endl;
    out << std::endl;
    for (std::int32_t i = 0; i < T; ++i) {
        out << '\t' << ARRAY_Size[static_cast<std::size_t>(i)];
    }
    out << std::endl;
    out << std::endl;
    return 0;
}

} // namespace array_sort
