#include "ui/STabPage.h"

namespace ui {

bool STabPage::SetAttribute(const QString& name, const QString& value) {
    if (name == u"iconindex") {
        iconIndex_ = ParseInt(value, -1);
        return true;
    }
    return SWindow::SetAttribute(name, value);
}

void STabPage::SetTitle(const QString& title) {
    title_ = title;
    if (parentWidget()) parentWidget()->update();  // the header shows it
}

}  // namespace ui
