#pragma once
// The column header of a multi-column list: captions, widths, sort marks; a click
// on a column is reported through the clicked callback.
#include <QVector>
#include <QWidget>
#include <functional>

#include "ui/ListAdapter.h"

namespace ui {

class SHeaderCtrl : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "header")
public:
    struct Column {
        QString source;  // English caption (translated when drawn)
        int width = 80;
        SortMark mark = SortMark::None;
    };

    explicit SHeaderCtrl(QWidget* parent = nullptr);

    void SetColumns(QVector<Column> columns) {
        columns_ = std::move(columns);
        update();
    }
    const QVector<Column>& Columns() const { return columns_; }
    int ColumnCount() const { return int(columns_.size()); }
    void SetContext(const QString& context) { context_ = context; }
    QString Caption(int column) const;

    QVector<SortMark> Marks() const;
    void SetMarks(const QVector<SortMark>& marks);
    // x offset and width of a column; the last column takes the remaining width.
    QRect ColumnRect(int column) const;
    int ColumnAt(int x) const;

    std::function<void(int)> clicked;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    QVector<Column> columns_;
    QString context_;
};

}  // namespace ui
