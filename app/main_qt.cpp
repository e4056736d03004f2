// The real program: TEVRAN in Qt windows.

#include <QApplication>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/command_line.h"
#include "app/qt_program.h"
#include "runtime/core/program_dirs.h"

int main(int argc, char** argv) {
    // Answered before Qt looks for a display: --help works over ssh and in scripts.
    const CommandLine line = parseCommandLine(argc, argv);
    switch (line.action) {
        case CommandLine::Action::Help:
            std::fputs(usageText().c_str(), stdout);
            return 0;
        case CommandLine::Action::Version:
            std::fputs(versionText().c_str(), stdout);
            return 0;
        case CommandLine::Action::Error:
            std::fprintf(stderr, "tevran: %s\n%s", line.error.c_str(), usageText().c_str());
            return 2;
        case CommandLine::Action::Run:
            break;
    }
    if (!line.settingsDir.empty()) {
        std::error_code ec;
        const std::string dir = std::filesystem::absolute(line.settingsDir, ec).lexically_normal();
        if (ec || !rt::setSettingsDir(dir)) {
            std::fprintf(stderr, "tevran: cannot use %s as the settings directory: %s\n",
                         line.settingsDir.c_str(), std::strerror(ec ? ec.value() : errno));
            return 1;
        }
    }
    QApplication qtApp(argc, argv);
    return runTevranInWindows(qtApp);
}
