#pragma once
// "window": a plain panel; draws its skin (frame 0, stretched) when it has one.
#include <QWidget>

#include "ui/AttributeSink.h"
#include "ui/Skin.h"

namespace ui {

class SWindow : public QWidget, public AttributeSink {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "window")
    // A plain window may carry a caption of its own (layouts give it "text").
    Q_PROPERTY(QString text READ text WRITE setText)
public:
    explicit SWindow(QWidget* parent = nullptr);
    bool SetAttribute(const QString& name, const QString& value) override;
    void SetSkin(SkinPtr skin) {
        skin_ = std::move(skin);
        update();
    }
    const SkinPtr& GetSkin() const { return skin_; }
    QString text() const { return text_; }
    void setText(const QString& text) {
        if (text == text_) return;
        text_ = text;
        update();
    }

protected:
    void paintEvent(QPaintEvent* e) override;

    SkinPtr skin_;
    QString text_;
};

}  // namespace ui
