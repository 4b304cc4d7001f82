#pragma once
// The key-assignment dialog: the user chooses what the keys being assigned do -
// a macro (groups and steps edited and recorded here), a single key captured
// from the keyboard, a media key or a key combination from the settings file.
// Its choices are left in the MacroLibrary (most saved at once) and in its end
// value: 1 OK, 2 Cancel, 65596 Delete. It never touches an assignment itself.
//
// While it exists its key receiver stands first in the filter listener's list
// and swallows every event, so no assigned key is carried out. Events come in
// on the reader thread, are stamped with the time there and posted to the
// dialog (message 0x401); recording runs on the UI thread from those stamps, so
// a busy UI does not stretch the recorded delays.
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "assigndlg/IOnMacroGroupClickedListener.h"
#include "assigndlg/KeyAndDelayAdapter.h"
#include "assigndlg/MacroGroupAdapter.h"
#include "ui/HostDialog.h"

class AppConfig;
class KeyActionService;
class MacroLibrary;
class SCheckBoxEx;
class STabCtrl2;
class QLineEdit;
class QLabel;
class QAbstractButton;
namespace HidUsbFilter {
class FilterListener;
}
namespace platform {
class Clock;
}
namespace ui {
class SComboBox;
class SListView;
class SMCListView;
}  // namespace ui

// What the dialog uses besides the listener, the library and the keys; null
// members mean the process-wide ones.
struct MacroRecordDlgServices {
    // Released before the dialog starts swallowing events' releases.
    KeyActionService* keyActions = nullptr;
    const AppConfig* config = nullptr;  // AppConfig::Instance()
    platform::Clock* clock = nullptr;   // the steady clock
};

class MacroRecordDlg : public ui::HostDialog, public IOnMacroGroupClickedListener {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "macro::Grouplg")
public:
    static constexpr uint32_t kKeyMessage = 0x401;
    static constexpr int kEndOk = 1;
    static constexpr int kEndCancel = 2;
    static constexpr int kEndDelete = 65596;  // the id of btnDelete

    // Key id (usage of a picture key) -> key name, ascending.
    using AssignKeys = std::map<int32_t, QString>;

    MacroRecordDlg(HidUsbFilter::FilterListener& listener, MacroLibrary& library, const AssignKeys& assignKeys,
                   MacroRecordDlgServices services = {}, QWidget* parent = nullptr);
    ~MacroRecordDlg() override;

    // The listener's receiver (reader thread): posts the event and consumes it.
    int32_t OnKeyEvent(uint8_t usagePage, uint16_t usage, bool pressed);
    void OnMacroGroupClicked(int32_t row, const std::string& name) override;

    // Time of the last recorded key event in ms of the dialog's clock, -1 before any.
    int32_t LastEventTime() const { return lastEventUs_ < 0 ? -1 : static_cast<int32_t>(lastEventUs_ / 1000); }
    bool CaptureRunning() const { return captureRunning_; }
    MacroGroupAdapter& GroupAdapter() { return groupAdapter_; }
    KeyAndDelayAdapter& StepAdapter() { return stepAdapter_; }

    // Where import and export ask for a file; tests answer instead. Returns the
    // chosen path, empty when the user cancelled. Null restores the file dialog.
    using FileChooser = std::function<QString(QWidget* owner, bool save, const QString& suggestedName)>;
    static void SetFileChooser(FileChooser chooser);

    void reject() override { End(kEndCancel); }

protected:
    void OnLayoutReady() override;
    void OnMessage(uint32_t msg, uintptr_t wparam, intptr_t lparam) override;
    bool event(QEvent* e) override;

private:
    void End(int value);
    void Subscribe();
    void OnPageChanged(int page);
    void OnRecordClicked();
    void OnDelayMode(int mode);
    void OnDelayTextChanged();
    void OnRepeatTextChanged();
    void OnKey(int32_t code, bool pressed, int64_t timeUs);
    void Record(int32_t code, bool pressed, const std::string& name, int64_t timeUs);
    void OnGroupAdd();
    void OnGroupDelete();
    void OnStepCommand(const QString& name);
    void OnExport();
    void OnImport();
    int SelectedGroupRow() const;
    void Warn(const QString& text);

    HidUsbFilter::FilterListener& filterListener_;
    MacroLibrary& library_;
    const AssignKeys& assignKeys_;
    MacroRecordDlgServices services_;
    platform::Clock& clock_;

    ui::SListView* groupList_ = nullptr;
    ui::SMCListView* stepList_ = nullptr;
    int64_t lastEventUs_ = -1;
    QAbstractButton* delaySwitches_[3] = {};
    QLineEdit* repeatEdit_ = nullptr;
    QLineEdit* delayEdit_ = nullptr;
    SCheckBoxEx* recordSwitch_ = nullptr;
    SCheckBoxEx* singleRecordSwitch_ = nullptr;
    QLabel* singleKeyText_ = nullptr;
    STabCtrl2* tabs_ = nullptr;
    ui::SComboBox* mediaList_ = nullptr;
    ui::SComboBox* functionList_ = nullptr;
    ui::SComboBox* playModeList_ = nullptr;
    MacroGroupAdapter groupAdapter_;
    KeyAndDelayAdapter stepAdapter_;
    bool captureRunning_ = false;
    bool ended_ = false;
};
