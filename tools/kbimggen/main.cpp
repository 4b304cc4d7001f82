// kbimggen: draws the keyboard pictures and the skins of uires from their sources
// (uires/keyboard/keyboard.xml and tools/kbimggen/art). See tools/README.md.
#include "KeyCap.h"
#include "KeyboardRenderer.h"
#include "SavePng.h"
#include "SkinRenderer.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv) {
    // Drawing needs fonts, not a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: kbimggen <uires folder> [<art folder>]\n");
        return 2;
    }
    const QDir uires(args.at(1));
    const QString art = args.size() > 2 ? args.at(2) : QStringLiteral(KBIMGGEN_ART_DIR);

    KeyboardSheet sheet;
    const QString positions = uires.filePath("keyboard/keyboard.xml");
    if (!LoadKeyboardSheet(positions, sheet)) {
        std::fprintf(stderr, "kbimggen: cannot read %s\n", qPrintable(positions));
        return 1;
    }
    KeyboardRenderer keyboard(sheet);
    for (int scale : {1, 2}) {
        const QString suffix = scale == 1 ? ".png" : "@2x.png";
        const bool ok =
            SavePng(keyboard.Background(scale), uires.filePath("keyboard/bg" + suffix)) &&
            SavePng(keyboard.Keys(KeyboardRenderer::Look::Hover, scale), uires.filePath("keyboard/chking" + suffix)) &&
            SavePng(keyboard.Keys(KeyboardRenderer::Look::Checked, scale), uires.filePath("keyboard/chked" + suffix));
        if (!ok) {
            std::fprintf(stderr, "kbimggen: cannot write the keyboard pictures\n");
            return 1;
        }
    }
    SkinRenderer skins(uires, art);
    if (!skins.RenderAll()) {
        std::fprintf(stderr, "kbimggen: cannot write the skins\n");
        return 1;
    }
    std::printf("kbimggen: %zu keys, pictures written to %s\n", sheet.keys.size(), qPrintable(uires.absolutePath()));
    return 0;
}
