#pragma once
// "editex": an edit that reports Enter as "on_key_enter" instead of acting on it,
// and that a click enables when it was disabled.
#include "ui/SEdit.h"

class SEditEx : public ui::SEdit {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "editex")
public:
    static constexpr int EventKeyEnter = 10000500;
    static constexpr const char* EventKeyEnterName = "on_key_enter";

    explicit SEditEx(QWidget* parent = nullptr) : ui::SEdit(parent) {}

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
};
