#include "ui/Timeline.h"

#include <algorithm>

namespace ui {

Timeline::Timeline(bool manual, QObject* parent) : QObject(parent), manual_(manual) {
    timer_.setInterval(kFrameMs);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &Timeline::Tick);
}

void Timeline::Register(TimelineHandler* handler) {
    if (handler && !IsRegistered(handler)) handlers_.push_back(handler);
    UpdateTimer();
}

void Timeline::Unregister(TimelineHandler* handler) {
    // Null out instead of erasing so that a handler leaving during Tick is safe.
    std::replace(handlers_.begin(), handlers_.end(), handler, static_cast<TimelineHandler*>(nullptr));
    handlers_.erase(std::remove(handlers_.begin(), handlers_.end(), nullptr), handlers_.end());
    UpdateTimer();
}

bool Timeline::IsRegistered(const TimelineHandler* handler) const {
    return std::find(handlers_.begin(), handlers_.end(), handler) != handlers_.end();
}

void Timeline::Tick() {
    const std::vector<TimelineHandler*> now = handlers_;
    for (TimelineHandler* h : now)
        if (IsRegistered(h)) h->OnNextFrame();
    UpdateTimer();
}

void Timeline::Wake() { UpdateTimer(); }

void Timeline::Advance(int frames) {
    for (int i = 0; i < frames; ++i) Tick();
}

void Timeline::UpdateTimer() {
    const bool busy = std::any_of(handlers_.begin(), handlers_.end(), [](TimelineHandler* h) { return !h->IsIdle(); });
    const bool want = !manual_ && busy;
    if (want && !timer_.isActive())
        timer_.start();
    else if (!want && timer_.isActive())
        timer_.stop();
}

}  // namespace ui
