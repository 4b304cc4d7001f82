#include "platform/linux/LinuxProcessRunner.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace platform::linuxfk {

std::vector<std::string> LinuxProcessRunner::SplitCommandLine(const std::string& line) {
    std::vector<std::string> args;
    std::string current;
    bool quoted = false, any = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any) args.push_back(current);
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any) args.push_back(current);
    return args;
}

bool LinuxProcessRunner::RunAndWait(const std::string& program, const std::string& commandLine) {
    if (program.empty()) return false;
    std::vector<std::string> args = SplitCommandLine(commandLine);
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    // Descriptors of this process are opened close-on-exec, so the child gets
    // only its standard ones.
    pid_t pid = 0;
    if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    // posix_spawn may report a program that cannot be executed only through the
    // child's exit status 127.
    return !(WIFEXITED(status) && WEXITSTATUS(status) == 127);
}

}  // namespace platform::linuxfk
