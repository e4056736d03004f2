#pragma once
// Reading the resource file (TEVRAN.uir, JSON): panels, their controls and menu bars.

#include <map>
#include <string>
#include <vector>

#include "runtime/core/model.h"

namespace rt {

struct ResourceFile {
    std::vector<PanelResource> panels;
    std::map<std::string, MenuBar> menuBars;  // by name
    const PanelResource* panel(int resourceId) const;
};

// Reads and checks a resource file. On failure returns false and puts a message naming the
// file and the problem into `error`.
bool readResourceFile(const std::string& path, ResourceFile& out, std::string& error);
// Parses resource text (for tests).
bool parseResource(const std::string& text, const std::string& fileName, ResourceFile& out,
                   std::string& error);

// The resource file that LoadPanel reads, cached by path.
const ResourceFile* loadedResource(const std::string& path, std::string& error);
// The error of the last LoadPanel that failed, empty if none.
const std::string& lastResourceError();

}  // namespace rt

namespace rt {
// Where LoadPanel looks for a resource file that is not in the program's directory (the copy
// built beside the scenario driver).
void setResourceFallbackDir(const std::string& dir);
// The path LoadPanel reads for `fileName`.
std::string resolveResourcePath(const std::string& fileName);
}  // namespace rt

namespace rt {
// Replaces the start-up error text (the program's own checks of the loaded panels use it too).
void setLastResourceError(const std::string& text);
}  // namespace rt

namespace rt {
// True when control `id` of the panel carries `name` in the resource file.
bool controlHasName(int panel, int id, const char* name);
}  // namespace rt
