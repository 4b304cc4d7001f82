#pragma once
// A sim bus for one test (handed to the code under test, never made current),
// with its named locks in a private folder and the transport's log lines
// captured.

#include <filesystem>
#include <memory>
#include <mutex>
#include <random>
#include <string>

#include "hid/HidLog.h"
#include "platform/sim/SimHidBus.h"

class HidTestBus {
public:
    // clock: what the bus's transfers time out on (null: the steady clock).
    explicit HidTestBus(platform::Clock* clock = nullptr) {
        std::random_device rd;
        folder_ = std::filesystem::temp_directory_path() / ("kbconf-hid-" + std::to_string(rd()));
        std::filesystem::create_directories(folder_);
        platform::sim::SimHidBus::Options o;
        o.logFromEnvironment = false;
        o.lockFolder = folder_.string();
        o.clock = clock;
        bus = std::make_shared<platform::sim::SimHidBus>(o);
        hid::SetHidLogSink([this](const std::string& line) {
            std::lock_guard lock(logMutex_);
            log_ += line;
        });
    }
    ~HidTestBus() {
        hid::SetHidLogSink(nullptr);
        bus.reset();
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    HidTestBus(const HidTestBus&) = delete;
    HidTestBus& operator=(const HidTestBus&) = delete;

    std::string Log() {
        std::lock_guard lock(logMutex_);
        return log_;
    }
    std::string LockFolder() const { return folder_.string(); }

    std::shared_ptr<platform::sim::SimHidBus> bus;

private:
    std::filesystem::path folder_;
    std::mutex logMutex_;
    std::string log_;
};
