// The one-time conversion of older versions' data: records of two fields (caption, text),
// the Private password in a registry key, Private under the default key. Every step is done
// only where it is still needed, so a run that ended half way resumes at the next start, and
// the version marker is stored only after every step succeeded.
#include <windows.h>

#include <optional>

#include "app/program.h"
#include "base/stored_names.h"
#include "protect/password_dialog_logic.h"
#include "store/file_cipher.h"
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
// The version marker while a conversion is under way: below 201, so the next start goes on with it.
constexpr int16_t kConverting = 200;

void Pause(int ms) { Sleep(static_cast<DWORD>(ms)); }

std::wstring Lower(std::wstring s) {
    if (!s.empty()) CharLowerBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

// The plain text of an encrypted file under key, or nothing.
std::optional<std::string> Decrypted(const std::wstring& enc, const std::wstring& key) {
    auto cipher = ReadAllBytes(enc);
    return cipher ? CipherBytes(*cipher, key) : std::nullopt;
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
    using namespace stored;
    if (FileExists(app.DataFile(kPasswordFile)) && versionMarker > 200) return false;
    // A conversion that began and did not end (its files may all be converted already).
    if (versionMarker == kConverting) return true;
    // Files already in the current format are never converted, even when the version
    // marker is gone (settings removed by hand, or copied data).
    if (IsOldPlainFile(app.DataFile(kPublicFile)) || IsOldPlainFile(app.DataFile(kKaomojiFile))) return true;
    if (FileExists(app.DataFile(kPrivateWorkingCopy))) return IsOldPlainFile(app.DataFile(kPrivateWorkingCopy));
    auto plain = Decrypted(app.DataFile(kPrivateFile), DefaultPassword());
    return plain && !IsWellFormedDataSet(*plain) && IsTwoFieldDataSet(*plain);
}

namespace {

void ReportFailedStep(const std::wstring& exe, const std::wstring& what) {
    MsgBox(L"データの移行を完了できませんでした。(" + what + L")\r\n\r\n"
           L"移行できたところまでは保存してあります。\r\n"
           L"次回の起動時に、残りの移行をもう一度行います。",
           MB_OK | MB_ICONEXCLAMATION, exe);
}

}  // namespace

Program::MigrationResult Program::Migrate() {
    const std::wstring exe = app_.exeName;
    std::wstring body =
        L"データのバックアップ機能実装に伴なり、セキュリティの向上のため\r\n"
        L"データ暗号化アルゴリズムを変更します。\r\n\r\n"
        L"データの整合性が失われますので、本バージョン(2.0.1)以前の" + exe + L"は\r\n"
        L"起動されることがないよう破棄されるようお願いいたします。\r\n\r\n" + kCredit;
    if (MsgBox(body, MB_OKCANCEL | MB_ICONINFORMATION,
               L"***** 重要！ ***** 必ずお読みください。 ******************") != IDOK)
        return MigrationResult::Cancelled;

    SaveSetting(exe, stored::kSection, stored::kVersion, std::to_wstring(kConverting));
    std::optional<MigrationPassword> password = FindMigrationPassword();
    std::wstring failedStep = password ? ConvertDataFiles(*password) : L"Private";
    if (!failedStep.empty()) {
        ReportFailedStep(exe, failedStep);
        return MigrationResult::Failed;
    }
    FinishMigration(password->dropped);
    return MigrationResult::Done;
}

std::optional<Program::MigrationPassword> Program::FindMigrationPassword() {
    AppState& app = app_;
    // The password: the data tells which one it is under. Private still in the older format
    // is under the default key and takes the registry's password; Private already converted
    // (a run that ended half way) is under the password it was converted with.
    const std::wstring legacy =
        Lower(GetRegString(HKEY_LOCAL_MACHINE, stored::LegacyPasswordKey(app.exeName), stored::kLegacyPassword));
    const std::wstring enc = app.DataFile(stored::kPrivateFile), work = app.DataFile(stored::kPrivateWorkingCopy);
    MigrationPassword p;
    if (FileExists(work)) {
        p.privateOld = IsOldPlainFile(work);
        p.password = legacy;
    } else if (auto plain = Decrypted(enc, DefaultPassword()); plain && IsTwoFieldDataSet(*plain)) {
        p.privateOld = !IsWellFormedDataSet(*plain);
        p.password = p.privateOld ? legacy : L"";
    } else {
        auto stored = ReadPasswordFile(app.dataDir, [] { DoEvents(); }, [](int) {});
        bool found = false;
        // The password file first: it is written before Private is sealed, while the registry
        // may already read "1" on its way out.
        for (const std::wstring& candidate : {stored.value_or(L""), legacy}) {
            auto d = Decrypted(enc, PrivateKeyFor(candidate));
            if (d && IsWellFormedDataSet(*d)) {
                p.password = candidate;
                found = true;
                break;
            }
        }
        if (!found && !(plain && IsWellFormedDataSet(*plain))) return std::nullopt;
    }
    if (!password_dialog::IsStorablePassword(p.password)) {
        // The password file cannot hold it: Private goes under the default key instead of a
        // key the next start could not name, and the user sets a password again.
        p.dropped = !p.password.empty();
        p.password.clear();
    }
    return p;
}

std::wstring Program::ConvertDataFiles(const MigrationPassword& p) {
    AppState& app = app_;
    const std::wstring enc = app.DataFile(stored::kPrivateFile), work = app.DataFile(stored::kPrivateWorkingCopy);
    app.password.Use(p.password);
    DoEvents();
    Pause(100);

    if (!ConvertTwoFieldFile(app.DataFile(stored::kPublicFile))) return L"Public";
    DoEvents();
    if (p.privateOld) {
        if (!FileExists(work)) {
            const std::wstring temp = work + L".tmp";
            DeleteFileW(temp.c_str());
            if (!DecryptFileTo(enc, temp, DefaultPassword()) ||
                !MoveFileExW(temp.c_str(), work.c_str(), MOVEFILE_WRITE_THROUGH)) {
                DeleteFileW(temp.c_str());
                return L"Private";
            }
            DeleteFileW(enc.c_str());
        }
        DoEvents();
        Pause(100);
    }
    if (!ConvertTwoFieldFile(app.DataFile(stored::kKaomojiFile))) return L"顔文字";
    Pause(100);
    if (!p.privateOld && !FileExists(work))
        return WritePasswordFile(app.dataDir, p.password, 100, [] { DoEvents(); }, Pause) ? L"" : L"パスワードファイル";
    if (!ConvertTwoFieldFile(work)) return L"Private";
    Pause(100);
    DoEvents();
    // The password file names the new key before anything is encrypted with it, so a run
    // that ends now leaves a working copy that the next start seals with that key.
    if (!WritePasswordFile(app.dataDir, p.password, 100, [] { DoEvents(); }, Pause)) return L"パスワードファイル";
    if (!dataSets_.PutWorkingCopyAway()) return L"Private";
    DoEvents();
    Pause(100);
    return L"";
}

void Program::FinishMigration(bool passwordDropped) {
    const std::wstring exe = app_.exeName;
    DoEvents();
    SetRegString(HKEY_LOCAL_MACHINE, stored::LegacyPasswordKey(exe), stored::kLegacyPassword, L"1");
    DoEvents();
    DeleteRegKey(stored::LegacyPasswordKey(exe));
    DoEvents();
    DeleteRegKey(stored::kLegacyControl);
    DoEvents();
    DeleteRegKey(stored::kLegacyRoot);
    DeleteSetting(exe);
    // Stored again at once: the row settings and the rest follow with the layout and closing,
    // but a run that ends before then must not start the next time as a first run.
    SaveSetting(exe, stored::kSection, stored::kVersion, L"201");
    if (auto set = DataSetFromStored(app_.startupDataSet))
        SaveSetting(exe, stored::kSection, stored::kDataSet,
                    std::to_wstring(StoredNumber(*set == DataSet::Private ? DataSet::Public : *set)));
    std::wstring done = L"データ暗号化と移行は、正常に終了しました。\r\n\r\n"
                        L"データの整合性が失われますので、本バージョン(2.0.1)以前の" + exe + L"は\r\n"
                        L"起動されることがないよう破棄されるようお願いいたします。\r\n\r\n" + kCredit;
    if (passwordDropped)
        done += L"\r\n\r\n以前のパスワードには保存できない文字(\")が含まれていたため、"
                L"Privateのパスワードは無効にしました。もう一度設定してください。";
    MsgBox(done, MB_OK | MB_ICONINFORMATION, exe);
}
