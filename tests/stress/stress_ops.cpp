// The operations a round makes the program do, as steps a person would take: menu choices on
// the panel, text and clicks in the password dialog, closing the window.
#include "panel/panel_ids.h"
#include "protect/password_dialog.h"
#include "stress.h"

namespace stress {

namespace {

const std::wstring kRegisterCaption = L"パスワードの登録";
const std::wstring kConfirmCaption = L"パスワードの再確認";
const std::wstring kVerifyCaption = L"パスワードの確認";
const std::wstring kChangeCaption = L"パスワードの変更";

bool PrivateLoaded(Round& r) {
    return Exists(r.paths.Data(L"MyData_2_2.dat")) && !Exists(r.paths.Data(L"MyData_2.dat"));
}
bool PrivateAway(Round& r) {
    return Exists(r.paths.Data(L"MyData_2.dat")) && !Exists(r.paths.Data(L"MyData_2_2.dat"));
}

// The dialog in a mode, its answer box shown and the password box ready for input.
std::function<bool(Round&)> DialogIn(const std::wstring& caption, int button) {
    return [caption, button](Round& r) {
        HWND d = r.program.Dialog();
        if (!d) return false;
        wchar_t text[128] = {};
        GetWindowTextW(d, text, 128);
        return caption == text && r.program.ControlVisible(button);
    };
}

// The dialog is gone and the panel, active again, has loaded Private.
bool ClosedWithPrivateLoaded(Round& r) {
    return !r.program.Dialog() && PrivateLoaded(r) && !Exists(r.paths.Data(L"MyData_0_0.dat"));
}

std::function<bool(Round&)> Menu(int id) {
    return [id](Round& r) { return r.program.PostPanelCommand(id); };
}

std::function<bool(Round&)> TypeNew(int button) {
    return [button](Round& r) { return r.program.SetDialogText(r.newPassword) && r.program.ClickDialog(button); };
}

std::function<bool(Round&)> TypeOld(int button) {
    return [button](Round& r) { return r.program.SetDialogText(r.state.password) && r.program.ClickDialog(button); };
}

Phase LoadPrivate() { return {L"Private", true, Menu(panel_ids::kPrivate), PrivateLoaded}; }

}  // namespace

std::vector<Operation> Operations() {
    using namespace password_dialog;
    const Phase closePanel{L"close", true,
                           [](Round& r) { return PostMessageW(r.program.panel(), WM_CLOSE, 0, 0) != FALSE; },
                           [](Round& r) { return !r.program.Running(); }};
    return {
        {L"switch-public", false, 1, false, {LoadPrivate(), {L"Public", true, Menu(panel_ids::kPublic), PrivateAway}}},
        {L"switch-kaomoji", false, 1, false, {LoadPrivate(), {L"顔文字", true, Menu(panel_ids::kKaomoji), PrivateAway}}},
        {L"close-private", false, 1, false, {LoadPrivate(), closePanel}},
        // No password yet and the switch on: choosing Private asks for a new one.
        {L"register", false, 0, true,
         {{L"open dialog", false, Menu(panel_ids::kPrivate), DialogIn(kRegisterCaption, kBtnRegister)},
          {L"first entry", false, TypeNew(kBtnRegister), DialogIn(kConfirmCaption, kBtnConfirm)},
          {L"confirm", true, TypeNew(kBtnConfirm), ClosedWithPrivateLoaded}}},
        // The box "パスワードは無効にします。" in the registration mode: re-keyed to the default key.
        {L"switchoff-check", false, 0, false,
         {{L"open dialog", false, Menu(panel_ids::kPrivate), DialogIn(kRegisterCaption, kChkSwitchOff)},
          {L"check", true, [](Round& r) { return r.program.ClickDialog(kChkSwitchOff); }, ClosedWithPrivateLoaded}}},
        // A stored password switched off through the menu: re-keyed from it to the default key.
        {L"switchoff-verify", true, 0, true,
         {{L"open dialog", false, Menu(panel_ids::kPasswordOff), DialogIn(kVerifyCaption, kBtnVerify)},
          {L"verify", true, TypeOld(kBtnVerify), ClosedWithPrivateLoaded}}},
        // A stored password changed: verify the old one, then the new one twice.
        {L"change", true, 0, true,
         {{L"open dialog", false, Menu(panel_ids::kPasswordChange), DialogIn(kChangeCaption, kBtnVerify)},
          {L"verify", false, TypeOld(kBtnVerify), DialogIn(kRegisterCaption, kBtnRegister)},
          {L"first entry", false, TypeNew(kBtnRegister), DialogIn(kConfirmCaption, kBtnConfirm)},
          {L"confirm", true, TypeNew(kBtnConfirm), ClosedWithPrivateLoaded}}},
        // Older versions' data: converted, re-encrypted under the registry's password.
        {L"convert", true, 1, false,
         {{L"convert", true, [](Round&) { return true; }, [](Round& r) { return r.program.Panel() != nullptr; }}},
         true},
        // A stored password entered to open Private, then Private put away again.
        {L"unlock", true, 0, false,
         {{L"open dialog", false, Menu(panel_ids::kPrivate), DialogIn(kVerifyCaption, kBtnVerify)},
          {L"verify", true, TypeOld(kBtnVerify), ClosedWithPrivateLoaded},
          {L"Public", true, Menu(panel_ids::kPublic), PrivateAway}}},
    };
}

}  // namespace stress
