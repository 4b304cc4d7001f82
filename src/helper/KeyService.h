#pragma once
// kbconf-helper's work, on one thread that sleeps in epoll until something
// happens: a connection, a client message, a key, a hot plug, a stop.
//
// One client at a time, and only one the peer check lets in. While a client is
// connected the keyboard's event nodes are open and grabbed when idle; keys it
// takes (its key table, or everything while it captures) go to it as key
// events, the rest to the node's copy. When the client goes (or breaks the
// protocol, or stops reading), everything it pressed on the virtual keyboard
// is released, held keys are released on the copies, the grabs end and its
// table is forgotten: the keyboard types as if the helper were not there.
// Backspace + Escape + Enter held together does the same, whatever the table.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "helper/EventSink.h"
#include "helper/InputNode.h"
#include "helper/KeyRouter.h"
#include "helper/PeerCheck.h"
#include "helper/VirtualKeyboard.h"
#include "platform/linux/UniqueFd.h"

struct input_event;

namespace kbhelper {

struct KeyServiceOptions {
    // The keyboards' event nodes, and how to open one (non-blocking).
    std::function<std::vector<std::string>()> findNodes;
    std::function<platform::linuxhid::UniqueFd(const std::string&)> openNode;
    InputNode::MakeCopy makeCopy;
    PeerCheck peerAllowed = ActiveSeatUser;
    // Follow input hot plug through udev (the service does; tests call Rescan).
    bool udevMonitor = false;
    // Where notes on the service's own doings go (never a key).
    std::function<void(const std::string&)> log;
};

class KeyService {
public:
    KeyService(platform::linuxhid::UniqueFd listener, std::unique_ptr<EventSink> keys,
               std::unique_ptr<EventSink> pointer, KeyServiceOptions options);
    ~KeyService();
    KeyService(const KeyService&) = delete;
    KeyService& operator=(const KeyService&) = delete;

    bool Ok() const { return epoll_.Valid(); }
    // Handles one batch of readiness (timeoutMs < 0: waits for it): how many
    // things were ready, -1 once a stop was asked for.
    int RunOnce(int timeoutMs);
    void Run();
    // From any thread or a signal handler.
    void RequestStop();
    // An input device came: open the keyboard's nodes that are new.
    void Rescan();

    bool HasClient() const { return client_.Valid(); }
    size_t NodeCount() const { return nodes_.size(); }
    bool AllGrabbed() const;
    bool Capturing() const { return router_.Capturing(); }

private:
    void Watch(int fd);
    void Unwatch(int fd);
    void Accept();
    void OnClient();
    void OnNode(InputNode& node, uint32_t events);
    void OnNodeEvent(InputNode& node, const input_event& ev);
    void Reply(uint32_t id, uint8_t status, const uint8_t* out, size_t len);
    void ReleaseNode(InputNode& node);
    void CloseNodes();
    void DropClient(const char* why);
    void Panic();
    bool ChordHeld() const;
    void OnUdev();
    void Note(const std::string& text);

    KeyServiceOptions options_;
    platform::linuxhid::UniqueFd epoll_;
    platform::linuxhid::UniqueFd listener_;
    platform::linuxhid::UniqueFd stop_;
    platform::linuxhid::UniqueFd client_;
    VirtualKeyboard virtual_;
    KeyRouter router_;
    std::vector<std::unique_ptr<InputNode>> nodes_;
    bool dropClient_ = false;
    bool panic_ = false;
    bool stopped_ = false;
    struct Udev;
    std::unique_ptr<Udev> udev_;
};

}  // namespace kbhelper
