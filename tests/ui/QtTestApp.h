#pragma once
// Shared set-up for the UI layer tests: one QApplication, resource folders written
// on the spot, screenshots under <build>/screenshots.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>

namespace testutil {

inline QApplication* App() {
    static int argc = 1;
    static char name[] = "kbconf_test";
    static char* argv[] = {name, nullptr};
    // Headless unless someone asked for a display on purpose.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);
    return app;
}

inline QString SourceUires() { return QStringLiteral(KBCONF_SOURCE_DIR "/uires"); }

inline QString ScreenshotPath(const QString& file) {
    const QString dir = QStringLiteral(KBCONF_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    return dir + u'/' + file;
}

inline bool WriteFile(const QTemporaryDir& dir, const QString& rel, const QByteArray& data) {
    const QString path = dir.filePath(rel);
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

inline void Mouse(QWidget* w, QEvent::Type type, QPoint pt) {
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent e(type, QPointF(pt), QPointF(w->mapToGlobal(pt)),
                  type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Saves a widget at 1x and 2x: name.png and name@2x.png.
inline bool SaveShots(QWidget* w, const QString& name) {
    bool ok = true;
    for (int scale : {1, 2}) {
        QImage img(w->size() * scale, QImage::Format_ARGB32_Premultiplied);
        img.setDevicePixelRatio(scale);
        img.fill(QColor(0x10, 0x12, 0x16));
        w->render(&img);
        ok = img.save(ScreenshotPath(name + (scale == 2 ? "@2x.png" : ".png"))) && ok;
    }
    return ok;
}

}  // namespace testutil
