#include "dialogue.hpp"

#include "exchange_sort.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string_view>
#include <system_error>

namespace array_sort {

namespace {

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

// Writes what a reason says, the one place that words them. From a script,
// formatted extraction does not tell a number out of range from text, and
// the range is named; at a terminal, where the word is quoted beside it, the
// reason is short enough for the message to fit on a line of the screen.
void write_reason(std::ostream& err, Reason why, bool at_terminal)
{
    if (why == Reason::not_a_number) {
        err << (at_terminal ? "not a whole number" : "not a whole number from -2147483648 to 2147483647");
    } else if (why == Reason::too_large) {
        err << "too large";
    } else if (why == Reason::too_small) {
        err << "too small";
    } else if (why == Reason::above_maximum) {
        err << "above the maximum " << capacity;
    } else if (why == Reason::too_long) {
        err << "longer than 32 characters";
    } else if (why == Reason::utf16) {
        err << "input in UTF-16; save the file as plain text (ANSI or UTF-8)";
    } else {
        err << "input ended";
    }
}

// The longest word that can be one number at a terminal.
constexpr std::size_t longest_word = 32;

// A terminal in canonical mode hands over at most 4095 characters of a line:
// a line that long may have lost its tail.
constexpr std::int32_t longest_whole_line = 4094;

using traits = std::istream::traits_type;

// White space as the streams' classic locale knows it.
bool is_space(std::istream::int_type c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

// Flushes the output tied to `in`, so that whatever was written is on the
// screen before a read that may wait for the person to type.
void flush_tied(std::istream& in)
{
    if (std::ostream* tied = in.tie()) {
        tied->flush();
    }
}

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

// The first characters of a text typed at the terminal, and how many it had.
struct Excerpt {
    std::array<char, longest_word> text{};
    std::size_t size = 0;
};

std::size_t kept_size(const Excerpt& e)
{
    return std::min(e.size, e.text.size());
}

void append(Excerpt& e, char c)
{
    if (e.size < e.text.size()) {
        e.text[e.size] = c; // NOLINT(cppcoreguidelines-pro-bounds-constant-array-index): checked above
    }
    ++e.size;
}

// Writes the excerpt in quotes, with "..." where it was cut short. A control
// character is shown as the terminal echoes it, in caret notation (^[ for
// escape, ^? for delete), so that the message shows every character typed
// and none of them acts on the screen.
std::ostream& operator<<(std::ostream& out, const Excerpt& e)
{
    constexpr unsigned char del = 0x7f;
    constexpr unsigned char caret_bit = 0x40; // ^A for 0x01, ^? for del
    out << '"';
    std::for_each_n(e.text.begin(), kept_size(e), [&](char c) {
        const auto code = static_cast<unsigned char>(c);
        if (code < ' ' || code == del) {
            out << '^' << static_cast<char>(code ^ caret_bit);
        } else {
            out << c; // from 0x80 up too, as the terminal's echo wrote it
        }
    });
    return out << (e.size > e.text.size() ? "...\"" : "\"");
}

// Takes a whole word as one number: an optional sign, then decimal digits
// only, within the signed 32-bit range. Returns why it is not one, if it is
// not.
Refusal whole_number(const Excerpt& word, std::int32_t& value)
{
    if (word.size > word.text.size()) {
        return Reason::too_long;
    }
    const std::string_view text(word.text.data(), word.size);
    const std::string_view digits = text.substr(text.front() == '+' || text.front() == '-' ? 1 : 0);
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), is_digit)) {
        return Reason::not_a_number;
    }
    // from_chars takes a minus sign but not a plus sign. Past the check
    // above, it takes every digit or reports the value out of range.
    const std::string_view number = text.front() == '+' ? digits : text;
    if (std::from_chars(number.data(), std::to_address(number.end()), value).ec != std::errc()) {
        return text.front() == '-' ? Reason::too_small : Reason::too_large;
    }
    return std::nullopt;
}

// Writes what an answer was to be: the count, or number k of T.
void name_answer(std::ostream& err, bool count, std::int32_t k, std::int32_t T)
{
    if (count) {
        err << "count";
    } else {
        err << "number " << k << " of " << T;
    }
}

// What one line typed at the terminal gave, and the first mistake on it.
struct Line {
    bool count = false;       // it held the count, not taken before
    std::int32_t numbers = 0; // numbers on it, in the slots after those kept
    std::int32_t length = 0;  // its characters, up to longest_whole_line + 1
    Excerpt extra;            // words after the last number, one blank apart
    // The first mistake: the word and why it was refused. No word is placed
    // after it, so what it was to be follows from `count` and `numbers`.
    Excerpt bad_word;
    Refusal why;
};

// Gives the word just typed its place on the line: the count, the next
// number, or a word after the last number.
void place_word(Line& line, const Excerpt& word, bool counted, std::int32_t kept, Numbers& ARRAY_Size,
                std::int32_t& T)
{
    if (line.why) {
        return; // the line is refused already
    }
    std::int32_t value = 0;
    const bool is_count = !counted && !line.count;
    if (!is_count && kept + line.numbers >= T) {
        if (line.extra.size > 0) {
            append(line.extra, ' ');
        }
        std::for_each_n(word.text.begin(), kept_size(word), [&](char c) { append(line.extra, c); });
        line.extra.size += word.size - kept_size(word);
        return;
    }
    line.why = whole_number(word, value);
    if (!line.why && is_count && value > capacity) {
        line.why = Reason::above_maximum;
    }
    if (line.why) {
        line.bad_word = word;
        return;
    }
    if (is_count) {
        line.count = true;
        T = value;
    } else {
        ARRAY_Size[static_cast<std::size_t>(kept) + static_cast<std::size_t>(line.numbers)] = value;
        ++line.numbers;
    }
}

// Reads one line, up to its newline or the end of the input, placing each
// word as it ends.
Line read_line(std::streambuf& buffer, bool counted, std::int32_t kept, Numbers& ARRAY_Size, std::int32_t& T)
{
    Line line;
    Excerpt word;
    for (auto c = buffer.sbumpc(); !traits::eq_int_type(c, traits::eof()) && c != '\n'; c = buffer.sbumpc()) {
        line.length = std::min(line.length + 1, longest_whole_line + 1);
        if (!is_space(c)) {
            append(word, traits::to_char_type(c));
        } else if (word.size > 0) {
            place_word(line, word, counted, kept, ARRAY_Size, T);
            word = Excerpt{};
        }
    }
    if (word.size > 0) {
        place_word(line, word, counted, kept, ARRAY_Size, T);
    }
    return line;
}

// Reports a line that is not taken: its first mistake, or its length.
void refuse(std::ostream& err, const Line& line, bool counted, std::int32_t kept, std::int32_t T)
{
    const bool too_long = line.length > longest_whole_line;
    err << "array-sort: ";
    if (too_long) {
        err << "line not taken: 4095 characters or more may have been cut by the terminal";
    } else {
        name_answer(err, !counted && !line.count, kept + line.numbers + 1, T);
        err << ": " << line.bad_word << " is ";
        write_reason(err, *line.why, true);
    }
    if (line.count) { // the count word was good, so the mistake is elsewhere
        err << "; the count was not taken either";
    }
    err << (too_long ? "; type long lists over several lines" : "; type the line again") << std::endl;
}

// The answers of a person at a terminal, taken a line at a time: a line is
// taken whole or not at all, and every mistake is named. Returns 0 once the
// list is complete, 1 when the input ends or fails first.
int read_lines(std::istream& in, std::ostream& out, std::ostream& err, Numbers& ARRAY_Size, std::int32_t& T)
{
    std::streambuf& buffer = *in.rdbuf();
    bool counted = false;  // T was taken from an earlier line
    std::int32_t kept = 0; // numbers taken from earlier lines
    while (!counted || kept < T) {
        flush_tied(in);
        if (traits::eq_int_type(buffer.sgetc(), traits::eof())) {
            if (!in.bad()) {
                err << "array-sort: ";
                name_answer(err, !counted, kept + 1, T);
                err << ": ";
                write_reason(err, Reason::input_ended, true);
                err << std::endl;
            }
            return 1;
        }
        const Line line = read_line(buffer, counted, kept, ARRAY_Size, T);
        if (in.bad()) {
            return 1;
        }
        if (line.why || line.length > longest_whole_line) {
            refuse(err, line, counted, kept, T);
            continue;
        }
        if (line.count) {
            counted = true;
            out << "Please Enter The Numbers " << std::endl;
        }
        kept += line.numbers;
        if (line.extra.size > 0) {
            err << "array-sort: not taken, after the last number: " << line.extra << std::endl;
        }
    }
    return 0;
}

// Reports, from a script, why the count (or number k of T) was not taken.
// Returns 1.
int stop(std::ostream& err, Reason why, bool count, std::int32_t k, std::int32_t T)
{
    err << "array-sort: ";
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
// that cannot be used. A read that failed
// is the caller's to report.
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
