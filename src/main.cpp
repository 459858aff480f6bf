// The entry routine: binds the dialogue to standard input, output and error,
// runs it, gives back what it read past its last number, reports what the
// system refused, and keeps a window of its own open until it has been read.

#include "descriptor_streams.hpp"
#include "dialogue.hpp"

#include <cstring>
#include <istream>
#include <ostream>

namespace {

// One line on standard error: the program's name, what failed and why.
void report(std::ostream& err, const char* what, int cause)
{
    // NOLINTNEXTLINE(concurrency-mt-unsafe): the program has one thread
    err << "array-sort: " << what << ": " << std::strerror(cause) << std::endl;
}

} // namespace

int main()
{
    std::istream in(nullptr);
    std::ostream out(nullptr);
    std::ostream err(nullptr);
    array_sort::bind_standard_streams(in, out, err, array_sort::system_calls());

    // A person at a terminal answers a line at a time and may type a line
    // again; a script's first bad answer ends the run.
    int status = array_sort::run_dialogue(in, out, err, array_sort::input_is_terminal());
    array_sort::give_back_unread_input();

    if (array_sort::read_error() != 0) {
        report(err, "read error", array_sort::read_error());
        status = 1;
    }
    out.flush();
    if (array_sort::write_error() != 0) {
        report(err, "write error", array_sort::write_error());
        status = 1;
    }
    // Double-clicked on Windows, the window would close with the result.
    array_sort::hold_own_console(err);
    return status;
}
