#include "assigndlg/MacroRecordDlg.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <cmath>

#include "app/AppConfig.h"
#include "data/KeyNameTable.h"
#include "data/LenientNumber.h"
#include "data/MacroGroupFile.h"
#include "data/MacroLibrary.h"
#include "fnkeys/FilterListener.h"
#include "fnkeys/KeyActionService.h"
#include "platform/Clock.h"
#include "ui/MessageBox.h"
#include "ui/PostedMessage.h"
#include "ui/SComboBox.h"
#include "ui/SListView.h"
#include "ui/SMCListView.h"
#include "ui/TranslatorManager.h"
#include "widgets/SCheckBoxEx.h"
#include "widgets/STabCtrl2.h"

namespace {

constexpr int kTabsId = 65564;
constexpr int kRepeatEditId = 65584;
constexpr int kDelayEditId = 65585;
constexpr int kDelaySwitchIds[3] = {65586, 65587, 65588};
constexpr int kSingleRecordId = 65591;
constexpr int kSingleKeyId = 65592;
constexpr int kMediaListId = 65593;
constexpr int kFunctionListId = 65594;
constexpr int kPlayModeId = 65590;
constexpr int kRecordSwitchId = 65589;

const QString kContext = QStringLiteral("MacroRecordDlg");

QString Tr(const char* source) { return ui::TranslatorManager::Tr(kContext, QString::fromUtf8(source)); }

// A key event with the time the reader thread took it from the driver.
class KeyMessage : public ui::PostedMessage {
public:
    KeyMessage(int32_t code, bool pressed, int64_t us)
        : ui::PostedMessage(MacroRecordDlg::kKeyMessage, static_cast<uint32_t>(code), pressed ? 1 : 0), us(us) {}
    const int64_t us;
};

MacroRecordDlg::FileChooser& Chooser() {
    static MacroRecordDlg::FileChooser chooser;
    return chooser;
}

QString ChooseFile(QWidget* owner, bool save, const QString& suggested) {
    if (Chooser()) return Chooser()(owner, save, suggested);
    const QString filter = Tr("Macro files (*.xml)");
    return save
               ? QFileDialog::getSaveFileName(owner, Tr("Export macro group"), QDir::home().filePath(suggested), filter)
               : QFileDialog::getOpenFileName(owner, Tr("Import macro groups"), QString(), filter);
}

// A file name from a group name: characters that file systems refuse become '_'.
QString FileNameFor(const std::string& groupName) {
    QString name = QString::fromStdString(groupName).trimmed();
    for (QChar& c : name)
        if (QStringLiteral("/\\:*?\"<>|").contains(c) || c.unicode() < 0x20) c = u'_';
    return (name.isEmpty() ? QStringLiteral("macro") : name) + QStringLiteral(".xml");
}

}  // namespace

void MacroRecordDlg::SetFileChooser(FileChooser chooser) { Chooser() = std::move(chooser); }

MacroRecordDlg::MacroRecordDlg(HidUsbFilter::FilterListener& listener, MacroLibrary& library,
                               const AssignKeys& assignKeys, MacroRecordDlgServices services, QWidget* parent)
    : ui::HostDialog(QStringLiteral("LAYOUT:macro"), parent),
      filterListener_(listener),
      library_(library),
      assignKeys_(assignKeys),
      services_(services),
      clock_(services.clock ? *services.clock : platform::SteadyClock()),
      groupAdapter_(library),
      stepAdapter_(library) {
    filterListener_.AddMonitor(this, &MacroRecordDlg::OnKeyEvent);
    // From here on every release reaches this dialog, not the key actions: let
    // go of whatever they hold now, or it would stay pressed.
    if (services_.keyActions) services_.keyActions->StopAndRelease();
}

MacroRecordDlg::~MacroRecordDlg() {
    filterListener_.RemoveMonitor(this, &MacroRecordDlg::OnKeyEvent);
    filterListener_.Restart();
}

int32_t MacroRecordDlg::OnKeyEvent(uint8_t usagePage, uint16_t usage, bool pressed) {
    const int32_t code = static_cast<int32_t>((uint32_t{usagePage} << 16) | usage);
    QCoreApplication::postEvent(this, new KeyMessage(code, pressed, clock_.NowUs()));
    return 1;
}

bool MacroRecordDlg::event(QEvent* e) {
    if (e->type() == ui::PostedMessage::EventType()) {
        if (auto* key = dynamic_cast<KeyMessage*>(e)) {
            OnKey(static_cast<int32_t>(key->wparam), key->lparam != 0, key->us);
            return true;
        }
    }
    return ui::HostDialog::event(e);
}

// The same message posted by anyone else has no stamp: it is timed on arrival.
void MacroRecordDlg::OnMessage(uint32_t msg, uintptr_t wparam, intptr_t lparam) {
    if (msg == kKeyMessage) OnKey(static_cast<int32_t>(wparam), lparam != 0, clock_.NowUs());
}

void MacroRecordDlg::End(int value) {
    if (ended_) return;  // the first end value is the result
    ended_ = true;
    EndDialog(value);
}

int MacroRecordDlg::SelectedGroupRow() const { return groupList_ ? groupList_->GetSel() : -1; }

void MacroRecordDlg::OnLayoutReady() {
    MacroRecordConfig& cfg = library_.Config();
    const AppConfig& config = services_.config ? *services_.config : AppConfig::Instance();

    // 1-2: the lists and their adapters.
    stepList_ = qobject_cast<ui::SMCListView*>(FindChildByName(QStringLiteral("key_info"), "mclistview"));
    if (stepList_) stepList_->SetAdapter(&stepAdapter_);
    groupList_ = qobject_cast<ui::SListView*>(FindChildByName(QStringLiteral("macro_group"), "listview"));
    if (groupList_) {
        groupAdapter_.SetListener(this);
        groupList_->SetAdapter(&groupAdapter_);
        if (cfg.group < 0 || cfg.group >= static_cast<int>(library_.Groups().size())) cfg.group = 0;
        groupList_->SetSel(cfg.group, false);
        stepAdapter_.SetCurrentGroup(cfg.group);
    }
    // 3-4.
    lastEventUs_ = -1;
    if (auto* keys = qobject_cast<QLabel*>(FindChildByName(QStringLiteral("text_recording_keys"), "text"))) {
        QStringList names;
        for (const auto& [id, name] : assignKeys_) names << name;
        keys->setText(names.join(u','));
    }
    // 5-6: the delay mode and its switches.
    if (cfg.mode >= 3) {
        cfg.mode = 0;
        library_.Save();
    }
    for (int i = 0; i < 3; ++i) {
        delaySwitches_[i] = qobject_cast<QAbstractButton*>(FindChildById(kDelaySwitchIds[i]));
        if (delaySwitches_[i]) delaySwitches_[i]->setChecked(false);
    }
    if (cfg.mode >= 0 && cfg.mode < 3 && delaySwitches_[cfg.mode]) delaySwitches_[cfg.mode]->setChecked(true);
    // 7-8.
    tabs_ = qobject_cast<STabCtrl2*>(FindChildById(kTabsId, "tabctrl2"));
    delayEdit_ = qobject_cast<QLineEdit*>(FindChildById(kDelayEditId, "edit"));
    repeatEdit_ = qobject_cast<QLineEdit*>(FindChildById(kRepeatEditId, "edit"));
    recordSwitch_ = qobject_cast<SCheckBoxEx*>(FindChildById(kRecordSwitchId, "checkex"));
    singleRecordSwitch_ = qobject_cast<SCheckBoxEx*>(FindChildById(kSingleRecordId, "checkex"));
    singleKeyText_ = qobject_cast<QLabel*>(FindChildById(kSingleKeyId, "text"));
    if (singleKeyText_)
        singleKeyText_->setText(QString::fromUtf8(KeyNameTable::FindKeyName(static_cast<uint32_t>(cfg.skcode)).name));
    // 9-10: the lists from the settings file, names translated.
    mediaList_ = qobject_cast<ui::SComboBox*>(FindChildById(kMediaListId, "combobox"));
    functionList_ = qobject_cast<ui::SComboBox*>(FindChildById(kFunctionListId, "combobox"));
    playModeList_ = qobject_cast<ui::SComboBox*>(FindChildById(kPlayModeId, "combobox"));
    if (mediaList_)
        for (const FunkeyEntry& e : config.funkeys)
            mediaList_->AddItem(ui::TranslatorManager::Tr(QString(), QString::fromStdString(e.name)));
    if (functionList_)
        for (const CombkeyEntry& e : config.combkeys)
            functionList_->AddItem(ui::TranslatorManager::Tr(QString(), QString::fromStdString(e.name)));
    // 9, 11: subscriptions, before anything below changes a widget.
    Subscribe();
    // 12: the page; a change runs the page handling (capture, save).
    if (tabs_) tabs_->SetCurSel(cfg.type);
    // 13-14.
    if (delayEdit_) delayEdit_->setText(QString::number(cfg.delay));
    if (repeatEdit_) repeatEdit_->setText(QString::number(cfg.repeat));
    if (delayEdit_) {
        if (cfg.mode == 2) delayEdit_->setText(QStringLiteral("0"));
        if (cfg.mode == 0 || cfg.mode == 2) delayEdit_->setEnabled(false);
    }
    // 15.
    if (recordSwitch_) recordSwitch_->setChecked(false);
    // 16: choosing an entry that exists is a selection like the user's (stored, saved).
    auto choose = [](ui::SComboBox* list, int index, const std::function<void()>& changed) {
        if (!list || index < 0 || index >= list->GetCount()) return;
        list->SetCurSel(index, false);
        changed();
    };
    choose(playModeList_, cfg.play, [this, &cfg] {
        cfg.play = playModeList_->GetCurSel();
        library_.Save();
    });
    cfg.playValue =
        playModeList_ && playModeList_->GetCurSel() >= 0 ? playModeList_->GetItemData(playModeList_->GetCurSel()) : 0;
    choose(functionList_, cfg.function, [this, &cfg] {
        cfg.function = functionList_->GetCurSel();
        library_.Save();
    });
    choose(mediaList_, cfg.media, [this, &cfg] {
        cfg.media = mediaList_->GetCurSel();
        library_.Save();
    });
    // 17-18.
    if (singleRecordSwitch_) singleRecordSwitch_->setChecked(false);
    if (cfg.type == 1 && filterListener_.Restart()) filterListener_.SendCaptureRequest();
}

void MacroRecordDlg::Subscribe() {
    MacroRecordConfig& cfg = library_.Config();
    auto onSel = [this, &cfg](ui::SComboBox* list, int32_t MacroRecordConfig::*field, bool playValue) {
        if (!list) return;
        ui::Subscribe(list, ui::ev::kSelChanged, [this, &cfg, list, field, playValue](ui::EventArgs&) {
            cfg.*field = list->GetCurSel();
            if (playValue) cfg.playValue = list->GetCurSel() >= 0 ? list->GetItemData(list->GetCurSel()) : 0;
            library_.Save();
            return true;
        });
    };
    onSel(playModeList_, &MacroRecordConfig::play, true);
    onSel(mediaList_, &MacroRecordConfig::media, false);
    onSel(functionList_, &MacroRecordConfig::function, false);

    if (recordSwitch_) {
        // The switch's own handler runs before the dialog's command handler.
        ui::Subscribe(recordSwitch_, ui::ev::kCommand, [this](ui::EventArgs&) {
            if (SelectedGroupRow() < 0)
                recordSwitch_->setChecked(false);
            else
                ui::SetTrText(
                    recordSwitch_, kContext,
                    recordSwitch_->isChecked() ? QStringLiteral("Stop record") : QStringLiteral("Start record"));
            return false;
        });
    }
    if (delayEdit_)
        ui::Subscribe(delayEdit_, ui::ev::kEditChanged, [this](ui::EventArgs&) {
            OnDelayTextChanged();
            return true;
        });
    if (repeatEdit_)
        ui::Subscribe(repeatEdit_, ui::ev::kEditChanged, [this](ui::EventArgs&) {
            OnRepeatTextChanged();
            return true;
        });
    if (tabs_)
        ui::Subscribe(tabs_, ui::ev::kTabSelChanged, [this](ui::EventArgs& a) {
            OnPageChanged(a.cur);
            return true;
        });

    auto command = [this](const char* name, std::function<void()> action) {
        On(ui::ev::kCommand, QString::fromUtf8(name), [action = std::move(action)](ui::EventArgs&) {
            action();
            return true;
        });
    };
    command("btnRestore", [this] { ToggleRestore(); });
    command("btnMin", [this] { Minimize(); });
    command("btnOK", [this] {
        if (ended_) return;  // a late click after the end changes nothing
        const int page = tabs_ ? tabs_->GetCurSel() : -1;
        if (!assignKeys_.empty() && page >= 0 && page <= 2) library_.Config().group = SelectedGroupRow();
        End(kEndOk);
    });
    command("btnDelete", [this] { End(kEndDelete); });
    command("btnCancel", [this] { End(kEndCancel); });
    command("groupAdd", [this] { OnGroupAdd(); });
    command("groupDel", [this] { OnGroupDelete(); });
    command("groupExport", [this] { OnExport(); });
    command("groupImport", [this] { OnImport(); });
    for (const char* step : {"item_up", "item_down", "item_delete", "item_clear"})
        command(step, [this, step] { OnStepCommand(QString::fromUtf8(step)); });
    command("chk_macro_record", [this] { OnRecordClicked(); });
    for (int i = 0; i < 3; ++i)
        On(ui::ev::kCommand, kDelaySwitchIds[i], [this, i](ui::EventArgs&) {
            OnDelayMode(i);
            return true;
        });
}

void MacroRecordDlg::OnPageChanged(int page) {
    if (page == 1) {
        filterListener_.Restart();
        filterListener_.SendCaptureRequest();
    } else {
        filterListener_.Stop();
        if (page == 0 && captureRunning_) {
            captureRunning_ = filterListener_.Restart();
            if (captureRunning_) filterListener_.SendCaptureRequest();
        }
    }
    library_.Config().type = page;
    library_.Save();
}

void MacroRecordDlg::OnRecordClicked() {
    if (!recordSwitch_) return;
    library_.Config().recording = recordSwitch_->isChecked() ? 1 : 0;
    if (recordSwitch_->isChecked()) {
        captureRunning_ = filterListener_.Restart();
        if (captureRunning_) filterListener_.SendCaptureRequest();
    } else {
        filterListener_.Stop();
        captureRunning_ = false;
    }
}

void MacroRecordDlg::OnDelayMode(int mode) {
    MacroRecordConfig& cfg = library_.Config();
    cfg.mode = mode;
    if (delayEdit_) {
        if (mode == 1) {
            delayEdit_->setEnabled(true);
            delayEdit_->setText(QString::number(cfg.delay));
        } else {
            if (mode == 2) delayEdit_->setText(QStringLiteral("0"));
            delayEdit_->setEnabled(false);
        }
    }
    library_.Save();
}

void MacroRecordDlg::OnDelayTextChanged() {
    MacroRecordConfig& cfg = library_.Config();
    if (cfg.mode != 1 || !delayEdit_) return;
    cfg.delay = LenientNumber::SignedDecimal(delayEdit_->text().toUtf8().constData());
    library_.Save();
}

void MacroRecordDlg::OnRepeatTextChanged() {
    if (!repeatEdit_) return;
    library_.Config().repeat = LenientNumber::SignedDecimal(repeatEdit_->text().toUtf8().constData());
    library_.Save();
}

void MacroRecordDlg::OnKey(int32_t code, bool pressed, int64_t timeUs) {
    const std::string name = KeyNameTable::FindKeyName(static_cast<uint32_t>(code)).name;
    const int page = tabs_ ? tabs_->GetCurSel() : -1;
    if (page == 1) {
        if (!pressed) return;
        library_.Config().skcode = code;
        if (singleKeyText_) singleKeyText_->setText(QString::fromStdString(name));
    } else if (page == 0 && recordSwitch_ && recordSwitch_->isChecked()) {
        Record(code, pressed, name, timeUs);
    }
}

void MacroRecordDlg::Record(int32_t code, bool pressed, const std::string& name, int64_t timeUs) {
    const MacroRecordConfig& cfg = library_.Config();
    MacroGroup* group = stepAdapter_.CurrentGroup();
    const size_t n = group ? group->steps.size() : 0;
    if (!pressed && n == 0) return;  // a macro never starts with a release

    // The delay of the step before this event. In real time it is measured from
    // the stamps; before the first event of this dialog there is nothing to
    // measure from, and the step keeps the delay it had.
    bool measured = true;
    int32_t delay = 0;
    if (cfg.mode == 0) {
        measured = lastEventUs_ >= 0;
        if (measured) delay = static_cast<int32_t>(std::llround(double(timeUs - lastEventUs_) / 1000.0));
    } else if (cfg.mode == 1) {
        delay = cfg.delay;
    }
    if (n >= 1 && measured) group->steps[n - 1].delay = delay;

    const size_t before = n;
    stepAdapter_.AppendStep(code, pressed ? 1 : 0, 0, name);
    const bool appended = stepAdapter_.CurrentGroup() && stepAdapter_.CurrentGroup()->steps.size() > before;
    if (!pressed && stepList_) stepList_->SetScrollPos(1000000);
    if (!appended) stepAdapter_.NotifyDataSetChanged();  // AppendStep refreshed otherwise
    lastEventUs_ = timeUs;
}

void MacroRecordDlg::OnMacroGroupClicked(int32_t row, const std::string&) {
    if (groupList_ && groupList_->GetAdapter() && stepList_ && stepList_->GetAdapter())
        stepAdapter_.SetCurrentGroup(row < 0 ? library_.Config().group : row);
    if (groupList_ && groupList_->GetAdapter()) library_.Config().group = SelectedGroupRow();
}

void MacroRecordDlg::OnGroupAdd() {
    MacroRecordConfig& cfg = library_.Config();
    library_.AddGroup();
    groupAdapter_.NotifyDataSetChanged();
    if (cfg.group < 0 && !library_.Groups().empty()) {
        cfg.group = 0;
        if (groupList_) groupList_->SetSel(0, false);
    }
}

void MacroRecordDlg::OnGroupDelete() {
    const int row = SelectedGroupRow();
    if (row >= 0) library_.DeleteGroup(row);
    groupAdapter_.NotifyDataSetChanged();
    library_.Config().group = SelectedGroupRow();
    // The group that took the deleted one's place, or none.
    stepAdapter_.SetCurrentGroup(library_.Config().group);
}

void MacroRecordDlg::OnStepCommand(const QString& name) {
    const int s = stepList_ ? stepList_->GetSel() : -1;
    if (name == u"item_up") {
        if (s > 0 && stepAdapter_.MoveStepUp(s)) {
            stepList_->SetSel(s - 1, false);
            library_.Config().group = SelectedGroupRow();
        }
    } else if (name == u"item_down") {
        if (s < stepAdapter_.GetCount() && stepAdapter_.MoveStepDown(s)) {
            stepList_->SetSel(s + 1, false);
            library_.Config().group = SelectedGroupRow();
        }
    } else if (name == u"item_delete") {
        stepAdapter_.DeleteStep(s);
        library_.Config().group = SelectedGroupRow();
    } else if (name == u"item_clear") {
        stepAdapter_.ClearSteps();
        library_.Config().group = SelectedGroupRow();
    }
}

void MacroRecordDlg::Warn(const QString& text) { ui::MessageBox(this, text, Tr("Warning"), ui::MB_OK); }

void MacroRecordDlg::OnExport() {
    const MacroGroup* group = library_.GetGroup(SelectedGroupRow());
    if (!group) {
        Warn(Tr("Select the macro group to export."));
        return;
    }
    const QString path = ChooseFile(this, true, FileNameFor(group->name));
    if (path.isEmpty()) return;
    if (!MacroGroupFile::Write(*group, path.toStdString())) Warn(Tr("The file could not be written."));
}

void MacroRecordDlg::OnImport() {
    const QString path = ChooseFile(this, false, QString());
    if (path.isEmpty()) return;
    using Status = MacroGroupFile::Status;
    const MacroGroupFile::Result r = MacroGroupFile::Import(library_, path.toStdString());
    switch (r.status) {
    case Status::kOk:
        groupAdapter_.NotifyDataSetChanged();
        return;
    case Status::kUnreadable:
        Warn(Tr("The file could not be read. Nothing was imported."));
        return;
    case Status::kTooLarge:
        Warn(Tr("The file is too large to be a macro file. Nothing was imported."));
        return;
    case Status::kNotXml:
        Warn(Tr("The file is not a macro file (it is not XML). Nothing was imported."));
        return;
    case Status::kNoGroup:
        Warn(Tr("The file holds no macro group. Nothing was imported."));
        return;
    case Status::kBadStep:
        Warn(Tr("Step %1 of group %2 in the file has no valid key. Nothing was imported.")
                 .arg(r.badStep + 1)
                 .arg(r.badGroup + 1));
        return;
    case Status::kNotSaved:
        Warn(Tr("The macros could not be saved. Nothing was imported."));
        return;
    }
}
