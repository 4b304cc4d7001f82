#include "ui/ResourceProvider.h"

#include <QGuiApplication>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ui {

namespace {
// Base name up to the last dot: "bg_png.png" -> "bg_png", "a.b.xml" -> "a.b".
QString BaseName(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot <= 0 ? fileName : fileName.left(dot);
}
}  // namespace

ResourceProvider::ResourceProvider(QString rootFolder) : root_(std::move(rootFolder)) {}

void ResourceProvider::Split(const QString& resName, QString* type, QString* name) {
    const qsizetype colon = resName.indexOf(u':');
    if (colon < 0) {
        *type = QStringLiteral("img");
        *name = resName;
    } else {
        *type = resName.left(colon).toLower();
        *name = resName.mid(colon + 1);
    }
}

const QStringList& ResourceProvider::Listing(const QString& type) const {
    auto it = listings_.find(type);
    if (it != listings_.end()) return *it;

    // The folder is the type in lower case; a folder written in other case is accepted too.
    QDir root(root_);
    QString folder = root.filePath(type);
    if (!QFileInfo(folder).isDir()) {
        folder.clear();
        const QStringList dirs = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& d : dirs)
            if (d.compare(type, Qt::CaseInsensitive) == 0) {
                folder = root.filePath(d);
                break;
            }
    }
    QStringList files;
    if (!folder.isEmpty()) files = QDir(folder).entryList(QDir::Files | QDir::Readable, QDir::Name);
    typeFolders_.insert(type, folder);
    return *listings_.insert(type, files);
}

QString ResourceProvider::FindFile(const QString& type, const QString& name) const {
    if (name.isEmpty()) return {};
    const QStringList& files = Listing(type);
    const QString folder = typeFolders_.value(type);
    for (const QString& f : files)
        if (BaseName(f) == name) return QDir(folder).filePath(f);
    for (const QString& f : files)
        if (BaseName(f).compare(name, Qt::CaseInsensitive) == 0) return QDir(folder).filePath(f);
    return {};
}

QString ResourceProvider::FilePath(const QString& resName) const {
    QString type, name;
    Split(resName, &type, &name);
    return FindFile(type, name);
}

QByteArray ResourceProvider::Read(const QString& resName) const {
    const QString path = FilePath(resName);
    if (path.isEmpty()) return {};
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

QImage ResourceProvider::LoadImage(const QString& resName) const {
    QString type, name;
    Split(resName, &type, &name);
    const QString hiDpi = PrefersHighDensity() ? FindFile(type, name + QStringLiteral("@2x")) : QString();
    if (!hiDpi.isEmpty()) {
        QImage img(hiDpi);
        if (!img.isNull()) {
            img.setDevicePixelRatio(2.0);
            return img;
        }
    }
    const QString path = FindFile(type, name);
    return path.isEmpty() ? QImage() : QImage(path);
}

bool ResourceProvider::PrefersHighDensity() const {
    if (preferHighDensity_ >= 0) return preferHighDensity_ == 1;
    return !qGuiApp || qGuiApp->devicePixelRatio() > 1.0;
}

QPixmap ResourceProvider::LoadPixmap(const QString& resName) const { return QPixmap::fromImage(LoadImage(resName)); }

QString ResourceProvider::RelativeFile(const QString& relPath) const {
    const QString path = QDir(root_).filePath(relPath);
    return QFileInfo(path).isFile() ? path : QString();
}

}  // namespace ui
