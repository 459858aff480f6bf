#include "dialogue.hpp"

#include "exchange_sort.hpp"

#include <cstddef>
#include <cstdint>
#include <istream>
#include <limits>
#include <ostream>

namespace array_sort {

namespace {

constexpr const char* not_a_number = "not a whole number from -2147483648 to 2147483647";
constexpr const char* input_ended = "input ended";
constexpr const char* read_failed = "read error"; // the caller reports its cause

// White space as the streams' classic locale knows it.
bool is_space(std::istream::int_type c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads one integer by formatted extraction, which skips leading white space
// and takes an optional sign. Returns nullptr when a value was read, otherwise
// the reason it could not be.
const char* read_integer(std::istream& in, std::int32_t& value)
{
    // Look past the white space first, straight in the buffer, to tell the end
    // of the input from text that is not a number. Going past the stream skips
    // its sentry, so flush the tied output here as the sentry would: whatever
    // was written is on the screen before this can wait for input.
    if (std::ostream* tied = in.tie()) {
        tied->flush();
    }
    std::streambuf& buffer = *in.rdbuf();
    auto c = buffer.sgetc();
    while (is_space(c)) {
        c = buffer.snextc();
    }
    const bool ended = c == std::istream::traits_type::eof();
    if (!ended && in >> value) {
        return nullptr;
    }
    if (in.bad()) {
        return read_failed;
    }
    return ended ? input_ended : not_a_number;
}

// Ends the line that reports a bad answer and tells whether the dialogue
// stops. When the answer may be typed again, the line says `what_to_type` and
// the rest of the input line, where the mistake was, is dropped.
bool stops_after_mistake(std::istream& in, std::ostream& err, bool ask_again, const char* why,
                         const char* what_to_type)
{
    if (!ask_again || why == input_ended) {
        err << std::endl;
        return true;
    }
    err << "; " << what_to_type << std::endl;
    in.clear();
    in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    return false;
}

} // namespace

int run_dialogue(std::istream& in, std::ostream& out, std::ostream& err, bool ask_again)
{
    std::int32_t T = 0;
    Numbers ARRAY_Size; // elements from T on are never touched

    out << "The Maximum Size Of The ARRAY = (" << capacity << ")" << std::endl;
    out << "Please Enter The Size Of The ARRAY" << std::endl;

    for (;;) {
        const char* why = read_integer(in, T);
        if (why == nullptr && T <= capacity) {
            break;
        }
        if (why == read_failed) {
            return 1;
        }
        if (why == nullptr) {
            err << "array-sort: count " << T << " is above the maximum " << capacity;
        } else {
            err << "array-sort: count: " << why;
        }
        if (stops_after_mistake(in, err, ask_again, why, "type it again")) {
            return 1;
        }
    }

    out << "Please Enter The Numbers " << std::endl;
    for (std::int32_t i = 0; i < T;) {
        const char* why = read_integer(in, ARRAY_Size[static_cast<std::size_t>(i)]);
        if (why == nullptr) {
            ++i;
            continue;
        }
        if (why == read_failed) {
            return 1;
        }
        err << "array-sort: number " << i + 1 << " of " << T << ": " << why;
        if (stops_after_mistake(in, err, ask_again, why, "type it and the rest of its line again")) {
            return 1;
        }
    }

    exchange_sort(ARRAY_Size, T);

    out << std::endl;
    out << "Numbers in the correct increasing order." << std::endl;
    out << std::endl;
    out << std::endl;
    for (std::int32_t i = 0; i < T; ++i) {
        out << '\t' << ARRAY_Size[static_cast<std::size_t>(i)];
    }
    out << std::endl;
    out << std::endl;
    return 0;
}

} // namespace array_sort
