#include "app/command_line.h"

#include <string_view>

#ifndef TEVRAN_VERSION
#define TEVRAN_VERSION "1.0"
#endif

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    auto fail = [&line](std::string text) {
        line.action = CommandLine::Action::Error;
        line.error = std::move(text);
        return line;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            line.action = CommandLine::Action::Help;
            return line;
        }
        if (arg == "--version") {
            line.action = CommandLine::Action::Version;
            return line;
        }
        if (arg == "--settings" || arg.starts_with("--settings=")) {
            std::string dir;
            if (arg == "--settings") {
                if (i + 1 >= argc) return fail("--settings needs a directory");
                dir = argv[++i];
            } else {
                dir = std::string(arg.substr(std::string_view("--settings=").size()));
            }
            if (dir.empty()) return fail("--settings needs a directory");
            line.settingsDir = dir;
            continue;
        }
        if (arg.starts_with("-")) return fail("unknown option '" + std::string(arg) + "'");
        return fail("unexpected argument '" + std::string(arg) + "'");
    }
    return line;
}

std::string usageText() {
    return "usage: tevran [--settings DIR]\n"
           "Operates the oxygen measuring instrument on a serial line: live values, strip\n"
           "chart, data files, controller parameters.\n"
           "\n"
           "  --settings DIR   keep TEVRAN.ini, the COMn entries and tevran.conf in DIR\n"
           "                   (made if missing): one directory per instrument\n"
           "  --help           show this text\n"
           "  --version        show the version\n";
}

std::string versionText() { return "tevran " TEVRAN_VERSION "\n"; }
