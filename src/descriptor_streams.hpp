#pragma once

// The layer between the program's streams and its descriptors: standard
// input, output and error as the system gives them, read and written in
// blocks of the layer's own. A read or write that is interrupted or finds
// the descriptor not ready yet is made again; one that fails keeps its
// cause, and nothing is thrown.

#include <cstddef>
#include <cstdint>
#include <iosfwd>

namespace array_sort {

// The calls through which the layer meets the descriptors: the system's, from
// system_calls(), or a test's script. read, write and seek return what the
// system's calls return: a count of bytes (0 at the end of the input) or an
// offset, or -1 with the cause in errno.
struct SystemCalls {
    std::ptrdiff_t (*read)(int fd, char* data, std::size_t size);
    std::ptrdiff_t (*write)(int fd, const char* data, std::size_t size);
    // Waits until `fd` is ready for reading, or with `output` for writing;
    // -1 with the cause in errno when it cannot wait.
    int (*poll)(int fd, bool output);
    // Moves the offset of `fd` by `offset` bytes from where it is.
    std::int64_t (*seek)(int fd, std::int64_t offset);
    // Whether `fd` is a terminal at which a person types.
    bool (*is_terminal)(int fd);
    // How many processes share this process's console, itself included: 0
    // where it has none, or where, as on a Unix terminal, the window is not
    // the program's to close.
    int (*console_processes)();
    // Whether, at such a terminal, a line that begins with Ctrl-Z (0x1A)
    // ends the input, as on a Windows console. Elsewhere 0x1A is a character
    // like any other.
    bool ctrl_z_ends_terminal_input;
};

// This system's calls.
SystemCalls system_calls();

// Binds `in`, `out` and `err` to descriptors 0, 1 and 2 through `calls`. The
// program binds once; a new binding starts afresh, with no input, output or
// errors kept from the last.
void bind_standard_streams(std::istream& in, std::ostream& out, std::ostream& err, const SystemCalls& calls);

// Whether standard input is a terminal at which a person types.
bool input_is_terminal();

// Moves standard input's offset back over what was read but not used, so that
// the next reader of a shared file starts just after the last number taken,
// or at the first byte of a word refused (which the dialogue gives back by a
// move of the stream's position, however far back it lies). Where the input
// cannot seek (a pipe, a terminal) this does nothing.
void give_back_unread_input();

// Keeps a console window that belongs to this run alone open until the person
// has read it: when standard input is a console that no other process shares
// (a program double-clicked on Windows), asks on `err` for Enter and reads
// the console until a line ends, Ctrl-Z or the console's end. Elsewhere does
// nothing.
void hold_own_console(std::ostream& err);

// The cause (an errno value) of the read of standard input that failed, or 0.
int read_error();

// The cause of the first write to standard output that failed, or 0.
int write_error();

} // namespace array_sort
