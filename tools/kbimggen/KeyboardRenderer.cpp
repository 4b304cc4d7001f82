#include "KeyboardRenderer.h"

#include "Palette.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

QFont LegendFont(double px, bool bold) {
    QFont f("DejaVu Sans");
    f.setPointSizeF(px * 0.75);  // sizes are given in 1x pixels at 96 dpi
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

// Legends longer than a couple of letters use the condensed face so that
// "Backspace" still fits on a 2u key.
QFont WordFont(double px) {
    QFont f("DejaVu Sans Condensed");
    f.setPointSizeF(px * 0.75);
    f.setBold(true);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

}  // namespace

QImage KeyboardRenderer::Blank(int scale) const {
    QImage img(sheet_.width * scale, sheet_.height * scale, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    img.setDevicePixelRatio(scale);
    return img;
}

QImage KeyboardRenderer::Background(int scale) const {
    QImage img = Blank(scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QRectF plate(2, 2, sheet_.width - 4, sheet_.height - 4);
    QLinearGradient body(plate.topLeft(), plate.bottomLeft());
    body.setColorAt(0, QColor(0x1C, 0x1F, 0x27));
    body.setColorAt(1, QColor(0x12, 0x14, 0x19));
    p.setPen(QPen(QColor(0x2C, 0x31, 0x3C), 1));
    p.setBrush(body);
    p.drawRoundedRect(plate.adjusted(0.5, 0.5, -0.5, -0.5), 12, 12);
    // A faint top bevel and the accent light bar along the front edge.
    p.setPen(QPen(QColor(255, 255, 255, 18), 1));
    p.drawLine(QPointF(plate.left() + 12, plate.top() + 1.5), QPointF(plate.right() - 12, plate.top() + 1.5));
    const QRectF bar(plate.left() + 40, plate.bottom() - 4, plate.width() - 80, 2);
    QLinearGradient glow(bar.topLeft(), bar.topRight());
    QColor a = Palette::accent;
    glow.setColorAt(0, QColor(a.red(), a.green(), a.blue(), 0));
    glow.setColorAt(0.5, a);
    glow.setColorAt(1, QColor(a.red(), a.green(), a.blue(), 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawRoundedRect(bar, 1, 1);

    // Lock indicators in the free corner above the number pad, right of the media keys' row.
    int padLeft = sheet_.width;
    int fRowTop = sheet_.height;
    for (const KeyCap& k : sheet_.keys) {
        if (k.va == 7 && k.id == 0x53) padLeft = k.rect.left();
        if (k.va == 7 && k.id == 0x29) fRowTop = k.rect.top();
    }
    if (padLeft < sheet_.width) {
        const char* names[] = {"NUM", "CAPS", "SCRL"};
        QFont f = LegendFont(7, true);
        p.setFont(f);
        for (int i = 0; i < 3; ++i) {
            const double cx = padLeft + 20 + i * 50;
            const double cy = fRowTop + 14;
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x2E, 0x34, 0x40));  // the program does not know the lock states
            p.drawEllipse(QPointF(cx, cy), 3, 3);
            p.setPen(Palette::textDim);
            p.drawText(QRectF(cx - 22, cy + 6, 44, 12), Qt::AlignCenter, names[i]);
        }
    }

    // Clear a ring round every key so the key colour, painted under this
    // picture, shows as the key's backlight; then draw the key itself.
    for (const KeyCap& k : sheet_.keys) {
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawRoundedRect(QRectF(k.rect).adjusted(1.5, 1.5, -1.5, -1.5), 5, 5);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        DrawKey(p, k, Look::Rest);
    }
    return img;
}

QImage KeyboardRenderer::Keys(Look look, int scale) const {
    QImage img = Blank(scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (const KeyCap& k : sheet_.keys) {
        if (look == Look::Hover || look == Look::Checked) {
            // The ring round the cap: bright accent instead of the key colour.
            QColor ring = look == Look::Hover ? Palette::accentHover : Palette::accent;
            p.setPen(Qt::NoPen);
            p.setBrush(ring);
            p.drawRoundedRect(QRectF(k.rect).adjusted(1.5, 1.5, -1.5, -1.5), 5, 5);
        }
        DrawKey(p, k, look);
    }
    return img;
}

void KeyboardRenderer::DrawKey(QPainter& p, const KeyCap& key, Look look) const {
    const QRectF r(key.rect);
    const QRectF skirt = r.adjusted(3, 3, -3, -3);
    const QRectF face = r.adjusted(5, 4, -5, -7);

    QColor skirtColor(0x15, 0x18, 0x1E), top(0x32, 0x37, 0x42), bottom(0x27, 0x2B, 0x34);
    if (look == Look::Hover) {
        skirtColor = QColor(0x1D, 0x22, 0x2B);
        top = QColor(0x44, 0x4B, 0x59);
        bottom = QColor(0x36, 0x3C, 0x48);
    } else if (look == Look::Checked) {
        skirtColor = QColor(0x08, 0x38, 0x4B);
        top = QColor(0x17, 0x6E, 0x8E);
        bottom = QColor(0x10, 0x52, 0x6B);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(skirtColor);
    p.drawRoundedRect(skirt, 4, 4);
    QLinearGradient g(face.topLeft(), face.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setBrush(g);
    if (look == Look::Checked)
        p.setPen(QPen(Palette::accent, 1));
    else
        p.setPen(QPen(QColor(255, 255, 255, look == Look::Hover ? 34 : 16), 1));
    p.drawRoundedRect(face.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);

    if (look == Look::Checked) {
        // The assignment mark: a small lit dot in the cap's upper right corner.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xB8, 0xF0, 0xFF));
        p.drawEllipse(QPointF(face.right() - 4, face.top() + 4), 1.8, 1.8);
    }
    DrawLegend(p, key, face, look);
}

void KeyboardRenderer::DrawLegend(QPainter& p, const KeyCap& key, const QRectF& face, Look look) const {
    QColor main = look == Look::Checked ? QColor(0xE8, 0xFA, 0xFF) : Palette::text;
    QColor small = look == Look::Checked ? QColor(0x9A, 0xE0, 0xF5) : Palette::textDim;
    if (look == Look::Hover) main = Qt::white;

    if (key.cap.startsWith('@')) {
        p.setPen(Qt::NoPen);
        p.setBrush(main);
        const double side = std::min(face.width(), face.height()) * 0.56;
        QRectF box(0, 0, side, side);
        box.moveCenter(face.center());
        DrawKeySymbol(p, key.cap.mid(1), box);
        return;
    }
    const bool word = key.cap.size() > 2;
    QFont mainFont =
        word ? WordFont(key.cap.size() > 6 ? 8.5 : 9.5) : LegendFont(key.cap.size() == 2 ? 10.5 : 12, true);
    if (key.cap2.isEmpty()) {
        p.setFont(mainFont);
        p.setPen(main);
        p.drawText(face, Qt::AlignCenter, key.cap);
        return;
    }
    QFont smallFont = key.cap2.size() > 2 ? WordFont(7) : LegendFont(8.5, false);
    const QRectF upper(face.left(), face.top() + 1, face.width(), face.height() * 0.42);
    const QRectF lower(face.left(), face.top() + face.height() * 0.38, face.width(), face.height() * 0.6);
    p.setFont(smallFont);
    p.setPen(small);
    p.drawText(upper, Qt::AlignHCenter | Qt::AlignBottom, key.cap2);
    p.setFont(mainFont);
    p.setPen(main);
    p.drawText(lower, Qt::AlignHCenter | Qt::AlignVCenter, key.cap);
}

void DrawKeySymbol(QPainter& p, const QString& s, const QRectF& b) {
    const double x = b.left(), y = b.top(), w = b.width(), h = b.height();
    auto tri = [&](QPointF a, QPointF c, QPointF d) {
        QPainterPath path;
        path.moveTo(a);
        path.lineTo(c);
        path.lineTo(d);
        path.closeSubpath();
        p.drawPath(path);
    };
    const double cx = x + w / 2, cy = y + h / 2;
    if (s == "up")
        tri({cx, y + h * 0.2}, {x + w * 0.85, y + h * 0.78}, {x + w * 0.15, y + h * 0.78});
    else if (s == "down")
        tri({cx, y + h * 0.8}, {x + w * 0.85, y + h * 0.22}, {x + w * 0.15, y + h * 0.22});
    else if (s == "left")
        tri({x + w * 0.2, cy}, {x + w * 0.78, y + h * 0.15}, {x + w * 0.78, y + h * 0.85});
    else if (s == "right")
        tri({x + w * 0.8, cy}, {x + w * 0.22, y + h * 0.15}, {x + w * 0.22, y + h * 0.85});
    else if (s == "play") {
        tri({x + w * 0.08, y + h * 0.2}, {x + w * 0.5, cy}, {x + w * 0.08, y + h * 0.8});
        p.drawRect(QRectF(x + w * 0.58, y + h * 0.22, w * 0.12, h * 0.56));
        p.drawRect(QRectF(x + w * 0.8, y + h * 0.22, w * 0.12, h * 0.56));
    } else if (s == "stop") {
        p.drawRoundedRect(QRectF(x + w * 0.22, y + h * 0.22, w * 0.56, h * 0.56), 1, 1);
    } else if (s == "next" || s == "prev") {
        const bool next = s == "next";
        auto mx = [&](double f) { return next ? x + w * f : x + w * (1 - f); };
        tri({mx(0.08), y + h * 0.2}, {mx(0.46), cy}, {mx(0.08), y + h * 0.8});
        tri({mx(0.42), y + h * 0.2}, {mx(0.8), cy}, {mx(0.42), y + h * 0.8});
        p.drawRect(QRectF(next ? x + w * 0.8 : x + w * 0.08, y + h * 0.2, w * 0.12, h * 0.6));
    } else if (s == "volup" || s == "voldn") {
        QPainterPath spk;
        spk.moveTo(x + w * 0.05, y + h * 0.36);
        spk.lineTo(x + w * 0.25, y + h * 0.36);
        spk.lineTo(x + w * 0.5, y + h * 0.12);
        spk.lineTo(x + w * 0.5, y + h * 0.88);
        spk.lineTo(x + w * 0.25, y + h * 0.64);
        spk.lineTo(x + w * 0.05, y + h * 0.64);
        spk.closeSubpath();
        p.drawPath(spk);
        const double t = w * 0.1;
        p.drawRect(QRectF(x + w * 0.6, cy - t / 2, w * 0.36, t));
        if (s == "volup") p.drawRect(QRectF(x + w * 0.78 - t / 2, cy - w * 0.18, t, w * 0.36));
    } else if (s == "calc") {
        QPainterPath body;
        body.addRoundedRect(QRectF(x + w * 0.18, y + h * 0.02, w * 0.64, h * 0.96), w * 0.08, w * 0.08);
        body.addRect(QRectF(x + w * 0.28, y + h * 0.12, w * 0.44, h * 0.2));
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                body.addRect(QRectF(x + w * (0.28 + c * 0.16), y + h * (0.42 + r * 0.17), w * 0.1, h * 0.1));
        body.setFillRule(Qt::OddEvenFill);
        p.drawPath(body);
    }
}
