// Runs a fuzz target over stored inputs without the fuzzer: every file in the
// folders (or the files) named on the command line, in name order, and once
// the empty input. A broken invariant or a sanitizer report ends the process,
// so the test fails on the input that was being replayed when it stopped.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

const uint8_t noBytes = 0;

bool replayFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    std::fprintf(stderr, "replaying %s (%zu bytes)\n", path.c_str(), bytes.size());
    // A copy of its own, exactly as long as the input, so a read past the
    // end is caught by the address sanitizer.
    std::vector<uint8_t> exact(bytes.begin(), bytes.end());
    LLVMFuzzerTestOneInput(exact.empty() ? &noBytes : exact.data(), exact.size());
    return true;
}

// The files to replay: a folder's regular files, except hidden ones such as
// the .gitkeep that keeps an empty folder in the repository.
bool collect(const fs::path& arg, std::vector<fs::path>& files)
{
    std::error_code error;
    if (fs::is_regular_file(arg, error)) {
        files.push_back(arg);
        return true;
    }
    if (!fs::is_directory(arg, error)) {
        std::fprintf(stderr, "no such file or folder: %s\n", arg.c_str());
        return false;
    }
    std::vector<fs::path> found;
    for (const fs::directory_entry& entry : fs::directory_iterator(arg, error))
        if (entry.is_regular_file() && entry.path().filename().string().rfind('.', 0) != 0)
            found.push_back(entry.path());
    std::sort(found.begin(), found.end());
    files.insert(files.end(), found.begin(), found.end());
    return !error;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i)
        if (!collect(argv[i], files))
            return 2;
    LLVMFuzzerTestOneInput(&noBytes, 0);
    for (const fs::path& file : files)
        if (!replayFile(file))
            return 2;
    std::fprintf(stderr, "replayed %zu inputs and the empty input\n", files.size());
    return 0;
}
