#pragma once
// The main window: connection to the keyboard at start and on device notices,
// the lighting panel, the key-assignment flow from the keyboard picture, the
// title-bar buttons and the menu commands.
//
// The window owns the UI-free objects that do the work: a keyboard link (the
// open keyboard, its family, pacing, version), the key-action service (play
// state and macro thread), the filter listener and the delayed-work thread.
// Device notices arrive on the backend's thread and are posted here.
#include <QString>
#include <cstdint>
#include <functional>
#include <map>

#include "fnkeys/FilterListener.h"
#include "fnkeys/KeyActionService.h"
#include "hid/RunableThread.h"
#include "platform/Clock.h"
#include "platform/HidNoticeSubscription.h"
#include "protocol/KeyboardLink.h"
#include "ui/HostWindow.h"
#include "widgets/ICoordButtonClickListener.h"

class CoordButtonImage;
class MacroRecordDlg;
class VHidev;

namespace ui {
class SComboBox;
class SSliderBar;
class STabCtrl;
class SWindow;
}  // namespace ui

class CMainDlg : public ui::HostWindow, public ICoordButtonClickListener {
    Q_OBJECT
public:
    // Dialog end value of the key-assignment dialog's delete button.
    static constexpr int kDeleteEndValue = 65596;
    // Command ids of the menus.
    static constexpr int kCommandUpgrade = 1;
    static constexpr int kCommandExit = 6;

    struct Options {
        platform::Clock* clock = nullptr;  // pacing, the start-up packet, playback; null: steady
        int64_t startupSlotDelayMs = 2000;
        QString instanceName;  // the window property a second start looks for
    };

    explicit CMainDlg(Options options);
    CMainDlg() : CMainDlg(Options{}) {}
    ~CMainDlg() override;

    // Builds the layout and runs the initialisation. False when the window
    // destroyed itself on the way (no keyboard).
    bool OnInitDialog();
    bool IsDestroyed() const { return destroyed_; }

    // Destroys the window: it hides for good and the application ends.
    void DestroyWindow();

    // Connection and notices.
    bool ConnectKeyboard();
    void QueryFirmwareVersion();
    void ShowFirmwareVersion();
    void ShowAssignedKeys();
    void RefreshAfterConnect();
    void OnDeviceChange(int event, const std::string& path);

    // Lighting panel.
    void ShowEffectSettings(bool selectInList);
    void StoreEffectSettings();
    void ShowSideSettings(bool selectInList);
    void StoreSideSettings();

    // Window and menu commands.
    void ShowMoreMenu();
    bool SwitchLanguage(bool chinese);
    void RestoreFactory();
    void CheckFirmwareUpgrade();
    void OnMenuCommand(int id);
    // "btn_min": hides into the tray; minimises where there is no tray.
    void MinimizeToTray();
    // The tray's left click: hides a shown window, shows a hidden one in front.
    void ToggleFromTray();
    // A second start asked for this window: restore, show, raise, activate.
    void BringToFront();

    // Key picture.
    bool OnCoordButtonClick(int32_t id, QString name, int action, uint32_t flags, int32_t x, int32_t y) override;

    // The key handler registered with the filter listener (forwards to the service).
    int32_t OnFilterKey(uint8_t usagePage, uint16_t usage, bool pressed);
    // The delayed start-up lighting packet, on the worker thread.
    int32_t RunStartupSlot(int32_t index, int32_t, const uint8_t*, uint32_t);

    // Ends playback and lets go of every virtual key (table change, lost
    // keyboard, closing).
    void ReleaseKeys();

    protocol::KeyboardLink& Link() { return link_; }
    KeyActionService& KeyActions() { return keyActions_; }
    HidUsbFilter::FilterListener& Listener() { return filterListener_; }
    RunableThread<0>& Worker() { return worker_; }
    CoordButtonImage* KeyboardPicture() const { return keyboardImage_; }
    bool FactoryResetPending() const { return factoryResetPending_ != 0; }
    const std::map<int32_t, QString>& AssignKeys() const { return assignKeys; }
    MacroRecordDlg* AssignmentDialog() const { return assignmentDialog; }

    // Called after each dialog run (tests observe the flow through it).
    std::function<void(int endValue)> onAssignmentDone;

signals:
    // The window was destroyed: the message loop ends.
    void windowDestroyed();

protected:
    bool OnCommand(ui::EventArgs& args) override;
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void LookUpWidgets();
    void SubscribeEvents();
    void OnEffectListChanged();
    void OnSideListChanged();
    void OnEffectControlChanged();
    void OnSideSliderChanged();
    QString AssignmentLabel(const QString& name, const QString& group) const;
    // The apply steps after the dialog ended with OK, for the picture key id.
    void ApplyAssignment(int32_t id, int32_t code, const QString& name);
    void ClearPictureMarks();
    bool HasTray() const;

    Options options_;
    platform::Clock& clock_;

    protocol::KeyboardLink link_;
    // The service is declared before the listener so that the listener, whose
    // reader calls into it, goes first.
    KeyActionService keyActions_;
    HidUsbFilter::FilterListener filterListener_;
    RunableThread<0> worker_;
    platform::HidNoticeSubscription notices_;

    std::map<int32_t, QString> assignKeys;
    MacroRecordDlg* assignmentDialog = nullptr;
    int32_t factoryResetPending_ = 0;
    bool destroyed_ = false;
    bool initialised_ = false;
    bool shuttingDown_ = false;

    // Widgets found at initialisation; null when missing or of another class.
    ui::STabCtrl* effectTabs_ = nullptr;
    CoordButtonImage* keyboardImage_ = nullptr;
    ui::SComboBox* spareList_ = nullptr;
    ui::SComboBox* effectList_ = nullptr;
    ui::SComboBox* sideList_ = nullptr;
    ui::SSliderBar* sideSlider_ = nullptr;
    QWidget* sideCaption_ = nullptr;
    ui::SSliderBar* speedSliders_[4] = {};
    ui::SSliderBar* brightnessSliders_[4] = {};
};
