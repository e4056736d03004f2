#include "fuzz_check.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fuzz {

namespace {
void abortOnFailure(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property does not hold: %s\n", file, line, what);
    std::abort();
}
FailureHandler g_handler = abortOnFailure;
}  // namespace

void setFailureHandler(FailureHandler handler) { g_handler = handler ? handler : abortOnFailure; }

void fail(const char* what, const char* file, int line) { g_handler(what, file, line); }

const std::string& scratchDir() {
    // Never destroyed: the exit handler that removes the directory runs after the destructors
    // of statics made later than it was registered.
    static const std::string* dir = [] {
        // In memory where there is such a file system: the settings are synced on every write.
        char shm[] = "/dev/shm/tevran-fuzz-XXXXXX";
        char tmp[] = "/tmp/tevran-fuzz-XXXXXX";
        char* tmpl = ::mkdtemp(shm) != nullptr ? shm : tmp;
        if (tmpl == tmp && ::mkdtemp(tmp) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        auto* made = new std::string(tmpl);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(*dir, ec);
        });
        return made;
    }();
    return *dir;
}

void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace fuzz
