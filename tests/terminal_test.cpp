// Runs the built program on a pseudo-terminal, as a person at a terminal
// would meet it: each prompt is on the screen while the program waits for its
// answer, answers typed over several lines are taken, a mistyped answer is
// asked for again, and the sorted list follows. The terminal echoes what is
// typed and ends lines with "\r\n"; diagnostics share the screen.

#include "expected_output.hpp"

#include <gtest/gtest.h>

#include <poll.h>
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

constexpr auto timeout = std::chrono::seconds(10);
// How long the screen must stay still for the program to count as waiting.
constexpr auto settle = std::chrono::milliseconds(200);
constexpr std::size_t chunk = 4096;
constexpr int exec_failed = 127; // the shell's status for a command it could not run

// What ended a read of the screen.
enum class Seen { until, end, nothing_more };

// Reads what the terminal shows for at most `wait`, stopping early once the
// screen ends with `until` (when given) or the program has closed the terminal.
Seen read_screen(int master, std::string& screen, std::chrono::milliseconds wait, std::string_view until = {})
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (until.empty() || !screen.ends_with(until)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{master, POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) == 0) {
            return Seen::nothing_more;
        }
        std::array<char, chunk> buffer{};
        const ssize_t n = read(master, buffer.data(), buffer.size());
        if (n <= 0) {
            return Seen::end; // Linux reports EIO once the program has closed the terminal
        }
        screen.append(buffer.data(), static_cast<std::size_t>(n));
    }
    return Seen::until;
}

// Converts the program's lines to what the terminal shows: "\r\n" for "\n".
std::string on_screen(std::string_view text)
{
    std::string shown;
    for (const char c : text) {
        shown += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    return shown;
}

// Starts the program on a new terminal, whose other side is `master`.
pid_t start_on_terminal(int& master)
{
    const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    if (pid == 0) {
        std::string program = ARRAY_SORT_PROGRAM;
        std::array<char*, 2> argv{program.data(), nullptr};
        execv(argv[0], argv.data());
        std::_Exit(exec_failed);
    }
    return pid;
}

void type(int master, std::string_view keys)
{
    EXPECT_EQ(write(master, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
}

// The screen shows `expected`, then stays still, and the program is still
// there: it is waiting for an answer.
void expect_waiting(int master, pid_t pid, std::string& screen, const std::string& expected)
{
    EXPECT_EQ(read_screen(master, screen, timeout, expected), Seen::until) << "waited for: " << expected;
    ASSERT_EQ(screen, expected);
    EXPECT_EQ(read_screen(master, screen, settle), Seen::nothing_more);
    ASSERT_EQ(screen, expected) << "the program wrote on without an answer";
    int wstatus = 0;
    ASSERT_EQ(waitpid(pid, &wstatus, WNOHANG), 0) << "the program ended without an answer";
}

// The program writes the rest of `expected` and ends with `status`. After a
// failure it is killed: the test fails instead of waiting for it.
void expect_end(int master, pid_t pid, std::string& screen, const std::string& expected, int status)
{
    if (!::testing::Test::HasFatalFailure()) {
        EXPECT_EQ(read_screen(master, screen, timeout), Seen::end) << "the program did not end";
        EXPECT_EQ(screen, expected);
    }
    close(master);
    if (::testing::Test::HasFailure()) {
        kill(pid, SIGKILL);
    }
    int wstatus = 0;
    ASSERT_EQ(waitpid(pid, &wstatus, 0), pid);
    EXPECT_TRUE(WIFEXITED(wstatus) && WEXITSTATUS(wstatus) == status) << "wait status " << wstatus;
}

// Runs the program on a new terminal. Each step types its keys once the
// screen shows what the step shows after all before it, and the program
// waits. After the last step the screen must end as `last_screen` shows, and
// the program with `status`.
void session(const std::vector<std::pair<std::string, std::string>>& steps, const std::string& last_screen,
             int status)
{
    int master = -1;
    const pid_t pid = start_on_terminal(master);
    ASSERT_GE(pid, 0);
    std::string screen;
    std::string expected;
    for (const auto& [shown, keys] : steps) {
        expected += shown;
        expect_waiting(master, pid, screen, expected);
        if (::testing::Test::HasFatalFailure()) {
            break;
        }
        type(master, keys);
        expected += on_screen(keys); // the echo
    }
    expect_end(master, pid, screen, expected + last_screen, status);
}

const std::string two_prompts = on_screen(expected::two_prompts);
const std::string third_prompt = "Please Enter The Numbers \r\n";

TEST(Terminal, SessionAsAPersonTypesIt)
{
    session({{two_prompts, "4\n"}, {third_prompt, "7 -3\n"}, {"", "7\n0\n"}},
            on_screen(expected::sorted("\t-3\t0\t7\t7").substr(expected::three_prompts.size())), 0);
}

TEST(Terminal, MistypedAnswersAreAskedForAgain)
{
    const std::string not_a_number = expected::bad_number;
    session({{two_prompts, "abc\n"},
             {"array-sort: count: " + not_a_number + "; type it again\r\n", "101\n"},
             {"array-sort: count 101 is above the maximum 100; type it again\r\n", "3\n"},
             {third_prompt, "5 x 9\n"},
             {"array-sort: number 2 of 3: " + not_a_number + "; type it and the rest of its line again\r\n",
              "9 1\n"}},
            on_screen(expected::sorted("\t1\t5\t9").substr(expected::three_prompts.size())), 0);
}

} // namespace
