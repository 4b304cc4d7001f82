#pragma once
// "text": a static text.
#include <QLabel>

#include "ui/AttributeSink.h"

namespace ui {

class SStatic : public QLabel, public AttributeSink {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "text")
public:
    explicit SStatic(QWidget* parent = nullptr) : QLabel(parent) {}
    bool SetAttribute(const QString& name, const QString& value) override;
};

}  // namespace ui
