#pragma once
// "anmimg": an image that plays "ani_in" when hovered and "ani_out" after the mouse
// has gone, or (with "autorun" N >= 0) replays "ani_in" every N seconds. Frames
// advance every "interval" ms on the animation timeline.
#include "ui/SWindow.h"
#include "ui/Timeline.h"

class SAnimImg : public ui::SWindow, public ui::TimelineHandler {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "anmimg")
public:
    explicit SAnimImg(QWidget* parent = nullptr);
    ~SAnimImg() override;
    bool SetAttribute(const QString& name, const QString& value) override;
    void OnCreate() override;
    void OnNextFrame() override;
    // Idle when nothing plays and no automatic start is due, or when only an
    // automatic start waits while the image is not shown (it resumes when shown).
    bool IsIdle() const override;

    // Mouse hover and leave notifications (also what enter and leave events do).
    void OnMouseHover();
    void OnMouseLeave();

    // The skin and frame painted now (null skin: nothing).
    const ui::Skin* ShownSkin() const;
    int ShownFrame() const;

    QSize sizeHint() const override;

    int32_t interval = 50;
    int32_t autorun = -1;
    int32_t autorunDelay = 0;
    bool autorunPending = false;
    int32_t hoverCount = 0;
    int32_t mode = 0;
    int32_t frame = 0;
    int32_t elapsed = 0;
    int32_t autorunElapsed = 0;
    ui::SkinPtr aniIn;
    ui::SkinPtr aniOut;

protected:
    void paintEvent(QPaintEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void Advance();
    void Wake();

    ui::Timeline* timeline_ = nullptr;
};
