#pragma once
// The filter driver's decisions for the one client of the helper, without any
// I/O: which keys the client takes (its key table, or every key while it
// captures), and the key events waiting for its key request.
//
// Control codes as the driver has them: 0x226008 ends capture, 0x22600C drops
// the queued events, 0x226010 (4 bytes, value 0) starts capture, 0x22A000 sets
// the key table (1024 or 256 bytes; entries with flag 0x02 are taken, matched
// on page and the low 8 bits of the usage), 0x226044 (4-byte output) asks for
// the next key event and stays pending until there is one. A cancelled key
// request ends capture: nobody reads any more.
//
// Events are held only until the client has read them (at most 1024 wait);
// nothing else of a key is kept.

#include <cstdint>
#include <deque>
#include <functional>
#include <set>

namespace kbhelper {

class KeyRouter {
public:
    // id, status (helperwire::Status), output bytes (null, 0 or 4).
    using Reply = std::function<void(uint32_t id, uint8_t status, const uint8_t* out, size_t len)>;

    explicit KeyRouter(Reply reply) : reply_(std::move(reply)) {}

    // Every request is answered through the reply function, at once or (a key
    // request) later.
    void Control(uint32_t id, uint32_t code, const uint8_t* in, size_t inLen, size_t outLen);
    void Cancel(uint32_t id);

    // Asked at a key's press: does the client take it?
    bool Wants(uint16_t page, uint16_t usage) const;
    // A transition of a key the client took at its press.
    void Deliver(uint16_t page, uint16_t usage, bool pressed);

    // The client went away: table, capture, queue and pending request go.
    void Reset();

    bool Capturing() const { return capture_; }
    size_t TableSize() const { return table_.size(); }

private:
    Reply reply_;
    bool capture_ = false;
    std::set<uint32_t> table_;
    std::deque<uint32_t> queue_;  // KeyEvent bytes, little-endian in a word
    std::deque<uint32_t> pending_;
};

}  // namespace kbhelper
