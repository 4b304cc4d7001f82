#pragma once
// One QApplication for a whole GUI test executable, created on first use.
#include <QApplication>
#include <QDir>
#include <QString>

namespace testutil {

inline QApplication* App()
{
    static int argc = 1;
    static char name[] = "kbconf_test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        auto* a = new QApplication(argc, argv);
        return a;
    }();
    return app;
}

inline QString SourceUires() { return QStringLiteral(KBCONF_SOURCE_DIR "/uires"); }

// Where rendered widgets go for people to look at.
inline QString ScreenshotPath(const QString& file)
{
    const QString dir = QStringLiteral(KBCONF_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    return dir + u'/' + file;
}

} // namespace testutil
