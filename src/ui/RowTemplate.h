#pragma once
// The row template of a list view: a piece of layout built into each row widget.
#include <QByteArray>
#include <QSize>
#include <QString>

class QWidget;

namespace ui {

class RowTemplate {
public:
    RowTemplate() = default;
    RowTemplate(QByteArray uiXml, QString context, QSize size)
        : xml_(std::move(uiXml)), context_(std::move(context)), size_(size) {}

    bool IsEmpty() const { return xml_.isEmpty(); }
    // Size the layout gives the template (its height is the row height).
    QSize Size() const { return size_; }
    const QString& Context() const { return context_; }
    const QByteArray& Xml() const { return xml_; }

    // Builds the template's widgets into row (which should still be empty); the
    // template's root fills the row. Returns the root, or null.
    QWidget* BuildInto(QWidget* row) const;

private:
    QByteArray xml_;
    QString context_;
    QSize size_;
};

}  // namespace ui
