#pragma once
// The program's command line, read before any window system is contacted, so that --help and
// --version answer on a machine without a display.
#include <string>

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    std::string settingsDir;  // --settings DIR, as given; empty: the usual directory
    std::string error;        // Action::Error: what was wrong, in one line
};

CommandLine parseCommandLine(int argc, const char* const* argv);
std::string usageText();
std::string versionText();
