// Runs the built program on a pseudo-terminal, as a person at a terminal
// would meet it, with standard output on a pipe as `array-sort | tee` gives
// it: the decision to take answers a line at a time is made on standard
// input. Each prompt is on the pipe while the program waits for its answer;
// the screen shows what is typed (the terminal echoes it and ends lines with
// "\r\n") and the diagnostics. A line with a mistake is named and typed
// again whole, and the sorted list follows.

#include "expected_output.hpp"
#include "process.hpp"

#include <gtest/gtest.h>

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using process::Seen;
using process::timeout;

// How long the screen must stay still for the program to count as waiting.
constexpr auto settle = std::chrono::milliseconds(200);
constexpr int exec_failed = 127; // the shell's status for a command it could not run

// Converts the program's lines to what the terminal shows: "\r\n" for "\n".
std::string on_screen(std::string_view text)
{
    return process::with_line_ends(text, "\r\n");
}

// Starts the program on a new terminal, whose other side is `master`, with
// its standard output on a pipe whose reading end is `out`.
pid_t start_on_terminal(int& master, int& out)
{
    std::array<int, 2> pipe_ends{};
    if (pipe(pipe_ends.data()) != 0) {
        return -1;
    }
    const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    if (pid == 0) {
        dup2(pipe_ends[1], STDOUT_FILENO);
        close(pipe_ends[0]);
        close(pipe_ends[1]);
        const std::vector<char*>& argv = process::program_argv();
        execv(argv.front(), argv.data());
        std::_Exit(exec_failed);
    }
    close(pipe_ends[1]);
    out = pipe_ends[0];
    return pid;
}

void type(int master, std::string_view keys)
{
    EXPECT_EQ(write(master, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
}

// What the program has written so far: on its output pipe, and on the screen.
struct Shown {
    std::string out;
    std::string screen;
};

// Reads `fd` until what it showed, `shown`, is `expected`, then for a while
// longer: it must stay so.
void expect_still(int fd, std::string& shown, const std::string& expected)
{
    if (!expected.empty()) { // with nothing to wait for, the still check tells
        EXPECT_EQ(process::read_for(fd, shown, timeout, expected), Seen::until) << "waited for: " << expected;
    }
    EXPECT_EQ(process::read_for(fd, shown, settle), Seen::nothing_more);
    ASSERT_EQ(shown, expected) << "the program wrote something else, or wrote on without an answer";
}

// Both show `expected`, then stay still, and the program is still there: it
// is waiting for an answer.
void expect_waiting(int master, int out, pid_t pid, Shown& shown, const Shown& expected)
{
    expect_still(out, shown.out, expected.out);
    expect_still(master, shown.screen, expected.screen);
    int wstatus = 0;
    ASSERT_EQ(waitpid(pid, &wstatus, WNOHANG), 0) << "the program ended without an answer";
}

// Reads `fd` until the program has closed it: what it showed, `shown`, is
// then `expected`.
void expect_last(int fd, std::string& shown, const std::string& expected)
{
    EXPECT_EQ(process::read_for(fd, shown, timeout), Seen::end) << "the program did not end";
    EXPECT_EQ(shown, expected);
}

// The program writes the rest of `expected` and ends with `status`. After a
// failure it is killed: the test fails instead of waiting for it.
void expect_end(int master, int out, pid_t pid, Shown& shown, const Shown& expected, int status)
{
    if (!::testing::Test::HasFatalFailure()) {
        expect_last(out, shown.out, expected.out);
        expect_last(master, shown.screen, expected.screen);
    }
    close(master);
    close(out);
    if (::testing::Test::HasFailure()) {
        kill(pid, SIGKILL);
    }
    int wstatus = 0;
    ASSERT_EQ(waitpid(pid, &wstatus, 0), pid);
    EXPECT_TRUE(WIFEXITED(wstatus) && WEXITSTATUS(wstatus) == status) << "wait status " << wstatus;
}

// One step of a session: what the program adds to its output and to the
// screen, then the keys typed once it waits.
struct Step {
    std::string out;
    std::string screen;
    std::string keys;
    const char* echo = nullptr; // what the terminal shows of the keys, if not the keys themselves
};

// Runs the program on a new terminal. Each step types its keys once the pipe
// and the screen show what the step adds after all before it, and the
// program waits. After the last step the program adds `last` (whose keys
// are not used) and ends with `status`.
void session(const std::vector<Step>& steps, const Step& last, int status)
{
    int master = -1;
    int out = -1;
    const pid_t pid = start_on_terminal(master, out);
    ASSERT_GE(pid, 0);
    Shown shown;
    Shown expected;
    for (const auto& step : steps) {
        expected.out += step.out;
        expected.screen += on_screen(step.screen);
        expect_waiting(master, out, pid, shown, expected);
        if (::testing::Test::HasFatalFailure()) {
            break;
        }
        type(master, step.keys);
        expected.screen += on_screen(step.echo != nullptr ? step.echo : step.keys);
    }
    expected.out += last.out;
    expected.screen += on_screen(last.screen);
    expect_end(master, out, pid, shown, expected, status);
}

const std::string third_prompt = "Please Enter The Numbers \n";
using expected::again;
using expected::not_a_number;

// What the program writes after the numbers prompt for `numbers`.
std::string list(const std::string& numbers)
{
    return expected::sorted(numbers).substr(expected::three_prompts.size());
}

TEST(Terminal, SessionAsAPersonTypesIt)
{
    session({{expected::two_prompts, "", "4\n"}, {third_prompt, "", "7 -3\n"}, {"", "", "7\n0\n"}},
            {list("\t-3\t0\t7\t7"), "", ""}, 0);
}

TEST(Terminal, ALineWithATypoIsTypedAgainWhole)
{
    session({{expected::two_prompts, "", "4\n"},
             {third_prompt, "", "10 20 3O 40\n"},
             {"", expected::number(3, 4) + not_a_number("3O") + again, "10 20 30 40\n"}},
            {list("\t10\t20\t30\t40"), "", ""}, 0);
}

// Ctrl-D twice after part of a line: the line ends with the input, and the
// program's text starts on a line of its own.
TEST(Terminal, InputEndingInsideALine)
{
    session({{expected::two_prompts, "", "2 5 1\x04\x04", "2 5 1"}},
            {list("\t1\t5").insert(0, third_prompt), "\n", ""}, 0);
}

TEST(Terminal, EveryMistakeIsNamed)
{
    session(
        {{expected::two_prompts, "", "3.5\n"},
         {"", "array-sort: count: " + not_a_number("3.5") + again, "3 numbers\n"},
         {"", expected::number(1, 3) + not_a_number("numbers") + expected::count_not_taken + again, "abc\n"},
         {"", "array-sort: count: " + not_a_number("abc") + again, "101\n"},
         {"", "array-sort: count: \"101\" is above the maximum 100" + again, "3\n"},
         // Ctrl-Z typed literally (Ctrl-V first) is a character here, not
         // the end of the input as on a Windows console.
         {third_prompt, "", "\x16\x1a\n", "^\b^Z\n"},
         {"", expected::number(1, 3) + not_a_number("^Z") + again, "5 x 9\n"},
         {"", expected::number(2, 3) + not_a_number("x") + again, "9 1 5 4 2\n"}},
        {list("\t1\t5\t9"), "array-sort: not taken, after the last number: \"4 2\"\n", ""}, 0);
}

} // namespace
