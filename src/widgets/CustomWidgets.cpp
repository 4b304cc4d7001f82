#include "widgets/CustomWidgets.h"

#include "ui/UiApp.h"
#include "widgets/CoordButtonImage.h"
#include "widgets/SAnimImg.h"
#include "widgets/SCheckBoxEx.h"
#include "widgets/SEditEx.h"
#include "widgets/SRadioBoxEx.h"
#include "widgets/STabCtrl2.h"
#include "widgets/STabPage2.h"

template <class T>
static ui::WidgetFactory Make() {
    return [](QWidget* parent) -> QWidget* { return new T(parent); };
}

void RegisterCustomWidgets(ui::UiApp& app) {
    app.RegisterWidget(QStringLiteral("cbimg"), Make<CoordButtonImage>());
    app.RegisterWidget(QStringLiteral("page2"), Make<STabPage2>());
    app.RegisterWidget(QStringLiteral("tabctrl2"), Make<STabCtrl2>());
    app.RegisterWidget(QStringLiteral("anmimg"), Make<SAnimImg>());
    app.RegisterWidget(QStringLiteral("editex"), Make<SEditEx>());
    app.RegisterWidget(QStringLiteral("radioex"), Make<SRadioBoxEx>());
    app.RegisterWidget(QStringLiteral("checkex"), Make<SCheckBoxEx>());
}
