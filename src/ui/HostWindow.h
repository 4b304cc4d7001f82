#pragma once
// A top-level window built from a named layout. The widgets below it deliver their
// events here (handlers by name or id, then OnEvent / OnCommand).
#include <QWidget>

#include "ui/Events.h"
#include "ui/LayoutHost.h"

namespace ui {

class UiApp;

class HostWindow : public LayoutHost<QWidget>, public EventHost {
    Q_OBJECT
public:
    explicit HostWindow(QString layoutRes, QWidget* parent = nullptr);

    void CenterOnScreen();
};

}  // namespace ui
