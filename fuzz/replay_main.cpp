// Turns a fuzz target into an ordinary executable: every file named on the
// command line (every regular file inside a named folder, in name order) is
// passed to the target once. Used by the test run to replay the seed corpus
// with any compiler, and by hand to replay a reproducer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> inputsOf(const fs::path& arg)
{
    if (!fs::is_directory(arg))
        return {arg};
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(arg))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

int main(int argc, char** argv)
{
    std::size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        for (const fs::path& file : inputsOf(argv[i])) {
            std::ifstream in(file, std::ios::binary);
            if (!in) {
                std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
                return 1;
            }
            const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
            std::printf("replaying %s (%zu bytes)\n", file.string().c_str(), bytes.size());
            std::fflush(stdout);
            // A copy of exactly the file's size, so AddressSanitizer sees any
            // read past the end as libFuzzer would.
            std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
            LLVMFuzzerTestOneInput(data.data(), data.size());
            ++replayed;
        }
    }
    // A corpus folder that went missing or empty must not pass unnoticed.
    if (replayed == 0) {
        std::fprintf(stderr, "no inputs to replay\n");
        return 1;
    }
    std::printf("%zu inputs replayed, all properties held\n", replayed);
    return 0;
}
