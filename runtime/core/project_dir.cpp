// The program's directory and paths in it.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "runtime/core/file_table.h"
#include "runtime/core/program_dirs.h"
#include "runtime/core/system_paths.h"
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

constexpr const char* kResourceFile = "TEVRAN.uir";
constexpr const char* kInstalledDataDir = "share/tevran";  // under the prefix
constexpr const char* kConfigDirName = "tevran";

std::mutex g_dirMutex;
std::string g_projectDir;   // set by a front end; empty: the rule decides
std::string g_settingsDir;  // chosen on the command line; empty: the rule decides
bool g_resolved = false;
rt::ProgramDirs g_dirs;

std::string envValue(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string homeDirectory() {
    std::string home = envValue("HOME");
    if (home.empty()) {
        if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) home = pw->pw_dir;
    }
    return home;
}

std::string executableDir() {
    char exe[4096];
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return ".";
    return rt::files::directoryOf(std::string(exe, static_cast<std::size_t>(n)));
}

// The directories of this process, decided once; an installed program's settings directory is
// made here, at the first need of the program's directory, so that the settings can be saved
// and COMn entries made in it.
const rt::ProgramDirs& resolvedDirs() {
    if (!g_resolved) {
        g_dirs = rt::programDirs(
            executableDir(),
            [](const std::string& dir) {
                return ::access(rt::joinPath(dir, kResourceFile).c_str(), F_OK) == 0;
            },
            envValue("XDG_CONFIG_HOME"), homeDirectory());
        if (g_dirs.installed && g_settingsDir.empty() && !rt::makePrivateDirectory(g_dirs.settings))
            std::fprintf(stderr, "tevran: cannot create %s: %s\n", g_dirs.settings.c_str(),
                         std::strerror(errno));
        g_resolved = true;
    }
    return g_dirs;
}

// "/usr/bin" -> "/usr"; "bin" -> "."; "/bin" -> "/".
std::string parentOf(const std::string& dir) {
    std::string d = dir;
    while (d.size() > 1 && d.back() == '/') d.pop_back();
    return rt::files::directoryOf(d);
}

}  // namespace

namespace rt {

ProgramDirs programDirs(const std::string& exeDir,
                        const std::function<bool(const std::string&)>& hasResource,
                        const std::string& xdgConfigHome, const std::string& home) {
    if (hasResource(exeDir)) return {exeDir, exeDir, false};
    const std::string dataDir = joinPath(parentOf(exeDir), kInstalledDataDir);
    // A relative XDG_CONFIG_HOME is invalid and is ignored, like an unset one.
    std::string configHome;
    if (!xdgConfigHome.empty() && xdgConfigHome.front() == '/')
        configHome = xdgConfigHome;
    else if (!home.empty())
        configHome = joinPath(home, ".config");
    if (configHome.empty() || !hasResource(dataDir)) return {exeDir, exeDir, false};
    return {dataDir, joinPath(configHome, kConfigDirName), true};
}

bool makePrivateDirectory(const std::string& dir) {
    struct stat st {};
    if (::stat(dir.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return true;
        errno = ENOTDIR;
        return false;
    }
    const std::string parent = parentOf(dir);
    if (parent != dir && !makePrivateDirectory(parent)) return false;
    return ::mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

std::string projectDir() {
    std::lock_guard lock(g_dirMutex);
    if (!g_projectDir.empty()) return g_projectDir;
    return g_settingsDir.empty() ? resolvedDirs().settings : g_settingsDir;
}

bool setSettingsDir(const std::string& dir) {
    if (!makePrivateDirectory(dir)) return false;
    std::lock_guard lock(g_dirMutex);
    g_settingsDir = dir;
    return true;
}

std::string resourceDir() {
    std::lock_guard lock(g_dirMutex);
    return g_projectDir.empty() ? resolvedDirs().resources : g_projectDir;
}

std::string homeDir() {
    std::string home;
    return programPath(homeDirectory(), home) ? home : std::string();
}

void setProjectDir(const std::string& dir) {
    std::lock_guard lock(g_dirMutex);
    g_projectDir = dir;  // empty: back to the directories the rule gives
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
