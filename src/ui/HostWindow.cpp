#include "ui/HostWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/AttributeSink.h"
#include "ui/LayoutLoader.h"
#include "ui/TranslatorManager.h"
#include "ui/UiApp.h"

namespace ui {

QWidget* BuildHost(QWidget* host, const QString& layoutRes) {
    UiApp* app = UiApp::Current();
    if (!app) return nullptr;
    LayoutLoader loader(*app);
    QWidget* root = loader.LoadLayout(layoutRes, host);
    if (!root) return nullptr;
    auto* box = new QVBoxLayout(host);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addWidget(root);
    const QSize size = root->size();
    if (!size.isEmpty()) host->resize(size);
    QString context;
    const QString title = TrSource(root, "windowTitle", &context);
    if (!title.isEmpty())
        SetTrText(host, context, title, "windowTitle");  // follows language switches
    else if (!root->windowTitle().isEmpty())
        host->setWindowTitle(root->windowTitle());
    // Our layouts draw their own title bars; "frameless" 0 asks for the system frame.
    if (ParseInt(root->property("frameless").toString(), 1) != 0) host->setWindowFlag(Qt::FramelessWindowHint, true);
    if (ParseInt(root->property("resize").toString(), 1) == 0 && !size.isEmpty()) host->setFixedSize(size);
    host->setObjectName(root->objectName() + QStringLiteral("_host"));
    return root;
}

HostWindow::HostWindow(QString layoutRes, QWidget* parent) : LayoutHost(std::move(layoutRes), parent) {}

void HostWindow::CenterOnScreen() {
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s) return;
    const QRect avail = s->availableGeometry();
    move(avail.center() - QPoint(width() / 2, height() / 2));
}

}  // namespace ui
