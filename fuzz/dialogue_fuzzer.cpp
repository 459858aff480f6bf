// Feeds arbitrary bytes to the dialogue as standard input, once as from a
// script and once as from a person at a terminal (lines taken whole or not at
// all), and checks the program's promises on every input, aborting when one
// fails:
//  - the status is 0 or 1, and is 1 exactly when the input has no usable
//    count or runs out of numbers (from a script, also at the first bad
//    answer);
//  - on 0, nine lines of output whose eighth holds the numbers given, each
//    after one tab, in non-decreasing order;
//  - one diagnostics message (of one line, or two at a terminal) for each
//    line refused at a terminal and for words left after the last number,
//    and on 1 one more; only the prompts written before the read that failed;
//  - at a terminal, a newline alone on the diagnostics once a line ends at
//    the end of the input rather than at a newline, and no other empty line;
//  - no control character from the input in the diagnostics, and no
//    diagnostics line wider than 80 columns, whatever was given;
//  - from a script, a UTF-8 byte-order mark at the start is skipped, and
//    the diagnostics name UTF-16 exactly when the input starts with its
//    mark, or when a word is refused and the input starts with a text byte
//    and a null byte, in either order;
//  - from a script, any other word refused is quoted from where extraction
//    began on it, with the reason its first 32 bytes give.
// The expectations come from a parser of its own here, not from the dialogue.

#include "dialogue.hpp"
#include "exchange_sort.hpp"
#include "expected_output.hpp"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <numeric>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using array_sort::capacity;
constexpr std::ptrdiff_t output_lines = 9;
constexpr std::string_view program_name = "array-sort: ";
constexpr std::size_t screen_width = 80;
constexpr std::int64_t decimal = 10;
constexpr std::int64_t past_range = std::int64_t{1} << 32; // beyond any 32-bit magnitude

void require(bool promise, const char* what)
{
    if (!promise) {
        std::cerr << "broken promise: " << what << '\n';
        std::abort();
    }
}

bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

// What reading one integer from `rest` by formatted extraction gives: skip
// white space, take an optional sign and the longest run of digits, and leave
// the rest. Returns false when there is no integer in range to take; `word`
// is then what is refused, up to the next white space.
bool take_integer(std::string_view& rest, std::int32_t& value, bool& ended, std::string_view& word)
{
    while (!rest.empty() && is_space(rest.front())) {
        rest.remove_prefix(1);
    }
    ended = rest.empty();
    std::size_t sign = 0;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        sign = 1;
    }
    std::size_t end = sign;
    while (end < rest.size() && is_digit(rest[end])) {
        ++end;
    }
    if (end > sign) {
        // from_chars takes a minus sign but no plus sign.
        const std::size_t from = rest.front() == '+' ? 1 : 0;
        const auto [ptr, ec] = std::from_chars(rest.data() + from, rest.data() + end, value);
        if (ec == std::errc() && ptr == rest.data() + end) {
            rest.remove_prefix(end);
            return true;
        }
    }
    word = rest.substr(
        0, static_cast<std::size_t>(std::find_if(rest.begin(), rest.end(), is_space) - rest.begin()));
    return false;
}

// Parses line 8 of the output: tab, number, tab, number, ...
std::vector<std::int32_t> parse_list(std::string_view line)
{
    std::vector<std::int32_t> numbers;
    while (!line.empty()) {
        require(line.front() == '\t', "every number follows a tab");
        line.remove_prefix(1);
        std::int32_t n = 0;
        const auto [ptr, ec] = std::from_chars(line.data(), line.data() + line.size(), n);
        require(ec == std::errc() && ptr != line.data(), "a number follows each tab");
        const auto length = static_cast<std::size_t>(ptr - line.data());
        require(line.substr(0, length) == std::to_string(n), "numbers are plain decimal");
        numbers.push_back(n);
        line.remove_prefix(length);
    }
    return numbers;
}

// What the dialogue must make of an input.
struct Prediction {
    bool count_ok = false;         // a count up to the capacity was read
    bool ended = false;            // the input ran out where an answer was due
    std::ptrdiff_t mistakes = 0;   // lines refused at a terminal
    std::ptrdiff_t cut_by_end = 0; // lines at a terminal that the end of the input ended
    std::ptrdiff_t left = 0;       // lines whose words after the last number were left
    bool utf16 = false;            // a script's input in UTF-16, refused as such
    std::string_view word;         // a word refused from a script, else empty
    std::int32_t T = 0;
    std::vector<std::int32_t> given;
    int status = 1;
};

// Whether the input starts with a text byte (a tab, a line end or printable
// ASCII) and a null byte, in either order, as UTF-16 without a mark does.
bool starts_as_utf16(std::string_view input)
{
    const auto is_text = [](char c) {
        return c == '\t' || (c >= '\n' && c <= '\r') || (c >= ' ' && c <= '~');
    };
    return input.size() >= 2 &&
           ((is_text(input[0]) && input[1] == '\0') || (input[0] == '\0' && is_text(input[1])));
}

// A script's answers: integers by formatted extraction, after a UTF-8
// byte-order mark, up to the first that cannot be used. (Part of a mark, or
// a byte of a UTF-16 one, is no number either.)
Prediction predict(std::string_view input)
{
    Prediction p;
    std::string_view rest = input;
    if (rest.starts_with("\xff\xfe") || rest.starts_with("\xfe\xff")) {
        p.utf16 = true;
        return p;
    }
    if (rest.starts_with("\xef\xbb\xbf")) {
        rest.remove_prefix(3);
    }
    // A word refused (not the end of the input) may be UTF-16's.
    const auto refused = [&] {
        p.utf16 = !p.word.empty() && starts_as_utf16(input);
        return p;
    };
    if (!take_integer(rest, p.T, p.ended, p.word)) {
        return refused();
    }
    if (p.T > capacity) {
        return p;
    }
    p.count_ok = true;
    while (std::ssize(p.given) < p.T) {
        std::int32_t n = 0;
        if (!take_integer(rest, n, p.ended, p.word)) {
            return refused();
        }
        p.given.push_back(n);
    }
    p.status = 0;
    return p;
}

// Whether a word typed at a terminal is one number: at most 32 characters,
// an optional sign, then decimal digits only, within the signed 32-bit range.
bool whole_number(std::string_view word, std::int32_t& value)
{
    constexpr std::size_t longest = 32;
    const std::size_t sign = word.front() == '+' || word.front() == '-' ? 1 : 0;
    const std::string_view digits = word.substr(sign);
    if (word.size() > longest || digits.empty() || !std::all_of(digits.begin(), digits.end(), is_digit)) {
        return false;
    }
    const std::int64_t magnitude =
        std::accumulate(digits.begin(), digits.end(), std::int64_t{0},
                        [](std::int64_t m, char c) { return std::min(m * decimal + (c - '0'), past_range); });
    const std::int64_t signed_value = word.front() == '-' ? -magnitude : magnitude;
    if (signed_value < std::numeric_limits<std::int32_t>::min() ||
        signed_value > std::numeric_limits<std::int32_t>::max()) {
        return false;
    }
    value = static_cast<std::int32_t>(signed_value);
    return true;
}

// The words of a line, split at white space.
std::vector<std::string_view> words_of(std::string_view line)
{
    std::vector<std::string_view> words;
    for (std::size_t at = 0; at < line.size();) {
        const auto start = static_cast<std::size_t>(
            std::find_if_not(line.begin() + static_cast<std::ptrdiff_t>(at), line.end(), is_space) -
            line.begin());
        const auto end = static_cast<std::size_t>(
            std::find_if(line.begin() + static_cast<std::ptrdiff_t>(start), line.end(), is_space) -
            line.begin());
        if (end > start) {
            words.push_back(line.substr(start, end - start));
        }
        at = end;
    }
    return words;
}

// Takes one line typed at a terminal into `p`, whole, or returns false when
// it is refused: a word that is not one number where an answer is due, a
// count above the capacity, a line of 4095 characters or more.
bool take_line(std::string_view line, Prediction& p)
{
    constexpr std::size_t cut_at = 4095; // what a terminal may have cut
    if (line.size() >= cut_at) {
        return false;
    }
    Prediction taken = p;
    bool left = false;
    for (const std::string_view word : words_of(line)) {
        std::int32_t value = 0;
        if (taken.count_ok && std::ssize(taken.given) >= taken.T) {
            left = true;
        } else if (!whole_number(word, value) || (!taken.count_ok && value > capacity)) {
            return false;
        } else if (taken.count_ok) {
            taken.given.push_back(value);
        } else {
            taken.count_ok = true;
            taken.T = value;
        }
    }
    taken.left += left ? 1 : 0;
    p = taken;
    return true;
}

// A person's answers at a terminal: a line at a time, each taken whole or
// refused whole, until the list is complete or the input ends.
Prediction predict_lines(std::string_view rest)
{
    Prediction p;
    while (!(p.count_ok && std::ssize(p.given) >= p.T)) {
        if (rest.empty()) {
            p.ended = true;
            return p;
        }
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        if (!take_line(rest.substr(0, end), p)) {
            ++p.mistakes;
        }
        if (end == rest.size()) {
            p.cut_by_end = 1;
        }
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    p.status = 0;
    return p;
}

bool is_control(char c)
{
    return (c >= '\0' && c < ' ') || c == '\x7f';
}

// `text` as the diagnostics show it: a control character in caret notation.
std::string caret_form(std::string_view text)
{
    constexpr char caret_bit = 0x40;
    std::string shown;
    for (const char c : text) {
        shown += is_control(c) ? std::string{'^', static_cast<char>(c ^ caret_bit)} : std::string{c};
    }
    return shown;
}

// Whether `line` reports the word refused from a script: what the answer was
// to be, the word from its first byte, whole or cut short with "...", and
// the reason that its first 32 bytes give.
bool quotes_word(std::string_view line, const Prediction& p)
{
    constexpr std::size_t judged = 32;
    const std::string_view head = p.word.substr(0, judged);
    const std::size_t sign = head.starts_with('+') || head.starts_with('-') ? 1 : 0;
    const bool digits = head.size() > sign && std::all_of(head.begin() + sign, head.end(), is_digit);
    const std::string reason = !digits               ? "not a whole number"
                               : head.front() == '-' ? "too small"
                                                     : "too large";
    const std::string answer =
        p.count_ok ? "number " + std::to_string(p.given.size() + 1) + " of " + std::to_string(p.T) : "count";
    const std::string before = std::string(program_name) + answer + ": \"";
    const std::string after = "\" is " + reason;
    if (!line.starts_with(before) || !line.ends_with(after) || line.size() < before.size() + after.size()) {
        return false;
    }
    const std::string_view quoted = line.substr(before.size(), line.size() - before.size() - after.size());
    const std::string whole = caret_form(p.word);
    const std::string_view cut = quoted.substr(0, quoted.size() - std::min<std::size_t>(3, quoted.size()));
    return quoted == whole ||
           (quoted.ends_with("...") && cut.size() < whole.size() && whole.starts_with(cut));
}

// Runs the dialogue on `input` and checks it against the prediction.
void check(const std::string& input, bool at_terminal)
{
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const int status = array_sort::run_dialogue(in, out, err, at_terminal);
    const std::string output = out.str();
    const std::string diagnostics = err.str();
    const Prediction p = at_terminal ? predict_lines(input) : predict(input);

    require(status == 0 || status == 1, "status is 0 or 1");
    require(status == p.status, "status is 1 exactly when the input is refused");
    require(diagnostics.empty() || diagnostics.ends_with('\n'), "diagnostics are whole lines");
    require(std::none_of(diagnostics.begin(), diagnostics.end(),
                         [](char c) { return is_control(c) && c != '\n'; }),
            "the diagnostics carry no control character");
    require(at_terminal || (diagnostics == expected::utf16) == p.utf16,
            "from a script, UTF-16 is named exactly when its mark or a text byte and a null byte start it");
    std::ptrdiff_t messages = 0;
    std::ptrdiff_t empty_lines = 0;
    for (std::size_t start = 0, end = 0; start < diagnostics.size(); start = end + 1) {
        end = diagnostics.find('\n', start);
        const std::string_view line = std::string_view(diagnostics).substr(start, end - start);
        if (line.empty()) {
            ++empty_lines;
            continue;
        }
        require(line.starts_with(program_name), "diagnostics start with the program's name");
        require(line.size() <= screen_width, "every diagnostics line fits 80 columns");
        const std::string_view said = line.substr(program_name.size());
        const bool second_line =
            said.starts_with("the count was not taken either") || said.starts_with("type ");
        require(at_terminal || !second_line, "from a script, every message is one line");
        messages += second_line ? 0 : 1;
    }
    require(messages == p.mistakes + p.left + status,
            "one diagnostics message for each refused line and words left, and one for a refusal");
    require(empty_lines == p.cut_by_end,
            "a newline alone when a line at a terminal ends the input, else none");
    if (status == 1) {
        require(output == (p.count_ok ? expected::three_prompts : expected::two_prompts),
                "a refused input gets only the prompts before it");
        const std::size_t last_line = diagnostics.rfind('\n', diagnostics.size() - 2) + 1;
        require((diagnostics.find("input ended", last_line) != std::string::npos) == p.ended,
                "the diagnostics say when the input ended");
        require(
            at_terminal || p.word.empty() || p.utf16 ||
                quotes_word(
                    std::string_view(diagnostics).substr(last_line, diagnostics.size() - last_line - 1), p),
            "from a script, a refused word is quoted from its first byte, with the reason it gives");
        return;
    }

    const std::string empty_list = expected::sorted("");
    const std::string_view fixed_start = std::string_view(empty_list).substr(0, empty_list.size() - 2);
    require(output.starts_with(fixed_start) && output.size() >= empty_list.size(),
            "the fixed lines come first");
    const std::string line8 = output.substr(fixed_start.size(), output.size() - empty_list.size());
    require(output == expected::sorted(line8), "the list's line and an empty line end the output");
    require(std::count(output.begin(), output.end(), '\n') == output_lines, "nine lines");
    const std::vector<std::int32_t> written = parse_list(line8);
    require(written.size() == static_cast<std::size_t>(std::max(p.T, 0)), "max(T, 0) numbers are written");
    require(std::is_sorted(written.begin(), written.end()), "the numbers are in non-decreasing order");
    require(std::is_permutation(written.begin(), written.end(), p.given.begin(), p.given.end()),
            "the numbers written are the numbers given");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size); // NOLINT: bytes as text
    check(input, false);
    check(input, true);
    return 0;
}
