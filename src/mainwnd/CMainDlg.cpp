#include "mainwnd/CMainDlg.h"

#include <QCloseEvent>
#include <QEvent>
#include <QMetaObject>
#include <QSystemTrayIcon>

#include "data/KeyAssignmentTable.h"
#include "data/LedEffectTable.h"
#include "data/SideLightTable.h"
#include "fnkeys/VHidev.h"
#include "hid/DeviceNotice.h"
#include "hid/ThreadRunable.h"
#include "protocol/DeviceTable.h"
#include "ui/MessageBox.h"
#include "ui/NamedIds.h"
#include "ui/SComboBox.h"
#include "ui/SSliderBar.h"
#include "ui/STabCtrl.h"
#include "ui/SWindow.h"
#include "ui/TranslatorManager.h"
#include "widgets/CoordButtonImage.h"

namespace {

platform::Clock& ClockOf(const CMainDlg::Options& o) { return o.clock ? *o.clock : platform::SteadyClock(); }

QString Tr(const char* source) {
    return ui::TranslatorManager::Tr(QStringLiteral("CMainDlg"), QString::fromUtf8(source));
}

}  // namespace

CMainDlg::CMainDlg(Options options)
    : ui::HostWindow(QStringLiteral("LAYOUT:XML_MAINWND")),
      options_(std::move(options)),
      clock_(ClockOf(options_)),
      link_(LedEffectTable::Instance(), SideLightTable::Instance(), clock_),
      keyActions_(VHidev::Instance(), KeyAssignmentTable::Instance(), clock_),
      worker_(clock_) {}

CMainDlg::~CMainDlg() {
    shuttingDown_ = true;
    notices_.Reset();
    // The reader goes first, so no key event can start playback again once the
    // macro thread has stopped and the keys are released.
    filterListener_.Stop();
    // Keys typed normally again once nobody carries out the assignments.
    if (initialised_) filterListener_.ClearKeyTable();
    keyActions_.StopAndRelease();
    VHidev::Instance().ReleaseAll();
    worker_.Stop();
}

bool CMainDlg::OnInitDialog() {
    if (!Create()) {
        DestroyWindow();
        return false;
    }
    // 1. The property a second start finds this window by.
    if (!options_.instanceName.isEmpty()) setProperty(options_.instanceName.toUtf8().constData(), 1);

    // 2. Device notices, handed over to the UI thread.
    notices_ = hid::RegisterDeviceNotices([this](const platform::HidNotice& n) {
        QMetaObject::invokeMethod(
            this, [this, n] { OnDeviceChange(n.event, n.path); }, Qt::QueuedConnection);
    });

    // 3. Widgets and their events.
    LookUpWidgets();
    if (keyboardImage_) keyboardImage_->SetClickListener(this);
    if (spareList_) spareList_->SetCurSel(0, false);
    SubscribeEvents();

    // 4, 5.
    link_.MarkSent();
    if (!ConnectKeyboard()) {
        // 6. Without a keyboard there is nothing to configure.
        link_.firmwareVersion = -1;
        ShowFirmwareVersion();
        ui::MessageBox(nullptr, Tr("Please insert USB device!"), Tr("Warning"), ui::MB_OK);
        DestroyWindow();
        return false;
    }
    // 7 - 9.
    QueryFirmwareVersion();
    ShowFirmwareVersion();
    ShowAssignedKeys();
    ShowEffectSettings(true);
    ShowSideSettings(true);

    // 10. The selected effect again once the keyboard has settled.
    auto item = std::make_unique<ThreadRunable<CMainDlg>>(&worker_, this, &CMainDlg::RunStartupSlot);
    item->value1 = effectList_ ? effectList_->GetCurSel() : LedEffectTable::Instance().GetSelected();
    item->interval = uint32_t(options_.startupSlotDelayMs);
    item->repetitions = 1;
    worker_.Post(std::move(item));
    worker_.Start(this);

    // 11. The macro thread was given PlayMacro and playState by the service.
    // 12. Assigned keys are carried out from now on.
    filterListener_.AddMonitor(this, &CMainDlg::OnFilterKey);
    filterListener_.OpenDevice();
    filterListener_.Restart();
    filterListener_.PushKeyTable();
    initialised_ = true;
    return true;
}

void CMainDlg::LookUpWidgets() {
    effectTabs_ =
        qobject_cast<ui::STabCtrl*>(FindChildByName(QStringLiteral("tab_color_effect"), QStringLiteral("tabctrl")));
    keyboardImage_ =
        qobject_cast<CoordButtonImage*>(FindChildByName(QStringLiteral("img_keyboard"), QStringLiteral("cbimg")));
    auto combo = [this](const char* name) {
        return qobject_cast<ui::SComboBox*>(FindChildByName(QString::fromUtf8(name), QStringLiteral("combobox")));
    };
    auto slider = [this](int id) {
        return qobject_cast<ui::SSliderBar*>(FindChildById(id, QStringLiteral("sliderbar")));
    };
    spareList_ = combo("cbx_in_lv");
    effectList_ = combo("cbx_color_effect");
    sideList_ = combo("cbx_side_color_effect");
    sideSlider_ = qobject_cast<ui::SSliderBar*>(
        FindChildByName(QStringLiteral("bar_side_brightness"), QStringLiteral("sliderbar")));
    sideCaption_ = FindChildByName(QStringLiteral("text_side_brightness"), QStringLiteral("window"));
    speedSliders_[0] = slider(65542);
    speedSliders_[1] = slider(65546);
    speedSliders_[2] = nullptr;
    speedSliders_[3] = slider(65549);
    brightnessSliders_[0] = slider(65543);
    brightnessSliders_[1] = slider(65547);
    brightnessSliders_[2] = slider(65548);
    brightnessSliders_[3] = slider(65550);
}

void CMainDlg::SubscribeEvents() {
    using ui::EventArgs;
    On(ui::ev::kSelChanged, QStringLiteral("cbx_color_effect"), [this](EventArgs&) {
        OnEffectListChanged();
        return true;
    });
    On(ui::ev::kSelChanged, QStringLiteral("cbx_side_color_effect"), [this](EventArgs&) {
        OnSideListChanged();
        return true;
    });
    On(ui::ev::kSelChanged, QStringLiteral("cbx_in_lv"), [](EventArgs&) { return true; });
    for (const char* name :
         {"bar_general_speed_0", "bar_const_brightness_0", "bar_general_speed_1", "bar_const_brightness_1",
          "bar_const_brightness_2", "bar_general_speed_3", "bar_const_brightness_3"}) {
        On(ui::ev::kSliderPos, QString::fromUtf8(name), [this](EventArgs& a) {
            if (!qobject_cast<ui::SSliderBar*>(a.sender)) return false;
            OnEffectControlChanged();
            return true;
        });
    }
    On(ui::ev::kSliderPos, QStringLiteral("bar_side_brightness"), [this](EventArgs& a) {
        if (!qobject_cast<ui::SSliderBar*>(a.sender)) return false;
        OnSideSliderChanged();
        return true;
    });
    for (int id : {65544, 65545, 65551, 65552, 65553}) {
        On(ui::ev::kCommand, id, [this](EventArgs&) {
            OnEffectControlChanged();
            return true;
        });
    }
    auto command = [this](const char* name, std::function<void()> f) {
        On(ui::ev::kCommand, QString::fromUtf8(name), [f = std::move(f)](EventArgs&) {
            f();
            return true;
        });
    };
    command("btn_more", [this] { ShowMoreMenu(); });
    command("btn_close", [this] { DestroyWindow(); });
    command("btn_min", [this] { MinimizeToTray(); });
    command("btn_max", [this] { showMaximized(); });
    command("btn_restore", [this] { showNormal(); });
    command("zh_cn", [this] { SwitchLanguage(true); });
    command("btn_restore_factory", [this] { RestoreFactory(); });
    command("jp", [this] { SwitchLanguage(false); });
}

bool CMainDlg::OnCommand(ui::EventArgs& args) {
    // Menu commands carry no sender; widget clicks nobody handled are ignored.
    if (args.sender) return false;
    OnMenuCommand(args.id);
    return true;
}

void CMainDlg::OnMenuCommand(int id) {
    if (id == kCommandUpgrade) {
        CheckFirmwareUpgrade();
    } else if (id == kCommandExit) {
        // A close request, handled once the menu has closed.
        QMetaObject::invokeMethod(
            this, [this] { DestroyWindow(); }, Qt::QueuedConnection);
    }
}

void CMainDlg::closeEvent(QCloseEvent* e) {
    e->accept();
    DestroyWindow();
}

void CMainDlg::changeEvent(QEvent* e) {
    // Texts composed here follow a language switch like the layout's own.
    if (e->type() == QEvent::LanguageChange && initialised_ && !destroyed_) {
        ShowFirmwareVersion();
        ShowAssignedKeys();
        ShowSideSettings(false);
    }
    ui::HostWindow::changeEvent(e);
}

void CMainDlg::DestroyWindow() {
    if (destroyed_) return;
    destroyed_ = true;
    // What the window was recognised by goes with it.
    if (!options_.instanceName.isEmpty()) setProperty(options_.instanceName.toUtf8().constData(), QVariant());
    notices_.Reset();
    hide();
    emit windowDestroyed();
}

// ---- connection ---------------------------------------------------------------

bool CMainDlg::ConnectKeyboard() { return link_.ConnectKeyboard(); }

void CMainDlg::QueryFirmwareVersion() { link_.QueryFirmwareVersion(); }

void CMainDlg::ShowFirmwareVersion() {
    std::string text;
    if (!link_.FirmwareVersionText(Tr("Firmware").toStdString(), &text)) return;
    if (auto* w = FindChildByName(QStringLiteral("version"))) {
        if (auto* s = qobject_cast<ui::SWindow*>(w)) s->setText(QString::fromStdString(text));
        w->setProperty("text", QString::fromStdString(text));
    }
}

QString CMainDlg::AssignmentLabel(const QString& name, const QString& group) const {
    if (group.isEmpty()) return name;
    return name + QStringLiteral(" : ") + ui::TranslatorManager::Tr(QString(), group);
}

void CMainDlg::ShowAssignedKeys() {
    if (!keyboardImage_) return;
    for (const KeyAssignment& a : *KeyAssignmentTable::Instance().Snapshot()) {
        const int32_t keyId = int32_t(uint32_t(a.code) & 0xFFFF);
        keyboardImage_->SetKeyChecked(keyId, true);
        keyboardImage_->SetKeyLabel(AssignmentLabel(QString::fromStdString(a.name), QString::fromStdString(a.group)),
                                    keyId);
    }
    keyboardImage_->update();
}

void CMainDlg::RefreshAfterConnect() {
    QueryFirmwareVersion();
    ShowFirmwareVersion();
    link_.MarkSent();
    ShowEffectSettings(true);
    ShowSideSettings(true);
    ShowAssignedKeys();
    factoryResetPending_ = 0;
}

void CMainDlg::OnDeviceChange(int event, const std::string& path) {
    if (destroyed_ || !initialised_) return;
    hid::DeviceNotice notice;
    if (!protocol::MatchKeyboardNotice(event, path, &notice)) return;
    if (notice.event == platform::kDeviceArrival) {
        if (notice.row >= 0) {
            link_.keyboard.Close();
            link_.ConnectRow(notice.row);
        }
        if (link_.keyboard.IsOpen()) {
            RefreshAfterConnect();
        } else {
            link_.firmwareVersion = -1;
            ShowFirmwareVersion();
        }
        filterListener_.OpenDevice();
        return;
    }
    if (notice.row < 0) return;
    link_.keyboard.Close();
    link_.ConnectRow(notice.row);
    if (link_.keyboard.IsOpen()) {
        RefreshAfterConnect();
        return;
    }
    link_.firmwareVersion = -1;
    ShowFirmwareVersion();
    // Whatever the keyboard was doing through us ends with it.
    ReleaseKeys();
    if (!factoryResetPending_) DestroyWindow();
}

int32_t CMainDlg::RunStartupSlot(int32_t index, int32_t, const uint8_t*, uint32_t) {
    link_.SendStartupSlot(index);
    return 0;
}

int32_t CMainDlg::OnFilterKey(uint8_t usagePage, uint16_t usage, bool pressed) {
    return keyActions_.OnFilterKey(usagePage, usage, pressed);
}

void CMainDlg::ReleaseKeys() {
    keyActions_.StopAndRelease();
    VHidev::Instance().ReleaseAll();
}

// ---- window ---------------------------------------------------------------------

bool CMainDlg::HasTray() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

void CMainDlg::MinimizeToTray() {
    // Without a notification area a hidden window could not be found again.
    if (HasTray())
        hide();
    else
        showMinimized();
}

void CMainDlg::ToggleFromTray() {
    if (destroyed_) return;
    if (isVisible() && !isMinimized()) {
        hide();
        return;
    }
    BringToFront();
}

void CMainDlg::BringToFront() {
    if (destroyed_) return;
    if (isMinimized()) showNormal();
    if (!isVisible()) show();
    raise();
    activateWindow();
}
