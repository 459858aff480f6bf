// Feeds arbitrary bytes to the dialogue as standard input and checks the
// program's promises on every input, aborting when one fails:
//  - the status is 0 or 1, and is 1 exactly when the input has no usable
//    count or runs out of numbers;
//  - on 0, nothing on the diagnostics and nine lines of output whose eighth
//    holds the numbers given, each after one tab, in non-decreasing order;
//  - on 1, one diagnostics line and only the prompts written before the read
//    that failed.
// The expectations come from a parser of its own here, not from the dialogue.

#include "dialogue.hpp"

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

constexpr std::int32_t capacity = 100;
constexpr std::ptrdiff_t output_lines = 9;
constexpr std::string_view two_prompts = "The Maximum Size Of The ARRAY = (100)\n"
                                         "Please Enter The Size Of The ARRAY\n";
constexpr std::string_view third_prompt = "Please Enter The Numbers \n";
constexpr std::string_view heading = "\nNumbers in the correct increasing order.\n\n\n";

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size); // NOLINT: bytes as text
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const int status = array_sort::run_dialogue(in, out, err);
    const std::string output = out.str();
    const std::string diagnostics = err.str();

    // What the input holds, read independently of the dialogue.
    std::string_view rest = input;
    std::int32_t T = 0;
    bool ended = false;
    std::vector<std::int32_t> given;
    const bool count_ok = take_integer(rest, T, ended) && T <= capacity;
    bool numbers_ok = count_ok;
    for (std::int32_t i = 0; numbers_ok && i < T; ++i) {
        std::int32_t n = 0;
        numbers_ok = take_integer(rest, n, ended);
        given.push_back(n);
    }

    require(status == 0 || status == 1, "status is 0 or 1");
    require(status == (numbers_ok ? 0 : 1), "status is 1 exactly when the input is refused");
    if (status == 1) {
        require(diagnostics.starts_with("array-sort: "), "diagnostics start with the program's name");
        require(diagnostics.find('\n') == diagnostics.size() - 1, "diagnostics are one line");
        const std::string expected =
            count_ok ? std::string(two_prompts) + std::string(third_prompt) : std::string(two_prompts);
        require(output == expected, "a refused input gets only the prompts before it");
        require((diagnostics.find("input ended") != std::string::npos) == ended,
                "the diagnostics say when the input ended");
        return 0;
    }

    require(diagnostics.empty(), "no diagnostics on success");
    const std::string expected_start =
        std::string(two_prompts) + std::string(third_prompt) + std::string(heading);
    require(output.starts_with(expected_start), "the fixed lines come first");
    require(output.ends_with("\n\n"), "the list's line and an empty line end the output");
    require(std::count(output.begin(), output.end(), '\n') == output_lines, "nine lines");
    const std::string_view line8 =
        std::string_view(output).substr(expected_start.size(), output.size() - expected_start.size() - 2);
    const std::vector<std::int32_t> written = parse_list(line8);
    require(written.size() == static_cast<std::size_t>(std::max(T, 0)), "max(T, 0) numbers are written");
    require(std::is_sorted(written.begin(), written.end()), "the numbers are in non-decreasing order");
    require(std::is_permutation(written.begin(), written.end(), given.begin(), given.end()),
            "the numbers written are the numbers given");
    return 0;
}
