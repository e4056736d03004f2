// The program's directory and paths in it.
#include <unistd.h>

#include <mutex>
#include <string>

#include "runtime/core/file_table.h"
#include "runtime/textfiles.h"

namespace rt::files {

std::string directoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

}  // namespace rt::files

namespace {

std::mutex g_dirMutex;
std::string g_projectDir;

}  // namespace

namespace rt {

std::string projectDir() {
    std::lock_guard lock(g_dirMutex);
    if (g_projectDir.empty()) {
        char exe[4096];
        const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
        if (n > 0)
            g_projectDir = files::directoryOf(std::string(exe, static_cast<std::size_t>(n)));
        else
            g_projectDir = ".";
    }
    return g_projectDir;
}

void setProjectDir(const std::string& dir) {
    std::lock_guard lock(g_dirMutex);
    g_projectDir = dir;  // empty: back to the executable's directory
}

std::string joinPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    if (dir.back() == '/') {
        if (!name.empty() && name.front() == '/') return dir + name.substr(1);
        return dir + name;
    }
    if (!name.empty() && name.front() == '/') return dir + name;
    return dir + '/' + name;
}

}  // namespace rt
