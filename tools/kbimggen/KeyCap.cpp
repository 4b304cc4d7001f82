#include "KeyCap.h"

#include <pugixml.hpp>

#include <cstdio>

bool LoadKeyboardSheet(const QString& path, KeyboardSheet& out) {
    pugi::xml_document doc;
    if (!doc.load_file(path.toUtf8().constData())) return false;
    pugi::xml_node root = doc.child("positions");
    if (!root) return false;
    out = KeyboardSheet{};
    out.width = root.attribute("width").as_int();
    out.height = root.attribute("height").as_int();
    for (pugi::xml_node n : root.children()) {
        if (n.type() != pugi::node_element) continue;
        KeyCap k;
        k.id = n.attribute("id").as_int(-1);
        k.va = n.attribute("va").as_int(-1);
        k.name = QString::fromUtf8(n.attribute("name").value());
        int x = 0, y = 0, w = 0, h = 0;
        std::sscanf(n.attribute("rect").value(), "%d,%d,%d,%d", &x, &y, &w, &h);
        k.rect = QRect(x, y, w, h);
        k.cap = QString::fromUtf8(n.attribute("cap").value());
        k.cap2 = QString::fromUtf8(n.attribute("cap2").value());
        out.keys.push_back(k);
    }
    return out.width > 0 && out.height > 0;
}
