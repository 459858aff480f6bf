// The stream buffers are the program's own because neither standard library's
// file streams meet the descriptors as they come: a failed read throws
// (libstdc++) or looks like the end of the input (libc++), a descriptor that
// is not ready yet (O_NONBLOCK, set by whoever shares it) fails instead of
// being waited for, and input read ahead is kept from the next reader of a
// shared file.

#include "descriptor_streams.hpp"

#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <ios>
#include <istream>
#include <ostream>
#include <streambuf>
#include <string_view>

namespace array_sort {

namespace {

constexpr std::size_t block = 4096;
constexpr char ctrl_z = '\x1a';

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
// after a signal, and after waiting when the descriptor is not ready. Returns
// what the call returned; -1 leaves the cause in errno.
template <typename Call> std::ptrdiff_t when_ready(const SystemCalls& calls, int fd, bool output, Call call)
{
    for (;;) {
        const std::ptrdiff_t n = call();
        if (n >= 0) {
            return n;
        }
        if (errno == EINTR) {
            continue;
        }
        if (!not_ready(errno)) {
            return -1;
        }
        if (calls.poll(fd, output) < 0 && errno != EINTR) {
            return -1;
        }
    }
}

// Reads a descriptor in blocks. The end of the input stays the end: nothing is
// read after it. A failed read also ends the input, marks the stream bad and
// keeps its cause. At a console whose Ctrl-Z ends the input, a line that
// begins with it ends the input too.
class InputBuffer final : public std::streambuf {
  public:
    void bind(const SystemCalls& calls, int fd, std::istream& stream)
    {
        calls_ = &calls;
        fd_ = fd;
        stream_ = &stream;
        ended_ = false;
        error_ = 0;
        ctrl_z_ends_ = calls.ctrl_z_ends_terminal_input && calls.is_terminal(fd);
        line_start_ = true;
        setg(data_.data(), data_.data(), data_.data());
    }

    [[nodiscard]] int error() const
    {
        return error_;
    }

    void give_back()
    {
        if (egptr() > gptr()) {
            pubseekoff(0, std::ios_base::cur, std::ios_base::in);
        }
    }

  protected:
    // Moves the read position `off` bytes from where it is, to a byte read
    // already or not yet, however far back: the descriptor's offset moves
    // there and the block read is dropped, so that the next reader of a
    // shared file starts there too. Where the descriptor cannot seek (a pipe,
    // a terminal), nothing moves. The end of the input stays the end.
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode /*which*/) override
    {
        if (dir != std::ios_base::cur) {
            return {off_type(-1)}; // the program only moves from where it reads
        }
        const std::int64_t at = calls_->seek(fd_, off - (egptr() - gptr()));
        if (at < 0) {
            return {off_type(-1)};
        }
        setg(eback(), egptr(), egptr());
        return {at};
    }

    // Called by the base class when the block is used up.
    int_type underflow() override
    {
        if (!ended_) {
            const std::ptrdiff_t n = when_ready(
                *calls_, fd_, false, [this] { return calls_->read(fd_, data_.data(), data_.size()); });
            if (n > 0 && !(ctrl_z_ends_ && line_start_ && data_.front() == ctrl_z)) {
                setg(data_.data(), data_.data(), data_.data() + n);
                line_start_ = std::string_view(data_.data(), static_cast<std::size_t>(n)).back() == '\n';
            } else {
                ended_ = true;
                if (n < 0) {
                    error_ = errno;
                    stream_->setstate(std::ios_base::badbit);
                }
            }
        }
        return gptr() == egptr() ? traits_type::eof() : traits_type::to_int_type(*gptr());
    }

  private:
    const SystemCalls* calls_ = nullptr;
    int fd_ = -1;
    std::istream* stream_ = nullptr;
    bool ended_ = false;
    int error_ = 0;
    bool ctrl_z_ends_ = false; // at a console where Ctrl-Z ends the input
    bool line_start_ = true;   // the next byte read begins a line
    std::array<char, block> data_{};
};

// Writes a descriptor in blocks, on each flush and when the block is full,
// waiting while it is not ready so that nothing is lost. A failed write keeps
// its cause and the stream goes bad; nothing more is written.
class OutputBuffer final : public std::streambuf {
  public:
    void bind(const SystemCalls& calls, int fd)
    {
        calls_ = &calls;
        fd_ = fd;
        error_ = 0;
        setp(data_.begin(), data_.end());
    }

    [[nodiscard]] int error() const
    {
        return error_;
    }

  protected:
    // Called by the base class, with the character that did not fit, when the
    // block is full; nothing else calls it, so `c` is never the end of file.
    int_type overflow(int_type c) override
    {
        if (sync() != 0) {
            return traits_type::eof();
        }
        return sputc(traits_type::to_char_type(c));
    }

    int sync() override
    {
        const std::string_view pending(pbase(), static_cast<std::size_t>(pptr() - pbase()));
        std::size_t written = 0;
        while (written < pending.size() && error_ == 0) {
            const std::string_view rest = pending.substr(written);
            const std::ptrdiff_t n =
                when_ready(*calls_, fd_, true, [&] { return calls_->write(fd_, rest.data(), rest.size()); });
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
    const SystemCalls* calls_ = nullptr;
    int fd_ = -1;
    int error_ = 0;
    std::array<char, block> data_{};
};

// The standard streams' buffers, bound once per run (and once per test).
struct Layer {
    SystemCalls calls{};
    InputBuffer input;
    OutputBuffer output;
    OutputBuffer diagnostics;
};

Layer& layer()
{
    static Layer the_layer;
    return the_layer;
}

} // namespace

void bind_standard_streams(std::istream& in, std::ostream& out, std::ostream& err, const SystemCalls& calls)
{
    Layer& l = layer();
    l.calls = calls;
    l.input.bind(l.calls, 0, in);
    l.output.bind(l.calls, 1);
    l.diagnostics.bind(l.calls, 2);
    in.rdbuf(&l.input);
    out.rdbuf(&l.output);
    err.rdbuf(&l.diagnostics);
    in.tie(&out); // the prompts are on the screen before each read
}

bool input_is_terminal()
{
    return layer().calls.is_terminal(0);
}

void give_back_unread_input()
{
    layer().input.give_back();
}

void hold_own_console(std::ostream& err)
{
    const Layer& l = layer();
    if (l.calls.console_processes() != 1 || !input_is_terminal()) {
        return;
    }
    // A prompt rather than a diagnostic: no name before it.
    err << "Press Enter to close this window." << std::endl;
    // Straight from the console, past whatever ended the dialogue's input:
    // the Enter typed after this prompt is the one that counts.
    std::array<char, block> typed{};
    std::ptrdiff_t n = 0;
    do {
        n = when_ready(l.calls, 0, false, [&] { return l.calls.read(0, typed.data(), typed.size()); });
    } while (n > 0 && std::string_view(typed.data(), static_cast<std::size_t>(n)).find_first_of("\n\x1a") ==
                          std::string_view::npos);
}

int read_error()
{
    return layer().input.error();
}

int write_error()
{
    return layer().output.error();
}

} // namespace array_sort
