#include "ui/STrayIcon.h"

#include <QCursor>
#include <QEvent>

#include "ui/TranslatorManager.h"
#include "ui/UiApp.h"

namespace ui {

STrayIcon::STrayIcon(QWidget* parent) : SWindow(parent) { setVisible(false); }

STrayIcon::~STrayIcon() = default;

bool STrayIcon::SetAttribute(const QString& name, const QString& value) {
    if (name == u"ico") {
        icons_.clear();
        for (const QString& res : value.split(u';', Qt::SkipEmptyParts)) {
            const QPixmap pm = UiApp::FindImage(res.trimmed());
            if (!pm.isNull()) icons_ << QIcon(pm);
        }
        return true;
    }
    if (name == u"deficoidx") {
        defaultIcon_ = ParseInt(value, 0);
        return true;
    }
    if (name == u"tip") {
        tipSource_ = value;
        return true;
    }
    if (name == u"menu") {
        menuName_ = value;
        return true;
    }
    return SWindow::SetAttribute(name, value);
}

int STrayIcon::DefaultIconIndex() const { return defaultIcon_ >= 0 && defaultIcon_ < icons_.size() ? defaultIcon_ : 0; }

QString STrayIcon::Tip() const {
    return TranslatorManager::Tr(QStringLiteral("SShellNotifyIcon"), tipSource_).left(kMaxTip);
}

void STrayIcon::OnCreate() {
    setVisible(false);
    tray_ = std::make_unique<QSystemTrayIcon>();
    QIcon icon =
        icons_.isEmpty() ? QIcon(UiApp::FindImage(QStringLiteral("ICON:ICON_LOGO"))) : icons_[DefaultIconIndex()];
    tray_->setIcon(icon);
    tray_->setToolTip(Tip());
    QObject::connect(tray_.get(), &QSystemTrayIcon::activated, this, [this](auto r) { Activated(r); });
    if (QSystemTrayIcon::isSystemTrayAvailable()) tray_->show();
}

void STrayIcon::ShowIcon(int index) {
    if (tray_ && index >= 0 && index < icons_.size()) tray_->setIcon(icons_[index]);
}

void STrayIcon::Activated(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger) {
        if (onLeftClick) onLeftClick();
    } else if (reason == QSystemTrayIcon::Context) {
        if (onRightClick)
            onRightClick(QCursor::pos());
        else
            OpenMenu(QCursor::pos());
    }
}

int STrayIcon::OpenMenu(const QPoint& screenPos) {
    PopupMenu menu;
    if (menuName_.isEmpty() || !menu.LoadMenu(menuName_)) return 0;
    if (QWidget* top = window()) {
        top->raise();
        top->activateWindow();
    }
    return menu.TrackPopupMenu(screenPos, this);
}

void STrayIcon::changeEvent(QEvent* e) {
    if (e->type() == QEvent::LanguageChange && tray_) tray_->setToolTip(Tip());
    SWindow::changeEvent(e);
}

}  // namespace ui
