// Runs the built program as a process, for what only a process shows: the exit
// status, prompts that reach a pipe before the program waits for input, and
// what the descriptors it is given do to it: reads and writes that fail,
// pipes that are not ready yet, a file that the next run reads on from where
// this one stopped. With ARRAY_SORT_COMMAND set (the Windows build under
// Wine, say), the rows on plain pipes and files run against that program.

#include "expected_output.hpp"
#include "process.hpp"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fstream>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

extern char** environ; // NOLINT: the environment, passed on to the program

namespace {

// How long a full output pipe is left full: the program's first writes find
// no room.
constexpr auto full_for = std::chrono::milliseconds(200);
// The status a shell reports for a program ended by a signal: this plus its
// number.
constexpr int signalled = 128;

using expected::three_prompts;
using expected::two_prompts;
const std::string example_output = expected::sorted("\t-3\t0\t7\t7");

// What standard input and output are connected to. A non-blocking pipe is
// fed only once the prompts have arrived and the program sleeps, so its
// first read is sure to have found nothing there; a non-blocking output pipe
// is full when the program starts. A reset socket fails the read after the
// input sent (ECONNRESET: the other end closes with data of its own unread).
enum class Stdin { pipe, nonblocking_pipe, reset_socket, directory, closed, file };
// A pipe with no reader has its reading end closed as the program starts:
// the prompts, or at the latest the list, find no reader.
enum class Stdout { pipe, nonblocking_full_pipe, no_reader, dev_full, closed };

// A running copy of the program with pipes to its standard streams.
struct Child {
    pid_t pid = -1;
    int in = -1;            // its standard input, for writing
    int out = -1;           // its standard output, for reading; -1 when not a pipe
    int err = -1;           // its standard error, for reading
    std::size_t filler = 0; // bytes in its output pipe before it started
};

// Fills a non-blocking pipe; returns how many bytes it took.
std::size_t fill(int fd)
{
    const std::array<char, process::block> filler{};
    std::size_t filled = 0;
    ssize_t n = 0;
    while ((n = write(fd, filler.data(), filler.size())) > 0) {
        filled += static_cast<std::size_t>(n);
    }
    EXPECT_EQ(errno, EAGAIN);
    return filled;
}

void set_nonblocking(int fd)
{
    EXPECT_EQ(fcntl(fd, F_SETFL, O_NONBLOCK), 0); // NOLINT(cppcoreguidelines-pro-type-vararg): fcntl's own
}

// Makes `from` the program's standard input; `channel_end` is the program's
// end of its input channel. Returns whether that channel is used.
bool connect(posix_spawn_file_actions_t& actions, Stdin from, int channel_end, int file)
{
    switch (from) {
    case Stdin::nonblocking_pipe:
        set_nonblocking(channel_end);
        [[fallthrough]];
    case Stdin::pipe:
    case Stdin::reset_socket:
        posix_spawn_file_actions_adddup2(&actions, channel_end, 0);
        return true;
    case Stdin::directory:
        posix_spawn_file_actions_addopen(&actions, 0, "/", O_RDONLY, 0);
        break;
    case Stdin::closed:
        posix_spawn_file_actions_addclose(&actions, 0);
        break;
    case Stdin::file:
        posix_spawn_file_actions_adddup2(&actions, file, 0);
        break;
    }
    return false;
}

// Makes `where` the program's standard output; `pipe_end` is the writing end
// of its output pipe. Returns how many bytes were in the pipe beforehand.
std::size_t connect(posix_spawn_file_actions_t& actions, Stdout where, int pipe_end)
{
    std::size_t filler = 0;
    switch (where) {
    case Stdout::nonblocking_full_pipe:
        set_nonblocking(pipe_end);
        filler = fill(pipe_end);
        [[fallthrough]];
    case Stdout::pipe:
    case Stdout::no_reader:
        posix_spawn_file_actions_adddup2(&actions, pipe_end, 1);
        break;
    case Stdout::dev_full:
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/full", O_WRONLY, 0);
        break;
    case Stdout::closed:
        posix_spawn_file_actions_addclose(&actions, 1);
        break;
    }
    return filler;
}

// The channel for standard input: a pipe, or a socket pair whose test end
// holds a byte of its own that nobody reads.
std::array<int, 2> input_channel(Stdin from)
{
    std::array<int, 2> in{};
    if (from == Stdin::reset_socket) {
        EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, in.data()), 0);
        EXPECT_EQ(write(in[0], "unread", 1), 1);
    } else {
        EXPECT_EQ(pipe2(in.data(), O_CLOEXEC), 0);
    }
    return in;
}

// The test's end of a channel: kept when the program has the other end.
int our_end(int fd, bool used)
{
    if (!used) {
        close(fd);
        return -1;
    }
    return fd;
}

// Spawns the program with `actions` applied to its descriptors.
pid_t spawn(const posix_spawn_file_actions_t& actions)
{
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

    const std::vector<char*>& argv = process::program_argv();
    pid_t pid = -1;
    EXPECT_EQ(posix_spawnp(&pid, argv.front(), &actions, &attributes, argv.data(), environ), 0);
    posix_spawnattr_destroy(&attributes);
    return pid;
}

// Starts the program; with Stdin::file, `file` is its standard input.
Child start(Stdin from, Stdout where, int file = -1)
{
    const std::array<int, 2> in = input_channel(from);
    std::array<int, 2> out{};
    std::array<int, 2> err{};
    EXPECT_EQ(pipe2(out.data(), O_CLOEXEC), 0);
    EXPECT_EQ(pipe2(err.data(), O_CLOEXEC), 0);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    Child child;
    const bool input_used = connect(actions, from, in[0], file);
    child.filler = connect(actions, where, out[1]);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    child.pid = spawn(actions);
    posix_spawn_file_actions_destroy(&actions);

    close(in[0]);
    close(out[1]);
    close(err[1]);
    child.in = our_end(in[1], input_used);
    child.out = our_end(out[0], where == Stdout::pipe || where == Stdout::nonblocking_full_pipe);
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
    const process::Seen seen = process::read_for(fd, into, process::timeout, until);
    ASSERT_EQ(seen, until.empty() ? process::Seen::end : process::Seen::until)
        << "timed out or ended before " << until << "; read so far: " << into;
}

// Waits until the program sleeps. After its prompts, nothing but a wait for
// input puts it to sleep: its read has found the pipe empty, whatever the
// machine's load.
void wait_until_asleep(pid_t pid)
{
    const std::string stat = "/proc/" + std::to_string(pid) + "/stat";
    const auto deadline = std::chrono::steady_clock::now() + process::timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        std::string line;
        std::getline(std::ifstream(stat), line);
        const std::size_t state = line.rfind(") "); // the state follows the program's name
        if (state != std::string::npos && line.compare(state, 3, ") S") == 0) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ADD_FAILURE() << "the program did not wait for its input";
}

struct Outcome {
    std::string out;
    std::string err;
    int status = -1;
};

// Reads everything that is left and waits for the child to exit. A child
// that has not closed its output within the timeout is killed: the test
// fails instead of hanging.
Outcome finish(Child& child, std::string out_so_far = {})
{
    Outcome o;
    o.out = std::move(out_so_far);
    if (child.in >= 0) {
        close(child.in);
    }
    // After a wait that timed out, none more: the program is stuck.
    const auto stuck = [] { return ::testing::Test::HasFatalFailure(); };
    if (child.out >= 0) {
        if (!stuck()) {
            read_until(child.out, o.out, "");
        }
        close(child.out);
        o.out.erase(0, std::min(child.filler, o.out.size()));
    }
    if (!stuck()) {
        read_until(child.err, o.err, "");
    }
    close(child.err);
    if (stuck()) {
        kill(child.pid, SIGKILL);
    }
    int wstatus = 0;
    EXPECT_EQ(waitpid(child.pid, &wstatus, 0), child.pid);
    if (WIFEXITED(wstatus)) {
        o.status = WEXITSTATUS(wstatus);
    } else if (WIFSIGNALED(wstatus)) {
        o.status = signalled + WTERMSIG(wstatus); // as a shell reports it
    }
    return o;
}

Outcome run(const expected::Case& c, Stdin from, Stdout where)
{
    Child child = start(from, where);
    std::string out;
    if (from == Stdin::nonblocking_pipe) {
        read_until(child.out, out, two_prompts);
        wait_until_asleep(child.pid);
    }
    if (child.in >= 0) {
        send(child, c.input);
    }
    if (from == Stdin::nonblocking_pipe) {
        // All of it while the input is still open: the input's arrival, not
        // its end, wakes the program's wait.
        read_until(child.out, out, c.out);
    }
    if (where == Stdout::nonblocking_full_pipe) {
        std::this_thread::sleep_for(full_for);
    }
    return finish(child, out);
}

void expect(const Outcome& o, const expected::Case& c)
{
    EXPECT_EQ(o.out, c.out) << c.name;
    EXPECT_EQ(o.err, c.err) << c.name;
    EXPECT_EQ(o.status, c.status) << c.name;
}

TEST(Program, Table)
{
    // ARRAY_SORT_COMMAND runs the Windows build, which has no SIGPIPE: there
    // a pipe with no reader is a write error.
    const bool sigpipe = process::foreign_command() == nullptr;
    struct Row {
        expected::Case c;
        Stdin from = Stdin::pipe;
        Stdout where = Stdout::pipe;
    };
    const std::vector<Row> rows = {
        {{"overview example", "4\n7 -3 7 0\n", example_output, "", 0}},
        {{"empty list", "0\n", expected::sorted(""), "", 0}},
        {{"count above capacity", "101\n", two_prompts, "array-sort: count 101 is above the maximum 100\n",
          1}},
        {{"no count", "", two_prompts, "array-sort: count: input ended\n", 1}},
        {{"missing number", "3 1 2", three_prompts, expected::number(3, 3) + "input ended\n", 1}},
        {{"bad number", "3 1 2x", three_prompts, expected::number(3, 3) + expected::not_a_number("x") + "\n",
          1}},
        {{"a word across the 4096th byte", expected::word_across_a_block("abcdef"), three_prompts,
          expected::number_51 + expected::not_a_number("abcdef") + "\n", 1}},
        {{"UTF-16, as Windows PowerShell writes a file",
          std::string("\xff\xfe"
                      "1\0 \0"
                      "7\0",
                      8),
          two_prompts, expected::utf16, 1}},
        {{"input not ready yet", "4\n7 -3 7 0\n", example_output, "", 0}, Stdin::nonblocking_pipe},
        {{"output not ready yet", "4\n7 -3 7 0\n", example_output, "", 0},
         Stdin::pipe,
         Stdout::nonblocking_full_pipe},
        {{"input a directory", "", two_prompts, "array-sort: read error: Is a directory\n", 1},
         Stdin::directory},
        {{"read error after the last digit", "2 1 2", three_prompts,
          "array-sort: read error: Connection reset by peer\n", 1},
         Stdin::reset_socket},
        {{"input closed", "", two_prompts, "array-sort: read error: Bad file descriptor\n", 1},
         Stdin::closed},
        {{"output full", "4\n7 -3 7 0\n", "", "array-sort: write error: No space left on device\n", 1},
         Stdin::pipe,
         Stdout::dev_full},
        {{"output closed", "4\n7 -3 7 0\n", "", "array-sort: write error: Bad file descriptor\n", 1},
         Stdin::pipe,
         Stdout::closed},
        {{"read error, then write error", "", "",
          "array-sort: read error: Is a directory\narray-sort: write error: No space left on device\n", 1},
         Stdin::directory,
         Stdout::dev_full},
        {{"output a pipe with no reader", "4\n7 -3 7 0\n", "",
          sigpipe ? "" : "array-sort: write error: Broken pipe\n", sigpipe ? signalled + SIGPIPE : 1},
         Stdin::pipe,
         Stdout::no_reader},
    };
    for (const auto& row : rows) {
        const bool plain =
            row.from == Stdin::pipe && (row.where == Stdout::pipe || row.where == Stdout::no_reader);
        if (process::foreign_command() != nullptr && !plain) {
            continue; // a row of POSIX descriptors, for the Linux build alone
        }
        expect(run(row.c, row.from, row.where), row.c);
        if (HasFatalFailure()) {
            break; // a row that timed out: the rest would too
        }
    }
}

// A file that holds `text`, open for reading from its start; gone once closed.
int temporary_file(const std::string& text)
{
    std::string name = "/tmp/array-sort-test-XXXXXX";
    const int file = mkstemp(name.data());
    if (file >= 0) {
        unlink(name.c_str());
        EXPECT_EQ(write(file, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        EXPECT_EQ(lseek(file, 0, SEEK_SET), 0);
    }
    return file;
}

// One of several runs in turn on a file: what it writes, its status, and
// the file's bytes that it has used when it ends.
struct Turn {
    std::string out;
    std::string err;
    int status;
    std::string used;
};

// Runs the program in turn on one open file holding `text`, its lines
// ending in `line_end`, once for each of `turns`.
void run_in_turn(const std::string& text, const std::vector<Turn>& turns, const std::string& line_end)
{
    const int file = temporary_file(process::with_line_ends(text, line_end));
    ASSERT_GE(file, 0);
    for (const Turn& turn : turns) {
        Child child = start(Stdin::file, Stdout::pipe, file);
        expect(finish(child), {"a run in turn", "", turn.out, turn.err, turn.status});
        const std::string used = process::with_line_ends(turn.used, line_end);
        EXPECT_EQ(lseek(file, 0, SEEK_CUR), static_cast<off_t>(used.size())) << used;
        if (::testing::Test::HasFatalFailure()) {
            break; // a run that timed out: the rest would too
        }
    }
    close(file);
}

// Runs in turn on one open file, as `for i in 1 2 3; do array-sort; done <
// lists` does: each sorts its own list, and leaves the file's offset just
// past the last number it took, for the next; or it refuses a word, and
// leaves the offset at the word's first byte, so the next meets it whole.
// The lists' lines may end in "\r\n", and the file may start with a
// byte-order mark, as a Windows editor writes them. The files are longer
// than a read: each run reads past its list.
TEST(Program, RunsInTurnShareAFile)
{
    const std::string mark = "\xef\xbb\xbf";
    std::string lists = mark + "3\n3 1 2\n2\n9 -9\n0 1 42\n";
    lists.append(process::block, ' ');
    const auto refused = [](const std::string& word, const std::string& used) {
        return Turn{two_prompts, "array-sort: count: " + expected::not_a_number(word) + "\n", 1, used};
    };
    const std::string used_before_the_word =
        expected::word_across_a_block("").substr(0, expected::word_start);
    const std::vector<std::pair<std::string, std::vector<Turn>>> files = {
        {lists,
         {{expected::sorted("\t1\t2\t3"), "", 0, mark + "3\n3 1 2"},
          {expected::sorted("\t-9\t9"), "", 0, mark + "3\n3 1 2\n2\n9 -9"},
          {expected::sorted(""), "", 0, mark + "3\n3 1 2\n2\n9 -9\n0"}}},
        {"3\n1 x 2\n2\n5 4\n",
         {{three_prompts, expected::number(2, 3) + expected::not_a_number("x") + "\n", 1, "3\n1 "},
          refused("x", "3\n1 "),
          refused("x", "3\n1 ")}},
        {"2\n--5 7\n3\n",
         {{three_prompts, expected::number(1, 2) + expected::not_a_number("--5") + "\n", 1, "2\n"},
          refused("--5", "2\n")}},
        {expected::word_across_a_block("abcdef"),
         {{three_prompts, expected::number_51 + expected::not_a_number("abcdef") + "\n", 1,
           used_before_the_word},
          refused("abcdef", used_before_the_word)}},
    };
    // The lists with Windows line ends too; a refused word is met alike after
    // either.
    for (const auto& [text, turns] : files) {
        for (const std::string line_end : {"\n", "\r\n"}) {
            run_in_turn(text, turns, line_end);
            if (HasFatalFailure() || text != lists) {
                break;
            }
        }
        if (HasFatalFailure()) {
            return; // a run that timed out: the rest would too
        }
    }
}

// Answers each prompt only after it has arrived: a program that did not flush
// its prompts before reading would leave this waiting until the timeout.
TEST(Program, PromptsArriveBeforeEachRead)
{
    Child child = start(Stdin::pipe, Stdout::pipe);
    std::string out;
    read_until(child.out, out, two_prompts);
    EXPECT_EQ(out, two_prompts);
    send(child, "4\n");
    read_until(child.out, out, three_prompts);
    EXPECT_EQ(out, three_prompts);
    send(child, "7 -3\n");
    send(child, "7\n0\n");
    expect(finish(child, out), {"answers after each prompt", "", example_output, "", 0});
}

} // namespace
