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

// A terminal in canonical mode hands over at most 4095 characters of a line,
// and cuts a longer one to 4095: a line that long may have lost its tail.
constexpr std::int32_t longest_whole_line = 4094;

// The columns of the screen that every line of a message fits in, counting
// a byte as one column (bytes from 0x80 up are never wider on the screen)
// and a control character, shown as ^ and a letter, as two.
constexpr std::size_t screen_width = 80;

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

bool is_control(char c)
{
    constexpr unsigned char del = 0x7f;
    const auto code = static_cast<unsigned char>(c);
    return code < ' ' || code == del;
}

// The bytes of the character that starts at `at` in `text`: one, or a UTF-8
// lead byte and the continuation bytes that follow it. Returns 0 for a
// character cut off by the end of `text` where the word went on (`cut`).
std::size_t character_size(std::string_view text, std::size_t at, bool cut)
{
    constexpr unsigned char lead_2 = 0xc0; // lead bytes of 2, 3 and 4 bytes
    constexpr unsigned char lead_3 = 0xe0;
    constexpr unsigned char lead_4 = 0xf0;
    constexpr unsigned char beyond = 0xf8;
    constexpr unsigned char continuation_bits = 0xc0;
    constexpr unsigned char continuation = 0x80;
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t announced = lead >= beyond   ? 1
                                  : lead >= lead_4 ? 4
                                  : lead >= lead_3 ? 3
                                  : lead >= lead_2 ? 2
                                                   : 1;
    std::size_t size = 1;
    while (size < announced && at + size < text.size() &&
           (static_cast<unsigned char>(text[at + size]) & continuation_bits) == continuation) {
        ++size;
    }
    return cut && size < announced && at + size == text.size() ? 0 : size;
}

// The columns that `text` takes on the screen.
std::size_t columns_of(std::string_view text)
{
    std::size_t columns = 0;
    std::for_each(text.begin(), text.end(), [&](char c) { columns += is_control(c) ? 2U : 1U; });
    return columns;
}

// Writes the excerpt in quotes within `columns` columns, quotes included:
// whole where it fits, else its first characters and "...". Words (one blank
// apart) are cut between words, the blank kept before the "...", so that no
// cut word passes for a whole one; a single word is cut inside. A control
// character is shown as the terminal echoes it, in caret notation (^[ for
// escape, ^? for delete), so that the message shows every character typed
// and none of them acts on the screen; bytes from 0x80 up pass as typed, and
// a UTF-8 character is never cut. Returns the columns written.
std::size_t write_quoted(std::ostream& out, const Excerpt& e, std::size_t columns)
{
    constexpr unsigned char caret_bit = 0x40; // ^A for 0x01, ^? for del
    constexpr std::string_view cut = "...";
    const std::string_view text(e.text.data(), kept_size(e));
    const bool kept_whole = e.size == text.size();
    const bool cut_short = !kept_whole || columns_of(text) + 2 > columns;
    const std::size_t room = cut_short ? columns - 2 - cut.size() : columns_of(text);
    // The whole characters that fit, then of those the whole words, if any.
    std::size_t shown = 0;
    for (std::size_t size = 0, used = 0; shown < text.size(); shown += size) {
        size = character_size(text, shown, !kept_whole);
        used += columns_of(text.substr(shown, size));
        if (size == 0 || used > room) {
            break;
        }
    }
    const std::size_t blank = text.substr(0, shown).rfind(' ');
    if (cut_short && blank != std::string_view::npos) {
        shown = blank + 1;
    }
    const std::string_view kept = text.substr(0, shown);
    out << '"';
    std::for_each(kept.begin(), kept.end(), [&](char c) {
        if (is_control(c)) {
            out << '^' << static_cast<char>(static_cast<unsigned char>(c) ^ caret_bit);
        } else {
            out << c;
        }
    });
    if (cut_short) {
        out << cut;
    }
    out << '"';
    return columns_of(kept) + (cut_short ? cut.size() : 0) + 2;
}

// Takes a whole word as one number: an optional sign, then decimal digits
// only, within the signed 32-bit range. Returns why it is not one, if it is
// not. A word is too long only when what was kept of it is a sign and digits
// (where bytes and characters are one): anything else in it is no number.
Refusal whole_number(const Excerpt& word, std::int32_t& value)
{
    const std::string_view text(word.text.data(), kept_size(word));
    const std::string_view digits = text.substr(text.front() == '+' || text.front() == '-' ? 1 : 0);
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), is_digit)) {
        return Reason::not_a_number;
    }
    if (word.size > text.size()) {
        return Reason::too_long;
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
    bool at_end = false;      // it ended at the end of the input, not at a newline
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
    auto c = buffer.sbumpc();
    for (; !traits::eq_int_type(c, traits::eof()) && c != '\n'; c = buffer.sbumpc()) {
        line.length = std::min(line.length + 1, longest_whole_line + 1);
        if (!is_space(c)) {
            append(word, traits::to_char_type(c));
        } else if (word.size > 0) {
            place_word(line, word, counted, kept, ARRAY_Size, T);
            word = Excerpt{};
        }
    }
    line.at_end = traits::eq_int_type(c, traits::eof());
    if (word.size > 0) {
        place_word(line, word, counted, kept, ARRAY_Size, T);
    }
    return line;
}

// Ends a message whose first line has `used` columns with what follows it,
// `first` and then `second`, either of them empty: on the same line when it
// fits, else on a line of its own.
void end_message(std::ostream& err, std::size_t used, std::string_view first, std::string_view second)
{
    constexpr std::string_view apart = "; ";
    const std::string_view between = first.empty() || second.empty() ? "" : apart;
    const std::size_t rest = first.size() + between.size() + second.size();
    if (rest > 0) {
        if (used + apart.size() + rest <= screen_width) {
            err << apart;
        } else {
            err << '\n' << program_name;
        }
        err << first << between << second;
    }
    err << std::endl;
}

// Reports a line that is not taken: its first mistake, or its length. It is
// asked for again, unless the input ended with it.
void refuse(std::ostream& err, const Line& line, bool counted, std::int32_t kept, std::int32_t T)
{
    const bool too_long = line.length > longest_whole_line;
    // The count word was good, so the mistake is elsewhere.
    const std::string_view count_too = line.count ? "the count was not taken either" : "";
    const std::string_view again = line.at_end ? ""
                                   : too_long  ? "type long lists over several lines"
                                               : "type the line again";
    constexpr std::string_view cut_line =
        "line not taken: 4095 characters or more; a terminal cuts longer ones";
    constexpr std::string_view named = ": ";
    constexpr std::string_view is = " is ";
    err << program_name;
    std::size_t used = program_name.size();
    if (too_long) {
        err << cut_line;
        used += cut_line.size();
    } else {
        used += name_answer(err, !counted && !line.count, kept + line.numbers + 1, T);
        err << named;
        const std::size_t beside = used + named.size() + is.size() + reason_width(*line.why, true);
        used = beside + write_quoted(err, line.bad_word, screen_width - beside);
        err << is;
        write_reason(err, *line.why, true);
    }
    end_message(err, used, count_too, again);
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
                err << program_name;
                name_answer(err, !counted, kept + 1, T);
                err << ": ";
                write_reason(err, Reason::input_ended, true);
                err << std::endl;
            }
            return 1;
        }
        const Line line = read_line(buffer, counted, kept, ARRAY_Size, T);
        if (line.at_end) {
            // The input ended inside the line (Ctrl-D after part of it): what
            // the program writes next starts on a line of its own.
            err << std::endl;
        }
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
            const std::string_view after =
                T > 0 ? "not taken, after the last number: " : "not taken, after the count: ";
            err << program_name << after;
            write_quoted(err, line.extra, screen_width - program_name.size() - after.size());
            err << std::endl;
        }
    }
    return 0;
}

} // namespace array_sort::dialogue_parts
