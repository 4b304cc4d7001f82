#include "ui/SStatic.h"

namespace ui {

bool SStatic::SetAttribute(const QString& name, const QString& value) {
    if (name == u"align") {
        Qt::Alignment a = Qt::AlignVCenter;
        if (value == u"center")
            a |= Qt::AlignHCenter;
        else if (value == u"right")
            a |= Qt::AlignRight;
        else
            a |= Qt::AlignLeft;
        setAlignment(a);
        return true;
    }
    if (name == u"wrap") {
        setWordWrap(value != u"0");
        return true;
    }
    return false;
}

}  // namespace ui
