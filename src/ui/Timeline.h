#pragma once
// The animation timeline: calls every registered handler once per frame. Frames
// come from a 10 ms QTimer, or, in manual mode (tests), from Tick(). The timer only
// runs while some handler has work: once every handler reports idle it stops, and a
// handler that starts something calls Wake(). A window sitting in the tray costs
// no wake-ups.
#include <QObject>
#include <QTimer>
#include <vector>

namespace ui {

class TimelineHandler {
public:
    virtual ~TimelineHandler() = default;
    virtual void OnNextFrame() = 0;
    // True when frames would change nothing now (nothing playing, nothing waiting).
    virtual bool IsIdle() const { return false; }
};

class Timeline : public QObject {
    Q_OBJECT
public:
    static constexpr int kFrameMs = 10;

    explicit Timeline(bool manual = false, QObject* parent = nullptr);

    void Register(TimelineHandler* handler);
    void Unregister(TimelineHandler* handler);
    bool IsRegistered(const TimelineHandler* handler) const;
    int HandlerCount() const { return int(handlers_.size()); }

    // One frame: every handler registered now is called once, in registration order.
    void Tick();
    // n frames in a row.
    void Advance(int frames);
    // A handler has work again: make sure frames come.
    void Wake();
    bool Manual() const { return manual_; }
    bool Running() const { return timer_.isActive(); }

private:
    void UpdateTimer();

    bool manual_;
    QTimer timer_;
    std::vector<TimelineHandler*> handlers_;
};

}  // namespace ui
