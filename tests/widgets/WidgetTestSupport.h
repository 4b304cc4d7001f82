#pragma once
// Shared set-up for the widget tests: one QApplication, a UI application object on
// an empty resource folder with a manual timeline, skins made on the spot, and
// mouse events delivered the way Qt delivers them.
#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>

#include "ui/Skin.h"
#include "ui/UiApp.h"
#include "widgets/CustomWidgets.h"

namespace wtest {

inline QApplication* App() {
    static int argc = 1;
    static char name[] = "kbconf_widget_test";
    static char* argv[] = {name, nullptr};
    // Headless unless someone asked for a display on purpose.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);
    return app;
}

// A UiApp over a throwaway folder; its timeline only moves when the test says so.
struct UiFixture {
    UiFixture() {
        App();
        app = std::make_unique<ui::UiApp>(dir.path(), true);
        RegisterCustomWidgets(*app);
    }
    QTemporaryDir dir;
    std::unique_ptr<ui::UiApp> app;
};

// A skin of `frames` frames of size w x h, each frame a distinct solid colour,
// registered in the skin table under name.
inline ui::SkinPtr MakeSkin(ui::UiApp& app, const QString& name, int frames, int w = 16, int h = 16) {
    QPixmap pm(w * frames, h);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    for (int i = 0; i < frames; ++i) p.fillRect(i * w, 0, w, h, QColor::fromHsv((i * 67) % 360, 200, 230));
    p.end();
    auto skin = std::make_shared<ui::Skin>(name, pm, frames, false);
    app.Skins().Add(skin);
    return skin;
}

inline void Mouse(QWidget* w, QEvent::Type type, QPoint pt, Qt::MouseButton button = Qt::LeftButton) {
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::MouseButtons();
    QMouseEvent e(type, QPointF(pt), QPointF(w->mapToGlobal(pt)), type == QEvent::MouseMove ? Qt::NoButton : button,
                  buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
inline void Move(QWidget* w, QPoint pt) { Mouse(w, QEvent::MouseMove, pt); }
inline void Press(QWidget* w, QPoint pt) { Mouse(w, QEvent::MouseButtonPress, pt); }
inline void Release(QWidget* w, QPoint pt) { Mouse(w, QEvent::MouseButtonRelease, pt); }
inline void Enter(QWidget* w) {
    QEnterEvent e(QPointF(1, 1), QPointF(1, 1), QPointF(w->mapToGlobal(QPoint(1, 1))));
    QApplication::sendEvent(w, &e);
}
inline void Leave(QWidget* w) {
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

inline QString ScreenshotPath(const QString& file) {
    const QString dir = QStringLiteral(KBCONF_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    return dir + u'/' + file;
}

}  // namespace wtest
