#include "app/ProgramLoader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

namespace snaplorn {

namespace {

constexpr char ModuleName[] = "libsnaplorn-program.so";
constexpr char EntryPoint[] = "snaplorn_program_main";

std::string executableFolder()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return ".";
    const std::string executable(path, size_t(length));
    const size_t slash = executable.rfind('/');
    return slash == std::string::npos ? "." : executable.substr(0, slash);
}

// Beside the executable in the build tree; under the library folder of the
// installation otherwise.
std::vector<std::string> moduleCandidates()
{
    const std::string folder = executableFolder();
    return {folder + "/" + ModuleName,
            folder + "/../" SNAPLORN_INSTALL_LIBDIR "/snaplorn/" + std::string(ModuleName)};
}

} // namespace

int runProgramModule(const std::vector<std::string>& arguments)
{
    std::string reasons;
    for (const std::string& candidate : moduleCandidates()) {
        if (access(candidate.c_str(), R_OK) != 0)
            continue;
        void* module = dlopen(candidate.c_str(), RTLD_LAZY | RTLD_LOCAL);
        if (!module) {
            reasons += std::string("\n  ") + dlerror();
            continue;
        }
        using Entry = int (*)(int, char**);
        auto entry = reinterpret_cast<Entry>(dlsym(module, EntryPoint));
        if (!entry) {
            reasons += "\n  " + candidate + ": no entry point";
            continue;
        }
        std::vector<std::string> storage = arguments;
        std::vector<char*> argv;
        for (std::string& argument : storage)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        // The module stays loaded: Qt's exit handlers run from its code.
        return entry(int(storage.size()), argv.data());
    }
    std::fprintf(stderr, "snaplorn: the program module %s cannot be loaded%s\n", ModuleName,
                 reasons.empty() ? " (not found)" : reasons.c_str());
    return 1;
}

} // namespace snaplorn
