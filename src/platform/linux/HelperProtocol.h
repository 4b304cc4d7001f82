#pragma once
// The messages between kbconf and kbconf-helper on their Unix socket
// (SOCK_SEQPACKET: one message per send, never split or merged). Both ends run
// on the same machine, so numbers are in its byte order.
//
// Client -> helper: a RequestHeader, then the input bytes.
//   kControl: one of the filter driver's control codes, `outLength` the size of
//             the caller's output buffer (4 for the key request).
//   kCancel:  cancels the pending request with this id (the key request).
//   kRecord:  one 64-byte record of the virtual keyboard.
// Helper -> client: a ReplyHeader, then the output bytes (the 4-byte KeyEvent).
//   Every request gets exactly one reply, in the order the helper answers them;
//   a key request may be answered long after, and a cancelled one is answered
//   with kCancelled unless its event was already on the way (completion wins).
//   Right after connecting the helper sends one reply with id 0: kWelcome, or
//   kBusy / kNotAllowed before it closes the connection.

#include <cstddef>
#include <cstdint>

namespace platform::linuxfk::helperwire {

inline constexpr const char* kSocketPath = "/run/kbconf/helper.sock";

enum Kind : uint8_t { kControl = 1, kCancel = 2, kRecord = 3 };

enum Status : uint8_t {
    kCompleted = 0,
    kCompletedAfterPending = 1,
    kRefused = 2,
    kCancelled = 3,
    kWelcome = 4,
    kBusy = 5,
    kNotAllowed = 6,
};

struct RequestHeader {
    uint32_t id;
    uint8_t kind;
    uint8_t reserved[3];
    uint32_t code;
    uint32_t outLength;
};
static_assert(sizeof(RequestHeader) == 16);

struct ReplyHeader {
    uint32_t id;
    uint8_t status;
    uint8_t reserved[3];
};
static_assert(sizeof(ReplyHeader) == 8);

inline constexpr size_t kMaxInput = 1024;  // the key table
inline constexpr size_t kMaxOutput = 4;    // the KeyEvent
inline constexpr size_t kMaxRequest = sizeof(RequestHeader) + kMaxInput;
inline constexpr size_t kMaxReply = sizeof(ReplyHeader) + kMaxOutput;
inline constexpr size_t kRecordSize = 64;

}  // namespace platform::linuxfk::helperwire
