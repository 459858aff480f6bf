#pragma once

// What the tests that start the built program share: how it is started, and
// how its output is read with a deadline, so that a program that hangs fails
// the test instead of stopping it.

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace process {

// How long a test waits for the program to write what it expects.
constexpr auto timeout = std::chrono::seconds(10);
// The size of one read or write of a test.
constexpr std::size_t block = 4096;

// The command that starts the program: the built program, or the words of
// ARRAY_SORT_COMMAND (apart by blanks) when it is set, to run the same rows
// against another build, such as the Windows one under Wine.
inline const char* foreign_command()
{
    return std::getenv("ARRAY_SORT_COMMAND"); // NOLINT(concurrency-mt-unsafe): read before any thread
}

// The command's argument vector, ending in a null pointer: the program gets
// no arguments of its own.
inline const std::vector<char*>& program_argv()
{
    static std::vector<std::string> words = [] {
        if (foreign_command() == nullptr) {
            return std::vector<std::string>{ARRAY_SORT_PROGRAM};
        }
        std::istringstream command(foreign_command());
        return std::vector<std::string>(std::istream_iterator<std::string>(command), {});
    }();
    static std::vector<char*> argv = [] {
        std::vector<char*> pointers(words.size() + 1, nullptr);
        std::transform(words.begin(), words.end(), pointers.begin(), [](std::string& w) { return w.data(); });
        return pointers;
    }();
    return argv;
}

// `text` with each "\n" written as `line_end`: "\r\n" as a terminal shows a
// line, or as a Windows editor writes one.
inline std::string with_line_ends(std::string_view text, std::string_view line_end)
{
    std::string written;
    for (const char c : text) {
        if (c == '\n') {
            written += line_end;
        } else {
            written += c;
        }
    }
    return written;
}

// What ended a read of the program's output.
enum class Seen { until, end, nothing_more };

// Reads `fd` into `into` for at most `wait`, stopping early once `into` ends
// with `until` (when given) or the program has closed its end.
inline Seen read_for(int fd, std::string& into, std::chrono::milliseconds wait, std::string_view until = {})
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (until.empty() || !into.ends_with(until)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) == 0) {
            return Seen::nothing_more;
        }
        std::array<char, block> buffer{};
        const ssize_t n = read(fd, buffer.data(), buffer.size());
        if (n <= 0) {
            return Seen::end; // a terminal reports EIO once the program has closed it
        }
        into.append(buffer.data(), static_cast<std::size_t>(n));
    }
    return Seen::until;
}

} // namespace process
