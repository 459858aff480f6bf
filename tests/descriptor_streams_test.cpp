// The layer over the descriptors, in process, through scripted system calls:
// writes that take part of a block, reads and writes interrupted or not ready
// yet, waits that fail, and the cause of the first failure kept for the
// report. The process tests show the same layer on real descriptors.

#include "descriptor_streams.hpp"
#include "dialogue.hpp"
#include "expected_output.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <istream>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace {

// One scripted answer: at most `bytes` bytes done, or with a `cause`, a
// failure with that errno.
struct Answer {
    std::ptrdiff_t bytes = 0;
    int cause = 0;
};
using Answers = std::deque<Answer>;

// What the calls answer, in turn for each kind of call; once a kind's answers
// run out, its calls do all they are asked. The reads take `input` from
// `offset` on; only a file's seeks move it.
struct Script {
    std::string input;
    Answers reads{};
    Answers writes{};
    Answers polls{};
    std::size_t offset = 0;
};

Script& script()
{
    static Script the_script;
    return the_script;
}

// What the writes took, by descriptor; at 0, what a terminal that standard
// output and error share shows: both, in the order written.
std::array<std::string, 3>& written()
{
    static std::array<std::string, 3> the_bytes;
    return the_bytes;
}

// Takes the next answer of `answers` for a call asked to do `size`; returns
// -1 with errno set for a failure, otherwise how much the call does.
std::ptrdiff_t answer(Answers& answers, std::size_t size)
{
    auto done = static_cast<std::ptrdiff_t>(size);
    if (!answers.empty()) {
        const Answer a = answers.front();
        answers.pop_front();
        if (a.cause != 0) {
            errno = a.cause;
            return -1;
        }
        done = std::min(done, a.bytes);
    }
    return done;
}

std::ptrdiff_t scripted_read(int fd, char* data, std::size_t size)
{
    if (fd != 0) { // standard output and error are not for reading
        errno = EBADF;
        return -1;
    }
    Script& s = script();
    const std::ptrdiff_t n = answer(s.reads, std::min(size, s.input.size() - s.offset));
    if (n > 0) {
        s.offset += s.input.copy(data, static_cast<std::size_t>(n), s.offset);
    }
    return n;
}

std::ptrdiff_t scripted_write(int fd, const char* data, std::size_t size)
{
    const std::ptrdiff_t n = answer(script().writes, size);
    if (n > 0) {
        written().at(static_cast<std::size_t>(fd)).append(data, static_cast<std::size_t>(n));
        written()[0].append(data, static_cast<std::size_t>(n));
    }
    return n;
}

int scripted_poll(int /*fd*/, bool /*output*/)
{
    return answer(script().polls, 1) < 0 ? -1 : 1;
}

// What standard input is: a pipe, a file (which alone can seek), a Unix
// terminal, or a Windows console, where a line that begins with Ctrl-Z ends
// the input, shared with cmd or of the program's own (double-clicked). The
// pipe's and the file's system would make Ctrl-Z end a console's input too,
// and its console is the program's own: a double-clicked program whose input
// was redirected.
enum class Input { pipe, file, terminal, console, own_console };

// A seek on a file moves its offset within the input, else it fails.
std::int64_t scripted_seek(int /*fd*/, std::int64_t offset)
{
    const std::int64_t to = static_cast<std::int64_t>(script().offset) + offset;
    if (to < 0 || to > std::ssize(script().input)) {
        errno = EINVAL;
        return -1;
    }
    script().offset = static_cast<std::size_t>(to);
    return to;
}

// Binds fresh streams to calls that follow `s`.
void bind(std::istream& in, std::ostream& out, std::ostream& err, const Script& s, Input input = Input::pipe)
{
    script() = s;
    written() = {};
    const auto seek_fails = +[](int /*fd*/, std::int64_t /*offset*/) -> std::int64_t {
        errno = ESPIPE; // as on a pipe or a terminal
        return -1;
    };
    const bool plain = input == Input::pipe || input == Input::file;
    const auto terminal = plain ? +[](int /*fd*/) { return false; } : +[](int /*fd*/) { return true; };
    const auto processes = input == Input::console    ? +[] { return 3; } // cmd /c and its console host
                           : input == Input::terminal ? +[] { return 0; }
                                                      : +[] { return 1; };
    array_sort::bind_standard_streams(in, out, err,
                                      {scripted_read, scripted_write, scripted_poll,
                                       input == Input::file ? scripted_seek : seek_fails, terminal, processes,
                                       input != Input::terminal});
}

// What one run gives: standard output, the dialogue's status, the causes
// kept, and the dialogue's diagnostics.
struct Outcome {
    std::string out;
    int status = 0;
    int read_error = 0;
    int write_error = 0;
    std::string err{};
    std::string screen{}; // when given, both in the order written
};

struct Row {
    const char* name;
    Script script;
    Outcome expected;
    Input input = Input::pipe;
    const char* unread = nullptr; // when given, the input that no read took
};

// Compares what only some rows give: the input that no read took, and the
// two streams in the order written.
void expect_if_given(const Row& row)
{
    if (row.unread != nullptr) {
        EXPECT_EQ(script().input.substr(script().offset), row.unread) << row.name;
    }
    if (!row.expected.screen.empty()) {
        EXPECT_EQ(written()[0], row.expected.screen) << row.name;
    }
}

// Runs the dialogue over the scripted calls as the entry routine does, and
// compares the outcome.
void expect_run(const Row& row)
{
    std::istream in(nullptr);
    std::ostream out(nullptr);
    std::ostream err(nullptr);
    bind(in, out, err, row.script, row.input);
    ASSERT_EQ(array_sort::input_is_terminal(), row.input != Input::pipe && row.input != Input::file);
    const int status = array_sort::run_dialogue(in, out, err, array_sort::input_is_terminal());
    array_sort::give_back_unread_input();
    out.flush();
    array_sort::hold_own_console(err);
    expect_if_given(row);
    EXPECT_EQ(written()[1], row.expected.out) << row.name;
    EXPECT_EQ(written()[2], row.expected.err) << row.name;
    EXPECT_EQ(status, row.expected.status) << row.name;
    EXPECT_EQ(array_sort::read_error(), row.expected.read_error) << row.name;
    EXPECT_EQ(array_sort::write_error(), row.expected.write_error) << row.name;
}

TEST(DescriptorStreams, Table)
{
    const std::string example = "4\n7 -3 7 0\n";
    const std::string sorted = expected::sorted("\t-3\t0\t7\t7");
    // The one number of the list refused at a terminal, then the end of the input.
    const auto refused = [](const std::string& word) {
        return expected::number(1, 1) + expected::not_a_number(word) + expected::again +
               expected::number(1, 1) + "input ended\n";
    };
    // A word three blocks long, beyond the layer's second block.
    const std::string long_word = std::string(9000, '0') + "2147483648";
    const std::string long_word_left = long_word + "\n";
    const auto number_51 = [](const std::string& quoted) { return expected::number_51 + quoted + "\n"; };
    const std::string left = "array-sort: not taken, after the last number: \"9\"\n";
    const std::string press_enter = "Press Enter to close this window.\n";
    const Answer eintr{0, EINTR};
    const Answer eagain{0, EAGAIN};
    const std::vector<Row> rows = {
        {"writes that take part of the block", {example, {}, {{3}, {5}, {1}, {0}, {7}}}, {sorted}},
        {"read interrupted", {example, {eintr}}, {sorted}},
        {"read not ready, wait interrupted", {example, {eagain, eagain}, {}, {eintr}}, {sorted}},
        {"write interrupted", {example, {}, {eintr}}, {sorted}},
        {"write not ready, wait interrupted", {example, {}, {{4}, eagain, eagain}, {eintr}}, {sorted}},
        {"read fails", {example, {{0, ECONNRESET}}}, {expected::two_prompts, 1, ECONNRESET}},
        {"read fails after the last digit of a number",
         {example, {{4}, {0, EIO}}},
         {expected::three_prompts, 1, EIO}},
        {"wait to read fails", {example, {eagain}, {}, {{0, ENOMEM}}}, {expected::two_prompts, 1, ENOMEM}},
        {"wait to write fails", {example, {}, {eagain}, {{0, ENOMEM}}}, {"", 0, 0, ENOMEM}},
        {"the first write error is kept", {example, {}, {{0, EIO}, {0, ENOSPC}}}, {"", 0, 0, EIO}},
        // Ctrl-D twice after "1 2" at a terminal: the line ends, and so does
        // the input, though the person types on. The report starts on a line
        // of its own.
        {"nothing is read after the end",
         {"3\n1 2\n5\n", {{2}, {3}, {0}}},
         {expected::three_prompts, 1, 0, 0, "\narray-sort: number 3 of 3: input ended\n"},
         Input::terminal},
        {"the numbers prompt on the screen before what it left",
         {"1 7 9\n"},
         {expected::sorted("\t7"), 0, 0, 0, left,
          expected::three_prompts + left + expected::sorted("\t7").substr(expected::three_prompts.size())},
         Input::terminal},
        {"read fails at a terminal", {example, {{0, EIO}}}, {expected::two_prompts, 1, EIO}, Input::terminal},
        {"read fails inside a line",
         {"4\n1 2", {{5}, {0, EIO}}},
         {expected::three_prompts, 1, EIO, 0, "\n"},
         Input::terminal},
        {"read fails inside the line that completes the list",
         {"2\n1 2", {{2}, {3}, {0, EIO}}},
         {expected::three_prompts, 1, EIO, 0, "\n"},
         Input::terminal},
        // A console gives a line a read; one that begins with Ctrl-Z ends the input.
        {"console line that begins with Ctrl-Z",
         {"3\n1 2\n\x1a\r\n5\n", {{2}, {4}, {3}}},
         {expected::three_prompts, 1, 0, 0, expected::number(3, 3) + "input ended\n"},
         Input::console},
        {"Ctrl-Z inside a console line, after a read",
         {"1\n7\x1a\r\n", {{2}, {1}}},
         {expected::three_prompts, 1, 0, 0, refused("7^Z")},
         Input::console},
        {"Ctrl-Z at a Unix terminal",
         {"1\n\x1a\r\n", {{2}}},
         {expected::three_prompts, 1, 0, 0, refused("^Z")},
         Input::terminal},
        {"Ctrl-Z from a pipe",
         {"1\n\x1a\n", {{2}}},
         {expected::three_prompts, 1, 0, 0, expected::number(1, 1) + expected::not_a_number("^Z") + "\n"}},
        // From a file, a word refused is given back whole, however far back
        // its first byte lies: the next reader starts there. From a pipe it
        // is lost, but quoted all the same.
        {"a file: a word across the block's end given back",
         {expected::word_across_a_block("abcdef")},
         {expected::three_prompts, 1, 0, 0, number_51(expected::not_a_number("abcdef"))},
         Input::file,
         "abcdef 1 2\n"},
        {"a file: too large across the block's end",
         {expected::word_across_a_block("2147483648")},
         {expected::three_prompts, 1, 0, 0, number_51(expected::quoted("2147483648", "too large"))},
         Input::file,
         "2147483648 1 2\n"},
        {"a pipe: a word across the block's end",
         {expected::word_across_a_block("abcdef")},
         {expected::three_prompts, 1, 0, 0, number_51(expected::not_a_number("abcdef"))},
         Input::pipe,
         ""},
        {"a file: a word three blocks long given back",
         {"1\n" + long_word + "\n"},
         {expected::three_prompts, 1, 0, 0,
          expected::number(1, 1) + expected::quoted(std::string(32, '0') + "...", "too large") + "\n"},
         Input::file,
         long_word_left.c_str()},
        {"a file read in parts: a word given back",
         {"3\n1 x 2\n", {{3}, {2}}},
         {expected::three_prompts, 1, 0, 0, expected::number(2, 3) + expected::not_a_number("x") + "\n"},
         Input::file,
         "x 2\n"},
        {"a file: what follows the list given back",
         {"2 1 2 rest"},
         {expected::sorted("\t1\t2")},
         Input::file,
         " rest"},
        // A console of the program's own (double-clicked) is held open after
        // the run until Enter, whatever ended it; the status is the run's.
        {"own console: the list, then Enter",
         {"4\r\n7 -3 7 0\r\n \r\nleft", {{3}, {10}, {1}, {2}}},
         {sorted, 0, 0, 0, press_enter},
         Input::own_console,
         "left"},
        {"own console: Ctrl-Z as the first line, then Enter",
         {"\x1a\r\n\r\nleft", {{3}, {2}}},
         {expected::two_prompts, 1, 0, 0, "array-sort: count: input ended\n" + press_enter},
         Input::own_console,
         "left"},
        {"own console ends while held",
         {"0\r\n", {{3}, {0}}},
         {expected::sorted(""), 0, 0, 0, press_enter},
         Input::own_console},
        {"own console fails while held",
         {"0\r\n\r\n", {{3}, {0, EIO}}},
         {expected::sorted(""), 0, 0, 0, press_enter},
         Input::own_console,
         "\r\n"},
    };
    for (const auto& row : rows) {
        expect_run(row);
    }
}

// The input moves back from where it is read, to a byte in the block read or
// before it, where the input can seek: its offset is the new position. A
// move that fails (a pipe's, or one from the start, which the program never
// makes) moves nothing.
TEST(DescriptorStreams, MovesBack)
{
    const std::streampos failed(std::streamoff(-1));
    for (const auto& [input, back, after] :
         {std::tuple{Input::file, std::streampos(0), '1'}, {Input::pipe, failed, '7'}}) {
        std::istream in(nullptr);
        std::ostream out(nullptr);
        std::ostream err(nullptr);
        bind(in, out, err, {"1 7"}, input);
        in.ignore(2);
        EXPECT_EQ(in.rdbuf()->pubseekoff(0, std::ios_base::beg), failed);
        EXPECT_EQ(in.rdbuf()->pubseekoff(-2, std::ios_base::cur), back);
        EXPECT_EQ(in.get(), after);
    }
}

// Output longer than the layer's block goes out whole, in order, a part of
// a block at a time; after a failed write the stream goes bad.
TEST(DescriptorStreams, OutputLongerThanABlock)
{
    constexpr int numbers = 2000;
    constexpr std::ptrdiff_t part = 1000;
    std::string text;
    for (int i = 0; i < numbers; ++i) {
        text += std::to_string(i) + ' ';
    }
    for (const auto& [first_write, taken, cause] :
         {std::tuple{Answer{part}, text, 0}, {Answer{0, EIO}, "", EIO}}) {
        std::istream in(nullptr);
        std::ostream out(nullptr);
        std::ostream err(nullptr);
        bind(in, out, err, {"", {}, {first_write}});
        out << text << std::flush;
        EXPECT_EQ(written()[1], taken);
        EXPECT_EQ(array_sort::write_error(), cause);
        EXPECT_EQ(out.bad(), cause != 0);
    }
}

} // namespace
