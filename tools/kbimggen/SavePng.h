#pragma once

#include <QImage>
#include <QSaveFile>
#include <QString>

// Writes through a temporary file in the same folder and renames it into place,
// so an interrupted run never leaves a torn picture behind.
inline bool SavePng(const QImage& img, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (!img.save(&file, "PNG")) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
