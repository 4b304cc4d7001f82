#pragma once
// "button": a push button that fires a command when clicked. With a skin it draws
// the skin's frames over its whole area: 0 normal, 1 hover, 2 pushed, 3 disabled.
#include <QPushButton>

#include "ui/AttributeSink.h"
#include "ui/Skin.h"

namespace ui {

class SButton : public QPushButton, public AttributeSink {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "button")
public:
    explicit SButton(QWidget* parent = nullptr);
    bool SetAttribute(const QString& name, const QString& value) override;
    void SetSkin(SkinPtr skin) {
        skin_ = std::move(skin);
        update();
    }
    const SkinPtr& GetSkin() const { return skin_; }
    // The frame the skin is drawn with in the current state.
    int SkinFrame() const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;

    SkinPtr skin_;
    SkinPtr iconSkin_;
    bool hover_ = false;
};

// "imgbtn": a button that is all picture (its skin); text, when given, is drawn over it.
class SImageButton : public SButton {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "imgbtn")
public:
    explicit SImageButton(QWidget* parent = nullptr);
    QSize sizeHint() const override;
};

}  // namespace ui
