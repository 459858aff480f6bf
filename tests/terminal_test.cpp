// Runs the built program on a pseudo-terminal, as a person at a terminal
// would meet it: each prompt is on the screen while the program waits for its
// answer, answers typed over several lines are taken, and the sorted list
// follows. The terminal echoes what is typed and ends lines with "\r\n".

#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

constexpr auto timeout = std::chrono::seconds(60);
// How long the screen must stay still for the program to count as waiting.
constexpr auto settle = std::chrono::milliseconds(200);
constexpr std::size_t chunk = 4096;
constexpr int exec_failed = 127; // the shell's status for a command it could not run

// Reads what the terminal shows within `wait`; stops early once the screen
// ends with `until` (when given). Returns false at end of output.
bool read_screen(int master, std::string& screen, std::chrono::milliseconds wait, std::string_view until = {})
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (until.empty() || !screen.ends_with(until)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{master, POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) == 0) {
            return true;
        }
        std::array<char, chunk> buffer{};
        const ssize_t n = read(master, buffer.data(), buffer.size());
        if (n <= 0) {
            return false; // Linux reports EIO once the program has closed the terminal
        }
        screen.append(buffer.data(), static_cast<std::size_t>(n));
    }
    return true;
}

void type(int master, std::string_view keys)
{
    ASSERT_EQ(write(master, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
}

// The program has shown `expected` and is blocked reading: the screen stays as
// it is and the process is still there.
void expect_waiting(int master, pid_t pid, std::string& screen, std::string_view expected)
{
    ASSERT_TRUE(read_screen(master, screen, timeout, expected));
    ASSERT_EQ(screen, expected);
    ASSERT_TRUE(read_screen(master, screen, settle));
    EXPECT_EQ(screen, expected) << "the program wrote on without an answer";
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, WNOHANG), 0) << "the program ended without an answer";
}

TEST(Terminal, SessionAsAPersonTypesIt)
{
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        std::string program = ARRAY_SORT_PROGRAM;
        std::array<char*, 2> argv{program.data(), nullptr};
        execv(argv[0], argv.data());
        std::_Exit(exec_failed);
    }

    const std::string first =
        "The Maximum Size Of The ARRAY = (100)\r\nPlease Enter The Size Of The ARRAY\r\n";
    std::string screen;
    expect_waiting(master, pid, screen, first);

    type(master, "4\n");
    const std::string second = first + "4\r\nPlease Enter The Numbers \r\n";
    expect_waiting(master, pid, screen, second);

    type(master, "7 -3\n");
    const std::string third = second + "7 -3\r\n";
    expect_waiting(master, pid, screen, third);

    type(master, "7\n0\n");
    while (read_screen(master, screen, timeout)) {
    }
    EXPECT_EQ(screen,
              third +
                  "7\r\n0\r\n\r\nNumbers in the correct increasing order.\r\n\r\n\r\n\t-3\t0\t7\t7\r\n\r\n");

    close(master);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
