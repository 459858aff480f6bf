// The layer's calls on a POSIX system: the system calls themselves.

#include "descriptor_streams.hpp"

#include <poll.h>
#include <unistd.h>

namespace array_sort {

namespace {

std::ptrdiff_t read_descriptor(int fd, char* data, std::size_t size)
{
    return ::read(fd, data, size);
}

std::ptrdiff_t write_descriptor(int fd, const char* data, std::size_t size)
{
    return ::write(fd, data, size);
}

int poll_descriptor(int fd, bool output)
{
    pollfd ready{fd, static_cast<short>(output ? POLLOUT : POLLIN), 0};
    return ::poll(&ready, 1, -1);
}

std::int64_t seek_descriptor(int fd, std::int64_t offset)
{
    return ::lseek(fd, offset, SEEK_CUR); // off_t is 64 bits wide (see CMakeLists.txt)
}

bool is_terminal(int fd)
{
    return ::isatty(fd) == 1;
}

// A Unix terminal outlives the program that runs in it.
int no_console()
{
    return 0;
}

} // namespace

SystemCalls system_calls()
{
    return {
        read_descriptor, write_descriptor, poll_descriptor, seek_descriptor, is_terminal, no_console, false};
}

} // namespace array_sort
