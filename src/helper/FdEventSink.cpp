#include "helper/FdEventSink.h"

#include <linux/input.h>
#include <unistd.h>

namespace kbhelper {

bool FdEventSink::Write(uint16_t type, uint16_t code, int32_t value) {
    input_event ev{};
    ev.type = type;
    ev.code = code;
    ev.value = value;
    return ::write(fd_.Get(), &ev, sizeof ev) == static_cast<ssize_t>(sizeof ev);
}

}  // namespace kbhelper
