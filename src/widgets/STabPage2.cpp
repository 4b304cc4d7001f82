#include "widgets/STabPage2.h"

#include "ui/UiApp.h"

bool STabPage2::SetAttribute(const QString& name, const QString& value) {
    if (name == u"ani_in")
        aniIn = ui::UiApp::FindSkin(value);
    else if (name == u"ani_out")
        aniOut = ui::UiApp::FindSkin(value);
    else
        return ui::STabPage::SetAttribute(name, value);
    return true;
}
