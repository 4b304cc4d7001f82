#pragma once
// What "check" and "radio" share, over either Qt button: a command (with the new state)
// fired on every click, a "skin" whose state frame is drawn as the box, hover tracking
// and a hit area that covers the whole widget.
#include <QEnterEvent>
#include <QPainter>

#include "ui/AttributeSink.h"
#include "ui/ButtonState.h"
#include "ui/Events.h"
#include "ui/Skin.h"
#include "ui/UiApp.h"

namespace ui {

template <class Button>
class SkinnedToggle : public Button, public AttributeSink {
public:
    explicit SkinnedToggle(QWidget* parent = nullptr) : Button(parent) {
        this->setCursor(Qt::PointingHandCursor);
        QObject::connect(this, &QAbstractButton::clicked, this, [this](bool checked) {
            EventArgs a;
            a.event = ev::kCommand;
            a.checked = checked;
            Fire(this, a);
        });
    }

    bool SetAttribute(const QString& name, const QString& value) override {
        if (name == u"skin") {
            SetSkin(UiApp::FindSkin(value));
            return true;
        }
        return false;
    }

    void SetSkin(SkinPtr skin) {
        skin_ = std::move(skin);
        this->updateGeometry();
        this->update();
    }
    const SkinPtr& GetSkin() const { return skin_; }
    bool IsHover() const { return hover_; }
    // Base state index (see ButtonStateIndex).
    int StateIndex() const { return ButtonStateIndex(this->isEnabled(), this->isDown(), hover_, this->isChecked()); }

protected:
    void paintEvent(QPaintEvent* e) override {
        if (!skin_) {
            Button::paintEvent(e);
            return;
        }
        QPainter p(this);
        const QSize box = skin_->FrameSize();
        const QRect boxRect(QPoint(0, (this->height() - box.height()) / 2), box);
        skin_->Draw(p, boxRect, StateIndex() % skin_->FrameCount());
        p.setPen(
            this->palette().color(this->isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        p.drawText(this->rect().adjusted(box.width() + 6, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, this->text());
    }

    void enterEvent(QEnterEvent* e) override {
        hover_ = true;
        this->update();
        Button::enterEvent(e);
    }

    void leaveEvent(QEvent* e) override {
        hover_ = false;
        this->update();
        Button::leaveEvent(e);
    }

    bool hitButton(const QPoint& pos) const override { return this->rect().contains(pos); }

    SkinPtr skin_;
    bool hover_ = false;
};

}  // namespace ui
