// The one-time conversion of older versions' data: records of two fields (caption, text),
// the Private password in a registry key, Private under the default key. Every step is done
// only where it is still needed, so a run that ended half way resumes at the next start, and
// the version marker is stored only after every step succeeded.
#include <windows.h>

#include <optional>

#include "app/program.h"
#include "protect/form4_logic.h"
#include "store/clsCryptFile.h"
#include "store/datafiles.h"
#include "store/dataset_check_logic.h"
#include "store/dataset_format.h"
#include "store/passwordfile.h"
#include "store/regkey.h"
#include "store/settings.h"
#include "store/twofield_format.h"
#include "win/app.h"

namespace {

const wchar_t kCredit[] = L"ハリコ 2.0 ― 自分で作って自分で使う、小さな貼り付け道具です。";
const std::wstring kLegacyRoot = L"SYSTEM\\Curent_Control";
// "Version" while a conversion is under way: below 201, so the next start goes on with it.
constexpr int16_t kConverting = 200;

void Pause(int ms) { Sleep(static_cast<DWORD>(ms)); }

std::wstring Lower(std::wstring s) {
    if (!s.empty()) CharLowerBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

std::wstring KeyOf(const std::wstring& password) { return password.empty() ? DefaultPassword() : password; }

// The plain text of an encrypted file under key, or nothing.
std::optional<std::string> Decrypted(const std::wstring& enc, const std::wstring& key) {
    const std::wstring temp = enc + L".check.tmp";
    DeleteFileW(temp.c_str());
    auto bytes = DecryptFileTo(enc, temp, key) ? ReadAllBytes(temp) : std::nullopt;
    DeleteFileW(temp.c_str());
    return bytes;
}

// A two-field file rewritten with the white colour added; a file already converted passes.
bool ConvertTwoFieldFile(const std::wstring& path) {
    auto bytes = ReadAllBytes(path);
    if (!bytes) return false;
    if (IsWellFormedDataSet(*bytes)) return true;
    auto entries = TwoFieldEntries(*bytes);
    return entries && WriteDataSetFile(path, *entries, ColourForm::HexText).ok;
}

bool IsOldPlainFile(const std::wstring& path) {
    auto bytes = ReadAllBytes(path);
    return bytes && !IsWellFormedDataSet(*bytes) && IsTwoFieldDataSet(*bytes);
}

}  // namespace

bool Program::NeedsMigration(int16_t versionMarker) {
    const AppState& app = app_;
    if (FileExists(app.DataFile(L"MyData_0.dat")) && versionMarker > 200) return false;
    // A conversion that began and did not end (its files may all be converted already).
    if (versionMarker == kConverting) return true;
    // Files already in the current format are never converted, even when the "Version"
    // setting is gone (settings removed by hand, or copied data).
    if (IsOldPlainFile(app.DataFile(L"MyData_1.dat")) || IsOldPlainFile(app.DataFile(L"MyData_3.dat")))
        return true;
    if (FileExists(app.DataFile(L"MyData_2_2.dat"))) return IsOldPlainFile(app.DataFile(L"MyData_2_2.dat"));
    auto plain = Decrypted(app.DataFile(L"MyData_2.dat"), DefaultPassword());
    return plain && !IsWellFormedDataSet(*plain) && IsTwoFieldDataSet(*plain);
}

Program::MigrationResult Program::Migrate() {
    AppState& app = app_;
    const std::wstring exe = app.exeName;
    std::wstring body =
        L"データのバックアップ機能実装に伴なり、セキュリティの向上のため\r\n"
        L"データ暗号化アルゴリズムを変更します。\r\n\r\n"
        L"データの整合性が失われますので、本バージョン(2.0.1)以前の" + exe + L"は\r\n"
        L"起動されることがないよう破棄されるようお願いいたします。\r\n\r\n" + kCredit;
    if (MsgBox(body, MB_OKCANCEL | MB_ICONINFORMATION,
               L"***** 重要！ ***** 必ずお読みください。 ******************") != IDOK)
        return MigrationResult::Cancelled;

    SaveSetting(exe, L"Startup", L"Version", std::to_wstring(kConverting));
    auto failed = [&](const std::wstring& what) {
        MsgBox(L"データの移行を完了できませんでした。(" + what + L")\r\n\r\n"
               L"移行できたところまでは保存してあります。\r\n"
               L"次回の起動時に、残りの移行をもう一度行います。",
               MB_OK | MB_ICONEXCLAMATION, exe);
        return MigrationResult::Failed;
    };

    // The password: the data tells which one it is under. Private still in the older format
    // is under the default key and takes the registry's password; Private already converted
    // (a run that ended half way) is under the password it was converted with.
    const std::wstring legacyKey = kLegacyRoot + L"\\Control\\" + exe;
    const std::wstring legacy = Lower(GetRegString(HKEY_LOCAL_MACHINE, legacyKey, L"Pass"));
    const std::wstring enc = app.DataFile(L"MyData_2.dat"), work = app.DataFile(L"MyData_2_2.dat");
    bool privateOld = false, dropped = false;
    std::wstring password;
    if (FileExists(work)) {
        privateOld = IsOldPlainFile(work);
        password = legacy;
    } else if (auto plain = Decrypted(enc, DefaultPassword()); plain && IsTwoFieldDataSet(*plain)) {
        privateOld = !IsWellFormedDataSet(*plain);
        password = privateOld ? legacy : L"";
    } else {
        auto stored = ReadPasswordFile(app.dataDir, [] { DoEvents(); }, [](int) {});
        bool found = false;
        // The password file first: it is written before Private is sealed, while the registry
        // may already read "1" on its way out.
        for (const std::wstring& candidate : {stored.value_or(L""), legacy}) {
            auto p = Decrypted(enc, KeyOf(candidate));
            if (p && IsWellFormedDataSet(*p)) {
                password = candidate;
                found = true;
                break;
            }
        }
        if (!found && !(plain && IsWellFormedDataSet(*plain))) return failed(L"Private");
    }
    if (!form4::IsStorablePassword(password)) {
        // The password file cannot hold it: Private goes under the default key instead of a
        // key the next start could not name, and the user sets a password again.
        dropped = !password.empty();
        password.clear();
    }
    app.password.userPassword = password;
    app.password.privateKey = KeyOf(password);
    DoEvents();
    Pause(100);

    if (!ConvertTwoFieldFile(app.DataFile(L"MyData_1.dat"))) return failed(L"Public");
    DoEvents();
    if (privateOld) {
        if (!FileExists(work)) {
            const std::wstring temp = work + L".tmp";
            DeleteFileW(temp.c_str());
            if (!DecryptFileTo(enc, temp, DefaultPassword()) ||
                !MoveFileExW(temp.c_str(), work.c_str(), MOVEFILE_WRITE_THROUGH)) {
                DeleteFileW(temp.c_str());
                return failed(L"Private");
            }
            DeleteFileW(enc.c_str());
        }
        DoEvents();
        Pause(100);
    }
    if (!ConvertTwoFieldFile(app.DataFile(L"MyData_3.dat"))) return failed(L"顔文字");
    Pause(100);
    if (privateOld || FileExists(work)) {
        if (!ConvertTwoFieldFile(work)) return failed(L"Private");
        Pause(100);
        DoEvents();
        // The password file names the new key before anything is encrypted with it, so a run
        // that ends now leaves a working copy that the next start seals with that key.
        if (!WritePasswordFile(app.dataDir, password, 100, [] { DoEvents(); }, Pause))
            return failed(L"パスワードファイル");
        if (!dataSets_.PutWorkingCopyAway()) return failed(L"Private");
        DoEvents();
        Pause(100);
    } else if (!WritePasswordFile(app.dataDir, password, 100, [] { DoEvents(); }, Pause)) {
        return failed(L"パスワードファイル");
    }
    DoEvents();

    SetRegString(HKEY_LOCAL_MACHINE, legacyKey, L"Pass", L"1");
    DoEvents();
    DeleteRegKey(legacyKey);
    DoEvents();
    DeleteRegKey(kLegacyRoot + L"\\Control");
    DoEvents();
    DeleteRegKey(kLegacyRoot);
    DeleteSetting(exe);
    // Stored again at once: the row settings and the rest follow with the layout and closing,
    // but a run that ends before then must not start the next time as a first run.
    SaveSetting(exe, L"Startup", L"Version", L"201");
    if (app.startupDataSet >= 1 && app.startupDataSet <= 3)
        SaveSetting(exe, L"Startup", L"Type", std::to_wstring(app.startupDataSet == 2 ? 1 : app.startupDataSet));
    std::wstring done = L"データ暗号化と移行は、正常に終了しました。\r\n\r\n"
                        L"データの整合性が失われますので、本バージョン(2.0.1)以前の" + exe + L"は\r\n"
                        L"起動されることがないよう破棄されるようお願いいたします。\r\n\r\n" + kCredit;
    if (dropped)
        done += L"\r\n\r\n以前のパスワードには保存できない文字(\")が含まれていたため、"
                L"Privateのパスワードは無効にしました。もう一度設定してください。";
    MsgBox(done, MB_OK | MB_ICONINFORMATION, exe);
    return MigrationResult::Done;
}
