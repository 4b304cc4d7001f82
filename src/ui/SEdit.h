#pragma once
// "edit": a one-line edit that fires "on_edit_changed" whenever its text changes,
// also when code sets it.
#include <QLineEdit>

#include "ui/AttributeSink.h"

namespace ui {

class SEdit : public QLineEdit, public AttributeSink {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "edit")
public:
    explicit SEdit(QWidget* parent = nullptr);
    bool SetAttribute(const QString& name, const QString& value) override;
};

}  // namespace ui
