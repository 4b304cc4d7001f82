#include "ui/UiApp.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QRegularExpression>
#include <pugixml.hpp>

#include "ui/BuiltinWidgets.h"

namespace ui {

namespace {
UiApp* g_current = nullptr;
}

UiApp::UiApp(const QString& uiresFolder, bool manualTimeline)
    : provider_(uiresFolder), timeline_(std::make_unique<Timeline>(manualTimeline)) {
    previous_ = g_current;
    previousSearchPaths_ = QDir::searchPaths(QStringLiteral("uires"));
    g_current = this;
    // The style sheet names its pictures "uires:img/…".
    QDir::setSearchPaths(QStringLiteral("uires"), {uiresFolder});
    skins_.SetProvider(&provider_);
    strings_.Load(provider_.Read(QStringLiteral("values:string")));
    colors_.Load(provider_.Read(QStringLiteral("values:color")));
    skins_.Load(provider_.Read(QStringLiteral("values:skin")), provider_);
    RegisterBuiltinWidgets(*this);
}

UiApp::~UiApp() {
    // A short-lived object (a tool, a test) hands the role back to the one before it.
    if (g_current == this) {
        g_current = previous_;
        QDir::setSearchPaths(QStringLiteral("uires"), previousSearchPaths_);
    }
}

UiApp* UiApp::Current() { return g_current; }

bool UiApp::LoadUiDef(const QString& resName) {
    const QByteArray xml = provider_.Read(resName);
    pugi::xml_document doc;
    if (xml.isEmpty() || !doc.load_buffer(xml.constData(), size_t(xml.size()))) return false;
    pugi::xml_node root = doc.child("uidef");
    if (!root) return false;

    if (pugi::xml_node font = root.child("font")) {
        QFont f = QApplication::font();
        const QString face = QString::fromUtf8(font.attribute("face").value());
        if (!face.isEmpty())
            f.setFamilies({face, QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")});
        if (int size = font.attribute("size").as_int(0); size > 0) f.setPointSize(size);
        QApplication::setFont(f);
    }
    styleSheet_.clear();
    for (pugi::xml_node style : root.children("style")) {
        QFile f(provider_.RelativeFile(QString::fromUtf8(style.attribute("src").value())));
        if (f.open(QIODevice::ReadOnly)) styleSheet_ += QString::fromUtf8(f.readAll()) + u'\n';
    }
    // "@color/NAME" in the style sheet names an entry of the colour table.
    static const QRegularExpression ref(QStringLiteral("@color/([A-Za-z0-9_]+)"));
    QString resolved;
    qsizetype last = 0;
    for (auto it = ref.globalMatch(styleSheet_); it.hasNext();) {
        const auto m = it.next();
        resolved += styleSheet_.mid(last, m.capturedStart() - last);
        const QColor c = colors_.Value(m.captured(1));
        resolved += c.isValid() ? c.name(QColor::HexArgb) : m.captured(0);
        last = m.capturedEnd();
    }
    resolved += styleSheet_.mid(last);
    styleSheet_ = resolved;
    if (qApp) qApp->setStyleSheet(styleSheet_);
    return true;
}

bool UiApp::SetLanguage(const QString& name) {
    // Qt's language-change event re-applies every remembered text (TranslatorManager).
    return translators_.InstallFromResource(provider_, name);
}

void UiApp::RegisterWidget(const QString& className, WidgetFactory factory) {
    factories_.insert(className.toLower(), std::move(factory));
}

QWidget* UiApp::CreateWidget(const QString& className, QWidget* parent) const {
    auto it = factories_.find(className.toLower());
    return it == factories_.end() ? nullptr : (*it)(parent);
}

bool UiApp::HasWidget(const QString& className) const { return factories_.contains(className.toLower()); }

SkinPtr UiApp::FindSkin(const QString& name) { return g_current ? g_current->skins_.Find(name) : SkinPtr(); }

QPixmap UiApp::FindImage(const QString& resName) {
    return g_current ? g_current->provider_.LoadPixmap(resName) : QPixmap();
}

int ParseInt(const QString& text, int fallback) {
    QString t = text.trimmed();
    bool neg = false;
    if (t.startsWith(u'-') || t.startsWith(u'+')) {
        neg = t.startsWith(u'-');
        t = t.mid(1);
    }
    bool ok = false;
    const qlonglong v =
        t.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive) ? t.mid(2).toLongLong(&ok, 16) : t.toLongLong(&ok, 10);
    if (!ok) return fallback;
    return int(neg ? -v : v);
}

void ParsePair(const QString& text, int* x, int* y) {
    const QStringList parts = text.split(u',');
    *x = parts.size() > 0 ? ParseInt(parts[0], 0) : 0;
    *y = parts.size() > 1 ? ParseInt(parts[1], 0) : 0;
}

}  // namespace ui
