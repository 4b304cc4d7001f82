#pragma once

#include <QRect>
#include <QString>

#include <vector>

// One key of the coordinate file, with the legends only the generator reads.
struct KeyCap {
    int id = -1;
    int va = -1;
    QString name;
    QRect rect;    // 1x pixels
    QString cap;   // main legend, or "@symbol"
    QString cap2;  // small legend above the main one
};

struct KeyboardSheet {
    int width = 0;
    int height = 0;
    std::vector<KeyCap> keys;
};

// Reads the coordinate file; false when it cannot be read or has no "positions".
bool LoadKeyboardSheet(const QString& path, KeyboardSheet& out);
