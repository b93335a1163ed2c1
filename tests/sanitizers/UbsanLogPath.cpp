// Linked into the sanitized build of the snaplorn executable only.
//
// With AddressSanitizer in the same process, the call by which libubsan
// applies its log_path option reaches AddressSanitizer's copy of that
// function, so UndefinedBehaviorSanitizer would keep writing to standard
// error, where a report of a program a test started can go unseen. This
// hands the test's report folder to libubsan's own copy at start-up.
#include <dlfcn.h>

#include <cstdlib>
#include <string>

namespace {

__attribute__((constructor)) void sendUbsanReportsToTheTestFolder()
{
    const char* folder = std::getenv("SNAPLORN_SANITIZER_LOGS");
    if (!folder || !*folder)
        return;
    void* ubsan = dlopen("libubsan.so.1", RTLD_NOW | RTLD_NOLOAD);
    if (!ubsan)
        return;
    using SetReportPath = void (*)(const char*);
    // Looked up in libubsan itself, not in the process's global scope.
    if (auto set = reinterpret_cast<SetReportPath>(dlsym(ubsan, "__sanitizer_set_report_path"))) {
        static const std::string prefix = std::string(folder) + "/ubsan";
        set(prefix.c_str());
    }
    dlclose(ubsan);
}

} // namespace
