#include "ui/ValueTables.h"

#include <pugixml.hpp>

#include "ui/ResourceProvider.h"

namespace ui {

namespace {
bool Parse(pugi::xml_document& doc, const QByteArray& xml) {
    return !xml.isEmpty() &&
           doc.load_buffer(xml.constData(), size_t(xml.size()), pugi::parse_default, pugi::encoding_utf8);
}
QString Attr(const pugi::xml_node& n, const char* name) { return QString::fromUtf8(n.attribute(name).value()); }

QMargins ParseMargins(const QString& text) {
    const QStringList parts = text.split(u',');
    if (parts.size() != 4) return {};
    return QMargins(parts[0].trimmed().toInt(), parts[1].trimmed().toInt(), parts[2].trimmed().toInt(),
                    parts[3].trimmed().toInt());
}
}  // namespace

bool StringTable::Load(const QByteArray& xml) {
    pugi::xml_document doc;
    if (!Parse(doc, xml)) return false;
    entries_.clear();
    for (pugi::xml_node item : doc.child("string").children())
        entries_.push_back({Attr(item, "name"), Attr(item, "value")});
    return true;
}

QString StringTable::Value(const QString& name, const QString& fallback) const {
    for (const auto& e : entries_)
        if (e.first == name) return e.second;
    return fallback;
}

QColor ColorTable::Parse(const QString& text) {
    QString t = text.trimmed();
    if (!t.startsWith(u'#')) return {};
    t = t.mid(1);
    bool ok = false;
    const uint v = t.toUInt(&ok, 16);
    if (!ok) return {};
    switch (t.size()) {
    case 3:
        return QColor(int((v >> 8) & 0xF) * 17, int((v >> 4) & 0xF) * 17, int(v & 0xF) * 17);
    case 6:
        return QColor::fromRgb(QRgb(0xFF000000u | v));
    case 8:
        return QColor::fromRgba(QRgb(v));
    default:
        return {};
    }
}

bool ColorTable::Load(const QByteArray& xml) {
    pugi::xml_document doc;
    if (!ui::Parse(doc, xml)) return false;
    colors_.clear();
    for (pugi::xml_node item : doc.child("color").children()) {
        const QColor c = Parse(Attr(item, "value"));
        if (c.isValid()) colors_.insert(Attr(item, "name"), c);
    }
    return true;
}

bool SkinTable::Load(const QByteArray& xml, const ResourceProvider& provider) {
    provider_ = &provider;
    pugi::xml_document doc;
    if (!ui::Parse(doc, xml)) return false;
    for (pugi::xml_node n : doc.child("skin").children()) {
        const QString name = Attr(n, "name");
        if (name.isEmpty()) continue;
        QPixmap pm = provider.LoadPixmap(Attr(n, "src"));
        if (pm.isNull()) continue;
        const int states = n.attribute("states").as_int(1);
        skins_.insert(name, std::make_shared<Skin>(name, pm, states, n.attribute("vertical").as_int(0) != 0,
                                                   ParseMargins(Attr(n, "margin"))));
    }
    return true;
}

void SkinTable::Add(SkinPtr skin) {
    if (skin) skins_.insert(skin->Name(), std::move(skin));
}

SkinPtr SkinTable::Find(const QString& name) const {
    if (name.isEmpty()) return {};
    if (auto it = skins_.find(name); it != skins_.end()) return *it;
    if (auto it = imageSkins_.find(name); it != imageSkins_.end()) return *it;
    if (!provider_) return {};
    QPixmap pm = provider_->LoadPixmap(name);
    if (pm.isNull()) return {};
    auto skin = std::make_shared<Skin>(name, pm, 1, false);
    imageSkins_.insert(name, skin);
    return skin;
}

}  // namespace ui
