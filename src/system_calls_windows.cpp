// The layer's calls on Windows: the C runtime's descriptors, in binary mode.
// The runtime's descriptors rather than the Win32 handles, because the runtime
// gives each failure an errno, whose text (strerror) is the same as on other
// systems, and _lseeki64 moves a shared file's offset in 64 bits.

#include "descriptor_streams.hpp"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <io.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <array>
#include <climits>

namespace array_sort {

namespace {

// The runtime's calls take a count of at most INT_MAX bytes.
unsigned int count(std::size_t size)
{
    return static_cast<unsigned int>(std::min<std::size_t>(size, INT_MAX));
}

std::ptrdiff_t read_descriptor(int fd, char* data, std::size_t size)
{
    return _read(fd, data, count(size));
}

// A write to a pipe whose reader has gone fails with EINVAL from the runtime;
// the system's own error says what happened. Windows has no SIGPIPE, so this
// is reported as a write error, named as on other systems.
std::ptrdiff_t write_descriptor(int fd, const char* data, std::size_t size)
{
    const int n = _write(fd, data, count(size));
    if (n < 0) {
        const unsigned long cause = _doserrno;
        if (cause == ERROR_NO_DATA || cause == ERROR_BROKEN_PIPE || cause == ERROR_PIPE_NOT_CONNECTED) {
            errno = EPIPE;
        }
    }
    return n;
}

// Windows has no poll for a descriptor; a descriptor that was not ready is
// tried again after a moment.
int wait_a_moment(int /*fd*/, bool /*output*/)
{
    Sleep(1);
    return 0;
}

std::int64_t seek_descriptor(int fd, std::int64_t offset)
{
    return _lseeki64(fd, offset, SEEK_CUR);
}

// A console, not any character device: _isatty is also true for NUL.
bool is_console(int fd)
{
    DWORD mode = 0;
    // The runtime gives the descriptor's handle as an integer.
    // NOLINTNEXTLINE(*-reinterpret-cast,performance-no-int-to-ptr)
    return GetConsoleMode(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), &mode) != 0;
}

// 1 for a program double-clicked (its console is its own), more under cmd or
// PowerShell, 0 with no console at all.
int console_processes()
{
    std::array<DWORD, 2> processes{};
    return static_cast<int>(GetConsoleProcessList(processes.data(), static_cast<DWORD>(processes.size())));
}

} // namespace

SystemCalls system_calls()
{
    // The bytes as they are, on every standard stream: no "\r\n" for "\n" on
    // output, no line ends changed or Ctrl-Z taken as the end on input.
    for (const int fd : {0, 1, 2}) {
        _setmode(fd, _O_BINARY);
    }
    return {read_descriptor, write_descriptor,  wait_a_moment, seek_descriptor,
            is_console,      console_processes, true};
}

} // namespace array_sort
