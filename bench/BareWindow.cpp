// The baseline for kbconf's start-up figures: a bare Qt Widgets window of the
// main window's size, saying on standard output when it is on screen.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget w;
    w.resize(1040, 700);
    w.setWindowTitle(QStringLiteral("bare"));
    w.show();
    QTimer::singleShot(0, [] {
        std::printf("shown\n");
        std::fflush(stdout);
    });
    return app.exec();
}
