#pragma once
// Names that users' files, the registry and other programs already hold. Each is written here
// once; changing one loses a user's data or settings, or another copy of the program.
#include <string>

namespace stored {

// The settings, per program name: one section and its values.
inline constexpr wchar_t kSection[] = L"Startup";
inline constexpr wchar_t kDataSet[] = L"Type";
inline constexpr wchar_t kLeft[] = L"Left";
inline constexpr wchar_t kTop[] = L"Top";
inline constexpr wchar_t kPasteMode[] = L"Mode";
inline constexpr wchar_t kPassMode[] = L"PassMode";
inline constexpr wchar_t kClipRestore[] = L"ClipRestore";
inline constexpr wchar_t kInsertFields[] = L"InsertFields";
inline constexpr wchar_t kHotKeys[] = L"HotKeys";
// While Private is sealed: seconds a pasted text stays on the clipboard, idle minutes before
// Private closes; 0 switches either off, none stored is the default.
inline constexpr wchar_t kClipClearSeconds[] = L"ClipClearSeconds";
inline constexpr wchar_t kLockMinutes[] = L"LockMinutes";
// "1" once Private was sealed, "0" once unsealed: a file without the sealed mark after a seal
// is damage, not a Private without a password.
inline constexpr wchar_t kSealedPrivate[] = L"SealedPrivate";
inline constexpr wchar_t kVersion[] = L"Version";
inline constexpr wchar_t kEditorWidth[] = L"Width2";
inline constexpr wchar_t kEditorHeight[] = L"Height2";
inline constexpr wchar_t kTextEditorWidth[] = L"Width6";
inline constexpr wchar_t kTextEditorHeight[] = L"Height6";
// Rows shown for data set 1..3.
inline std::wstring RowsValue(int set) { return L"Number" + std::to_wstring(set); }
// What a missing value reads as: never a number, so it reads as 0.
inline std::wstring MissingValue(const std::wstring& name) { return L"Reg_" + name; }

// The older versions' password, machine-wide: read once by the conversion, then removed
// with the keys above it.
inline constexpr wchar_t kLegacyRoot[] = L"SYSTEM\\Curent_Control";
inline constexpr wchar_t kLegacyControl[] = L"SYSTEM\\Curent_Control\\Control";
inline std::wstring LegacyPasswordKey(const std::wstring& exe) { return std::wstring(kLegacyControl) + L"\\" + exe; }
inline constexpr wchar_t kLegacyPassword[] = L"Pass";

// The data root (under the Windows folder, or its VirtualStore copy); the data folder
// below it is named after the program.
inline constexpr wchar_t kDataRoot[] = L"Personal_Data";

// The data folder's files.
inline constexpr wchar_t kPasswordFile[] = L"MyData_0.dat";
inline constexpr wchar_t kPlainPasswordFile[] = L"MyData_0_0.dat";
inline constexpr wchar_t kPublicFile[] = L"MyData_1.dat";
inline constexpr wchar_t kPrivateFile[] = L"MyData_2.dat";
inline constexpr wchar_t kPrivateWorkingCopy[] = L"MyData_2_2.dat";
inline constexpr wchar_t kKaomojiFile[] = L"MyData_3.dat";
inline constexpr wchar_t kColourFile[] = L"Color.dat";
// MyData_<n>.dat: 0 the password file, 1 Public, 2 Private, 3 顔文字.
inline std::wstring DataFileName(int n) { return L"MyData_" + std::to_wstring(n) + L".dat"; }
// A Private file that no key opens, and one replaced by a newer, are kept under these.
inline constexpr wchar_t kUnreadablePrefix[] = L"MyData_2_復号できません_";
inline constexpr wchar_t kSupersededPrefix[] = L"MyData_2_退避_";
// The fortune's tunes, sakura_0.mid .. sakura_4.mid.
inline constexpr int kTuneCount = 5;
inline std::wstring TuneFileName(int n) { return L"sakura_" + std::to_wstring(n) + L".mid"; }

// Beside the program: <exe>_BackupData, and the files a restore replaced in
// <exe>_BackupData_読込前_<date-time>.
inline constexpr wchar_t kBackupFolderSuffix[] = L"_BackupData";
inline constexpr wchar_t kKeptBeforeRestore[] = L"_読込前_";

// What another copy of the program looks for.
inline constexpr wchar_t kWindowClass[] = L"HarikoForm";
inline constexpr wchar_t kMutexPrefix[] = L"Local\\Hariko-";

}  // namespace stored
