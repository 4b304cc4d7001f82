#pragma once
// Maps resource names "TYPE:NAME" to files of the resource folder:
// <root>/<type in lower case>/<NAME>.<any extension>. The type is case-insensitive;
// the name is matched exactly first, then case-insensitively.
#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QStringList>

namespace ui {

class ResourceProvider {
public:
    explicit ResourceProvider(QString rootFolder);

    const QString& Root() const { return root_; }

    // Full path of the file behind a resource name, or an empty string.
    // A name without "TYPE:" is taken as an image ("img:NAME").
    QString FilePath(const QString& resName) const;
    bool Exists(const QString& resName) const { return !FilePath(resName).isEmpty(); }

    // Whole file content; empty when the resource does not exist or cannot be read.
    QByteArray Read(const QString& resName) const;

    // Image resources. On a high-density screen a "NAME@2x" twin, when present, is
    // loaded instead and marked with device pixel ratio 2, so that it draws at the
    // same layout size; elsewhere decoding four times the pixels buys nothing.
    QPixmap LoadPixmap(const QString& resName) const;
    QImage LoadImage(const QString& resName) const;

    // Whether twins are preferred; by default, when the application's device
    // pixel ratio is above 1 (or there is no GUI application).
    void SetPreferHighDensity(bool prefer) { preferHighDensity_ = prefer ? 1 : 0; }
    bool PrefersHighDensity() const;

    // Path of a file relative to the root folder ("uidef/kbconf.qss"), or empty.
    QString RelativeFile(const QString& relPath) const;

    // Forget cached folder listings (after files were added or removed).
    void Refresh() { listings_.clear(); }

    // Splits "TYPE:NAME"; a missing type gives "img".
    static void Split(const QString& resName, QString* type, QString* name);

private:
    const QStringList& Listing(const QString& type) const;
    QString FindFile(const QString& type, const QString& name) const;

    QString root_;
    int preferHighDensity_ = -1;                    // -1: from the screen
    mutable QHash<QString, QStringList> listings_;  // lower-case type -> sorted file names
    mutable QHash<QString, QString> typeFolders_;   // lower-case type -> folder path
};

}  // namespace ui
