#include "ui/MessageBox.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "ui/SButton.h"
#include "ui/TranslatorManager.h"

namespace ui {

namespace {
MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}
const QString kContext = QStringLiteral("MessageBox");
}  // namespace

void SetMessageBoxHook(MessageBoxHook hook) { Hook() = std::move(hook); }

MessageBoxDlg::MessageBoxDlg(const MessageBoxRequest& request, QWidget* parent)
    : HostDialog(QStringLiteral("LAYOUT:SYS_XML_MSGBOX"), parent), request_(request) {}

void MessageBoxDlg::OnLayoutReady() {
    setWindowTitle(request_.caption);
    if (auto* t = qobject_cast<QLabel*>(FindChildByName(QStringLiteral("msgtitle")))) t->setText(request_.caption);
    if (auto* t = qobject_cast<QLabel*>(FindChildByName(QStringLiteral("msgtext")))) {
        t->setText(request_.text);
        t->setWordWrap(true);
    }
    auto* first = qobject_cast<QAbstractButton*>(FindChildByName(QStringLiteral("button1st")));
    auto* second = qobject_cast<QAbstractButton*>(FindChildByName(QStringLiteral("button2nd")));
    auto* third = qobject_cast<QAbstractButton*>(FindChildByName(QStringLiteral("button3rd")));
    if (first) {
        SetTrText(first, kContext, QStringLiteral("OK"));
        if (auto* push = qobject_cast<QPushButton*>(first)) push->setDefault(true);
        first->setFocus();
    }
    if (second) {
        SetTrText(second, kContext, QStringLiteral("Cancel"));
        second->setVisible(request_.type == MB_OKCANCEL);
    }
    if (third) third->setVisible(false);
}

bool MessageBoxDlg::OnCommand(EventArgs& args) {
    if (args.name == u"button1st")
        EndDialog(IDOK);
    else if (args.name == u"button2nd" || args.name == u"btnCancel" || args.name == u"btnClose")
        EndDialog(IDCANCEL);
    else
        return false;
    return true;
}

int MessageBox(QWidget* owner, const QString& text, const QString& caption, int type) {
    MessageBoxRequest req{owner, text, caption, type};
    if (Hook()) return Hook()(req);
    MessageBoxDlg dlg(req, owner);
    if (dlg.Create()) {
        const int r = dlg.DoModal(owner);
        return r == IDOK ? IDOK : IDCANCEL;
    }
    // Without the layout the box still has to ask.
    const auto buttons = type == MB_OKCANCEL ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok;
    return QMessageBox::warning(owner, caption, text, buttons) == QMessageBox::Ok ? IDOK : IDCANCEL;
}

}  // namespace ui
