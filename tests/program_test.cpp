// Runs the built program as a process, for what only a process shows: the exit
// status, prompts that reach a pipe before the program waits for input, and
// failed writes to standard output.

#include "expected_output.hpp"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <string>
#include <string_view>
#include <vector>

extern char** environ; // NOLINT: the environment, passed on to the program

namespace {

constexpr auto timeout = std::chrono::seconds(60);
constexpr std::size_t pipe_chunk = 4096;

using expected::three_prompts;
using expected::two_prompts;
const std::string example_output = expected::sorted("\t-3\t0\t7\t7");

// What standard output is connected to.
enum class Stdout { pipe, dev_full, closed };

// A running copy of the program with pipes to its standard streams.
struct Child {
    pid_t pid = -1;
    int in = -1;  // its standard input, for writing
    int out = -1; // its standard output, for reading; -1 when not a pipe
    int err = -1; // its standard error, for reading
};

Child start(Stdout where)
{
    std::array<int, 2> in{};
    std::array<int, 2> out{};
    std::array<int, 2> err{};
    EXPECT_EQ(pipe2(in.data(), O_CLOEXEC), 0);
    EXPECT_EQ(pipe2(out.data(), O_CLOEXEC), 0);
    EXPECT_EQ(pipe2(err.data(), O_CLOEXEC), 0);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    switch (where) {
    case Stdout::pipe:
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        break;
    case Stdout::dev_full:
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/full", O_WRONLY, 0);
        break;
    case Stdout::closed:
        posix_spawn_file_actions_addclose(&actions, 1);
        break;
    }
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);

    // A child that exits before reading all its input must not kill the test
    // with SIGPIPE; the child itself keeps the default action.
    (void)std::signal(SIGPIPE, SIG_IGN);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

    std::string program = ARRAY_SORT_PROGRAM;
    std::array<char*, 2> argv{program.data(), nullptr};
    Child child;
    EXPECT_EQ(posix_spawn(&child.pid, argv[0], &actions, &attributes, argv.data(), environ), 0);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);

    close(in[0]);
    close(out[1]);
    close(err[1]);
    child.in = in[1];
    if (where == Stdout::pipe) {
        child.out = out[0];
    } else {
        close(out[0]);
    }
    child.err = err[0];
    return child;
}

// Writes `text` to the child's standard input. A child that has already gone
// (EPIPE) is not an error: it may refuse its input before reading it all.
void send(const Child& child, const std::string& text)
{
    std::string_view rest = text;
    while (!rest.empty()) {
        const ssize_t n = write(child.in, rest.data(), rest.size());
        if (n < 0) {
            ASSERT_EQ(errno, EPIPE);
            return;
        }
        rest.remove_prefix(static_cast<std::size_t>(n));
    }
}

// Reads from `fd` into `into` until it ends with `until` (or, with an empty
// `until`, until end of file), failing the test on timeout.
void read_until(int fd, std::string& into, const std::string& until)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (until.empty() || into.size() < until.size() ||
           into.compare(into.size() - until.size(), until.size(), until) != 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        ASSERT_GT(poll(&p, 1, static_cast<int>(std::max<std::int64_t>(left.count(), 0))), 0)
            << "timed out; read so far: " << into;
        std::array<char, pipe_chunk> buffer{};
        const ssize_t n = read(fd, buffer.data(), buffer.size());
        ASSERT_GE(n, 0);
        if (n == 0) {
            ASSERT_TRUE(until.empty()) << "output ended before " << until << "; read: " << into;
            return;
        }
        into.append(buffer.data(), static_cast<std::size_t>(n));
    }
}

struct Outcome {
    std::string out;
    std::string err;
    int status = -1;
};

// Reads everything that is left and waits for the child to exit.
Outcome finish(Child& child, std::string out_so_far = {})
{
    Outcome o;
    o.out = std::move(out_so_far);
    close(child.in);
    if (child.out >= 0) {
        read_until(child.out, o.out, "");
        close(child.out);
    }
    read_until(child.err, o.err, "");
    close(child.err);
    int wstatus = 0;
    EXPECT_EQ(waitpid(child.pid, &wstatus, 0), child.pid);
    if (WIFEXITED(wstatus)) {
        o.status = WEXITSTATUS(wstatus);
    }
    return o;
}

Outcome run(const std::string& input, Stdout where = Stdout::pipe)
{
    Child child = start(where);
    send(child, input);
    return finish(child);
}

TEST(Program, Table)
{
    const std::vector<expected::Case> cases = {
        {"overview example", "4\n7 -3 7 0\n", example_output, "", 0},
        {"empty list", "0\n", expected::sorted(""), "", 0},
        {"count above capacity", "101\n", two_prompts, "array-sort: count 101 is above the maximum 100\n", 1},
        {"no count", "", two_prompts, "array-sort: count: input ended\n", 1},
        {"missing number", "3 1 2", three_prompts, "array-sort: number 3 of 3: input ended\n", 1},
        {"bad number", "3 1 2x", three_prompts, "array-sort: number 3 of 3: " + expected::bad_number + "\n",
         1},
    };
    for (const auto& c : cases) {
        const Outcome o = run(c.input);
        EXPECT_EQ(o.out, c.out) << c.name;
        EXPECT_EQ(o.err, c.err) << c.name;
        EXPECT_EQ(o.status, c.status) << c.name;
    }
}

// Answers each prompt only after it has arrived: a program that did not flush
// its prompts before reading would leave this waiting until the timeout.
TEST(Program, PromptsArriveBeforeEachRead)
{
    Child child = start(Stdout::pipe);
    std::string out;
    read_until(child.out, out, two_prompts);
    EXPECT_EQ(out, two_prompts);
    send(child, "4\n");
    read_until(child.out, out, three_prompts);
    EXPECT_EQ(out, three_prompts);
    send(child, "7 -3\n");
    send(child, "7\n0\n");
    const Outcome o = finish(child, out);
    EXPECT_EQ(o.out, example_output);
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.status, 0);
}

TEST(Program, WriteErrorIsReported)
{
    if (access("/dev/full", W_OK) != 0) {
        GTEST_SKIP() << "no /dev/full";
    }
    const Outcome full = run("4\n7 -3 7 0\n", Stdout::dev_full);
    EXPECT_EQ(full.err, "array-sort: write error: No space left on device\n");
    EXPECT_EQ(full.status, 1);

    const Outcome closed = run("4\n7 -3 7 0\n", Stdout::closed);
    EXPECT_EQ(closed.err, "array-sort: write error: Bad file descriptor\n");
    EXPECT_EQ(closed.status, 1);
}

} // namespace
