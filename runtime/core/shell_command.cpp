// Starting a shell command without waiting for it.
//
// The command runs in a grandchild: the child forks it and ends at once, and the program reaps
// the child straight away, so the command is adopted by the system and never becomes a zombie of
// ours, however long it runs. Between fork and exec only async-signal-safe calls are made (the
// program has threads): everything exec needs is prepared before the first fork.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/commands.h"
#include "runtime/core/encoding.h"
#include "runtime/core/file_table.h"

extern char** environ;

namespace {

// The program's environment with `extra` set: a name given replaces the inherited one.
std::vector<std::string> environmentWith(const std::vector<std::string>& extra) {
    std::vector<std::string> out;
    for (char** e = environ; e && *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('=') + 1);
        bool replaced = false;
        for (const std::string& x : extra)
            replaced = replaced || x.compare(0, name.size(), name) == 0;
        if (!replaced) out.push_back(entry);
    }
    out.insert(out.end(), extra.begin(), extra.end());
    return out;
}

// In the grandchild: signals as a freshly started program has them, standard input from
// /dev/null (the command must not read the terminal the program was started from), then exec.
[[noreturn]] void execShell(char* const argv[], char* const envp[]) {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    for (int sig : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGCHLD, SIGQUIT})
        sigaction(sig, &dfl, nullptr);
    const int in = ::open("/dev/null", O_RDONLY);
    if (in > 0) {
        ::dup2(in, 0);
        ::close(in);
    }
    ::execve("/bin/sh", argv, envp);
    ::_exit(127);
}

}  // namespace

int LaunchShellCommand(const char* command,
                       std::initializer_list<std::pair<const char*, const char*>> environment) {
    std::string script = rt::windows1252ToUtf8(command ? command : "");
    std::vector<std::string> extra;
    for (const auto& [name, value] : environment)
        extra.push_back(std::string(name) + "=" + rt::windows1252ToUtf8(value ? value : ""));
    std::vector<std::string> env = environmentWith(extra);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    char shell[] = "sh", dashC[] = "-c";
    char* argv[] = {shell, dashC, script.data(), nullptr};

    const pid_t child = ::fork();
    if (child < 0) {
        rt::files::setErrno(errno);
        return -1;
    }
    if (child == 0) {
        // A new session: the command is not in the program's process group, so a Ctrl+C meant
        // for the program does not reach it.
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild == 0) execShell(argv, envp.data());
        ::_exit(grandchild < 0 ? 1 : 0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        rt::files::setError("the command could not be started (fork failed)");
        return -1;
    }
    return 0;
}
