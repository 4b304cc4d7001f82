#pragma once
// A translator read from a "language" XML element:
// <language name="…"><context name="…"><message><source/><translation/></message>…
#include <QHash>
#include <QString>
#include <QTranslator>

namespace pugi {
class xml_node;
}

namespace ui {

class LanguageTranslator : public QTranslator {
    Q_OBJECT
public:
    explicit LanguageTranslator(QObject* parent = nullptr) : QTranslator(parent) {}

    // Reads every context of the element; false when the element is not "language".
    bool Load(const pugi::xml_node& language);
    // Parses a whole document and loads its "language" root.
    bool LoadXml(const QByteArray& xml);

    const QString& Name() const { return name_; }
    // Translation of source in context; a miss in the context falls back to the
    // empty context. Empty when neither holds it.
    QString Lookup(const QString& context, const QString& source) const;

    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return contexts_.isEmpty(); }

private:
    QString name_;
    QHash<QString, QHash<QString, QString>> contexts_;
};

}  // namespace ui
