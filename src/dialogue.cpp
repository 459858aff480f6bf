// The dialogue: its run from the first prompt to the sorted list, a script's
// answers, and the words for every reason an answer is refused.

#include "dialogue.hpp"

#include "dialogue_parts.hpp"
#include "exchange_sort.hpp"

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <string_view>

namespace array_sort {

namespace dialogue_parts {

namespace {

// What a reason says; above_maximum goes on with the capacity.
std::string_view reason_text(Reason why, bool at_terminal)
{
    if (why == Reason::not_a_number) {
        return at_terminal ? "not a whole number" : "not a whole number from -2147483648 to 2147483647";
    }
    if (why == Reason::too_large) {
        return "too large";
    }
    if (why == Reason::too_small) {
        return "too small";
    }
    if (why == Reason::above_maximum) {
        return "above the maximum"; // and the capacity
    }
    if (why == Reason::too_long) {
        return "over 32 characters";
    }
    if (why == Reason::utf16) {
        return "input in UTF-16; save the file as plain text (ANSI or UTF-8)";
    }
    return "input ended";
}

// The digits of n, which is not negative.
std::size_t decimal_width(std::int32_t n)
{
    constexpr std::int32_t base = 10;
    std::size_t width = 1;
    for (; n >= base; n /= base) {
        ++width;
    }
    return width;
}

} // namespace

std::size_t reason_width(Reason why, bool at_terminal)
{
    const std::size_t text = reason_text(why, at_terminal).size();
    return why == Reason::above_maximum ? text + 1 + decimal_width(capacity) : text;
}

void write_reason(std::ostream& err, Reason why, bool at_terminal)
{
    err << reason_text(why, at_terminal);
    if (why == Reason::above_maximum) {
        err << ' ' << capacity;
    }
}

std::size_t name_answer(std::ostream& err, bool count, std::int32_t k, std::int32_t T)
{
    constexpr std::string_view count_name = "count";
    constexpr std::string_view number = "number ";
    constexpr std::string_view of = " of ";
    if (count) {
        err << count_name;
        return count_name.size();
    }
    err << number << k << of << T;
    return number.size() + decimal_width(k) + of.size() + decimal_width(T);
}

bool is_space(std::istream::int_type c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void flush_tied(std::istream& in)
{
    if (std::ostream* tied = in.tie()) {
        tied->flush();
    }
}

} // namespace dialogue_parts

namespace {

using dialogue_parts::flush_tied;
using dialogue_parts::is_space;
using dialogue_parts::name_answer;
using dialogue_parts::program_name;
using dialogue_parts::read_lines;
using dialogue_parts::Reason;
using dialogue_parts::Refusal;
using dialogue_parts::traits;
using dialogue_parts::write_reason;

// Reads one integer by formatted extraction, which skips leading white space
// and takes an optional sign. Returns why no value was read, if none was; on
// a read that failed, `in` is bad.
Refusal read_integer(std::istream& in, std::int32_t& value)
{
    // Look past the white space first, straight in the buffer, to tell the end
    // of the input from text that is not a number. Going past the stream skips
    // its sentry, so flush the tied output here as the sentry would.
    flush_tied(in);
    std::streambuf& buffer = *in.rdbuf();
    auto c = buffer.sgetc();
    while (is_space(c)) {
        c = buffer.snextc();
    }
    const bool ended = c == traits::eof();
    if (!ended && in >> value) {
        return std::nullopt;
    }
    return ended ? Reason::input_ended : Reason::not_a_number;
}

// Skips the UTF-8 byte-order mark that some Windows editors write at the
// start of a file. Returns why the input cannot be read if it starts with a
// UTF-16 mark, or with part of a UTF-8 one (which is then no number either).
Refusal skip_byte_order_mark(std::istream& in)
{
    constexpr std::string_view utf8_mark = "\xef\xbb\xbf";
    constexpr auto utf16_le = traits::to_int_type('\xff'); // then 0xfe
    constexpr auto utf16_be = traits::to_int_type('\xfe'); // then 0xff
    flush_tied(in);                                        // as before any read
    std::streambuf& buffer = *in.rdbuf();
    const auto first = buffer.sgetc();
    if (first == utf16_le || first == utf16_be) {
        const auto second = buffer.snextc();
        return second == (first == utf16_le ? utf16_be : utf16_le) ? Reason::utf16 : Reason::not_a_number;
    }
    std::size_t matched = 0;
    while (matched < utf8_mark.size() && buffer.sgetc() == traits::to_int_type(utf8_mark[matched])) {
        buffer.sbumpc();
        ++matched;
    }
    if (matched > 0 && matched < utf8_mark.size()) {
        return Reason::not_a_number;
    }
    return std::nullopt;
}

// Reports, from a script, why the count (or number k of T) was not taken.
// Returns 1.
int stop(std::ostream& err, Reason why, bool count, std::int32_t k, std::int32_t T)
{
    err << program_name;
    if (why == Reason::above_maximum) {
        err << "count " << T << " is ";
    } else if (why != Reason::utf16) { // the whole input, not the count
        name_answer(err, count, k, T);
        err << ": ";
    }
    write_reason(err, why, false);
    err << std::endl;
    return 1;
}

// The answers of a script: the count and the numbers by formatted
// extraction, after a byte-order mark if there is one, stopping at the first
// that cannot be used. A read that failed is the caller's to report.
int read_answers(std::istream& in, std::ostream& out, std::ostream& err, Numbers& ARRAY_Size, std::int32_t& T)
{
    Refusal why = skip_byte_order_mark(in);
    if (!why) {
        why = read_integer(in, T);
    }
    if (!why && T > capacity) {
        why = Reason::above_maximum;
    }
    if (why) {
        return in.bad() ? 1 : stop(err, *why, true, 0, T);
    }
    out << "Please Enter The Numbers " << std::endl;
    for (std::int32_t i = 0; i < T; ++i) {
        why = read_integer(in, ARRAY_Size[static_cast<std::size_t>(i)]);
        if (why) {
            return in.bad() ? 1 : stop(err, *why, false, i + 1, T);
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
