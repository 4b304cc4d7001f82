#pragma once
// "radio": a radio button that fires a command (with its new state) when clicked.
// With a "skin" it draws the skin's state frame as its box.
#include <QRadioButton>

#include "ui/AttributeSink.h"
#include "ui/Skin.h"

namespace ui {

class SRadioBox : public QRadioButton, public AttributeSink {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "radio")
public:
    explicit SRadioBox(QWidget* parent = nullptr);
    bool SetAttribute(const QString& name, const QString& value) override;

    void SetSkin(SkinPtr skin) { skin_ = std::move(skin); updateGeometry(); update(); }
    const SkinPtr& GetSkin() const { return skin_; }
    bool IsHover() const { return hover_; }
    // Base state index (see ButtonStateIndex).
    int StateIndex() const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

    SkinPtr skin_;
    bool hover_ = false;
};

} // namespace ui
