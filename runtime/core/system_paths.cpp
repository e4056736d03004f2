// Paths between the program (Windows-1252) and the system (UTF-8).
#include "runtime/core/system_paths.h"

#include "runtime/core/encoding.h"
#include "runtime/core/file_table.h"
#include "runtime/textfiles.h"

namespace rt {

std::string systemPath(const char* path) { return windows1252ToUtf8(path ? path : ""); }

bool programPath(const std::string& system, std::string& out) {
    return utf8ToWindows1252Exact(system, out);
}

std::string pathRefusal(const std::string& path, std::size_t capacity) {
    for (char ch : path) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x20 || b == 0x7F)
            return "The name contains a control character (such as a line break), which a file "
                   "name here cannot hold:\n" +
                   path;
    }
    if (path.size() >= capacity)
        return "The path is too long: " + std::to_string(path.size()) + " characters, at most " +
               std::to_string(capacity - 1) + " fit:\n" + path;
    return "";
}

}  // namespace rt

int GetProjectDirInto(char* dir, std::size_t capacity) {
    const std::string system = rt::projectDir();
    std::string text;
    const bool named = rt::programPath(system, text);
    if (!named || text.size() >= capacity) {
        if (capacity > 0) dir[0] = '\0';
        rt::files::setError(
            (named ? "The program's directory is too long: " + std::to_string(text.size()) +
                         " characters, at most " + std::to_string(capacity - 1) + " fit:\n" + text
                   : "The program's directory has a name Windows-1252 cannot hold:\n" +
                         rt::utf8ToWindows1252(system))
                .c_str());
        return -1;
    }
    rt::copyBounded(dir, capacity, text);
    return 0;
}

int MakePathnameInto(const char* dir, const char* name, char* path, std::size_t capacity) {
    const std::string joined = rt::joinPath(dir ? dir : "", name ? name : "");
    if (joined.size() >= capacity) {
        if (capacity > 0) path[0] = '\0';
        rt::files::setError(rt::pathRefusal(joined, capacity).c_str());
        return -1;
    }
    rt::copyBounded(path, capacity, joined);
    return 0;
}
