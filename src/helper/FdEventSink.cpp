#include "helper/FdEventSink.h"

#include <linux/input.h>
#include <unistd.h>

namespace kbhelper {

bool FdEventSink::WriteFrame(const input_event* events, size_t count) {
    const size_t size = count * sizeof(input_event);
    return ::write(fd_.Get(), events, size) == static_cast<ssize_t>(size);
}

}  // namespace kbhelper
