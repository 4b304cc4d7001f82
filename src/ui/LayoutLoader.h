#pragma once
// Builds widget trees from the Qt Designer layouts of the resource folder. Layout
// class names ("button", "cbimg", …) become our classes through the application's
// factories; string properties that are not Qt texts reach the widgets as layout
// attributes; texts are translated in the layout's context and follow language
// switches; names get their numeric id from the named-id table.
#include <QHash>
#include <QString>
#include <QStringList>
#include <QUiLoader>

#include "ui/RowTemplate.h"

namespace ui {

class UiApp;

class LayoutLoader : public QUiLoader {
    Q_OBJECT
public:
    explicit LayoutLoader(UiApp& app, QObject* parent = nullptr);

    // Loads the layout resource ("LAYOUT:macro") under parent. The translation
    // context is the resource's NAME unless one is given. Null on failure.
    QWidget* LoadLayout(const QString& resName, QWidget* parent, const QString& context = {});
    // Loads layout XML directly.
    QWidget* LoadXml(const QByteArray& uiXml, QWidget* parent, const QString& context);

    QString errorString() const { return error_; }
    // Layout class names that no factory knew (built as plain windows instead).
    const QStringList& UnknownClasses() const { return unknown_; }

    QWidget* createWidget(const QString& className, QWidget* parent = nullptr, const QString& name = {}) override;

    // Applies the layout attributes, texts and creation step to a loaded tree.
    static void FinishTree(QWidget* root, const QString& context);

private:
    UiApp& app_;
    QString context_;
    QString error_;
    QStringList unknown_;
    QHash<QString, RowTemplate> templates_;  // list view name -> row template
};

}  // namespace ui
