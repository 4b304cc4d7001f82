#pragma once
// The string, colour and skin tables ("values:string", "values:color", "values:skin").
#include <QColor>
#include <QHash>
#include <QString>
#include <QVector>
#include <utility>

#include "ui/Skin.h"

namespace ui {

class ResourceProvider;

// Named strings in file order; entry 0 is the single-instance name.
class StringTable {
public:
    bool Load(const QByteArray& xml);
    int Count() const { return int(entries_.size()); }
    const QString& NameAt(int i) const { return entries_[i].first; }
    const QString& ValueAt(int i) const { return entries_[i].second; }
    QString Value(const QString& name, const QString& fallback = {}) const;

private:
    QVector<std::pair<QString, QString>> entries_;
};

class ColorTable {
public:
    bool Load(const QByteArray& xml);
    // Invalid colour when the name is unknown.
    QColor Value(const QString& name) const { return colors_.value(name); }
    int Count() const { return int(colors_.size()); }
    // "#rgb", "#rrggbb" or "#aarrggbb"; invalid colour otherwise.
    static QColor Parse(const QString& text);

private:
    QHash<QString, QColor> colors_;
};

class SkinTable {
public:
    // Reads the skin definitions and loads their pictures through the provider.
    bool Load(const QByteArray& xml, const ResourceProvider& provider);
    // A skin by table name; a name that is not in the table but names an image
    // resource becomes a one-frame skin. Null when neither.
    SkinPtr Find(const QString& name) const;
    void Add(SkinPtr skin);
    int Count() const { return int(skins_.size()); }
    void SetProvider(const ResourceProvider* provider) { provider_ = provider; }

private:
    QHash<QString, SkinPtr> skins_;
    mutable QHash<QString, SkinPtr> imageSkins_;
    const ResourceProvider* provider_ = nullptr;
};

}  // namespace ui
