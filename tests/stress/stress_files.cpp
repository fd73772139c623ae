// The known state a round starts from, written as the program writes it, and the check of
// what a cleanly closed program left on disk.
#include <algorithm>

#include "base/cp932.h"
#include "base/records.h"
#include "store/file_cipher.h"
#include "store/datafiles.h"
#include "store/passwordfile.h"
#include "store/settings.h"
#include "stress.h"
#include "support/files.h"

namespace stress {

namespace {

const wchar_t kStartup[] = L"Startup";

template <class T>
const T& Pick(std::mt19937_64& rng, const std::vector<T>& from) {
    return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(rng)];
}

int Between(std::mt19937_64& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

// Texts a user keeps: Japanese with commas and line breaks inside the field, half-width kana,
// digits; never a double quote (the format cannot hold one).
const std::vector<std::wstring> kCaptions = {
    L"氏名", L"会社名", L"住所", L"電話", L"ﾒｰﾙ", L"挨拶", L"署名", L"口座", L"", L"郵便番号",
    L"お礼", L"ID", L"結び", L"部署", L"ｶﾅ氏名", L"予定",
};
const std::vector<std::wstring> kPieces = {
    L"青木　純", L"若葉商会", L"東京都千代田区丸の内1-2-3", L"〒100-0005", L"03-1234-5678",
    L"aoki@example.jp", L"いつもお世話になっております。", L"よろしくお願いいたします。",
    L", ", L",", L"\r\n", L"\r\n\r\n", L"ｱｵｷ ｼﾞｭﾝ", L"第2営業部", L"普通 1234567", L"(^-^)",
    L"ご確認ください。", L"　", L"12:30", L"＼(^o^)／", L"営業時間は9時から17時まで、",
};

std::wstring RandomText(std::mt19937_64& rng, int maxPieces) {
    std::wstring t;
    int n = Between(rng, 0, maxPieces);
    for (int i = 0; i < n; ++i) t += Pick(rng, kPieces);
    return t;
}

std::wstring RandomColour(std::mt19937_64& rng) {
    switch (Between(rng, 0, 3)) {
    case 0: return L"&HFFFFFF";
    case 1: return L"&H8000000F";
    case 2: {
        wchar_t buf[16];
        swprintf(buf, 16, L"&H%06X", Between(rng, 0, 0xFFFFFF));
        return buf;
    }
    default: return std::to_wstring(Between(rng, 0, 0xFFFFFF));
    }
}

std::vector<Entry> RandomEntries(std::mt19937_64& rng, int count, int maxPieces) {
    std::vector<Entry> e;
    for (int i = 0; i < count; ++i)
        e.push_back({Pick(rng, kCaptions), RandomText(rng, maxPieces), RandomColour(rng)});
    return e;
}

std::string Encode(std::mt19937_64& rng, const std::vector<Entry>& e) {
    // Both writer forms occur on disk: start-up's "&H" text and the editor's decimal digits.
    return EncodeDataSet(e, Between(rng, 0, 1) ? ColourForm::HexText : ColourForm::Decimal).bytes;
}

using testsupport::WriteFileBytes;

void ClearFolder(const std::wstring& folder) {
    for (const FileSeen& f : ListFolder(folder)) {
        std::wstring path = folder + L"\\" + f.name;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
    }
}

std::wstring KeyOf(const std::wstring& password) { return password.empty() ? DefaultPassword() : password; }

std::wstring Shown(const std::wstring& password) { return password.empty() ? L"(none)" : L"\"" + password + L"\""; }

// The plain bytes of an encrypted file under a key, decrypted into the scratch folder.
std::optional<std::string> DecryptedBytes(const Paths& p, const std::wstring& file, const std::wstring& key) {
    const std::wstring out = p.scratch + L"\\decrypted.bin";
    DeleteFileW(out.c_str());
    if (!DecryptFileTo(file, out, key)) return std::nullopt;
    auto bytes = ReadAllBytes(out);
    DeleteFileW(out.c_str());
    return bytes;
}

bool StartsWith(const std::wstring& s, const std::wstring& prefix) { return s.rfind(prefix, 0) == 0; }

}  // namespace

std::vector<FileSeen> ListFolder(const std::wstring& folder) {
    std::vector<FileSeen> files;
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return files;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        files.push_back({fd.cFileName, (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow});
    } while (FindNextFileW(find, &fd));
    FindClose(find);
    std::sort(files.begin(), files.end(), [](const FileSeen& a, const FileSeen& b) { return a.name < b.name; });
    return files;
}

std::wstring Describe(const std::vector<FileSeen>& files) {
    std::wstring s;
    for (const FileSeen& f : files) s += (s.empty() ? L"" : L", ") + f.name + L" " + std::to_wstring(f.size);
    return s.empty() ? L"(no files)" : s;
}

bool EndsWithNoCase(const std::wstring& s, const std::wstring& suffix) {
    return s.size() >= suffix.size() && _wcsicmp(s.c_str() + s.size() - suffix.size(), suffix.c_str()) == 0;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring RandomPassword(std::mt19937_64& rng) {
    // Lower case, as the dialog stores them; some with double-byte characters, whose key
    // takes only as many bytes as the password has characters.
    static const std::vector<std::wstring> kWords = {L"sakura", L"hariko", L"pass", L"ねこ", L"2024",
                                                     L"aoki", L"やま", L"x9", L"ｶｷﾞ"};
    std::wstring pw;
    int n = Between(rng, 1, 3);
    for (int i = 0; i < n; ++i) pw += Pick(rng, kWords);
    return pw;
}

KnownState MakeKnownState(std::mt19937_64& rng, const std::wstring& password, int passMode, bool older) {
    KnownState s;
    s.older = older;
    s.password = password;
    s.passMode = passMode;
    s.publicEntries = RandomEntries(rng, Between(rng, 25, 35), 3);
    // Private a little larger, so that its cipher runs span several chunks.
    s.privateEntries = RandomEntries(rng, Between(rng, 25, 70), 8);
    s.kaomojiEntries = InitialKaomojiEntries();
    if (older) {
        // The conversion gives every entry the white colour in the "&H" form.
        for (auto* list : {&s.publicEntries, &s.privateEntries})
            for (Entry& e : *list) e.colour = L"&HFFFFFF";
        s.publicBytes = EncodeDataSet(s.publicEntries, ColourForm::HexText).bytes;
        s.privateBytes = EncodeDataSet(s.privateEntries, ColourForm::HexText).bytes;
        s.kaomojiBytes = EncodeDataSet(s.kaomojiEntries, ColourForm::HexText).bytes;
        return s;
    }
    s.publicBytes = Encode(rng, s.publicEntries);
    s.privateBytes = Encode(rng, s.privateEntries);
    s.kaomojiBytes = EncodeDataSet(s.kaomojiEntries, ColourForm::HexText).bytes;
    return s;
}

namespace {
const std::wstring kLegacyKey = L"SYSTEM\\Curent_Control\\Control\\";

// The older versions' two-field form of entries whose colours are white, as converted.
std::string TwoFields(const std::vector<Entry>& entries) {
    std::string out;
    for (const Entry& e : entries) {
        AppendQuotedField(out, *ToCp932(e.caption));
        out += ",";
        AppendQuotedField(out, *ToCp932(e.text));
        out += "\r\n";
    }
    return out;
}
}  // namespace

bool ConversionBox(const BoxSeen& b) {
    return b.title.find(L"必ずお読みください") != std::wstring::npos ||
           b.text.find(L"データ暗号化と移行は、正常に終了しました。") == 0;
}

bool ResealedBox(const BoxSeen& b) {
    return b.text.find(L"前回暗号化できずに残っていたPrivateのデータを、暗号化して保存しました。") == 0;
}

bool PrepareState(const Paths& p, const KnownState& s, std::wstring* why) {
    auto fail = [&](const std::wstring& w) {
        if (why) *why = w;
        return false;
    };
    DeleteSetting(p.name);
    const std::pair<const wchar_t*, std::wstring> settings[] = {
        {L"Type", L"1"},       {L"Left", L"9000"},    {L"Top", L"600"},      {L"Mode", L"0"},
        {L"PassMode", std::to_wstring(s.passMode)},   {L"Number1", L"25"},   {L"Number2", L"25"},
        {L"Number3", L"25"},   {L"Version", L"202"},
    };
    for (const auto& [key, value] : settings)
        if (!SaveSetting(p.name, kStartup, key, value)) return fail(L"cannot store the setting " + std::wstring(key));

    CreateFolderTree(p.dataDir);
    CreateFolderTree(p.scratch);
    ClearFolder(p.dataDir);
    ClearFolder(p.scratch);
    if (!ListFolder(p.dataDir).empty()) return fail(L"cannot clear " + p.dataDir + L": " + Describe(ListFolder(p.dataDir)));
    if (s.older) {
        // No password file, no "Version", the password in the registry (in capitals: it is
        // stored in lower case), and every data set in two fields; Private under the default key.
        DeleteSetting(p.name);
        SaveSetting(p.name, kStartup, L"Type", L"1");
        HKEY k;
        std::wstring upper = s.password;
        CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, (kLegacyKey + p.name).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &k, nullptr) != ERROR_SUCCESS)
            return fail(L"cannot write the legacy password key");
        RegSetValueExW(k, L"Pass", 0, REG_SZ, reinterpret_cast<const BYTE*>(upper.c_str()),
                       static_cast<DWORD>((upper.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(k);
        const std::wstring plain = p.scratch + L"\\private.plain";
        return (WriteFileBytes(p.Data(L"MyData_1.dat"), TwoFields(s.publicEntries)) &&
                WriteFileBytes(p.Data(L"MyData_3.dat"), TwoFields(s.kaomojiEntries)) &&
                WriteFileBytes(plain, TwoFields(s.privateEntries)) &&
                EncryptFileTo(plain, p.Data(L"MyData_2.dat"), DefaultPassword())) ||
               fail(L"cannot write the older files");
    }

    if (!WriteFileBytes(p.Data(L"MyData_1.dat"), s.publicBytes)) return fail(L"cannot write MyData_1.dat");
    if (!WriteFileBytes(p.Data(L"MyData_3.dat"), s.kaomojiBytes)) return fail(L"cannot write MyData_3.dat");
    if (!WriteFileBytes(p.Data(L"Color.dat"), InitialColorDatBytes())) return fail(L"cannot write Color.dat");
    const std::wstring plain = p.scratch + L"\\private.plain";
    if (!WriteFileBytes(plain, s.privateBytes) || !EncryptFileTo(plain, p.Data(L"MyData_2.dat"), KeyOf(s.password)))
        return fail(L"cannot write MyData_2.dat");
    DeleteFileW(plain.c_str());
    if (!WritePasswordFile(p.dataDir, s.password, 0, [] {}, [](int) {}))
        return fail(L"cannot write the password file");
    return true;
}

void RemoveState(const Paths& p) {
    ClearFolder(p.dataDir);
    RemoveDirectoryW(p.dataDir.c_str());
    ClearFolder(p.scratch);
    RemoveDirectoryW(p.scratch.c_str());
    DeleteSetting(p.name);
}

Verdict Check(const Paths& p, const KnownState& s, const std::vector<std::wstring>& passwords) {
    Verdict v;
    const std::vector<FileSeen> files = ListFolder(p.dataDir);
    v.listing = Describe(files);
    static const std::vector<std::wstring> kOurs = {
        L"MyData_0.dat", L"MyData_1.dat", L"MyData_2.dat", L"MyData_3.dat", L"Color.dat",
        L"sakura_0.mid", L"sakura_1.mid", L"sakura_2.mid", L"sakura_3.mid", L"sakura_4.mid",
    };
    for (const FileSeen& f : files) {
        if (EndsWithNoCase(f.name, L".tmp")) {
            v.leftovers.push_back(f.name + L" " + std::to_wstring(f.size));
        } else if (StartsWith(f.name, L"MyData_2_復号できません_")) {
            v.faults.push_back(L"the program took MyData_2.dat for undecryptable and put it aside as " + f.name);
        } else if (f.name == L"MyData_2_2.dat") {
            v.faults.push_back(L"the plain working copy MyData_2_2.dat is still there at rest");
        } else if (f.name == L"MyData_0_0.dat") {
            v.faults.push_back(L"the plain password file MyData_0_0.dat is still there at rest");
        } else if (std::find(kOurs.begin(), kOurs.end(), f.name) == kOurs.end()) {
            v.faults.push_back(L"unexpected file " + f.name);
        }
    }

    // The password file: exactly a quoted field and CR LF under the default password.
    std::optional<std::wstring> password;
    if (!Exists(p.Data(L"MyData_0.dat"))) {
        v.faults.push_back(L"LOSS: the password file MyData_0.dat is missing");
    } else if (auto plain = DecryptedBytes(p, p.Data(L"MyData_0.dat"), DefaultPassword())) {
        auto fields = ParseOneFieldRecords(*plain);
        if (fields.size() == 1 && PasswordFilePlainBytes(fields[0]) == *plain) password = fields[0];
        else v.faults.push_back(L"LOSS: the password file does not read (" + std::to_wstring(plain->size()) + L" bytes)");
    } else {
        v.faults.push_back(L"LOSS: the password file does not decrypt");
    }
    if (password) {
        v.passwordFound = *password;
        if (std::find(passwords.begin(), passwords.end(), *password) == passwords.end())
            v.faults.push_back(L"the password file names " + Shown(*password) + L", which was never set");
    }

    // Private under the key the password file names.
    if (!Exists(p.Data(L"MyData_2.dat"))) {
        v.faults.push_back(L"LOSS: MyData_2.dat is missing");
    } else if (password) {
        auto plain = DecryptedBytes(p, p.Data(L"MyData_2.dat"), KeyOf(*password));
        if (!plain || *plain != s.privateBytes) {
            std::wstring under;
            for (const std::wstring& other : passwords)
                if (other != *password) {
                    auto alt = DecryptedBytes(p, p.Data(L"MyData_2.dat"), KeyOf(other));
                    if (alt && *alt == s.privateBytes) under = L"; it is under the key of " + Shown(other);
                }
            v.faults.push_back(L"LOSS: MyData_2.dat does not decrypt to the known Private entries under the key of " +
                               Shown(*password) + L", which the password file names" + under);
        }
    }

    auto same = [&](const wchar_t* file, const std::string& bytes) {
        auto now = ReadAllBytes(p.Data(file));
        if (!now) v.faults.push_back(std::wstring(L"LOSS: ") + file + L" is missing");
        else if (*now != bytes) v.faults.push_back(std::wstring(L"LOSS: ") + file + L" changed");
    };
    same(L"MyData_1.dat", s.publicBytes);
    same(L"MyData_3.dat", s.kaomojiBytes);
    if (s.older) {
        HKEY k;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, (kLegacyKey + p.name).c_str(), 0, KEY_READ, &k) == ERROR_SUCCESS) {
            RegCloseKey(k);
            v.faults.push_back(L"the conversion did not end: the legacy password key is still there");
        }
        if (GetSetting(p.name, kStartup, L"Version", L"") != L"201")
            v.faults.push_back(L"the conversion did not end: Version is not \"201\"");
    }
    return v;
}

void KeepEvidence(const Paths& p, int round, const std::wstring& report) {
    const std::wstring dir = p.evidence + L"\\round-" + std::to_wstring(round);
    CreateFolderTree(dir);
    for (const FileSeen& f : ListFolder(p.dataDir))
        CopyFileW((p.dataDir + L"\\" + f.name).c_str(), (dir + L"\\" + f.name).c_str(), FALSE);
    int n = WideCharToMultiByte(CP_UTF8, 0, report.data(), static_cast<int>(report.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, report.data(), static_cast<int>(report.size()), bytes.data(), n, nullptr, nullptr);
    WriteFileBytes(dir + L"\\report.txt", bytes);
}

}  // namespace stress
