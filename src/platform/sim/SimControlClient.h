#pragma once
// A client of the emulator's control socket, for tests and kbconf-simctl:
// connects, sends one command line and reads its one answer line.

#include <string>

#include "platform/linux/UniqueFd.h"

namespace platform::sim {

class SimControlClient {
public:
    // False with the reason in *why (when given).
    bool Connect(const std::string& path, std::string* why = nullptr);
    // Sends text as it is (it may hold several lines, or none) without waiting.
    bool SendRaw(const std::string& text);
    // Tells the server nothing more comes (a last line without its newline is
    // then answered too); answers can still be read.
    bool FinishSending();
    // The next answer line without its newline; false when the connection
    // ended first or no answer came within timeoutMs.
    bool ReadLine(std::string* line, int timeoutMs = 5000);
    // SendRaw(command + "\n"), then ReadLine.
    bool Exchange(const std::string& command, std::string* answer, int timeoutMs = 5000);
    void Close() { fd_.Reset(); }

private:
    platform::linuxhid::UniqueFd fd_;
    std::string buffer_;
};

}  // namespace platform::sim
