#pragma once
// The emulator's control socket: a Unix stream socket, readable and writable by
// its owner only (0600), that takes the commands of SimControlCommands, one per
// line, and answers each with one line. Black-box tests and scripts drive the
// real program through it (kbconf-simctl is a small client).
//
// It runs its own thread, which sleeps in poll() on the sockets and a wake pipe
// and does nothing while nobody talks to it. Several clients may be connected
// at once; each line is answered in order. A line longer than
// SimControlCommands::kMaxLine is answered with an error and skipped up to its
// newline. A client that sends without reading its answers is dropped once
// 64 KiB of answers wait for it.
//
// A socket file left behind by a process that ended is replaced; a live socket
// of another process, or a file that is not a socket, is left alone and Start
// fails. The socket is removed again on Stop (unless something else has taken
// its place since).
//
// This file and SimControlClient are the only parts of the emulator that make
// OS calls (POSIX sockets).

#include <cstdint>
#include <memory>
#include <string>
#include <thread>

namespace platform::sim {

class SimControl;

class SimControlServer {
public:
    static constexpr const char* kEnvironment = "KBCONF_SIM_CONTROL";

    explicit SimControlServer(SimControl& control);
    ~SimControlServer();
    SimControlServer(const SimControlServer&) = delete;
    SimControlServer& operator=(const SimControlServer&) = delete;

    // False with the reason in *why (when given) when the socket cannot be set
    // up; nothing is left behind then. Fails when already running.
    bool Start(const std::string& path, std::string* why = nullptr);
    // Starts on the path named by $KBCONF_SIM_CONTROL. True when the variable is
    // unset or empty (nothing to do) or the server started.
    bool StartFromEnvironment(std::string* why = nullptr);
    // Closes every connection, ends the thread and removes the socket file.
    void Stop();

    bool Running() const { return thread_.joinable(); }
    const std::string& Path() const { return path_; }

private:
    struct Loop;

    SimControl& control_;
    std::string path_;
    std::unique_ptr<Loop> loop_;
    std::thread thread_;
};

}  // namespace platform::sim
