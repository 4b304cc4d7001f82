#include "ui/BuiltinWidgets.h"

#include "ui/SButton.h"
#include "ui/SCheckBox.h"
#include "ui/SComboBox.h"
#include "ui/SEdit.h"
#include "ui/SListView.h"
#include "ui/SMCListView.h"
#include "ui/SRadioBox.h"
#include "ui/SSliderBar.h"
#include "ui/SStatic.h"
#include "ui/STabCtrl.h"
#include "ui/STabPage.h"
#include "ui/STrayIcon.h"
#include "ui/SWindow.h"
#include "ui/UiApp.h"

namespace ui {

template <class T>
static WidgetFactory Make() {
    return [](QWidget* parent) -> QWidget* { return new T(parent); };
}

void RegisterBuiltinWidgets(UiApp& app) {
    app.RegisterWidget(QStringLiteral("window"), Make<SWindow>());
    app.RegisterWidget(QStringLiteral("text"), Make<SStatic>());
    app.RegisterWidget(QStringLiteral("button"), Make<SButton>());
    app.RegisterWidget(QStringLiteral("imgbtn"), Make<SImageButton>());
    app.RegisterWidget(QStringLiteral("check"), Make<SCheckBox>());
    app.RegisterWidget(QStringLiteral("radio"), Make<SRadioBox>());
    app.RegisterWidget(QStringLiteral("edit"), Make<SEdit>());
    app.RegisterWidget(QStringLiteral("combobox"), Make<SComboBox>());
    app.RegisterWidget(QStringLiteral("sliderbar"), Make<SSliderBar>());
    app.RegisterWidget(QStringLiteral("tabctrl"), Make<STabCtrl>());
    app.RegisterWidget(QStringLiteral("page"), Make<STabPage>());
    app.RegisterWidget(QStringLiteral("listview"), Make<SListView>());
    app.RegisterWidget(QStringLiteral("mclistview"), Make<SMCListView>());
    app.RegisterWidget(QStringLiteral("shellnotifyicon"), Make<STrayIcon>());
}

}  // namespace ui
