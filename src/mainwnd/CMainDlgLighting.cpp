// The lighting panel: the tables are the truth, the widgets mirror them. Every
// change is stored (and saved) before its packet goes out.
#include "data/LedEffectTable.h"
#include "data/SideLightTable.h"
#include "mainwnd/CMainDlg.h"
#include "ui/SComboBox.h"
#include "ui/SSliderBar.h"
#include "ui/STabCtrl.h"
#include "ui/TranslatorManager.h"

namespace {

constexpr int kEffectPageOthers = 1;  // effects 1..19
constexpr int kEffectPageStatic = 2;  // effect 0

void SetSlider(ui::SSliderBar* s, int value) {
    if (s) s->SetValue(value);
}

}  // namespace

void CMainDlg::ShowEffectSettings(bool selectInList) {
    LedEffectTable& table = LedEffectTable::Instance();
    const int a = table.GetSelected();
    if (selectInList && effectList_) effectList_->SetCurSel(a, false);
    const auto slot = table.CopySlot(a);
    if (!slot) return;
    if (a == 0) {
        if (effectTabs_) effectTabs_->SetCurSel(kEffectPageStatic, false);
        SetSlider(brightnessSliders_[2], slot->brightness);
    } else {
        if (effectTabs_) effectTabs_->SetCurSel(kEffectPageOthers, false);
        SetSlider(speedSliders_[1], slot->speed);
        SetSlider(brightnessSliders_[1], slot->brightness);
    }
}

void CMainDlg::StoreEffectSettings() {
    if (!effectList_) return;
    LedEffectTable& table = LedEffectTable::Instance();
    const int a = effectList_->GetCurSel();
    table.SetSelected(a);
    auto slot = table.CopySlot(a);
    if (!slot) return;
    if (a == 0) {
        if (brightnessSliders_[2]) slot->brightness = uint8_t(brightnessSliders_[2]->GetValue());
    } else {
        if (speedSliders_[1]) slot->speed = uint8_t(speedSliders_[1]->GetValue());
        if (brightnessSliders_[1]) slot->brightness = uint8_t(brightnessSliders_[1]->GetValue());
    }
    table.StoreSlot(a, *slot);
}

void CMainDlg::ShowSideSettings(bool selectInList) {
    SideLightTable& table = SideLightTable::Instance();
    const int a = table.GetSelected();
    if (sideCaption_) {
        ui::SetTrText(sideCaption_, QStringLiteral("CMainDlg"),
                      a > 2 ? QStringLiteral("Brightness") : QStringLiteral("Speed"));
    }
    if (selectInList && sideList_) sideList_->SetCurSel(a, false);
    const SideLightSlot* slot = table.GetSlot(a);
    if (!slot) return;
    SetSlider(sideSlider_, slot->first / 16);
}

void CMainDlg::StoreSideSettings() {
    if (!sideList_) return;
    SideLightTable& table = SideLightTable::Instance();
    const int a = sideList_->GetCurSel();
    table.SetSelected(a);
    SideLightSlot* slot = table.GetSlot(a);
    if (!slot || !sideSlider_) return;
    slot->first = uint8_t((sideSlider_->GetValue() * 16 + (slot->first & 0x0F)) & 0xFF);
    table.Save();
}

void CMainDlg::OnEffectListChanged() {
    if (!effectList_) return;
    const int a = effectList_->GetCurSel();
    LedEffectTable::Instance().SetSelected(a);
    ShowEffectSettings(false);
    link_.SendEffect(a);
}

void CMainDlg::OnSideListChanged() {
    if (!sideList_) return;
    const int a = sideList_->GetCurSel();
    SideLightTable::Instance().SetSelected(a);
    ShowSideSettings(false);
    link_.SendSideLight(a);
}

void CMainDlg::OnEffectControlChanged() {
    StoreEffectSettings();
    if (effectList_) link_.SendEffect(effectList_->GetCurSel());
}

void CMainDlg::OnSideSliderChanged() {
    StoreSideSettings();
    if (sideList_) link_.SendSideLight(sideList_->GetCurSel());
}
