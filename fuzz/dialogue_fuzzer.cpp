// Feeds arbitrary bytes to the dialogue as standard input, once as from a
// script and once as from a person at a terminal (a bad answer is asked for
// again), and checks the program's promises on every input, aborting when one
// fails:
//  - the status is 0 or 1, and is 1 exactly when the input has no usable
//    count or runs out of numbers (from a script, also at the first bad
//    answer);
//  - on 0, nine lines of output whose eighth holds the numbers given, each
//    after one tab, in non-decreasing order;
//  - one diagnostics line for each bad answer asked for again, and on 1 one
//    more; only the prompts written before the read that failed.
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
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using array_sort::capacity;
constexpr std::ptrdiff_t output_lines = 9;
constexpr std::string_view program_name = "array-sort: ";

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
// the rest. Returns false when there is no integer in range to take.
bool take_integer(std::string_view& rest, std::int32_t& value, bool& ended)
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
    if (ended || end == sign) {
        return false;
    }
    // from_chars takes a minus sign but no plus sign.
    const std::size_t from = rest.front() == '+' ? 1 : 0;
    const auto [ptr, ec] = std::from_chars(rest.data() + from, rest.data() + end, value);
    if (ec != std::errc() || ptr != rest.data() + end) {
        return false;
    }
    rest.remove_prefix(end);
    return true;
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
    bool count_ok = false;       // a count up to the capacity was read
    bool ended = false;          // the input ran out where an answer was due
    std::ptrdiff_t mistakes = 0; // bad answers asked for again
    std::int32_t T = 0;
    std::vector<std::int32_t> given;
    int status = 1;
};

// Drops the rest of the line, as the dialogue does after a bad answer that
// may be typed again.
void drop_line(std::string_view& rest)
{
    const std::size_t end = rest.find('\n');
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
}

Prediction predict(std::string_view rest, bool ask_again)
{
    Prediction p;
    while (!(take_integer(rest, p.T, p.ended) && p.T <= capacity)) {
        if (!ask_again || p.ended) {
            return p;
        }
        ++p.mistakes;
        drop_line(rest);
    }
    p.count_ok = true;
    while (std::ssize(p.given) < p.T) {
        std::int32_t n = 0;
        if (take_integer(rest, n, p.ended)) {
            p.given.push_back(n);
            continue;
        }
        if (!ask_again || p.ended) {
            return p;
        }
        ++p.mistakes;
        drop_line(rest);
    }
    p.status = 0;
    return p;
}

// Runs the dialogue on `input` and checks it against the prediction.
void check(const std::string& input, bool ask_again)
{
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const int status = array_sort::run_dialogue(in, out, err, ask_again);
    const std::string output = out.str();
    const std::string diagnostics = err.str();
    const Prediction p = predict(input, ask_again);

    require(status == 0 || status == 1, "status is 0 or 1");
    require(status == p.status, "status is 1 exactly when the input is refused");
    require(std::count(diagnostics.begin(), diagnostics.end(), '\n') == p.mistakes + status,
            "one diagnostics line for each bad answer, and one for a refusal");
    require(diagnostics.empty() || diagnostics.ends_with('\n'), "diagnostics are whole lines");
    for (std::size_t line = 0; line < diagnostics.size(); line = diagnostics.find('\n', line) + 1) {
        require(diagnostics.compare(line, program_name.size(), program_name) == 0,
                "diagnostics start with the program's name");
    }
    if (status == 1) {
        require(output == (p.count_ok ? expected::three_prompts : expected::two_prompts),
                "a refused input gets only the prompts before it");
        const std::size_t last_line = diagnostics.rfind('\n', diagnostics.size() - 2) + 1;
        require((diagnostics.find("input ended", last_line) != std::string::npos) == p.ended,
                "the diagnostics say when the input ended");
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
