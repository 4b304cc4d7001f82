#include "ui/LayoutLoader.h"

#include <QCoreApplication>

#include <QAbstractButton>
#include <QBuffer>
#include <QLabel>
#include <QVariantMap>
#include <pugixml.hpp>
#include <sstream>

#include "ui/AttributeSink.h"
#include "ui/Events.h"
#include "ui/NamedIds.h"
#include "ui/ResourceProvider.h"
#include "ui/SComboBox.h"
#include "ui/SListView.h"
#include "ui/SWindow.h"
#include "ui/TranslatorManager.h"
#include "ui/UiApp.h"
#include "ui/WidgetTree.h"

namespace ui {

namespace {

constexpr char kAttrPrefix[] = "kba_";

// String properties that Qt itself handles; every other string property is a
// layout attribute for our widgets.
bool IsQtTextProperty(std::string_view name) {
    static const char* const keep[] = {"text",
                                       "title",
                                       "windowTitle",
                                       "toolTip",
                                       "statusTip",
                                       "whatsThis",
                                       "placeholderText",
                                       "styleSheet",
                                       "objectName",
                                       "accessibleName",
                                       "accessibleDescription",
                                       "inputMask",
                                       "plainText",
                                       "html"};
    for (const char* k : keep)
        if (name == k) return true;
    return false;
}

QSize GeometrySize(const pugi::xml_node& widget) {
    for (pugi::xml_node p : widget.children("property"))
        if (std::string_view(p.attribute("name").value()) == "geometry") {
            pugi::xml_node r = p.child("rect");
            return QSize(r.child("width").text().as_int(), r.child("height").text().as_int());
        }
    return {};
}

void MarkAttributes(pugi::xml_node node) {
    for (pugi::xml_node p : node.children("property")) {
        pugi::xml_attribute name = p.attribute("name");
        if (p.child("string") && !IsQtTextProperty(name.value()) &&
            std::string_view(name.value()).rfind(kAttrPrefix, 0) != 0)
            name.set_value((std::string(kAttrPrefix) + name.value()).c_str());
    }
    for (pugi::xml_node c : node.children()) MarkAttributes(c);
}

std::string ToString(const pugi::xml_node& node) {
    std::ostringstream os;
    node.print(os, "", pugi::format_raw);
    return os.str();
}

QString ResolveStringRef(const QString& v) {
    if (v.startsWith(QStringLiteral("@string/")) && UiApp::Current())
        return UiApp::Current()->Strings().Value(v.mid(8), v);
    return v;
}

void ApplyOne(QWidget* w, const QString& context) {
    // Widgets that translate texts of their own (headers) look their context up here.
    w->setProperty("kbLayoutContext", context);
    // Texts: remembered with their English source so that language switches re-apply them.
    static const char* const texts[] = {"text", "title", "windowTitle", "toolTip", "placeholderText"};
    for (const char* prop : texts) {
        if (qstrcmp(prop, "text") == 0 && !qobject_cast<QLabel*>(w) && !qobject_cast<QAbstractButton*>(w) &&
            !qobject_cast<SWindow*>(w))
            continue;
        const QVariant v = w->property(prop);
        if (v.typeId() != QMetaType::QString) continue;
        const QString source = ResolveStringRef(v.toString());
        if (!source.isEmpty()) SetTrText(w, context, source, prop);
    }

    if (auto* combo = qobject_cast<SComboBox*>(w)) combo->TranslateLayoutItems(context);

    auto* sink = dynamic_cast<AttributeSink*>(w);
    const QList<QByteArray> names = w->dynamicPropertyNames();
    for (const QByteArray& raw : names) {
        if (!raw.startsWith(kAttrPrefix)) continue;
        const QString value = ResolveStringRef(w->property(raw.constData()).toString());
        w->setProperty(raw.constData(), QVariant());
        const QByteArray original = raw.mid(int(sizeof(kAttrPrefix)) - 1);
        const QString name = QString::fromLatin1(original).toLower();
        if (sink && sink->SetAttribute(name, value)) continue;  // a class's own meaning comes first
        if (name == u"id")
            SetWidgetId(w, ParseInt(value));
        else if (name == u"tip")
            SetTrText(w, context, value, "toolTip");
        else if (name == u"class")
            w->setProperty("class", value);
        else if (name == u"visible" || name == u"show")
            w->setVisible(ParseInt(value, 1) != 0);
        else if (name == u"enable")
            w->setEnabled(ParseInt(value, 1) != 0);
        else if (name == u"checked" && qobject_cast<QAbstractButton*>(w))
            static_cast<QAbstractButton*>(w)->setChecked(ParseInt(value) != 0);
        else
            w->setProperty(original.constData(), value);  // kept for code that asks for it
    }
}

void ApplyTree(QWidget* w, const QString& context) {
    ApplyOne(w, context);
    for (QObject* c : w->children())
        if (c->isWidgetType()) ApplyTree(static_cast<QWidget*>(c), context);
}

void CreateTree(QWidget* w) {
    if (auto* sink = dynamic_cast<AttributeSink*>(w)) sink->OnCreate();
    for (QObject* c : w->children())
        if (c->isWidgetType()) CreateTree(static_cast<QWidget*>(c));
}

}  // namespace

namespace {

// Our layouts name only our own classes and Qt's built-in widgets. The base
// loader would load every designer plugin installed on the system while it is
// constructed (a QML view among them, with all of QML behind it), costing
// start-up time and memory for nothing; with no library path it finds none.
class NoDesignerPlugins {
public:
    NoDesignerPlugins() : saved_(QCoreApplication::libraryPaths()) { QCoreApplication::setLibraryPaths({}); }
    ~NoDesignerPlugins() { QCoreApplication::setLibraryPaths(saved_); }

private:
    QStringList saved_;
};

}  // namespace

// The guard lives until the base constructor has returned (the end of the
// full-expression that initialises it).
LayoutLoader::LayoutLoader(UiApp& app, QObject* parent) : QUiLoader((NoDesignerPlugins(), parent)), app_(app) {
    setTranslationEnabled(false);  // we translate per layout context ourselves
    clearPluginPaths();
}

QWidget* LayoutLoader::LoadLayout(const QString& resName, QWidget* parent, const QString& context) {
    QString type, name;
    ResourceProvider::Split(resName, &type, &name);
    const QByteArray xml = app_.Provider().Read(resName);
    if (xml.isEmpty()) {
        error_ = QStringLiteral("layout not found: ") + resName;
        return nullptr;
    }
    return LoadXml(xml, parent, context.isEmpty() ? name : context);
}

QWidget* LayoutLoader::LoadXml(const QByteArray& uiXml, QWidget* parent, const QString& context) {
    error_.clear();
    unknown_.clear();
    templates_.clear();
    context_ = context;

    pugi::xml_document doc;
    if (!doc.load_buffer(uiXml.constData(), size_t(uiXml.size()))) {
        error_ = QStringLiteral("layout is not valid XML");
        return nullptr;
    }
    // Row templates leave the tree before Qt sees it; each list view gets its own.
    for (pugi::xpath_node xn : doc.select_nodes("//widget[@class='listview' or @class='mclistview']")) {
        pugi::xml_node list = xn.node();
        for (pugi::xml_node child : list.children("widget")) {
            if (std::string_view(child.attribute("name").value()) != "template") continue;
            MarkAttributes(child);
            const std::string ui = "<ui version=\"4.0\">" + ToString(child) + "</ui>";
            templates_.insert(QString::fromUtf8(list.attribute("name").value()),
                              RowTemplate(QByteArray::fromStdString(ui), context, GeometrySize(child)));
            list.remove_child(child);
            break;
        }
    }
    MarkAttributes(doc);

    EventMute mute;  // widgets filled from the layout are no user's choice
    std::ostringstream os;
    doc.save(os, "", pugi::format_raw);
    QByteArray bytes = QByteArray::fromStdString(os.str());
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QWidget* root = load(&buffer, parent);
    if (!root) {
        error_ = QUiLoader::errorString();
        return nullptr;
    }
    for (auto it = templates_.begin(); it != templates_.end(); ++it)
        if (auto* list = qobject_cast<SListView*>(FindChildByName(root, it.key()))) list->SetRowTemplate(*it);
    FinishTree(root, context);
    return root;
}

void LayoutLoader::FinishTree(QWidget* root, const QString& context) {
    ApplyTree(root, context);
    CreateTree(root);
}

QWidget* LayoutLoader::createWidget(const QString& className, QWidget* parent, const QString& name) {
    QWidget* w = app_.CreateWidget(className, parent);
    if (!w && availableWidgets().contains(className)) w = QUiLoader::createWidget(className, parent, name);
    if (!w) {
        unknown_ << className;
        w = new SWindow(parent);
    }
    w->setObjectName(name);
    if (int id = FindNamedId(name.toStdString()); id != 0) SetWidgetId(w, id);
    const QString cls = ClassName(w);
    if (!cls.isEmpty()) w->setProperty("kbclass", cls);  // style sheets select on it
    return w;
}

QWidget* RowTemplate::BuildInto(QWidget* row) const {
    if (xml_.isEmpty() || !row || !UiApp::Current()) return nullptr;
    LayoutLoader loader(*UiApp::Current());
    QWidget* root = loader.LoadXml(xml_, row, context_);
    if (root) {
        root->setGeometry(0, 0, row->width(), row->height());
        root->show();
    }
    return root;
}

}  // namespace ui
