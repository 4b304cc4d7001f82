#pragma once

#include <QColor>

// The one palette every generated picture is drawn with; uires/values/color.xml
// and uires/uidef/kbconf.qss use the same values.
namespace Palette {
inline const QColor window{0x0F, 0x11, 0x15};
inline const QColor panel{0x17, 0x1A, 0x21};
inline const QColor raised{0x1E, 0x22, 0x2B};
inline const QColor border{0x2A, 0x2F, 0x3A};
inline const QColor text{0xE6, 0xE9, 0xEF};
inline const QColor textDim{0x8A, 0x93, 0xA6};
inline const QColor accent{0x1E, 0xC8, 0xFF};
inline const QColor accentHover{0x5A, 0xD8, 0xFF};
inline const QColor accentDeep{0x0E, 0x8F, 0xBF};
inline const QColor danger{0xFF, 0x4D, 0x5E};
}  // namespace Palette
