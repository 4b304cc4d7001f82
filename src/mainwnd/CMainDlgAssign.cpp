// The key-assignment flow from the keyboard picture: the dialog run modally for
// the clicked key, then its choices turned into the key's assignment, stored in
// record.xml, shown on the picture and handed to the filter driver.
#include <memory>

#include "app/AppConfig.h"
#include "assigndlg/MacroRecordDlg.h"
#include "data/KeyAssignmentTable.h"
#include "data/KeyNameTable.h"
#include "data/MacroLibrary.h"
#include "mainwnd/CMainDlg.h"
#include "widgets/CoordButtonImage.h"

namespace {

// The assignment the dialog's choices make for a key; false when they make none
// (no such group, media entry or combination, or a combination without keys).
bool BuildAssignment(const MacroLibrary& library, const AppConfig& config, KeyAssignment& a) {
    const MacroRecordConfig& c = library.Config();
    a.type = c.type;
    switch (c.type) {
    case KeyAssignment::Macro: {
        if (static_cast<uint32_t>(c.group) >= library.Groups().size()) return false;
        const MacroGroup& group = library.Groups()[static_cast<size_t>(c.group)];
        a.group = group.name;
        a.value = c.repeat;
        a.play = c.playValue;
        a.repeat = c.repeat;
        a.steps = group.steps;
        return true;
    }
    case KeyAssignment::SingleKey:
        a.group = KeyNameTable::FindKeyName(static_cast<uint32_t>(c.skcode)).name;
        a.value = c.skcode;
        a.play = 1;
        a.repeat = 1;
        a.steps = {MacroStep{c.skcode, 0, 0, {}}};
        return true;
    case KeyAssignment::MediaKey: {
        if (c.media < 0 || static_cast<size_t>(c.media) >= config.funkeys.size()) return false;
        const FunkeyEntry& e = config.funkeys[static_cast<size_t>(c.media)];
        a.group = e.name;
        a.value = static_cast<int32_t>(e.code);
        a.play = 1;
        a.repeat = 1;
        a.steps = {MacroStep{static_cast<int32_t>(e.code), 0, 0, {}}};
        return true;
    }
    case KeyAssignment::Function: {
        if (c.function < 0 || static_cast<size_t>(c.function) >= config.combkeys.size()) return false;
        const CombkeyEntry& e = config.combkeys[static_cast<size_t>(c.function)];
        if (e.keys.empty()) return false;
        a.group = e.name;
        a.value = 1;
        a.play = 2;
        a.repeat = 1;
        // Pressed in order, each a millisecond longer than its delay, then released in order.
        for (const auto& [code, delay] : e.keys) a.steps.push_back(MacroStep{code, 1, delay + 1, {}});
        for (const auto& [code, delay] : e.keys) a.steps.push_back(MacroStep{code, 0, delay, {}});
        return true;
    }
    default:
        return false;
    }
}

}  // namespace

bool CMainDlg::OnCoordButtonClick(int32_t id, QString name, int action, uint32_t, int32_t, int32_t) {
    if (action != 1) return false;
    if (!link_.keyboard.IsOpen()) return false;
    CoordButton key;
    if (!keyboardImage_ || !keyboardImage_->GetKeyInfo(id, &key)) return false;
    const int32_t code =
        static_cast<int32_t>((static_cast<uint32_t>(key.va) << 16) | (static_cast<uint32_t>(key.id) & 0xFFFF));

    assignKeys.emplace(id, name);
    MacroRecordDlgServices services;
    services.keyActions = &keyActions_;  // released as the dialog opens
    services.clock = &clock_;
    auto dialog = std::make_unique<MacroRecordDlg>(filterListener_, MacroLibrary::Instance(), assignKeys, services);
    assignmentDialog = dialog.get();
    const int end = dialog->DoModal(this);
    filterListener_.SendCaptureRequest();

    if (end == MacroRecordDlg::kEndOk) {
        ApplyAssignment(id, code, name);
    } else if (end == kDeleteEndValue) {
        keyActions_.StopAndRelease();
        KeyAssignmentTable& table = KeyAssignmentTable::Instance();
        table.RemoveAssignment(code);
        const int32_t keyId = static_cast<int32_t>(static_cast<uint32_t>(code) & 0xFFFF);
        if (keyboardImage_) {
            keyboardImage_->SetKeyLabel(QString(), keyId);
            keyboardImage_->SetKeyChecked(keyId, false);
            keyboardImage_->update();
        }
        table.Save();
        filterListener_.PushKeyTable();
    }

    // Deleting the dialog unregisters it and gives the reader back to the window.
    dialog.reset();
    assignmentDialog = nullptr;
    assignKeys.clear();
    if (onAssignmentDone) onAssignmentDone(end);
    return false;
}

void CMainDlg::ApplyAssignment(int32_t id, int32_t code, const QString& name) {
    if (id != 0) {
        // Marked whatever follows: a choice that builds nothing still shows here.
        if (keyboardImage_) keyboardImage_->SetKeyChecked(id, true);
        KeyAssignment a;
        a.code = code;
        a.name = name.toStdString();
        if (BuildAssignment(MacroLibrary::Instance(), AppConfig::Instance(), a)) {
            if (keyboardImage_) {
                keyboardImage_->SetKeyLabel(AssignmentLabel(name, QString::fromStdString(a.group)), id);
                keyboardImage_->update();
            }
            // Nothing the old assignment pressed may stay down once it is replaced.
            keyActions_.StopAndRelease();
            KeyAssignmentTable::Instance().SetAssignment(a);
            KeyAssignmentTable::Instance().Save();
            filterListener_.PushKeyTable();
        }
    }
    MacroLibrary::Instance().Save();
    filterListener_.PushKeyTable();
}
