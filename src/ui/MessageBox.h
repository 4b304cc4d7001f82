#pragma once
// Message boxes built from "LAYOUT:SYS_XML_MSGBOX": caption in msgtitle, text in
// msgtext, icon in msgicon, buttons button1st (OK) and button2nd (Cancel).
#include <QString>
#include <functional>

#include "ui/HostDialog.h"

class QWidget;

namespace ui {

constexpr int MB_OK = 0;
constexpr int MB_OKCANCEL = 1;

struct MessageBoxRequest {
    QWidget* owner = nullptr;
    QString text;
    QString caption;
    int type = MB_OK;
};

// Shows the box modally (with or without owner) and returns IDOK or IDCANCEL.
int MessageBox(QWidget* owner, const QString& text, const QString& caption, int type = MB_OK);

// Tests and scripted runs can answer boxes instead of showing them; null restores.
using MessageBoxHook = std::function<int(const MessageBoxRequest&)>;
void SetMessageBoxHook(MessageBoxHook hook);

class MessageBoxDlg : public HostDialog {
    Q_OBJECT
public:
    MessageBoxDlg(const MessageBoxRequest& request, QWidget* parent = nullptr);

protected:
    void OnLayoutReady() override;
    bool OnCommand(EventArgs& args) override;

private:
    MessageBoxRequest request_;
};

}  // namespace ui
