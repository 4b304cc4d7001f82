#pragma once
// The application object of the UI layer: resource provider, tables, translations,
// the animation timeline and the widget factories by layout class name.
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "ui/ResourceProvider.h"
#include "ui/Timeline.h"
#include "ui/TranslatorManager.h"
#include "ui/ValueTables.h"

class QWidget;

namespace ui {

using WidgetFactory = std::function<QWidget*(QWidget* parent)>;

class UiApp {
public:
    // The uires folder; loads "values:string", "values:color" and "values:skin".
    explicit UiApp(const QString& uiresFolder, bool manualTimeline = false);
    ~UiApp();
    UiApp(const UiApp&) = delete;
    UiApp& operator=(const UiApp&) = delete;

    // The live application object (the last one constructed and not yet destroyed),
    // or null. Create it after the QApplication.
    static UiApp* Current();

    ResourceProvider& Provider() { return provider_; }
    StringTable& Strings() { return strings_; }
    ColorTable& Colors() { return colors_; }
    SkinTable& Skins() { return skins_; }
    TranslatorManager& Translators() { return translators_; }
    Timeline& Animation() { return *timeline_; }

    // Global look: font and style sheet from a "uidef" document ("UIDEF:XML_INIT").
    bool LoadUiDef(const QString& resName);
    const QString& StyleSheet() const { return styleSheet_; }

    // Loads "translator:<name>", installs it and re-applies every text.
    bool SetLanguage(const QString& name);

    // Layout class names -> factories. Registering a name again replaces it.
    void RegisterWidget(const QString& className, WidgetFactory factory);
    QWidget* CreateWidget(const QString& className, QWidget* parent) const;
    bool HasWidget(const QString& className) const;
    QStringList RegisteredClasses() const { return factories_.keys(); }

    // Skin by name through the skin table (convenience for widgets).
    static SkinPtr FindSkin(const QString& name);
    static QPixmap FindImage(const QString& resName);

private:
    ResourceProvider provider_;
    StringTable strings_;
    ColorTable colors_;
    SkinTable skins_;
    TranslatorManager translators_;
    std::unique_ptr<Timeline> timeline_;
    QHash<QString, WidgetFactory> factories_;
    QString styleSheet_;
    UiApp* previous_ = nullptr;
    QStringList previousSearchPaths_;
};

}  // namespace ui
