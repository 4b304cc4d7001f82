// Title-bar buttons, the "more" menu, the language switch, restore factory and
// the firmware upgrade check.
#include "data/KeyAssignmentTable.h"
#include "data/LedEffectTable.h"
#include "data/MacroLibrary.h"
#include "data/SideLightTable.h"
#include "mainwnd/CMainDlg.h"
#include "ui/MessageBox.h"
#include "ui/PopupMenu.h"
#include "ui/TranslatorManager.h"
#include "ui/UiApp.h"
#include "widgets/CoordButtonImage.h"

namespace {

QString Tr(const char* source) {
    return ui::TranslatorManager::Tr(QStringLiteral("CMainDlg"), QString::fromUtf8(source));
}

}  // namespace

void CMainDlg::ShowMoreMenu() {
    QWidget* button = FindChildById(65537, QStringLiteral("imgbtn"));
    if (!button) return;
    const QPoint bottomLeft = button->mapToGlobal(QPoint(0, button->height()));
    ui::PopupMenu menu;
    if (!menu.LoadMenu(QStringLiteral("smenuex:menu_more"))) return;
    menu.TrackPopupMenu(bottomLeft, this);
}

bool CMainDlg::SwitchLanguage(bool chinese) {
    ui::UiApp* app = ui::UiApp::Current();
    if (!app) return false;
    // A missing translation leaves everything as it is; the choice is not saved.
    return app->SetLanguage(chinese ? QStringLiteral("lang_cn") : QStringLiteral("lang_en"));
}

void CMainDlg::RestoreFactory() {
    if (ui::MessageBox(this, Tr("All settings will be restored, are you sure you want to continue?"), Tr("Warning"),
                       ui::MB_OKCANCEL) != ui::IDOK)
        return;
    factoryResetPending_ = 1;
    MacroLibrary::Instance().ResetToDefaults();
    KeyAssignmentTable& assignments = KeyAssignmentTable::Instance();
    assignments.ClearAll();
    LedEffectTable::Instance().ResetToDefaults();
    SideLightTable::Instance().ResetToDefaults();
    // A playing macro ends and every key it or a remap held goes up.
    ReleaseKeys();
    filterListener_.PushKeyTable();
    clock_.Sleep(100);
    ShowSideSettings(true);
    ShowEffectSettings(true);
    ClearPictureMarks();
    assignments.ClearAll();
    link_.SendFactoryReset();
}

void CMainDlg::ClearPictureMarks() {
    if (!keyboardImage_) return;
    for (const CoordButton& k : keyboardImage_->Keys()) keyboardImage_->SetKeyChecked(k.id, false);
    keyboardImage_->update();
}

void CMainDlg::CheckFirmwareUpgrade() {
    if (!link_.keyboard.IsOpen()) {
        ui::MessageBox(nullptr, Tr("Please insert USB device"), Tr("Warning"), ui::MB_OK);
        return;
    }
    if (link_.firmwareVersion == protocol::KeyboardLink::kLatestFirmware) {
        ui::MessageBox(nullptr, Tr("The firmware is already the latest version and no upgrade is required."),
                       Tr("Warning"), ui::MB_OK);
        return;
    }
    link_.keyboard.Close();
    if (!ConnectKeyboard()) {
        link_.firmwareVersion = -1;
        ShowFirmwareVersion();
        return;
    }
    QueryFirmwareVersion();
    ShowFirmwareVersion();
}
