#include "ui/TranslatorManager.h"

#include <QCoreApplication>
#include <QEvent>
#include <QVariantMap>
#include <QWidget>

#include "ui/ResourceProvider.h"

namespace ui {

namespace {
constexpr char kSources[] = "kbTrSources";  // property name -> English source
constexpr char kContext[] = "kbTrContext";
constexpr char kApplied[] = "kbTrApplied";  // property name -> text last put there

void Apply(QWidget* w) {
    const QVariant v = w->property(kSources);
    if (!v.isValid()) return;
    const QString ctx = w->property(kContext).toString();
    QVariantMap sources = v.toMap();
    QVariantMap applied = w->property(kApplied).toMap();
    for (auto it = sources.begin(); it != sources.end();) {
        const QByteArray prop = it.key().toUtf8();
        // Code that set the text itself since (a version number, a value) owns it now.
        if (w->property(prop.constData()).toString() != applied.value(it.key()).toString()) {
            applied.remove(it.key());
            it = sources.erase(it);
            continue;
        }
        const QString text = TranslatorManager::Tr(ctx, it.value().toString());
        applied.insert(it.key(), text);
        w->setProperty(prop.constData(), text);
        ++it;
    }
    w->setProperty(kSources, sources);
    w->setProperty(kApplied, applied);
}
}  // namespace

TranslatorManager::TranslatorManager(QObject* parent) : QObject(parent) {
    if (QCoreApplication::instance()) QCoreApplication::instance()->installEventFilter(this);
}

TranslatorManager::~TranslatorManager() {
    if (current_ && QCoreApplication::instance()) QCoreApplication::removeTranslator(current_.get());
}

void TranslatorManager::Install(std::unique_ptr<LanguageTranslator> translator) {
    if (current_) QCoreApplication::removeTranslator(current_.get());
    current_ = std::move(translator);
    if (current_) QCoreApplication::installTranslator(current_.get());
}

bool TranslatorManager::InstallFromResource(const ResourceProvider& provider, const QString& name) {
    auto t = std::make_unique<LanguageTranslator>();
    if (!t->LoadXml(provider.Read(QStringLiteral("translator:") + name))) return false;
    Install(std::move(t));
    return true;
}

QString TranslatorManager::Tr(const QString& context, const QString& source) {
    if (source.isEmpty()) return source;
    return QCoreApplication::translate(context.toUtf8().constData(), source.toUtf8().constData());
}

bool TranslatorManager::eventFilter(QObject* watched, QEvent* event) {
    // Qt hands the language change to every widget, parents first; each one
    // re-applies its own remembered texts.
    if (event->type() == QEvent::LanguageChange && watched->isWidgetType()) Apply(static_cast<QWidget*>(watched));
    return false;
}

void SetTrText(QWidget* widget, const QString& context, const QString& source, const char* property) {
    if (!widget) return;
    QVariantMap map = widget->property(kSources).toMap();
    map.insert(QString::fromUtf8(property), source);
    widget->setProperty(kSources, map);
    widget->setProperty(kContext, context);
    const QString text = TranslatorManager::Tr(context, source);
    QVariantMap applied = widget->property(kApplied).toMap();
    applied.insert(QString::fromUtf8(property), text);
    widget->setProperty(kApplied, applied);
    widget->setProperty(property, text);
}

QString TrSource(const QWidget* widget, const char* property, QString* context) {
    if (!widget) return {};
    if (context) *context = widget->property(kContext).toString();
    return widget->property(kSources).toMap().value(QString::fromUtf8(property)).toString();
}

void RetranslateTree(QWidget* root) {
    if (!root) return;
    Apply(root);
    for (QWidget* w : root->findChildren<QWidget*>()) Apply(w);
}

}  // namespace ui
