#include "SkinRenderer.h"

#include "KeyboardRenderer.h"
#include "Palette.h"
#include "SavePng.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QSvgRenderer>

#include <cmath>

namespace {

QColor Mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t, a.alphaF() + (b.alphaF() - a.alphaF()) * t);
}

QColor Alpha(QColor c, int a) {
    c.setAlpha(a);
    return c;
}

// Page icons of the assignment dialog's tabs, drawn in `c` into `b`.
void TabIcon(QPainter& p, int page, const QRectF& b, const QColor& c) {
    p.setPen(QPen(c, b.width() / 12.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const double x = b.left(), y = b.top(), w = b.width(), h = b.height();
    switch (page) {
    case 0: {  // macro: a list of steps with a play mark
        for (int i = 0; i < 3; ++i)
            p.drawLine(QPointF(x + w * 0.1, y + h * (0.25 + i * 0.25)),
                       QPointF(x + w * 0.55, y + h * (0.25 + i * 0.25)));
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        QPainterPath t;
        t.moveTo(x + w * 0.66, y + h * 0.3);
        t.lineTo(x + w * 0.95, y + h * 0.5);
        t.lineTo(x + w * 0.66, y + h * 0.7);
        t.closeSubpath();
        p.drawPath(t);
        break;
    }
    case 1:  // single key: one keycap
        p.drawRoundedRect(QRectF(x + w * 0.15, y + h * 0.15, w * 0.7, h * 0.7), w * 0.12, w * 0.12);
        p.drawLine(QPointF(x + w * 0.38, y + h * 0.62), QPointF(x + w * 0.62, y + h * 0.62));
        break;
    case 2: {  // media key: a note
        p.drawLine(QPointF(x + w * 0.42, y + h * 0.72), QPointF(x + w * 0.42, y + h * 0.14));
        p.drawLine(QPointF(x + w * 0.42, y + h * 0.14), QPointF(x + w * 0.8, y + h * 0.26));
        p.setBrush(c);
        p.drawEllipse(QPointF(x + w * 0.3, y + h * 0.74), w * 0.13, h * 0.11);
        break;
    }
    default:  // function: two keys joined
        p.drawRoundedRect(QRectF(x + w * 0.05, y + h * 0.3, w * 0.36, h * 0.4), w * 0.08, w * 0.08);
        p.drawRoundedRect(QRectF(x + w * 0.59, y + h * 0.3, w * 0.36, h * 0.4), w * 0.08, w * 0.08);
        p.drawLine(QPointF(x + w * 0.44, y + h * 0.5), QPointF(x + w * 0.56, y + h * 0.5));
        break;
    }
}

}  // namespace

bool SkinRenderer::Strip(const QString& file, QSize frame, int frames, const FrameFn& draw) {
    for (int scale : {1, 2}) {
        QImage img(frame.width() * frames * scale, frame.height() * scale, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        img.setDevicePixelRatio(scale);
        {
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing);
            for (int i = 0; i < frames; ++i) {
                p.save();
                const QRectF r(i * frame.width(), 0, frame.width(), frame.height());
                p.setClipRect(r);
                draw(p, r, i);
                p.restore();
            }
        }
        const QString path = uires_.filePath(scale == 1 ? file + ".png" : file + "@2x.png");
        if (!SavePng(img, path)) return false;
    }
    return true;
}

bool SkinRenderer::TitleButtons() {
    // Frames: normal, hover, pushed, disabled.
    auto button = [](QPainter& p, const QRectF& r, int f, const QColor& hot,
                     const std::function<void(QPainter&, const QRectF&)>& glyph) {
        if (f == 1 || f == 2) {
            p.setPen(Qt::NoPen);
            p.setBrush(f == 1 ? hot : hot.darker(130));
            p.drawRoundedRect(r.adjusted(2, 2, -2, -2), 6, 6);
        }
        QColor ink = f == 0 ? Palette::textDim : f == 3 ? QColor(0x4A, 0x50, 0x5C) : Palette::text;
        p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QRectF g(0, 0, 12, 12);
        g.moveCenter(r.center());
        glyph(p, g);
    };
    const QSize size(40, 32);
    bool ok = Strip("img/btn_close", size, 4, [&](QPainter& p, const QRectF& r, int f) {
        button(p, r, f, Palette::danger, [](QPainter& q, const QRectF& g) {
            q.drawLine(g.topLeft(), g.bottomRight());
            q.drawLine(g.topRight(), g.bottomLeft());
        });
    });
    ok = ok && Strip("img/btn_min", size, 4, [&](QPainter& p, const QRectF& r, int f) {
             button(p, r, f, Palette::raised.lighter(140), [](QPainter& q, const QRectF& g) {
                 q.drawLine(QPointF(g.left(), g.center().y() + 3), QPointF(g.right(), g.center().y() + 3));
             });
         });
    ok = ok && Strip("img/btn_more", size, 4, [&](QPainter& p, const QRectF& r, int f) {
             button(p, r, f, Palette::raised.lighter(140), [](QPainter& q, const QRectF& g) {
                 for (int i = 0; i < 3; ++i)
                     q.drawLine(QPointF(g.left(), g.top() + 2 + i * 4), QPointF(g.right(), g.top() + 2 + i * 4));
             });
         });
    ok = ok && Strip("img/btn_restore", size, 4, [&](QPainter& p, const QRectF& r, int f) {
             button(p, r, f, Palette::raised.lighter(140), [](QPainter& q, const QRectF& g) {
                 q.drawRect(QRectF(g.left(), g.top() + 3, 9, 9));
                 q.drawPolyline(QPolygonF({QPointF(g.left() + 3, g.top() + 3), QPointF(g.left() + 3, g.top()),
                                           QPointF(g.right(), g.top()), QPointF(g.right(), g.top() + 9),
                                           QPointF(g.left() + 9, g.top() + 9)}));
             });
         });
    return ok;
}

bool SkinRenderer::Switches() {
    // Whole-button pictures for "checkex"/"radioex": normal, hover, pushed, checked.
    auto pill = [](QPainter& p, const QRectF& r, int f, const QColor& on) {
        const QRectF b = r.adjusted(1, 1, -1, -1);
        QColor fill = Palette::raised, edge = Palette::border;
        if (f == 1) edge = Palette::accent;
        if (f == 2) fill = Palette::panel, edge = Palette::accentDeep;
        if (f == 3) fill = Mix(Palette::raised, on, 0.22), edge = on;
        p.setPen(QPen(edge, 1));
        p.setBrush(fill);
        p.drawRoundedRect(b.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    };
    bool ok = Strip("img/chk_record", QSize(150, 32), 4,
                    [&](QPainter& p, const QRectF& r, int f) { pill(p, r, f, Palette::danger); });
    ok = ok && Strip("img/radio_delay", QSize(132, 28), 4,
                     [&](QPainter& p, const QRectF& r, int f) { pill(p, r, f, Palette::accent); });
    // Icons: 0..3 unchecked normal, hover, pushed, disabled; 4..7 the same checked.
    ok = ok && Strip("img/icon_record", QSize(14, 14), 8, [&](QPainter& p, const QRectF& r, int f) {
             const bool checked = f >= 4;
             const int s = f % 4;
             QColor c = checked ? Palette::danger : QColor(0x9A, 0x4A, 0x52);
             if (s == 1) c = c.lighter(125);
             if (s == 3) c = QColor(0x4A, 0x50, 0x5C);
             if (checked && s != 3) {
                 p.setPen(QPen(Alpha(Palette::danger, 110), 1.5));
                 p.setBrush(Qt::NoBrush);
                 p.drawEllipse(r.center(), 6, 6);
             }
             p.setPen(Qt::NoPen);
             p.setBrush(c);
             p.drawEllipse(r.center(), 4, 4);
         });
    ok = ok && Strip("img/icon_radio", QSize(14, 14), 8, [&](QPainter& p, const QRectF& r, int f) {
             const bool checked = f >= 4;
             const int s = f % 4;
             QColor edge = s == 3    ? QColor(0x4A, 0x50, 0x5C)
                           : checked ? Palette::accent
                           : s == 1  ? Palette::accentHover
                                     : Palette::textDim;
             p.setPen(QPen(edge, 1.4));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(r.center(), 5.5, 5.5);
             if (checked) {
                 p.setPen(Qt::NoPen);
                 p.setBrush(edge);
                 p.drawEllipse(r.center(), 2.8, 2.8);
             }
         });
    return ok;
}

bool SkinRenderer::TabSkins() {
    const char* names[] = {"macro", "single", "media", "function"};
    const int frames = 6;
    bool ok = true;
    for (int page = 0; page < 4 && ok; ++page) {
        auto frame = [page](QPainter& p, const QRectF& r, double t) {
            if (t > 0) {
                QRadialGradient halo(r.center(), r.width() / 2);
                halo.setColorAt(0, Alpha(Palette::accent, int(70 * t)));
                halo.setColorAt(1, Alpha(Palette::accent, 0));
                p.setPen(Qt::NoPen);
                p.setBrush(halo);
                p.drawEllipse(r);
            }
            const double grow = 1.0 + 0.12 * t;
            QRectF g(0, 0, r.width() * 0.7 * grow, r.height() * 0.7 * grow);
            g.moveCenter(r.center());
            TabIcon(p, page, g, Mix(Palette::textDim, Palette::accent, t));
        };
        const QString base = QString("img/tab_%1").arg(names[page]);
        ok = Strip(base + "_in", QSize(20, 20), frames,
                   [&](QPainter& p, const QRectF& r, int f) { frame(p, r, f / double(frames - 1)); });
        ok = ok && Strip(base + "_out", QSize(20, 20), frames,
                         [&](QPainter& p, const QRectF& r, int f) { frame(p, r, 1.0 - f / double(frames - 1)); });
    }
    // Resting icons, one frame per page, for the tab control's icon skin.
    ok = ok && Strip("img/tab_icons", QSize(20, 20), 4, [&](QPainter& p, const QRectF& r, int f) {
             QRectF g(0, 0, r.width() * 0.7, r.height() * 0.7);
             g.moveCenter(r.center());
             TabIcon(p, f, g, Palette::textDim);
         });
    // Tab headers: normal, hover, selected.
    ok = ok && Strip("img/tab_item", QSize(150, 44), 3, [&](QPainter& p, const QRectF& r, int f) {
             if (f == 0) return;
             QLinearGradient g(r.topLeft(), r.bottomLeft());
             g.setColorAt(0, Alpha(Palette::accent, f == 2 ? 0 : 0));
             g.setColorAt(1, Alpha(Palette::accent, f == 2 ? 46 : 18));
             p.fillRect(r, g);
             if (f == 2) p.fillRect(QRectF(r.left() + 12, r.bottom() - 3, r.width() - 24, 3), Palette::accent);
         });
    ok = ok && Strip("img/tab_head_bg", QSize(16, 44), 1, [&](QPainter& p, const QRectF& r, int) {
             QLinearGradient g(r.topLeft(), r.bottomLeft());
             g.setColorAt(0, Palette::raised);
             g.setColorAt(1, Palette::panel);
             p.fillRect(r, g);
             p.fillRect(QRectF(r.left(), r.bottom() - 1, r.width(), 1), Palette::border);
         });
    return ok;
}

bool SkinRenderer::Logo() {
    QSvgRenderer svg(art_ + "/logo.svg");
    if (!svg.isValid()) return false;
    QImage icon(256, 256, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    {
        QPainter p(&icon);
        p.setRenderHint(QPainter::Antialiasing);
        svg.render(&p);
    }
    if (!SavePng(icon, uires_.filePath("icon/ICON_LOGO.png"))) return false;
    // Title bar logo for "anmimg": frame 0 at rest, then a shine sweeping over it.
    const int frames = 10;
    return Strip("img/logo_anim", QSize(26, 26), frames, [&](QPainter& p, const QRectF& r, int f) {
        svg.render(&p, r);
        if (f == 0) return;
        const double t = (f - 1) / double(frames - 2);
        QPainterPath clip;
        clip.addRoundedRect(r.adjusted(1, 1, -1, -1), 5, 5);
        p.setClipPath(clip, Qt::IntersectClip);
        // A narrow band of light crossing from left to right.
        const double cx = r.left() - 6 + t * (r.width() + 12);
        QLinearGradient shine(QPointF(cx - 5, r.top()), QPointF(cx + 5, r.top()));
        shine.setColorAt(0, QColor(255, 255, 255, 0));
        shine.setColorAt(0.5, QColor(255, 255, 255, 150));
        shine.setColorAt(1, QColor(255, 255, 255, 0));
        p.fillRect(r, shine);
    });
}

bool SkinRenderer::Backdrop() {
    // The assignment dialog's backdrop ("kb_macro:bg_png"): dark, with a faint
    // row of keycaps near the top and a glow of the accent in one corner.
    const QSize size(760, 540);
    for (int scale : {1, 2}) {
        QImage img(size * scale, QImage::Format_ARGB32_Premultiplied);
        img.setDevicePixelRatio(scale);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF all(QPointF(0, 0), QSizeF(size));
        QLinearGradient g(0, 0, 0, size.height());
        g.setColorAt(0, QColor(0x16, 0x19, 0x20));
        g.setColorAt(1, Palette::window);
        p.fillRect(all, g);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 20; ++x) {
                const int alpha = 8 - y * 2;
                if (alpha <= 0) continue;
                p.setPen(QPen(QColor(255, 255, 255, alpha), 1));
                p.setBrush(Qt::NoBrush);
                p.drawRoundedRect(QRectF(10 + x * 38 + (y % 2) * 19, 48 + y * 38, 32, 32), 5, 5);
            }
        QRadialGradient glow(QPointF(size.width() * 0.85, 0), size.width() * 0.6);
        glow.setColorAt(0, Alpha(Palette::accent, 36));
        glow.setColorAt(1, Alpha(Palette::accent, 0));
        p.fillRect(all, glow);
        p.end();
        if (!SavePng(img, uires_.filePath(scale == 1 ? "kb_macro/bg_png.png" : "kb_macro/bg_png@2x.png"))) return false;
    }
    return true;
}

bool SkinRenderer::MenuIcons() {
    // The drop-down arrow of combo boxes (used by the style sheet).
    bool ok = Strip("img/combo_arrow", QSize(10, 6), 1, [](QPainter& p, const QRectF& r, int) {
        p.setPen(QPen(Palette::accent, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(r.left() + 1, r.top() + 1), QPointF(r.center().x(), r.bottom() - 1),
                                  QPointF(r.right() - 1, r.top() + 1)}));
    });
    // The message box's warning sign.
    ok = ok && Strip("img/msg_warning", QSize(40, 40), 1, [](QPainter& p, const QRectF& r, int) {
             QPainterPath t;
             t.moveTo(r.center().x(), r.top() + 4);
             t.lineTo(r.right() - 3, r.bottom() - 5);
             t.lineTo(r.left() + 3, r.bottom() - 5);
             t.closeSubpath();
             p.setPen(QPen(Palette::accent, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
             p.setBrush(Alpha(Palette::accent, 40));
             p.drawPath(t);
             p.setPen(Qt::NoPen);
             p.setBrush(Palette::accent);
             p.drawRoundedRect(QRectF(r.center().x() - 1.6, r.top() + 15, 3.2, 11), 1.5, 1.5);
             p.drawEllipse(QPointF(r.center().x(), r.bottom() - 10.5), 2, 2);
         });
    ok = ok && Strip("img/menu_upgrade", QSize(16, 16), 1, [](QPainter& p, const QRectF& r, int) {
             p.setPen(QPen(Palette::accent, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(r.adjusted(1.5, 1.5, -1.5, -1.5));
             const QPointF c = r.center();
             p.drawLine(QPointF(c.x(), c.y() + 3.5), QPointF(c.x(), c.y() - 3.5));
             p.drawLine(QPointF(c.x() - 3, c.y() - 0.5), QPointF(c.x(), c.y() - 3.5));
             p.drawLine(QPointF(c.x() + 3, c.y() - 0.5), QPointF(c.x(), c.y() - 3.5));
         });
    ok = ok && Strip("img/menu_exit", QSize(16, 16), 1, [](QPainter& p, const QRectF& r, int) {
             p.setPen(QPen(Palette::danger, 1.5, Qt::SolidLine, Qt::RoundCap));
             p.setBrush(Qt::NoBrush);
             p.drawArc(r.adjusted(2, 2.5, -2, -1.5), 120 * 16, 300 * 16);
             p.drawLine(QPointF(r.center().x(), r.top() + 1.5), QPointF(r.center().x(), r.center().y()));
         });
    return ok;
}

bool SkinRenderer::RenderAll() {
    for (const char* d : {"img", "icon", "kb_macro"}) uires_.mkpath(d);
    return TitleButtons() && Switches() && TabSkins() && Logo() && Backdrop() && MenuIcons();
}
