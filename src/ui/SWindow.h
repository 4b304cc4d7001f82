#pragma once
// "window": a plain panel; draws its skin (frame 0, stretched) when it has one.
#include <QWidget>

#include "ui/AttributeSink.h"
#include "ui/Skin.h"

namespace ui {

class SWindow : public QWidget, public AttributeSink {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "window")
public:
    explicit SWindow(QWidget* parent = nullptr);
    bool SetAttribute(const QString& name, const QString& value) override;
    void SetSkin(SkinPtr skin) { skin_ = std::move(skin); update(); }
    const SkinPtr& GetSkin() const { return skin_; }

protected:
    void paintEvent(QPaintEvent* e) override;

    SkinPtr skin_;
};

} // namespace ui
