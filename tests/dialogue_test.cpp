#include "dialogue.hpp"
#include "expected_output.hpp"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

using expected::bad_number;
using expected::three_prompts;
using expected::two_prompts;

std::string count_up_to(int n, int step)
{
    std::string s;
    for (int i = 0; i < n; ++i) {
        s += std::to_string(i * step) + ' ';
    }
    return s;
}

std::string tabbed_ascending(int n)
{
    std::string s;
    for (int i = 0; i < n; ++i) {
        s += '\t' + std::to_string(-n + 1 + i);
    }
    return s;
}

TEST(Dialogue, Table)
{
    const std::vector<expected::Case> cases = {
        // Lists that are sorted and written.
        {"overview example", "4\n7 -3 7 0\n", expected::sorted("\t-3\t0\t7\t7"), "", 0},
        {"count 0", "0\n", expected::sorted(""), "", 0},
        {"negative count", "-5\n1 2 3\n", expected::sorted(""), "", 0},
        {"most negative count", "-2147483648", expected::sorted(""), "", 0},
        {"count 1", "1 42", expected::sorted("\t42"), "", 0},
        {"count 100", "100 " + count_up_to(100, -1), expected::sorted(tabbed_ascending(100)), "", 0},
        {"one line", "3 3 1 2", expected::sorted("\t1\t2\t3"), "", 0},
        {"spread over lines and tabs", "\n 3\t\n\n1\n\t-1 \r\n 0", expected::sorted("\t-1\t0\t1"), "", 0},
        {"every kind of white space", " \t\n\v\f\r2\v5\f4", expected::sorted("\t4\t5"), "", 0},
        {"trailing input left unread", "2 5 4 garbage 99", expected::sorted("\t4\t5"), "", 0},
        {"leading plus", "+2 +9 -9", expected::sorted("\t-9\t9"), "", 0},
        {"leading zeros", "002 010 -007", expected::sorted("\t-7\t10"), "", 0},
        {"extremes", "3 2147483647 -2147483648 0", expected::sorted("\t-2147483648\t0\t2147483647"), "", 0},
        {"number glued to text", "2 8 3abc", expected::sorted("\t3\t8"), "", 0},

        // A count that cannot be used.
        {"count above capacity", "101\n", two_prompts, "array-sort: count 101 is above the maximum 100\n", 1},
        {"largest count", "2147483647", two_prompts,
         "array-sort: count 2147483647 is above the maximum 100\n", 1},
        {"no input", "", two_prompts, "array-sort: count: input ended\n", 1},
        {"only white space", " \n\t\n", two_prompts, "array-sort: count: input ended\n", 1},
        {"count not a number", "four\n", two_prompts, "array-sort: count: " + bad_number + "\n", 1},
        {"count a lone sign", "-", two_prompts, "array-sort: count: " + bad_number + "\n", 1},
        {"count too large", "2147483648 1", two_prompts, "array-sort: count: " + bad_number + "\n", 1},
        {"count too small", "-2147483649", two_prompts, "array-sort: count: " + bad_number + "\n", 1},

        // A number that cannot be read.
        {"input ends before the first number", "2\n", three_prompts,
         "array-sort: number 1 of 2: input ended\n", 1},
        {"input ends early", "5 1 2\n", three_prompts, "array-sort: number 3 of 5: input ended\n", 1},
        {"number not a number", "3 1 x 2", three_prompts, "array-sort: number 2 of 3: " + bad_number + "\n",
         1},
        {"number too large", "2 2147483648 0", three_prompts,
         "array-sort: number 1 of 2: " + bad_number + "\n", 1},
        {"number too small", "2 0 -2147483649", three_prompts,
         "array-sort: number 2 of 2: " + bad_number + "\n", 1},
        {"number a decimal fraction", "2 1.5 2", three_prompts,
         "array-sort: number 2 of 2: " + bad_number + "\n", 1},
        {"last of 100 missing", "100 " + count_up_to(99, 1), three_prompts,
         "array-sort: number 100 of 100: input ended\n", 1},

        // At a terminal, a bad answer is asked for again; the end of the input still stops.
        {"count asked again", "abc\n101 5\n2 9 1\n", expected::sorted("\t1\t9"),
         "array-sort: count: " + bad_number +
             "; type it again\n"
             "array-sort: count 101 is above the maximum 100; type it again\n",
         0, true},
        {"number asked again with the rest of its line", "4\n5 x 9 8\n9 1 7\n",
         expected::sorted("\t1\t5\t7\t9"),
         "array-sort: number 2 of 4: " + bad_number + "; type it and the rest of its line again\n", 0, true},
        {"input ends after a bad number", "2\n1 x", three_prompts,
         "array-sort: number 2 of 2: " + bad_number +
             "; type it and the rest of its line again\narray-sort: number 2 of 2: input ended\n",
         1, true},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.input);
        std::ostringstream out;
        std::ostringstream err;
        const int status = array_sort::run_dialogue(in, out, err, c.ask_again);
        EXPECT_EQ(out.str(), c.out) << c.name;
        EXPECT_EQ(err.str(), c.err) << c.name;
        EXPECT_EQ(status, c.status) << c.name;
    }
}

TEST(Dialogue, LeavesInputAfterTheLastNumberUnread)
{
    std::istringstream in("2 1 0\nrest of the input");
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(array_sort::run_dialogue(in, out, err, false), 0);
    const std::string rest(std::istreambuf_iterator<char>(in), {});
    EXPECT_EQ(rest, "\nrest of the input");
}

} // namespace
