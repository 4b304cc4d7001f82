#pragma once
// Layout attributes that are not Qt properties reach a widget through this
// interface: the loader hands over every such attribute (name in lower case,
// value as text), then calls OnCreate once the whole tree exists.
#include <QString>

namespace ui {

class AttributeSink {
public:
    virtual ~AttributeSink() = default;
    // True when the widget took the attribute.
    virtual bool SetAttribute(const QString& nameLower, const QString& value) = 0;
    virtual void OnCreate() {}
};

// Integer attribute text: decimal or with a "0x" prefix, optional sign.
int ParseInt(const QString& text, int fallback = 0);
// "x,y" (missing parts are 0).
void ParsePair(const QString& text, int* x, int* y);

}  // namespace ui
