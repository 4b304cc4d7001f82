#pragma once
// Holds the one installed translation and switches it live: installing a new one
// makes Qt send a language-change event to every widget, and every text the UI
// layer set (from layouts or through SetTrText) is translated again.
#include <QObject>
#include <QString>
#include <memory>

#include "ui/LanguageTranslator.h"

class QWidget;

namespace ui {

class ResourceProvider;

class TranslatorManager : public QObject {
    Q_OBJECT
public:
    explicit TranslatorManager(QObject* parent = nullptr);
    ~TranslatorManager() override;

    // Installs a loaded translator (replacing the current one). Null uninstalls.
    void Install(std::unique_ptr<LanguageTranslator> translator);
    // Loads "translator:<name>" and installs it. False (and nothing changes) when the
    // resource is missing or is not a "language" document.
    bool InstallFromResource(const ResourceProvider& provider, const QString& name);
    const LanguageTranslator* Current() const { return current_.get(); }
    QString CurrentName() const { return current_ ? current_->Name() : QString(); }

    // Translation of a text with a context through the installed translation.
    static QString Tr(const QString& context, const QString& source);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<LanguageTranslator> current_;
};

// Sets a translatable property of a widget ("text", "toolTip", "windowTitle",
// "title", …) from an English source and remembers it, so that a language switch
// re-applies it.
void SetTrText(QWidget* widget, const QString& context, const QString& source, const char* property = "text");
// The remembered English source of a property and its context (empty when none).
QString TrSource(const QWidget* widget, const char* property, QString* context = nullptr);
// Re-applies every remembered text of a widget tree.
void RetranslateTree(QWidget* root);

}  // namespace ui
