// A person's answers at a terminal, a line at a time: reading the lines,
// placing their words, and the refusals of whole lines.

#include "dialogue_parts.hpp"
#include "exchange_sort.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <string_view>

namespace array_sort::dialogue_parts {

namespace {

// A terminal in canonical mode hands over at most 4095 characters of a line,
// and cuts a longer one to 4095: a line that long may have lost its tail.
constexpr std::int32_t longest_whole_line = 4094;

// What one line typed at the terminal gave, and the first mistake on it.
struct Line {
    bool count = false;       // it held the count, not taken before
    std::int32_t numbers = 0; // numbers on it, in the slots after those kept
    std::int32_t length = 0;  // its characters, up to longest_whole_line + 1
    bool at_end = false;      // it ended at the end of the input, not at a newline
    Excerpt extra;            // words after the last number, one blank apart
    // The first mistake: the word and why it was refused. No word is placed
    // after it, so what it was to be follows from `count` and `numbers`.
    Excerpt bad_word;
    Refusal why;
};

// Gives the word just typed its place on the line: the count, the next
// number, or a word after the last number.
void place_word(Line& line, const Excerpt& word, bool counted, std::int32_t kept, Numbers& ARRAY_Size,
                std::int32_t& T)
{
    if (line.why) {
        return; // the line is refused already
    }
    std::int32_t value = 0;
    const bool is_count = !counted && !line.count;
    if (!is_count && kept + line.numbers >= T) {
        if (line.extra.size > 0) {
            append(line.extra, ' ');
        }
        std::for_each_n(word.text.begin(), kept_size(word), [&](char c) { append(line.extra, c); });
        line.extra.size += word.size - kept_size(word);
        return;
    }
    line.why = whole_number(word, value);
    if (!line.why && is_count && value > capacity) {
        line.why = Reason::above_maximum;
    }
    if (line.why) {
        line.bad_word = word;
        return;
    }
    if (is_count) {
        line.count = true;
        T = value;
    } else {
        ARRAY_Size[static_cast<std::size_t>(kept) + static_cast<std::size_t>(line.numbers)] = value;
        ++line.numbers;
    }
}

// Reads one line, up to its newline or the end of the input, placing each
// word as it ends.
Line read_line(std::streambuf& buffer, bool counted, std::int32_t kept, Numbers& ARRAY_Size, std::int32_t& T)
{
    Line line;
    Excerpt word;
    auto c = buffer.sbumpc();
    for (; !traits::eq_int_type(c, traits::eof()) && c != '\n'; c = buffer.sbumpc()) {
        line.length = std::min(line.length + 1, longest_whole_line + 1);
        if (!is_space(c)) {
            append(word, traits::to_char_type(c));
        } else if (word.size > 0) {
            place_word(line, word, counted, kept, ARRAY_Size, T);
            word = Excerpt{};
        }
    }
    line.at_end = traits::eq_int_type(c, traits::eof());
    if (word.size > 0) {
        place_word(line, word, counted, kept, ARRAY_Size, T);
    }
    return line;
}

// Ends a message whose first line has `used` columns with what follows it,
// `first` and then `second`, either of them empty: on the same line when it
// fits, else on a line of its own.
void end_message(std::ostream& err, std::size_t used, std::string_view first, std::string_view second)
{
    constexpr std::string_view apart = "; ";
    const std::string_view between = first.empty() || second.empty() ? "" : apart;
    const std::size_t rest = first.size() + between.size() + second.size();
    if (rest > 0) {
        if (used + apart.size() + rest <= screen_width) {
            err << apart;
        } else {
            err << '\n' << program_name;
        }
        err << first << between << second;
    }
    err << std::endl;
}

// Reports a line that is not taken: its first mistake, or its length. It is
// asked for again, unless the input ended with it.
void refuse(std::ostream& err, const Line& line, bool counted, std::int32_t kept, std::int32_t T)
{
    const bool too_long = line.length > longest_whole_line;
    // The count word was good, so the mistake is elsewhere.
    const std::string_view count_too = line.count ? "the count was not taken either" : "";
    const std::string_view again = line.at_end ? ""
                                   : too_long  ? "type long lists over several lines"
                                               : "type the line again";
    constexpr std::string_view cut_line =
        "line not taken: 4095 characters or more; a terminal cuts longer ones";
    std::size_t used = 0;
    if (too_long) {
        err << program_name << cut_line;
        used = program_name.size() + cut_line.size();
    } else {
        used =
            write_refused(err, !counted && !line.count, kept + line.numbers + 1, T, line.bad_word, *line.why);
    }
    end_message(err, used, count_too, again);
}

} // namespace

int read_lines(std::istream& in, std::ostream& out, std::ostream& err, Numbers& ARRAY_Size, std::int32_t& T)
{
    std::streambuf& buffer = *in.rdbuf();
    bool counted = false;  // T was taken from an earlier line
    std::int32_t kept = 0; // numbers taken from earlier lines
    while (!counted || kept < T) {
        flush_tied(in);
        if (traits::eq_int_type(buffer.sgetc(), traits::eof())) {
            if (!in.bad()) {
                write_input_ended(err, !counted, kept + 1, T);
            }
            return 1;
        }
        const Line line = read_line(buffer, counted, kept, ARRAY_Size, T);
        if (line.at_end) {
            // The input ended inside the line (Ctrl-D after part of it): what
            // the program writes next starts on a line of its own.
            err << std::endl;
        }
        if (in.bad()) {
            return 1;
        }
        if (line.why || line.length > longest_whole_line) {
            refuse(err, line, counted, kept, T);
            continue;
        }
        if (line.count) {
            counted = true;
            out << "Please Enter The Numbers " << std::endl;
        }
        kept += line.numbers;
        if (line.extra.size > 0) {
            const std::string_view after =
                T > 0 ? "not taken, after the last number: " : "not taken, after the count: ";
            err << program_name << after;
            write_quoted(err, line.extra, screen_width - program_name.size() - after.size());
            err << std::endl;
        }
    }
    return 0;
}

} // namespace array_sort::dialogue_parts
