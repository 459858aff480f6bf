// The dialogue in process, on string streams: every byte of standard output
// and of the diagnostics and the status, for answers from a script and from a
// person at a terminal (lines taken whole or not at all), one table of cases.

#include "dialogue.hpp"
#include "expected_output.hpp"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using expected::again;
using expected::count_not_taken;
using expected::not_a_number;
using expected::number;
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

// A line of `length` characters that holds the count 0.
std::string zero_padded_to(std::size_t length)
{
    std::string line(length, ' ');
    line[0] = '0';
    return line;
}

// `text` n times over.
std::string repeated(const std::string& text, int n)
{
    std::string s;
    for (int i = 0; i < n; ++i) {
        s += text;
    }
    return s;
}

// é, two bytes in UTF-8, n times over.
std::string utf8_e(int n)
{
    return repeated("\xc3\xa9", n);
}

// ASCII `text` in UTF-16 with no byte-order mark: each byte beside a null
// byte, before it (little-endian) or after it.
std::string utf16(const std::string& text, bool little_endian)
{
    std::string s;
    for (const char c : text) {
        s += little_endian ? std::string{c, '\0'} : std::string{'\0', c};
    }
    return s;
}

// Every byte, from 0 to 255.
std::string every_byte()
{
    constexpr int bytes = 256;
    std::string s;
    for (int i = 0; i < bytes; ++i) {
        s += static_cast<char>(i);
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

// The same words from a script and at a terminal: the same list, or the same
// complaint on each path. (A word of more than 32 characters is taken from a
// script alone.)
std::vector<expected::Case> same_words_on_both_paths()
{
    std::vector<expected::Case> rows;
    for (const auto& [word, value] : std::vector<std::pair<std::string, std::string>>{
             {"+007", "7"}, {"-0", "0"}, {"2147483647", "2147483647"}, {"-2147483648", "-2147483648"}}) {
        rows.push_back({"number word from a script", "1 " + word, expected::sorted("\t" + value), "", 0});
        rows.push_back(
            {"number word at a terminal", "1\n" + word + "\n", expected::sorted("\t" + value), "", 0, true});
    }
    for (const auto& [word, reason] :
         std::vector<std::pair<std::string, std::string>>{{"2147483648", "too large"},
                                                          {"-2147483649", "too small"},
                                                          {"+", "not a whole number"},
                                                          {"-", "not a whole number"},
                                                          {"+-1", "not a whole number"},
                                                          {"x", "not a whole number"}}) {
        const std::string refused = number(1, 1) + expected::quoted(word, reason);
        rows.push_back({"not a number from a script", "1 " + word, three_prompts, refused + "\n", 1});
        rows.push_back({"not a number at a terminal", "1\n" + word + "\n", three_prompts,
                        refused + again + number(1, 1) + "input ended\n", 1, true});
    }
    return rows;
}

// A text byte (a tab, a line end, printable ASCII) and a null byte, in
// either order, start UTF-16 without a mark; any other byte beside a null
// byte does not. UTF-16 is named only once an answer is refused.
std::vector<expected::Case> utf16_edges()
{
    std::vector<expected::Case> rows;
    for (const char text : {'\t', '\n', '\r', ' ', '~'}) {
        rows.push_back({"a text byte, then a null byte", std::string{text, '\0'} + "1 7", two_prompts,
                        expected::utf16, 1});
        rows.push_back({"a null byte, then a text byte", std::string{'\0', text} + "1 7", two_prompts,
                        expected::utf16, 1});
    }
    for (const auto& [other, shown] : std::vector<std::pair<char, std::string>>{
             {'\x08', "^H"}, {'\x0e', "^N"}, {'\x1f', "^_"}, {'\x7f', "^?"}, {'\x80', "\x80"}}) {
        rows.push_back({"another byte and a null byte first", std::string{other, '\0'} + "1 7", two_prompts,
                        "array-sort: count: " + not_a_number(shown + "^@1") + "\n", 1});
    }
    return rows;
}

// Runs the dialogue on one case's input and compares all it gives.
void expect_run(const expected::Case& c)
{
    std::istringstream in(c.input);
    std::ostringstream out;
    std::ostringstream err;
    const int status = array_sort::run_dialogue(in, out, err, c.at_terminal);
    EXPECT_EQ(out.str(), c.out) << c.name;
    EXPECT_EQ(err.str(), c.err) << c.name;
    EXPECT_EQ(status, c.status) << c.name;
}

TEST(Dialogue, Table)
{
    // é and a stray continuation byte seven times, é, then bytes that start
    // no UTF-8 character.
    const std::string devanagari_ka = "\xe0\xa4\x95"; // U+0915, three bytes in UTF-8
    const std::string smiley = "\xf0\x9f\x98\x80";    // U+1F600, four bytes
    const std::string x25(25, 'x');
    const std::string invalid_utf8 =
        repeated("\xc3\xa9\x80", 7) + "\xc3\xa9" + repeated("\xf8\x80\x80\x80", 4);
    // A lead byte of four with none of its continuation bytes, where the
    // room for a word of number 1 of 1 ends.
    const std::string stray_lead_byte = std::string(25, 'b') + "\xf0" + std::string(20, 'a');
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
        {"count not a number", "four\n", two_prompts, "array-sort: count: " + not_a_number("four") + "\n", 1},
        {"count a lone sign", "-", two_prompts, "array-sort: count: " + not_a_number("-") + "\n", 1},
        {"count too large", "2147483648 1", two_prompts,
         "array-sort: count: " + expected::quoted("2147483648", "too large") + "\n", 1},
        {"count too small", "-2147483649", two_prompts,
         "array-sort: count: " + expected::quoted("-2147483649", "too small") + "\n", 1},
        {"count glued to a letter", "10e3\n", three_prompts, number(1, 10) + not_a_number("e3") + "\n", 1},

        // Files as Windows tools write them: a UTF-8 byte-order mark is
        // skipped, part of one is no number, UTF-16 is named. At a terminal
        // the mark is part of the word, as the echo showed it.
        {"byte-order mark",
         "\xef\xbb\xbf"
         "4\r\n7 -3 7 0\r\n",
         expected::sorted("\t-3\t0\t7\t7"), "", 0},
        {"part of a byte-order mark",
         "\xef\xbb"
         "4 1 2 3 4",
         two_prompts,
         "array-sort: count: " +
             not_a_number("\xef\xbb"
                          "4") +
             "\n",
         1},
        {"UTF-16, little-endian",
         std::string("\xff\xfe"
                     "4\0\n\0",
                     6),
         two_prompts, expected::utf16, 1},
        {"UTF-16, big-endian",
         std::string("\xfe\xff\0"
                     "4",
                     4),
         two_prompts, expected::utf16, 1},
        {"first byte of a byte-order mark",
         "\xef"
         "4 1 2 3 4",
         two_prompts,
         "array-sort: count: " +
             not_a_number("\xef"
                          "4") +
             "\n",
         1},
        {"byte-order mark, then a null byte",
         std::string("\xef\xbb\xbf\0"
                     "1 5",
                     7),
         two_prompts, "array-sort: count: " + not_a_number("^@1") + "\n", 1},
        {"half a UTF-16 mark", "\xfe\xfe", two_prompts,
         "array-sort: count: " + not_a_number("\xfe\xfe") + "\n", 1},
        // UTF-16 without a mark: a text byte and a null byte, in either
        // order, start the input. It is named when an answer is refused.
        {"UTF-16, little-endian, no mark", utf16("3\n1 2 3\n", true), three_prompts, expected::utf16, 1},
        {"UTF-16, big-endian, no mark", utf16("3\n1 2 3\n", false), two_prompts, expected::utf16, 1},
        {"UTF-16 without a mark, not refused", utf16("0\n", true), expected::sorted(""), "", 0},
        {"a null byte, then a byte that is no text", every_byte(), two_prompts,
         "array-sort: count: " + not_a_number("^@^A^B^C^D^E^F^G^H") + "\n", 1},
        {"byte-order mark at a terminal",
         "\xef\xbb\xbf"
         "1\n1\n7\n",
         expected::sorted("\t7"),
         "array-sort: count: " +
             not_a_number("\xef\xbb\xbf"
                          "1") +
             again,
         0, true},

        // A number that cannot be read.
        {"input ends before the first number", "2\n", three_prompts, number(1, 2) + "input ended\n", 1},
        {"input ends early", "5 1 2\n", three_prompts, number(3, 5) + "input ended\n", 1},
        // A refused number is quoted from where its extraction began to the
        // next white space, judged by its first 32 bytes: a sign and digits
        // of any length is out of range.
        {"number not a number", "3 1 x 2", three_prompts, number(2, 3) + not_a_number("x") + "\n", 1},
        {"number too large", "2 2147483648 0", three_prompts,
         number(1, 2) + expected::quoted("2147483648", "too large") + "\n", 1},
        {"number too small", "2 0 -2147483649", three_prompts,
         number(2, 2) + expected::quoted("-2147483649", "too small") + "\n", 1},
        {"number a decimal fraction", "2\n3.5 4\n", three_prompts, number(2, 2) + not_a_number(".5") + "\n",
         1},
        {"two signs", "2\n--5 1\n", three_prompts, number(1, 2) + not_a_number("--5") + "\n", 1},
        {"out of range, then letters", "1 2147483648abc " + std::string(30, '9') + "x", three_prompts,
         number(1, 1) + not_a_number("2147483648abc") + "\n", 1},
        {"long digits, then a letter", std::string(30, '9') + "x", two_prompts,
         "array-sort: count: " + not_a_number(std::string(30, '9') + "x") + "\n", 1},
        {"forty nines", "1\n" + std::string(40, '9'), three_prompts,
         number(1, 1) + expected::quoted(std::string(32, '9') + "...", "too large") + "\n", 1},
        {"39 nines, then a letter", "1\n" + std::string(39, '9') + "x\n", three_prompts,
         number(1, 1) + expected::quoted(std::string(32, '9') + "...", "too large") + "\n", 1},
        {"9000 zeros, then too large", "1\n" + std::string(9000, '0') + "2147483648\n", three_prompts,
         number(1, 1) + expected::quoted(std::string(32, '0') + "...", "too large") + "\n", 1},
        {"9000 zeros, then a number", "1\n" + std::string(9000, '0') + "2147483647\n",
         expected::sorted("\t2147483647"), "", 0},
        {"most negative, zero-padded", "1 -" + std::string(40, '0') + "2147483648",
         expected::sorted("\t-2147483648"), "", 0},
        {"an escape sequence", "3\n1 \x1b[2J 2\n", three_prompts, number(2, 3) + not_a_number("^[[2J") + "\n",
         1},
        {"twenty control characters cut to the screen", std::string(20, '\x01'), two_prompts,
         "array-sort: count: " + not_a_number(repeated("^A", 17) + "...") + "\n", 1},
        {"a stray lead byte at the edge of the room", "1\n" + stray_lead_byte, three_prompts,
         number(1, 1) + not_a_number(std::string(25, 'b') + "\xf0...") + "\n", 1},
        {"last of 100 missing", "100 " + count_up_to(99, 1), three_prompts,
         number(100, 100) + "input ended\n", 1},

        // At a terminal, a line is taken whole or not at all; each mistake is named.
        {"typo, then the whole line again", "4\n10 20 3O 40\n10 20 30 40\n",
         expected::sorted("\t10\t20\t30\t40"), number(3, 4) + not_a_number("3O") + again, 0, true},
        {"count line with a word more", "3 numbers\n3\n5 6 7\n", expected::sorted("\t5\t6\t7"),
         number(1, 3) + not_a_number("numbers") + count_not_taken + again, 0, true},
        {"joined numbers on the count line", "2 5-3\n2 5 -3\n", expected::sorted("\t-3\t5"),
         number(1, 2) + not_a_number("5-3") + count_not_taken + again, 0, true},
        {"count above capacity with numbers", "101 5\n2 9 1\n", expected::sorted("\t1\t9"),
         "array-sort: count: \"101\" is above the maximum 100" + again, 0, true},
        {"earlier lines kept", "4\n5\n5 x 9\n9 1 7\n", expected::sorted("\t1\t5\t7\t9"),
         number(3, 4) + not_a_number("x") + again, 0, true},
        {"words after the last number", "3\n9 1 5 4\t2\n", expected::sorted("\t1\t5\t9"),
         "array-sort: not taken, after the last number: \"4 2\"\n", 0, true},
        {"words after count 0, shortened", "0 " + count_up_to(20, 1) + "\n", expected::sorted(""),
         "array-sort: not taken, after the count: \"0 1 2 3 4 5 6 7 8 9 10 11 12 13 ...\"\n", 0, true},
        {"words after a count below 0", "-3 5 6 7\n", expected::sorted(""),
         "array-sort: not taken, after the count: \"5 6 7\"\n", 0, true},
        {"one character after the last number", "1\n7 4\n", expected::sorted("\t7"),
         "array-sort: not taken, after the last number: \"4\"\n", 0, true},
        {"windows line ends", "2\r\n5 -3\r\n", expected::sorted("\t-3\t5"), "", 0, true},
        {"blank lines ignored", "\n \t\n1\n\n7\n", expected::sorted("\t7"), "", 0, true},
        // Ctrl-D twice after part of a line: it ends there, and so does the
        // input; what follows starts on a line of its own, and nothing asks
        // for the line again.
        {"input ends inside the line that completes the list", "2 5 1", expected::sorted("\t1\t5"), "\n", 0,
         true},
        {"input ends inside a bad line", "3x", two_prompts,
         "\narray-sort: count: " + not_a_number("3x") + "\narray-sort: count: input ended\n", 1, true},
        {"longest line taken", zero_padded_to(4094) + "\n", expected::sorted(""), "", 0, true},
        {"line that may have been cut", zero_padded_to(4095) + "\n1 7\n", expected::sorted("\t7"),
         expected::cut_line + count_not_taken + "; type long lists over several lines\n", 0, true},
        {"word too long", "1\n" + std::string(33, '0') + "\n7\n", expected::sorted("\t7"),
         number(1, 1) + "\"" + std::string(26, '0') + "...\" is over 32 characters" + expected::again_below,
         0, true},
        {"a number between the count and the mistake", "3 1 x 2\n3 1 2 3\n", expected::sorted("\t1\t2\t3"),
         number(2, 3) + not_a_number("x") + count_not_taken + again, 0, true},
        {"control characters shown as the terminal echoes them",
         "2\n1\x1b[2J\x1b[Hx 5\n7 \x7f" + std::string(1, '\0') +
             "\n7 5 a\x01"
             "b \xc3\xa9 \x1f~ \xf0\x9f\x98\x80\n", // é and a four-byte character in UTF-8
         expected::sorted("\t5\t7"),
         number(1, 2) + not_a_number("1^[[2J^[[Hx") + expected::again_below + number(2, 2) +
             not_a_number("^?^@") + again +
             "array-sort: not taken, after the last number: \"a^Ab \xc3\xa9 ^_~ \xf0\x9f\x98\x80\"\n",
         0, true},
        // Every message fits 80 columns: a long word is cut to the room it
        // has, between whole characters, and what to type may go on a line
        // of its own.
        {"words cut to fit the screen", "1\n" + std::string(31, '0') + "x\n7 " + std::string(32, 'y') + "\n",
         expected::sorted("\t7"),
         number(1, 1) + not_a_number(std::string(26, '0') + "...") + expected::again_below +
             "array-sort: not taken, after the last number: \"" + std::string(32, 'y') + "\"\n",
         0, true},
        {"UTF-8 characters kept whole when cut", "\xc3" + utf8_e(20) + "\n1\n\xc3" + utf8_e(20) + "\n7\n",
         expected::sorted("\t7"),
         "array-sort: count: " + not_a_number("\xc3" + utf8_e(15) + "...") + expected::again_below +
             number(1, 1) + not_a_number("\xc3" + utf8_e(12) + "...") + expected::again_below,
         0, true},
        {"the longest message", "100 " + count_up_to(99, 1) + std::string(40, '\x01') + "\n", two_prompts,
         "array-sort: number 100 of 100: " + not_a_number(repeated("^A", 11) + "...") + count_not_taken +
             again + "array-sort: count: input ended\n",
         1, true},
        // A long word is over 32 characters only when what was kept of it is
        // a sign and digits; anything else in it is no number.
        {"long words that are no number",
         repeated("\xef\xbc\x91", 12) + "\n1\n" + std::string(70, 'x') + "\n7\n", // 12 full-width 1s
         expected::sorted("\t7"),
         "array-sort: count: " + not_a_number(repeated("\xef\xbc\x91", 10) + "...") + expected::again_below +
             number(1, 1) + not_a_number(std::string(26, 'x') + "...") + expected::again_below,
         0, true},
        {"words after the last number cut between words", "1\n5 " + repeated("100 ", 9) + "\n",
         expected::sorted("\t5"),
         "array-sort: not taken, after the last number: \"" + repeated("100 ", 7) + "...\"\n", 0, true},
        // Lines of exactly 80 and 81 columns, counts of two digits and more,
        // a long word after the last number, and words cut where UTF-8 is
        // not: bytes that cannot start a character are one each.
        {"messages at the edge of the screen",
         "1\n" + std::string(9, 'x') + "\n" + std::string(8, 'x') + "\n" + std::string(30, 'x') + "\n7\n",
         expected::sorted("\t7"),
         number(1, 1) + not_a_number(std::string(9, 'x')) + expected::again_below + number(1, 1) +
             not_a_number(std::string(8, 'x')) + again + number(1, 1) +
             not_a_number(std::string(26, 'x') + "...") + expected::again_below,
         0, true},
        {"messages at the edge of the screen, longer counts",
         "0000000000101\n00000000000101\n10\n" + std::string(8, 'x') + "\n", three_prompts,
         "array-sort: count: \"0000000000101\" is above the maximum 100" + again +
             "array-sort: count: \"00000000000101\" is above the maximum 100" + expected::again_below +
             number(1, 10) + not_a_number(std::string(8, 'x')) + expected::again_below + number(1, 10) +
             "input ended\n",
         1, true},
        {"one long word after the last number", "1\n7 " + std::string(33, 'y') + "\n",
         expected::sorted("\t7"),
         "array-sort: not taken, after the last number: \"" + std::string(29, 'y') + "...\"\n", 0, true},
        {"words cut between characters", "1\n" + repeated(devanagari_ka, 12) + "\n" + invalid_utf8 + "\n7\n",
         expected::sorted("\t7"),
         number(1, 1) + not_a_number(repeated(devanagari_ka, 8) + "...") + expected::again_below +
             number(1, 1) + not_a_number(invalid_utf8.substr(0, 26) + "...") + expected::again_below,
         0, true},
        // Characters of every size whole at the end of the 32 bytes kept
        // (the count has room for them all), and at the edge of the room,
        // where 0xc0 starts two bytes and 0xf8 none.
        {"characters kept whole at the end of a word and of the room",
         utf8_e(16) + "x\nab" + repeated(devanagari_ka, 10) + "x\n" + repeated(smiley, 8) + "x\n1\nabc" +
             repeated(smiley, 7) + "\n" + x25 + "\xc0\x80yyy\n" + x25 + "\xf8\x80yyy\n7\n",
         expected::sorted("\t7"),
         "array-sort: count: " + not_a_number(utf8_e(16) + "...") + expected::again_below +
             "array-sort: count: " + not_a_number("ab" + repeated(devanagari_ka, 10) + "...") +
             expected::again_below + "array-sort: count: " + not_a_number(repeated(smiley, 8) + "...") +
             expected::again_below + number(1, 1) + not_a_number("abc" + repeated(smiley, 5) + "...") +
             expected::again_below + number(1, 1) + not_a_number(x25 + "...") + expected::again_below +
             number(1, 1) + not_a_number(x25 + "\xf8...") + expected::again_below,
         0, true},
        // A message's columns count a control character as two: where what
        // to type goes, where a word is cut. A lead byte without its
        // continuation bytes is one byte wide.
        {"nine control characters: what to type below", std::string(9, '\x01') + "\n0\n",
         expected::sorted(""),
         "array-sort: count: " + not_a_number(repeated("^A", 9)) + expected::again_below, 0, true},
        {"twenty control characters cut at a terminal", std::string(20, '\x01') + "\n0\n",
         expected::sorted(""),
         "array-sort: count: " + not_a_number(repeated("^A", 17) + "...") + expected::again_below, 0, true},
        {"a stray lead byte at the edge of the room at a terminal", "1\n" + stray_lead_byte + "\n7\n",
         expected::sorted("\t7"),
         number(1, 1) + not_a_number(std::string(25, 'b') + "\xf0...") + expected::again_below, 0, true},
        {"line that may have been cut, with a mistake", "1 x" + std::string(4092, ' ') + "\n1 7\n",
         expected::sorted("\t7"),
         expected::cut_line + count_not_taken + "; type long lists over several lines\n", 0, true},
        {"longest line, with a mistake", "1 x" + std::string(4091, ' ') + "\n1 7\n", expected::sorted("\t7"),
         number(1, 1) + not_a_number("x") + count_not_taken + again, 0, true},
        {"input ends after a bad line", "2\n1 x\n", three_prompts,
         number(2, 2) + not_a_number("x") + again + number(1, 2) + "input ended\n", 1, true},
        {"input ends before the count", " \n", two_prompts, "array-sort: count: input ended\n", 1, true},
    };
    const std::vector<expected::Case> same_words = same_words_on_both_paths();
    const std::vector<expected::Case> utf16_starts = utf16_edges();
    for (const auto* table : {&cases, &same_words, &utf16_starts}) {
        for (const auto& c : *table) {
            expect_run(c);
        }
    }
}

TEST(Dialogue, LeavesInputAfterTheLastNumberUnread)
{
    // A script's input is left just after the last number, or at the first
    // byte of a word refused, where extraction may have taken part of it; a
    // person's, after the line that held the last number.
    const std::string zeros(9000, '0');
    for (const auto& [input, at_terminal, status, rest_left] :
         std::vector<std::tuple<std::string, bool, int, std::string>>{
             {"2 1 0\nrest of the input", false, 0, "\nrest of the input"},
             {"2 1 0\nrest of the input", true, 0, "rest of the input"},
             {"2\n--5 7\n3\n", false, 1, "--5 7\n3\n"},
             {"1 " + zeros + "2147483648 5", false, 1, zeros + "2147483648 5"},
             {"\xef\xbb 1", false, 1, "\xef\xbb 1"}}) {
        std::istringstream in(input);
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(array_sort::run_dialogue(in, out, err, at_terminal), status) << input;
        const std::string rest(std::istreambuf_iterator<char>(in), {});
        EXPECT_EQ(rest, rest_left);
    }
}

} // namespace
