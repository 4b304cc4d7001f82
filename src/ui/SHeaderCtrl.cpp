#include "ui/SHeaderCtrl.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOption>

#include "ui/TranslatorManager.h"

namespace ui {

SHeaderCtrl::SHeaderCtrl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_StyledBackground, true);
    setProperty("kbclass", QStringLiteral("header"));
}

QString SHeaderCtrl::Caption(int column) const {
    return column >= 0 && column < columns_.size() ? TranslatorManager::Tr(context_, columns_[column].source)
                                                   : QString();
}

QVector<SortMark> SHeaderCtrl::Marks() const {
    QVector<SortMark> m;
    for (const Column& c : columns_) m.push_back(c.mark);
    return m;
}

void SHeaderCtrl::SetMarks(const QVector<SortMark>& marks) {
    for (int i = 0; i < columns_.size(); ++i) columns_[i].mark = i < marks.size() ? marks[i] : SortMark::None;
    update();
}

QRect SHeaderCtrl::ColumnRect(int column) const {
    int x = 0;
    for (int i = 0; i < columns_.size(); ++i) {
        const int w = i + 1 == columns_.size() ? qMax(columns_[i].width, width() - x) : columns_[i].width;
        if (i == column) return QRect(x, 0, w, height());
        x += w;
    }
    return {};
}

int SHeaderCtrl::ColumnAt(int x) const {
    for (int i = 0; i < columns_.size(); ++i)
        if (ColumnRect(i).contains(x, height() / 2)) return i;
    return -1;
}

void SHeaderCtrl::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        const int col = ColumnAt(int(e->position().x()));
        if (col >= 0 && clicked) clicked(col);
    }
}

void SHeaderCtrl::changeEvent(QEvent* e) {
    if (e->type() == QEvent::LanguageChange) update();
    QWidget::changeEvent(e);
}

void SHeaderCtrl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QStyleOption opt;
    opt.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &opt, &p, this);
    const QColor text = palette().color(QPalette::WindowText);
    QColor line = text;
    line.setAlpha(60);
    for (int i = 0; i < columns_.size(); ++i) {
        const QRect r = ColumnRect(i);
        p.setPen(text);
        // Room for the sort mark only where there is one.
        const int markRoom = columns_[i].mark == SortMark::None ? 4 : 18;
        p.drawText(r.adjusted(8, 0, -markRoom, 0), Qt::AlignVCenter | Qt::AlignLeft, Caption(i));
        if (columns_[i].mark != SortMark::None) {
            // A small triangle: up for ascending, down for descending.
            const QPointF c(r.right() - 10, r.center().y());
            QPainterPath tri;
            if (columns_[i].mark == SortMark::Ascending) {
                tri.moveTo(c + QPointF(-4, 2));
                tri.lineTo(c + QPointF(4, 2));
                tri.lineTo(c + QPointF(0, -3));
            } else {
                tri.moveTo(c + QPointF(-4, -2));
                tri.lineTo(c + QPointF(4, -2));
                tri.lineTo(c + QPointF(0, 3));
            }
            tri.closeSubpath();
            p.fillPath(tri, text);
        }
        if (i + 1 < columns_.size()) {
            p.setPen(line);
            p.drawLine(r.right(), r.top() + 6, r.right(), r.bottom() - 6);
        }
    }
}

}  // namespace ui
