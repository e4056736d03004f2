#pragma once
// Other programs the operator asks for.

#include <initializer_list>
#include <utility>

// Starts `command` with /bin/sh, with the environment of the program plus `environment` (name,
// value); texts are Windows-1252. The program does not wait for it and leaves no zombie behind:
// the command is a grandchild that the system adopts. Returns 0 when it was started, -1
// otherwise (the reason in fileErrorText()).
int LaunchShellCommand(const char* command,
                       std::initializer_list<std::pair<const char*, const char*>> environment);
