#pragma once

#include <QDir>
#include <QSize>
#include <QString>

#include <functional>

class QPainter;
class QRectF;

// Draws the multi-frame skins (frames side by side: normal, hover, pushed,
// disabled or checked), the icon and the dialog backdrop, each at 1x and @2x.
class SkinRenderer {
public:
    explicit SkinRenderer(QDir uires, QString art) : uires_(std::move(uires)), art_(std::move(art)) {}

    // Writes every picture; false on the first one that cannot be written.
    bool RenderAll();

private:
    using FrameFn = std::function<void(QPainter&, const QRectF&, int frame)>;
    bool Strip(const QString& file, QSize frame, int frames, const FrameFn& draw);
    bool TitleButtons();
    bool Switches();
    bool TabSkins();
    bool Logo();
    bool Backdrop();
    bool MenuIcons();

    QDir uires_;
    QString art_;
};
