#include "dialogue.hpp"

#include "exchange_sort.hpp"

#include <cstddef>
#include <cstdint>
#include <istream>
#include <ostream>

namespace array_sort {

namespace {

constexpr const char* not_a_number = "not a whole number from -2147483648 to 2147483647";
constexpr const char* input_ended = "input ended";

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
    if (c == std::istream::traits_type::eof()) {
        return input_ended;
    }
    if (!(in >> value)) {
        return not_a_number;
    }
    return nullptr;
}

} // namespace

int run_dialogue(std::istream& in, std::ostream& out, std::ostream& err)
{
    std::int32_t T = 0;
    Numbers ARRAY_Size; // elements from T on are never touched

    out << "The Maximum Size Of The ARRAY = (" << capacity << ")" << std::endl;
    out << "Please Enter The Size Of The ARRAY" << std::endl;

    if (const char* why = read_integer(in, T)) {
        err << "array-sort: count: " << why << '\n';
        return 1;
    }
    if (T > capacity) {
        err << "array-sort: count " << T << " is above the maximum " << capacity << '\n';
        return 1;
    }

    out << "Please Enter The Numbers " << std::endl;
    for (std::int32_t i = 0; i < T; ++i) {
        if (const char* why = read_integer(in, ARRAY_Size[static_cast<std::size_t>(i)])) {
            err << "array-sort: number " << i + 1 << " of " << T << ": " << why << '\n';
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
