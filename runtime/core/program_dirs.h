#pragma once
// Where the program finds its resource file and keeps its settings and COMn entries.
//
// A portable copy (TEVRAN.uir beside the executable: the build folder, an unpacked folder)
// keeps everything beside itself. An installed program (TEVRAN.uir in share/tevran/ under its
// prefix, the executable in bin/) keeps TEVRAN.ini and the COMn entries in the user's
// configuration directory, $XDG_CONFIG_HOME/tevran or ~/.config/tevran.

#include <functional>
#include <string>

namespace rt {

struct ProgramDirs {
    std::string resources;  // the directory TEVRAN.uir is read from
    std::string settings;   // the program's directory: TEVRAN.ini and the COMn entries
    bool installed = false;
};

// The rule, without touching the system: `exeDir` is the executable's directory, `hasResource`
// tells whether a directory holds TEVRAN.uir, `xdgConfigHome` and `home` are the environment's
// values (empty when unset). With TEVRAN.uir in neither place the program counts as portable
// (and its start-up reports the missing file beside the executable).
ProgramDirs programDirs(const std::string& exeDir,
                        const std::function<bool(const std::string&)>& hasResource,
                        const std::string& xdgConfigHome, const std::string& home);

// Creates `dir` and any missing parents with mode 0700; an existing directory keeps its mode.
// Returns false (errno set) when the directory is not there afterwards.
bool makePrivateDirectory(const std::string& dir);

// Makes `dir` (an absolute path) the settings directory instead of the one the rule gives, for
// one instrument of several: TEVRAN.ini, the COMn entries and tevran.conf live there. It is made
// when missing; false (errno set) when it cannot be.
bool setSettingsDir(const std::string& dir);

// The directory TEVRAN.uir is read from: the resource directory of the rule above, or the
// directory a front end set with setProjectDir.
std::string resourceDir();

}  // namespace rt
