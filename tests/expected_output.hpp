#pragma once

// What the program writes, spelled out once for the tests that compare it.

#include <cstddef>
#include <string>

namespace expected {

inline const std::string two_prompts = "The Maximum Size Of The ARRAY = (100)\n"
                                       "Please Enter The Size Of The ARRAY\n";
inline const std::string three_prompts = two_prompts + "Please Enter The Numbers \n";
// Why input in UTF-16 (from a file that Windows PowerShell wrote) was refused.
inline const std::string utf16 = "array-sort: input in UTF-16; save the file as plain text (ANSI or UTF-8)\n";
// The start of a report on number k of a list of T.
inline std::string number(int k, int T)
{
    return "array-sort: number " + std::to_string(k) + " of " + std::to_string(T) + ": ";
}

// How a line refused at a terminal is reported: the word in quotes, why it
// was refused, then what to type; when the count was on the line, what to
// type follows on a second line, which says so.
inline const std::string count_not_taken = "\narray-sort: the count was not taken either";
inline const std::string again = "; type the line again\n";
// The same on a line of its own, where the first line is full.
inline const std::string again_below = "\narray-sort: type the line again\n";
// The first line of the report on a line that a terminal may have cut.
inline const std::string cut_line =
    "array-sort: line not taken: 4095 characters or more; a terminal cuts longer ones";

// A word refused, as the report names it: in quotes, then `reason`.
inline std::string quoted(const std::string& word, const std::string& reason)
{
    std::string named = "\"";
    named.append(word).append("\" is ").append(reason);
    return named;
}

// A word refused that is not a sign and digits.
inline std::string not_a_number(const std::string& word)
{
    return quoted(word, "not a whole number");
}

// Where the word of word_across_a_block starts: byte 4093, counted from 0.
inline constexpr std::size_t word_start = 4093;
// An input whose number 51 of 100 is `word`, from `word_start` on, across
// the end of the program's first block of input, then 1 and 2.
inline std::string word_across_a_block(const std::string& word)
{
    constexpr int numbers_before = 50;
    std::string input = "100\n";
    for (int i = 0; i < numbers_before; ++i) {
        input += "1 ";
    }
    input.resize(word_start, ' ');
    return input + word + " 1 2\n";
}
// The report on number 51 of that input.
inline const std::string number_51 = number(51, 100);

// The whole output of a run that sorted its list; `numbers` is line 8.
inline std::string sorted(const std::string& numbers)
{
    return three_prompts + "\nNumbers in the correct increasing order.\n\n\n" + numbers + "\n\n";
}

// One run: the input, the exact standard output and diagnostics, the status.
struct Case {
    const char* name;
    std::string input;
    std::string out;
    std::string err;
    int status;
    bool at_terminal = false; // as from a person: lines taken whole, a bad line typed again
};

} // namespace expected
