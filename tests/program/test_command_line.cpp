// The command line, read before any window exists.
#include <gtest/gtest.h>

#include <vector>

#include "app/command_line.h"

TEST(CommandLine, OptionsAndMistakes) {
    using A = CommandLine::Action;
    const struct {
        std::vector<const char*> args;
        A action;
        const char* settings;
    } cases[] = {
        {{}, A::Run, ""},
        {{"--settings", "furnace3"}, A::Run, "furnace3"},
        {{"--settings=/srv/f4"}, A::Run, "/srv/f4"},
        {{"--settings"}, A::Error, ""},
        {{"--settings="}, A::Error, ""},
        {{"--version", "--bogus"}, A::Version, ""},
        {{"--settings", "d", "-h"}, A::Help, "d"},
        {{"--bogus"}, A::Error, ""},
        {{"-platform", "offscreen"}, A::Error, ""},
        {{"file.dat"}, A::Error, ""},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv = {"tevran"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const CommandLine line = parseCommandLine(int(argv.size()), argv.data());
        EXPECT_EQ(line.action, c.action) << argv.size();
        EXPECT_EQ(line.settingsDir, c.settings);
        EXPECT_EQ(line.action == A::Error, !line.error.empty());
    }
}
