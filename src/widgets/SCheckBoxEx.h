#pragma once
// "checkex": a "check" whose box skin covers the whole button, with an icon ("iconSkin" at
// "iconPos") and a text shifted by "textX" and "textY".
#include "ui/SCheckBox.h"
#include "widgets/ExButtonLook.h"

class SCheckBoxEx : public ui::SCheckBox {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "checkex")
public:
    explicit SCheckBoxEx(QWidget* parent = nullptr) : ui::SCheckBox(parent) {}
    bool SetAttribute(const QString& name, const QString& value) override;

    // The box skin frame drawn in the current state.
    int BoxFrame() const;
    // The icon frame drawn in the current state (the base state index).
    int IconFrame() const { return StateIndex(); }
    QRect TextRect() const { return look_.TextRect(rect()); }
    const ExButtonLook& Look() const { return look_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    ExButtonLook look_;
};
