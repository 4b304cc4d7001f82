// kbconf-simctl PATH [COMMAND...]: talks to the emulator's control socket.
// With a command (its words joined by spaces) it prints the one answer; without
// one it sends each line of standard input and prints each answer. Exit code:
// 0 when every answer was "ok...", 1 when one was an error, 2 when the socket
// could not be reached or an answer did not come.

#include <cstdio>
#include <iostream>
#include <string>

#include "platform/sim/SimControlClient.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: kbconf-simctl PATH [COMMAND...]\n"
                     "  commands: press PAGE:USAGE | release PAGE:USAGE | unplug | plug [7080|7fff] | state\n");
        return 2;
    }
    platform::sim::SimControlClient client;
    std::string why;
    if (!client.Connect(argv[1], &why)) {
        std::fprintf(stderr, "kbconf-simctl: %s\n", why.c_str());
        return 2;
    }
    int status = 0;
    auto run = [&](const std::string& command) {
        std::string answer;
        if (!client.Exchange(command, &answer)) {
            std::fprintf(stderr, "kbconf-simctl: no answer\n");
            return false;
        }
        std::printf("%s\n", answer.c_str());
        std::fflush(stdout);
        if (answer.rfind("ok", 0) != 0) status = 1;
        return true;
    };
    if (argc > 2) {
        std::string command = argv[2];
        for (int i = 3; i < argc; ++i) command += std::string(" ") + argv[i];
        return run(command) ? status : 2;
    }
    std::string line;
    while (std::getline(std::cin, line))
        if (!run(line)) return 2;
    return status;
}
