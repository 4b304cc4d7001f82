#include "widgets/SAnimImg.h"

#include <QPainter>

#include "ui/UiApp.h"

SAnimImg::SAnimImg(QWidget* parent) : ui::SWindow(parent) {}

SAnimImg::~SAnimImg() {
    if (timeline_) timeline_->Unregister(this);
}

bool SAnimImg::SetAttribute(const QString& name, const QString& value) {
    if (name == u"interval")
        interval = ui::ParseInt(value, 50);
    else if (name == u"autorun")
        autorun = ui::ParseInt(value, -1);
    else if (name == u"ani_in")
        aniIn = ui::UiApp::FindSkin(value);
    else if (name == u"ani_out")
        aniOut = ui::UiApp::FindSkin(value);
    else
        return ui::SWindow::SetAttribute(name, value);
    updateGeometry();
    update();
    return true;
}

void SAnimImg::OnCreate() {
    if (!timeline_ && ui::UiApp::Current()) {
        timeline_ = &ui::UiApp::Current()->Animation();
        timeline_->Register(this);
    }
    if (autorun >= 0) {
        autorunDelay = autorun * 1000;
        autorunPending = true;
    }
    Wake();
}

void SAnimImg::Wake() {
    if (timeline_) timeline_->Wake();
}

bool SAnimImg::IsIdle() const {
    if (mode == 1 && !aniIn) return autorunPending ? !isVisible() : true;
    if (mode == 2 && !aniOut) return autorunPending ? !isVisible() : true;
    // The last in-frame held under the mouse, or for good without an out-animation:
    // only a leave or a new hover changes it, and both wake the timeline.
    if (mode == 1 && autorun == -1 && frame >= aniIn->FrameCount() - 1 && (hoverCount > 0 || !aniOut)) return true;
    if (mode > 0) return false;
    return !autorunPending || !isVisible();
}

void SAnimImg::showEvent(QShowEvent* e) {
    ui::SWindow::showEvent(e);
    Wake();
}

void SAnimImg::OnMouseHover() {
    hoverCount += 1;
    mode = 1;
    frame = 0;
    elapsed = 0;
    autorunElapsed = 0;
    update();
    Wake();
}

void SAnimImg::OnMouseLeave() {
    hoverCount -= 1;
    Wake();
}

void SAnimImg::enterEvent(QEnterEvent* e) {
    OnMouseHover();
    ui::SWindow::enterEvent(e);
}

void SAnimImg::leaveEvent(QEvent* e) {
    OnMouseLeave();
    ui::SWindow::leaveEvent(e);
}

void SAnimImg::OnNextFrame() {
    if (mode > 0) {
        elapsed += ui::Timeline::kFrameMs;
        if (elapsed >= interval) {
            Advance();
            elapsed = 0;
        }
    }
    if (autorunPending) {
        autorunElapsed += ui::Timeline::kFrameMs;
        if (autorunElapsed >= autorunDelay) {
            autorunElapsed = 0;
            frame = 0;
            autorunPending = false;
            mode = 1;
            update();
        }
    }
}

void SAnimImg::Advance() {
    if (mode == 1) {
        if (!aniIn) return;
        frame += 1;
        if (frame >= aniIn->FrameCount()) {
            if (autorun == -1) {
                frame = aniIn->FrameCount() - 1;
                if (hoverCount <= 0 && aniOut) {
                    mode = 2;
                    frame = 0;
                    elapsed = 0;
                }
            } else if (autorun == 0) {
                frame = 0;
                mode = 0;
                autorunPending = true;
            } else {
                mode = 0;
                autorunPending = true;
            }
        }
        update();
    } else if (mode == 2) {
        if (!aniOut) return;
        if (frame >= aniOut->FrameCount() - 1)
            mode = 0;
        else {
            frame += 1;
            update();
        }
    }
}

const ui::Skin* SAnimImg::ShownSkin() const {
    if (mode == 1 && aniIn) return aniIn.get();
    if (mode == 2 && aniOut) return aniOut.get();
    return aniIn.get();
}

int SAnimImg::ShownFrame() const {
    if ((mode == 1 && aniIn) || (mode == 2 && aniOut)) return frame;
    return 0;
}

QSize SAnimImg::sizeHint() const { return aniIn ? aniIn->FrameSize() : QSize(0, 0); }

void SAnimImg::paintEvent(QPaintEvent* e) {
    ui::SWindow::paintEvent(e);
    if (const ui::Skin* s = ShownSkin()) {
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        s->Draw(p, rect(), ShownFrame());
    }
}
