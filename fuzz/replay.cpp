// Runs the fuzz target once over each file named on the command line, so that
// builds without libFuzzer check the corpus too.

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <span>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    const auto files = std::span(argv, static_cast<std::size_t>(argc)).subspan(1);
    for (const char* file : files) {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            std::cerr << "replay: cannot read " << file << '\n';
            return 1;
        }
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()); // NOLINT
    }
    std::cout << "replayed " << files.size() << " inputs\n";
    return 0;
}
