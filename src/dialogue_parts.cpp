// What the dialogue's two paths share: the words for every reason an answer
// is refused, naming an answer, judging a word, and quoting it as the
// terminal echoed it, within the screen's width.

#include "dialogue_parts.hpp"

#include <algorithm>
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

// What a reason says; above_maximum goes on with the capacity. (No default:
// the compiler names a reason left without words.)
std::string_view reason_text(Reason why)
{
    std::string_view words;
    switch (why) {
    case Reason::not_a_number:
        words = "not a whole number";
        break;
    case Reason::too_large:
        words = "too large";
        break;
    case Reason::too_small:
        words = "too small";
        break;
    case Reason::above_maximum:
        words = "above the maximum"; // and the capacity
        break;
    case Reason::too_long:
        words = "over 32 characters";
        break;
    case Reason::utf16:
        words = "input in UTF-16; save the file as plain text (ANSI or UTF-8)";
        break;
    case Reason::input_ended:
        words = "input ended";
        break;
    }
    return words;
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

// The characters that write_reason writes.
std::size_t reason_width(Reason why)
{
    const std::size_t text = reason_text(why).size();
    return why == Reason::above_maximum ? text + 1 + decimal_width(capacity) : text;
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

// Whether `text` is an optional sign, then at least one digit, and nothing
// else.
bool sign_and_digits(std::string_view text)
{
    const std::string_view digits = text.substr(text.front() == '+' || text.front() == '-' ? 1 : 0);
    return !digits.empty() && std::all_of(digits.begin(), digits.end(), is_digit);
}

// Why a sign and digits that is no number is not: out of range, on the side
// of its sign.
Reason out_of_range(std::string_view text)
{
    return text.front() == '-' ? Reason::too_small : Reason::too_large;
}

} // namespace

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

void write_reason(std::ostream& err, Reason why)
{
    err << reason_text(why);
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

// A word is too long only when what was kept of it is a sign and digits
// (where bytes and characters are one): anything else in it is no number.
Refusal whole_number(const Excerpt& word, std::int32_t& value)
{
    const std::string_view text(word.text.data(), kept_size(word));
    if (!sign_and_digits(text)) {
        return Reason::not_a_number;
    }
    if (word.size > text.size()) {
        return Reason::too_long;
    }
    // from_chars takes a minus sign but not a plus sign. Past the check
    // above, it takes every digit or reports the value out of range.
    const std::string_view number = text.substr(text.front() == '+' ? 1 : 0);
    if (std::from_chars(number.data(), std::to_address(number.end()), value).ec != std::errc()) {
        return out_of_range(text);
    }
    return std::nullopt;
}

Reason refused_reason(const Excerpt& word)
{
    const std::string_view text(word.text.data(), kept_size(word));
    return sign_and_digits(text) ? out_of_range(text) : Reason::not_a_number;
}

// Whole where it fits, else its first characters and "...". Words (one blank
// apart) are cut between words, the blank kept before the "...", so that no
// cut word passes for a whole one; a single word is cut inside. A control
// character is shown as the terminal echoes it, in caret notation (^[ for
// escape, ^? for delete), so that the message shows every character typed
// and none of them acts on the screen; bytes from 0x80 up pass as typed, and
// a UTF-8 character is never cut.
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

std::size_t write_refused(std::ostream& err, bool count, std::int32_t k, std::int32_t T, const Excerpt& word,
                          Reason why)
{
    constexpr std::string_view named = ": ";
    constexpr std::string_view is = " is ";
    err << program_name;
    const std::size_t name = program_name.size() + name_answer(err, count, k, T);
    err << named;
    const std::size_t beside = name + named.size() + is.size() + reason_width(why);
    const std::size_t used = beside + write_quoted(err, word, screen_width - beside);
    err << is;
    write_reason(err, why);
    return used;
}

void write_input_ended(std::ostream& err, bool count, std::int32_t k, std::int32_t T)
{
    err << program_name;
    name_answer(err, count, k, T);
    err << ": ";
    write_reason(err, Reason::input_ended);
    err << std::endl;
}

bool is_space(std::istream::int_type c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(std::istream::int_type c)
{
    return c >= '0' && c <= '9';
}

void flush_tied(std::istream& in)
{
    if (std::ostream* tied = in.tie()) {
        tied->flush();
    }
}

} // namespace array_sort::dialogue_parts
