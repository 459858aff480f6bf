#include "dialogue.hpp"

#include <cerrno>
#include <cstring>
#include <iostream>

int main()
{
    std::ios_base::sync_with_stdio(false);
    int status = array_sort::run_dialogue(std::cin, std::cout, std::cerr);

    // Every line was flushed as it was written, so a failed write has already
    // left the stream bad, and errno still holds its cause.
    const int write_errno = errno;
    if (!std::cout.flush()) {
        std::cerr << "array-sort: write error";
        if (write_errno != 0) {
            std::cerr << ": " << std::strerror(write_errno); // NOLINT(concurrency-mt-unsafe): one thread
        }
        std::cerr << '\n';
        status = 1;
    }
    return status;
}
