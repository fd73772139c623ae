// Data files on a real disk under the real cipher: what start-up leaves in a data directory,
// what survives, and what a failed write leaves behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "store/file_cipher.h"
#include "store/datafiles.h"
#include "store/dataset_format.h"
#include "store/passwordfile.h"
#include "support/files.h"

namespace {

std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int c : b) s.push_back(static_cast<char>(c));
    return s;
}
std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}
const std::string kBlankHexLine = "\"\",\"\",\"&HFFFFFF\"\r\n";

// Plain Win32 file access, so the checks do not lean on the code under test.
std::string Slurp(const std::wstring& path) { return testsupport::BytesOf(path); }
void Put(const std::wstring& path, const std::string& bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    ASSERT_TRUE(testsupport::WriteFileBytes(path, bytes, attributes));
}
bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

using testsupport::FreshFolder;
using testsupport::RemoveTree;

class DataFiles : public testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        dir_ = FreshFolder(L"hariko_datafiles_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
               std::to_wstring(++counter));
        ASSERT_TRUE(testsupport::FolderExists(dir_));
        savedShowError_ = FileCipher::ShowError;
        FileCipher::ShowError = [this](const std::wstring& text) { cipherMessages_.push_back(text); };
    }
    void TearDown() override {
        FileCipher::ShowError = savedShowError_;
        RemoveTree(dir_);
        EXPECT_TRUE(cipherMessages_.empty());
    }
    std::wstring F(const wchar_t* name) const { return dir_ + L"\\" + name; }
    std::string Decrypted(const wchar_t* name, const std::wstring& password = DefaultPassword()) {
        std::wstring out = F(L"decrypted.tmp");
        DeleteFileW(out.c_str());
        if (!DecryptFileTo(F(name), out, password)) return "<not decrypted>";
        std::string bytes = Slurp(out);
        DeleteFileW(out.c_str());
        return bytes;
    }
    CreatedFiles CreateMissing() {
        return CreateMissingDataFiles(dir_, [this] { ++messageRuns_; }, [this](int ms) { pauses_.push_back(ms); });
    }

    std::wstring dir_;
    int messageRuns_ = 0;
    std::vector<int> pauses_;
    std::vector<std::wstring> cipherMessages_;
    std::function<void(const std::wstring&)> savedShowError_;
    std::function<void()> noMessages_ = [] {};
    std::function<void(int)> noPause_ = [](int) {};
};

TEST_F(DataFiles, FreshDirectoryGetsEveryInitialFileByteForByte) {
    CreatedFiles c = CreateMissing();
    EXPECT_TRUE(c.publicCreated);
    EXPECT_TRUE(c.privateCreated);
    EXPECT_FALSE(c.privateWorkingCopyKept);
    EXPECT_TRUE(c.kaomojiCreated);
    EXPECT_TRUE(c.passwordCreated);
    EXPECT_EQ(c.tunesCreated, 5);
    EXPECT_TRUE(c.colorCreated);

    EXPECT_EQ(Slurp(F(L"MyData_1.dat")),
              "\"" + Bytes({0x8E, 0x81, 0x96, 0xBC}) + "\",\"" + Bytes({0x90, 0xC2, 0x96, 0xD8, 0x81, 0x40, 0x8F, 0x83}) +
                  "\",\"&HFFFFFF\"\r\n\"" + Bytes({0x89, 0xEF, 0x8E, 0xD0, 0x96, 0xBC}) + "\",\"" +
                  Bytes({0x8E, 0xE1, 0x97, 0x74, 0x8F, 0xA4, 0x89, 0xEF}) + "\",\"&HFFFFFF\"\r\n" +
                  Repeat(kBlankHexLine, 23));
    // Private is at rest encrypted under the default password; no working copy is left.
    EXPECT_EQ(Decrypted(L"MyData_2.dat"), Repeat(kBlankHexLine, 25));
    EXPECT_FALSE(Exists(F(L"MyData_2_2.dat")));

    std::string kaomoji = Slurp(F(L"MyData_3.dat"));
    EXPECT_EQ(kaomoji.substr(0, 30), "\"(^-^)\",\"(^-^)\",\"&HFFFFFF\"\r\n\"(");
    std::string yay = Bytes({0x81, 0x5F, 0x28, 0x5E, 0x2D, 0x5E, 0x29, 0x81, 0x5E});  // ＼(^-^)／
    EXPECT_NE(kaomoji.find("\r\n\"" + yay + "\",\"" + yay + "\",\"&HFFFFFF\"\r\n"), std::string::npos);
    EXPECT_EQ(kaomoji.substr(kaomoji.size() - 5 * kBlankHexLine.size()), Repeat(kBlankHexLine, 5));
    EXPECT_EQ(kaomoji, EncodeDataSet(InitialKaomojiEntries(), ColourForm::HexText).bytes);

    EXPECT_EQ(Decrypted(L"MyData_0.dat"), "\"\"\r\n");
    EXPECT_FALSE(Exists(F(L"MyData_0_0.dat")));

    const size_t tuneSizes[] = {164, 168, 132, 172, 144};
    for (int n = 0; n < 5; ++n) {
        std::string tune = Slurp(dir_ + L"\\sakura_" + std::to_wstring(n) + L".mid");
        EXPECT_EQ(tune.size(), tuneSizes[n]) << n;
        // Standard MIDI File, format 0, one track, 120 ticks per quarter note.
        EXPECT_EQ(tune.substr(0, 14), Bytes({'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 120})) << n;
    }
    EXPECT_EQ(Slurp(F(L"Color.dat")), "\"&HFFFFFF\"\r\n\"&HFFFFC0\"\r\n\"&HC0FFFF\"\r\n\"&HC0C0FF\"\r\n\"&HC0FFC0\"\r\n" +
                                          Repeat("\"&H8000000F\"\r\n", 11));

    // The pauses around the cipher runs: Private 100 + 100, password file 100 + 100.
    EXPECT_EQ(pauses_, (std::vector<int>{100, 100, 100, 100}));
    EXPECT_GE(messageRuns_, 10);
    // Nothing else: no temporary files stay behind.
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((dir_ + L"\\*.tmp").c_str(), &fd);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE);
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
}

TEST_F(DataFiles, ExistingFilesSurviveAStart) {
    const wchar_t* names[] = {L"MyData_1.dat", L"MyData_2.dat", L"MyData_3.dat", L"MyData_0.dat",
                              L"sakura_0.mid", L"sakura_4.mid", L"Color.dat"};
    for (const wchar_t* name : names) Put(F(name), "mine");
    Put(F(L"sakura_2.mid"), "hidden", FILE_ATTRIBUTE_HIDDEN);  // hidden still counts as there
    CreatedFiles c = CreateMissing();
    for (const wchar_t* name : names) EXPECT_EQ(Slurp(F(name)), "mine") << testing::PrintToString(std::wstring(name));
    EXPECT_EQ(Slurp(F(L"sakura_2.mid")), "hidden");
    EXPECT_FALSE(c.publicCreated || c.privateCreated || c.kaomojiCreated || c.passwordCreated || c.colorCreated);
    EXPECT_EQ(c.tunesCreated, 2);  // sakura_1 and sakura_3
    EXPECT_TRUE(pauses_.empty());

    // A file deleted by the user is the only one written again.
    DeleteFileW(F(L"MyData_1.dat").c_str());
    c = CreateMissing();
    EXPECT_TRUE(c.publicCreated);
    EXPECT_EQ(c.tunesCreated, 0);
    EXPECT_EQ(Slurp(F(L"MyData_1.dat")).substr(0, 5), "\"" + Bytes({0x8E, 0x81, 0x96, 0xBC}));
    EXPECT_EQ(Slurp(F(L"MyData_3.dat")), "mine");
}

TEST_F(DataFiles, AnInterruptedRunsPrivateWorkingCopyIsKept) {
    const std::string latest = "\"my\",\"latest\",16777215\r\n";
    Put(F(L"MyData_2_2.dat"), latest);
    CreatedFiles c = CreateMissing();
    EXPECT_TRUE(c.privateWorkingCopyKept);
    EXPECT_FALSE(c.privateCreated);
    EXPECT_EQ(Slurp(F(L"MyData_2_2.dat")), latest);
    EXPECT_FALSE(Exists(F(L"MyData_2.dat")));
}

TEST_F(DataFiles, AnInterruptedRunsPlainPasswordFileIsPutAwayNotReplaced) {
    Put(F(L"MyData_0_0.dat"), "\"secret\"\r\n");
    CreatedFiles c = CreateMissing();
    EXPECT_TRUE(c.passwordRecovered);
    EXPECT_FALSE(c.passwordCreated);
    EXPECT_EQ(Decrypted(L"MyData_0.dat"), "\"secret\"\r\n");
    EXPECT_FALSE(Exists(F(L"MyData_0_0.dat")));

    // A cut-off leftover holds no password worth keeping: the empty one is written.
    DeleteFileW(F(L"MyData_0.dat").c_str());
    Put(F(L"MyData_0_0.dat"), "\"secr");
    c = CreateMissing();
    EXPECT_FALSE(c.passwordRecovered);
    EXPECT_TRUE(c.passwordCreated);
    EXPECT_EQ(Decrypted(L"MyData_0.dat"), "\"\"\r\n");
}

TEST_F(DataFiles, TwoExecutableNamesKeepSeparateDataDirectories) {
    const std::wstring first = DataDirPath(dir_, L"ハリコ");
    const std::wstring second = DataDirPath(dir_, L"ハリコ2");
    EXPECT_EQ(first, dir_ + L"\\ハリコ");
    ASSERT_TRUE(CreateDirectoryW(first.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(second.c_str(), nullptr));
    CreateMissingDataFiles(first, noMessages_, noPause_);
    ASSERT_TRUE(WriteDataSetFile(first + L"\\MyData_1.dat", {{L"a", L"b", L"255"}}, ColourForm::Decimal).ok);
    CreateMissingDataFiles(second, noMessages_, noPause_);
    EXPECT_EQ(Slurp(first + L"\\MyData_1.dat"), "\"a\",\"b\",255\r\n");
    EXPECT_EQ(ReadDataSetFile(second + L"\\MyData_1.dat"), InitialPublicEntries());
}

TEST_F(DataFiles, AtomicWriteReplacesWholeOrNotAtAll) {
    const std::wstring path = F(L"MyData_1.dat");
    ASSERT_TRUE(WriteFileAtomic(path, "old"));
    ASSERT_TRUE(WriteFileAtomic(path, "new content"));
    EXPECT_EQ(Slurp(path), "new content");

    // While another program holds the target open, the temporary file cannot take its place:
    // the old content stays and no temporary remains.
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteFileAtomic(path, "lost?"));
    CloseHandle(held);
    EXPECT_EQ(Slurp(path), "new content");
    EXPECT_FALSE(Exists(path + L".tmp"));

    // A folder that does not exist: nothing is written anywhere.
    EXPECT_FALSE(WriteFileAtomic(F(L"nowhere\\MyData_1.dat"), "x"));

    // WriteNewFile never replaces, whatever the attributes.
    Put(F(L"hidden.dat"), "keep", FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(WriteNewFile(F(L"hidden.dat"), "x"));
    EXPECT_EQ(Slurp(F(L"hidden.dat")), "keep");
    EXPECT_TRUE(WriteNewFile(F(L"fresh.dat"), "x"));
    EXPECT_EQ(Slurp(F(L"fresh.dat")), "x");
}

TEST_F(DataFiles, FileExistsSeesOnlyNormalFiles) {
    Put(F(L"plain.dat"), "x");
    Put(F(L"readonly.dat"), "x", FILE_ATTRIBUTE_READONLY);
    Put(F(L"hidden.dat"), "x", FILE_ATTRIBUTE_HIDDEN);
    Put(F(L"system.dat"), "x", FILE_ATTRIBUTE_SYSTEM);
    CreateDirectoryW(F(L"folder").c_str(), nullptr);
    EXPECT_TRUE(FileExists(F(L"plain.dat")));
    EXPECT_TRUE(FileExists(F(L"PLAIN.DAT")));  // names compare without case
    EXPECT_TRUE(FileExists(F(L"readonly.dat")));
    EXPECT_FALSE(FileExists(F(L"hidden.dat")));
    EXPECT_FALSE(FileExists(F(L"system.dat")));
    EXPECT_FALSE(FileExists(F(L"folder")));
    EXPECT_FALSE(FileExists(F(L"missing.dat")));
    EXPECT_FALSE(FileExists(F(L"*.dat")));
    EXPECT_TRUE(PathExists(F(L"hidden.dat")));
    EXPECT_FALSE(PathExists(F(L"folder")));
}

TEST_F(DataFiles, DataSetFilesReadBackAndRefuseWhatTheyCannotHold) {
    const std::wstring path = F(L"MyData_3.dat");
    EXPECT_TRUE(ReadDataSetFile(path).empty());  // missing

    std::vector<Entry> entries = {{L"住所", L"東京都港区\r\n1-2-3, 4F", L"&HC0FFFF"}, {L"", L"", L"&H8000000F"}};
    ASSERT_TRUE(WriteDataSetFile(path, entries, ColourForm::Decimal).ok);
    std::vector<Entry> back = ReadDataSetFile(path);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].text, L"東京都港区\r\n1-2-3, 4F");
    EXPECT_EQ(back[0].colour, L"12648447");
    EXPECT_EQ(back[1].colour, L"-2147483633");

    const std::string before = Slurp(path);
    entries[1].text = L"smile \"hi\"";
    EncodeResult r = WriteDataSetFile(path, entries, ColourForm::Decimal);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.badRecord, 1u);
    EXPECT_EQ(r.badField, 1);
    EXPECT_EQ(r.badCharIndex, 6u);
    EXPECT_EQ(Slurp(path), before);

    Put(F(L"empty.dat"), "");
    EXPECT_TRUE(ReadDataSetFile(F(L"empty.dat")).empty());

    // A file that cannot be written is reported, not taken for saved.
    r = WriteDataSetFile(F(L"nowhere\\MyData_3.dat"), BlankEntries(1), ColourForm::HexText);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.badField, -1);
}

TEST_F(DataFiles, TheRootThatHoldsTheDataWinsOverTheWritableOne) {
    const std::wstring local = L"C:\\Users\\aoki\\AppData\\Local";
    const std::wstring primary = L"C:\\Windows\\Personal_Data";
    const std::wstring store = local + L"\\VirtualStore\\Windows\\Personal_Data";
    auto locked = [](const std::wstring&) { return false; };
    auto writable = [](const std::wstring&) { return true; };
    // An older installation's data under Windows, which this run cannot write: still that one.
    auto c = ChooseDataRoot(L"C:\\Windows", local, L"ハリコ", locked,
                            [&](const std::wstring& f) { return f == primary + L"\\ハリコ"; });
    EXPECT_EQ(c.root, primary);
    EXPECT_TRUE(c.hasData);
    // Data only in the per-user folder, though Windows could be written (an elevated run).
    c = ChooseDataRoot(L"C:\\Windows", local, L"ハリコ", writable,
                       [&](const std::wstring& f) { return f == store + L"\\ハリコ"; });
    EXPECT_EQ(c.root, store);
    // No data anywhere: the writable one.
    c = ChooseDataRoot(L"C:\\Windows", local, L"ハリコ", locked, [](const std::wstring&) { return false; });
    EXPECT_EQ(c.root, store);
    EXPECT_FALSE(c.hasData);
}

TEST_F(DataFiles, DataRootFallsBackToTheVirtualStoreWhenWindowsIsNotWritable) {
    std::vector<std::wstring> probed;
    auto writable = [&](const std::wstring& f) { probed.push_back(f); return true; };
    auto locked = [&](const std::wstring& f) { probed.push_back(f); return false; };
    const std::wstring local = L"C:\\Users\\aoki\\AppData\\Local";
    EXPECT_EQ(DataRootPathFor(L"C:\\Windows", local, writable), L"C:\\Windows\\Personal_Data");
    EXPECT_EQ(DataRootPathFor(L"C:\\Windows", local, locked),
              L"C:\\Users\\aoki\\AppData\\Local\\VirtualStore\\Windows\\Personal_Data");
    EXPECT_EQ(DataRootPathFor(L"D:\\WINNT", local, locked),
              L"C:\\Users\\aoki\\AppData\\Local\\VirtualStore\\WINNT\\Personal_Data");
    EXPECT_EQ(probed, (std::vector<std::wstring>{L"C:\\Windows\\Personal_Data", L"C:\\Windows\\Personal_Data",
                                                 L"D:\\WINNT\\Personal_Data"}));

    // The real probe on a folder of ours, and the real root (C:\windows is writable here).
    EXPECT_TRUE(CanWriteFolder(F(L"root")));
    EXPECT_TRUE(Exists(F(L"root")));
    EXPECT_TRUE(CreateFolderTree(F(L"a\\b\\c")));
    EXPECT_TRUE(Exists(F(L"a\\b\\c")));
    wchar_t windows[MAX_PATH];
    UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
    std::wstring root = DataRootPath();
    EXPECT_EQ(root, std::wstring(windows, n) + L"\\Personal_Data");
    EXPECT_TRUE(Exists(root));
}

TEST_F(DataFiles, TunesAreTheResourcesByteForByte) {
    for (int n = 0; n < 5; ++n) {
        ASSERT_TRUE(WriteTuneFile(dir_, n)) << n;
        auto bytes = TuneBytes(n);
        ASSERT_TRUE(bytes.has_value());
        EXPECT_EQ(Slurp(dir_ + L"\\sakura_" + std::to_wstring(n) + L".mid"), *bytes);
    }
    EXPECT_FALSE(TuneBytes(5).has_value());
}

TEST_F(DataFiles, PasswordFileRoundTrip) {
    EXPECT_EQ(ReadPasswordFile(dir_, noMessages_, noPause_), std::nullopt);  // no file

    ASSERT_TRUE(WritePasswordFile(dir_, L"ぱすわーど", 300, [this] { ++messageRuns_; },
                                  [this](int ms) { pauses_.push_back(ms); }));
    EXPECT_EQ(pauses_, std::vector<int>{300});
    EXPECT_FALSE(Exists(F(L"MyData_0_0.dat")));
    // Stored as the quoted CP932 line, encrypted under the default password.
    EXPECT_EQ(Decrypted(L"MyData_0.dat"),
              "\"" + Bytes({0x82, 0xCF, 0x82, 0xB7, 0x82, 0xED, 0x81, 0x5B, 0x82, 0xC7}) + "\"\r\n");

    pauses_.clear();
    EXPECT_EQ(ReadPasswordFile(dir_, noMessages_, [this](int ms) { pauses_.push_back(ms); }), L"ぱすわーど");
    EXPECT_EQ(pauses_, std::vector<int>{100});
    EXPECT_TRUE(Exists(F(L"MyData_0.dat")));
    EXPECT_FALSE(Exists(F(L"MyData_0_0.dat")));

    ASSERT_TRUE(WritePasswordFile(dir_, L"", 100, noMessages_, noPause_));
    EXPECT_EQ(ReadPasswordFile(dir_, noMessages_, noPause_), L"");
}

TEST_F(DataFiles, PasswordFileNeverLosesThePassword) {
    ASSERT_TRUE(WritePasswordFile(dir_, L"old", 100, noMessages_, noPause_));
    const std::string stored = Slurp(F(L"MyData_0.dat"));

    // A password the file cannot hold is refused before anything is touched.
    EXPECT_FALSE(WritePasswordFile(dir_, L"a\"b", 100, noMessages_, noPause_));
    EXPECT_FALSE(WritePasswordFile(dir_, L"\u00A9", 100, noMessages_, noPause_));
    EXPECT_EQ(Slurp(F(L"MyData_0.dat")), stored);
    EXPECT_FALSE(Exists(F(L"MyData_0_0.dat")));

    // The encryption cannot replace a read-only MyData_0.dat: the new password stays in the
    // plain file and is what the next read returns, and that read puts it away once it can.
    SetFileAttributesW(F(L"MyData_0.dat").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(WritePasswordFile(dir_, L"new", 100, noMessages_, noPause_));
    EXPECT_EQ(Slurp(F(L"MyData_0_0.dat")), "\"new\"\r\n");
    EXPECT_EQ(ReadPasswordFile(dir_, noMessages_, noPause_), L"new");
    SetFileAttributesW(F(L"MyData_0.dat").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadPasswordFile(dir_, noMessages_, noPause_), L"new");
    EXPECT_FALSE(Exists(F(L"MyData_0_0.dat")));
    EXPECT_EQ(Decrypted(L"MyData_0.dat"), "\"new\"\r\n");
    EXPECT_EQ(ReadPasswordFile(dir_, noMessages_, noPause_), L"new");

    // A file that is not a password file gives no password rather than a made-up one.
    Put(F(L"MyData_0.dat"), "garbage bytes");
    EXPECT_EQ(ReadPasswordFile(dir_, noMessages_, noPause_), std::nullopt);
    EXPECT_TRUE(Exists(F(L"MyData_0.dat")));
    EXPECT_FALSE(Exists(F(L"MyData_0_0.dat")));
}

}  // namespace

TEST_F(DataFiles, LeftoverTemporariesGoAndNothingElseDoes) {
    ASSERT_TRUE(WriteFileAtomic(F(L"MyData_1.dat"), "\"a\",\"b\",\"&HFFFFFF\"\r\n"));
    for (const wchar_t* t : {L"MyData_2_2.dat.tmp", L"MyData_2.dat.tmp.tmp", L"Color.dat.tmp"})
        ASSERT_TRUE(WriteFileAtomic(F(t), "partial"));
    ASSERT_TRUE(WriteFileAtomic(F(L"notes.tmpx"), "kept"));
    ASSERT_TRUE(CreateDirectoryW(F(L"folder.tmp").c_str(), nullptr));

    EXPECT_EQ(DeleteLeftoverTemporaries(dir_), 3);
    EXPECT_EQ(GetFileAttributesW(F(L"MyData_2_2.dat.tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(F(L"MyData_2.dat.tmp.tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(FileExists(F(L"MyData_1.dat")));
    EXPECT_TRUE(FileExists(F(L"notes.tmpx")));
    EXPECT_NE(GetFileAttributesW(F(L"folder.tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    RemoveDirectoryW(F(L"folder.tmp").c_str());
}
