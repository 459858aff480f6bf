// The entry routine: binds the dialogue to standard input, output and error
// through two small stream buffers over the descriptors, and reports what the
// system refused.
//
// The buffers are the program's own because neither standard library's file
// streams meet the descriptors as they come: a failed read throws (libstdc++)
// or looks like the end of the input (libc++), a descriptor that is not ready
// yet (O_NONBLOCK, set by whoever shares it) fails instead of being waited
// for, and input read ahead is kept from the next reader of a shared file.

#include "dialogue.hpp"

#include <poll.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <istream>
#include <ostream>
#include <streambuf>
#include <string_view>

namespace {

constexpr std::size_t block = 4096;

// Whether a failed call only found the descriptor not ready (O_NONBLOCK).
bool not_ready(int cause)
{
#if EAGAIN == EWOULDBLOCK
    return cause == EAGAIN;
#else
    return cause == EAGAIN || cause == EWOULDBLOCK;
#endif
}

// Runs `call`, a read or a write on `fd`, until it gives an answer: again
// after a signal, and after waiting for `events` when the descriptor is
// non-blocking and not ready. Returns what the call returned; -1 leaves the
// cause in errno.
template <typename Call> ssize_t when_ready(int fd, short events, Call call)
{
    for (;;) {
        const ssize_t n = call();
        if (n >= 0) {
            return n;
        }
        if (errno == EINTR) {
            continue;
        }
        if (!not_ready(errno)) {
            return -1;
        }
        pollfd ready{fd, events, 0};
        if (poll(&ready, 1, -1) < 0 && errno != EINTR) {
            return -1;
        }
    }
}

// Reads a descriptor in blocks. The end of the input stays the end: nothing is
// read after it. A failed read also ends the input, marks the stream bad and
// keeps its cause; nothing is thrown.
class InputBuffer : public std::streambuf {
  public:
    InputBuffer(int fd, std::istream& stream) : fd_(fd), stream_(stream) {}

    // The errno of the read that failed, or 0.
    [[nodiscard]] int error() const
    {
        return error_;
    }

    // Moves the descriptor's offset back over what was read but not used, so
    // that the next reader of a shared file starts just after the last number
    // taken. Where the input cannot seek (a pipe, a terminal) this does nothing.
    void give_back()
    {
        const off_t ahead = egptr() - gptr();
        if (ahead > 0 && lseek(fd_, -ahead, SEEK_CUR) >= 0) {
            setg(eback(), egptr(), egptr());
        }
    }

  protected:
    int_type underflow() override
    {
        if (gptr() == egptr() && !ended_) {
            const ssize_t n =
                when_ready(fd_, POLLIN, [this] { return read(fd_, data_.data(), data_.size()); });
            if (n > 0) {
                setg(data_.data(), data_.data(), data_.data() + n);
            } else {
                ended_ = true;
                if (n < 0) {
                    error_ = errno;
                    stream_.setstate(std::ios_base::badbit);
                }
            }
        }
        return gptr() == egptr() ? traits_type::eof() : traits_type::to_int_type(*gptr());
    }

  private:
    int fd_;
    std::istream& stream_;
    bool ended_ = false;
    int error_ = 0;
    std::array<char, block> data_{};
};

// Writes a descriptor in blocks, on each flush and when the block is full,
// waiting while it is not ready so that nothing is lost. A failed write keeps
// its cause, and the stream goes bad; nothing is thrown.
class OutputBuffer : public std::streambuf {
  public:
    explicit OutputBuffer(int fd) : fd_(fd)
    {
        setp(data_.begin(), data_.end());
    }

    // The errno of the first write that failed, or 0.
    [[nodiscard]] int error() const
    {
        return error_;
    }

  protected:
    int_type overflow(int_type c) override
    {
        if (sync() != 0) {
            return traits_type::eof();
        }
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            sputc(traits_type::to_char_type(c));
        }
        return traits_type::not_eof(c);
    }

    int sync() override
    {
        const std::string_view pending(pbase(), static_cast<std::size_t>(pptr() - pbase()));
        std::size_t written = 0;
        while (written < pending.size() && error_ == 0) {
            const std::string_view rest = pending.substr(written);
            const ssize_t n = when_ready(fd_, POLLOUT, [&] { return write(fd_, rest.data(), rest.size()); });
            if (n < 0) {
                error_ = errno;
            } else {
                written += static_cast<std::size_t>(n);
            }
        }
        setp(data_.begin(), data_.end()); // what could not be written is dropped
        return error_ == 0 ? 0 : -1;
    }

  private:
    int fd_;
    int error_ = 0;
    std::array<char, block> data_{};
};

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
    InputBuffer input(STDIN_FILENO, in);
    in.rdbuf(&input);
    OutputBuffer output(STDOUT_FILENO);
    std::ostream out(&output);
    OutputBuffer diagnostics(STDERR_FILENO);
    std::ostream err(&diagnostics);
    in.tie(&out); // the prompts are on the screen before each read

    // A person at a terminal answers a line at a time and may type a line
    // again; a script's first bad answer ends the run.
    const bool at_terminal = isatty(STDIN_FILENO) == 1;
    int status = array_sort::run_dialogue(in, out, err, at_terminal);
    input.give_back();

    if (input.error() != 0) {
        report(err, "read error", input.error());
        status = 1;
    }
    out.flush();
    if (output.error() != 0) {
        report(err, "write error", output.error());
        status = 1;
    }
    return status;
}
