// kbconf-uiview: opens a layout of the resource folder the way the program builds it,
// for people working on the resources.
//
//   kbconf-uiview [--uires DIR] [--lang lang_cn] [--shot FILE.png] [--scale 2] LAYOUT:NAME
//
// With --shot the layout is rendered offscreen into FILE and the tool exits.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QImage>
#include <cstdio>

#include "ui/HostWindow.h"
#include "ui/UiApp.h"
#include "widgets/CustomWidgets.h"

int main(int argc, char** argv) {
    bool shot = false;
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "--shot") == 0) shot = true;
    if (shot && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);

    QCommandLineParser cl;
    cl.addHelpOption();
    cl.addOption({"uires", "Resource folder.", "dir", QDir::current().filePath("uires")});
    cl.addOption({"lang", "Translation to install (lang_en, lang_cn).", "name"});
    cl.addOption({"shot", "Render into this PNG and exit.", "file"});
    cl.addOption({"scale", "Device pixel ratio of the PNG.", "n", "1"});
    cl.addPositionalArgument("layout", "Layout resource, e.g. LAYOUT:XML_MAINWND.");
    cl.process(qapp);
    if (cl.positionalArguments().size() != 1) cl.showHelp(1);

    ui::UiApp app(cl.value("uires"), shot);
    RegisterCustomWidgets(app);
    app.LoadUiDef(QStringLiteral("UIDEF:XML_INIT"));
    if (cl.isSet("lang") && !app.SetLanguage(cl.value("lang"))) {
        std::fprintf(stderr, "translation %s did not load\n", qPrintable(cl.value("lang")));
        return 1;
    }

    ui::HostWindow window(cl.positionalArguments().first());
    if (!window.Create()) {
        std::fprintf(stderr, "layout %s did not load\n", qPrintable(cl.positionalArguments().first()));
        return 1;
    }
    if (!shot) {
        window.show();
        return qapp.exec();
    }
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.show();
    QApplication::processEvents();
    const int scale = qMax(1, cl.value("scale").toInt());
    QImage img(window.size() * scale, QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(scale);
    img.fill(Qt::black);
    window.render(&img);
    if (!img.save(cl.value("shot"))) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(cl.value("shot")));
        return 1;
    }
    return 0;
}
