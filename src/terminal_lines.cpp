// A person's answers at a terminal, a line at a time: reading the lines,
// placing their words, quoting a refused word as typed, and the refusals.

#include "dialogue_parts.hpp"
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

namespace array_sort::dialogue_parts {

namespace {

// The longest word that can be one number at a terminal.
constexpr std::size_t longest_word = 32;

// A terminal in canonical mode hands over at most 4095 characters of a line:
// a line that long may have lost its tail.
constexpr std::int32_t longest_whole_line = 4094;

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
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

} // namespace

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

} // namespace array_sort::dialogue_parts
