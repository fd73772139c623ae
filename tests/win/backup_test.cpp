// Backup and restore on real files: the old backup goes only once the new one is complete,
// a restore replaces the data files all or none, and a backup folder is completed with the
// initial files.
#include "test_folders.h"

#include <gtest/gtest.h>

#include <map>

#include "store/backup_service.h"
#include "store/clsCryptFile.h"
#include "store/datafiles.h"
#include "store/dataset_format.h"
#include "store/passwordfile.h"

namespace {

const std::vector<std::wstring> kFive = {L"Color.dat", L"MyData_0.dat", L"MyData_1.dat", L"MyData_2.dat",
                                         L"MyData_3.dat"};

class BackupTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t tmp[MAX_PATH + 1];
        DWORD n = GetTempPathW(MAX_PATH + 1, tmp);
        root_ = std::wstring(tmp, n) + L"hariko_backup_" + std::to_wstring(GetCurrentProcessId());
        RemoveTree(root_);
        ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr));
        data_ = root_ + L"\\data";
        prog_ = root_ + L"\\prog";
        backup_ = prog_ + L"\\ハリコ_BackupData";
        ASSERT_TRUE(CreateDirectoryW(data_.c_str(), nullptr) && CreateDirectoryW(prog_.c_str(), nullptr));
        for (const auto& f : kFive) ASSERT_TRUE(WriteFileAtomic(data_ + L"\\" + f, "data " + Narrow(f)));
        saved_ = clsCryptFile::ShowError;
        clsCryptFile::ShowError = [](const std::wstring&) {};
    }
    void TearDown() override {
        clsCryptFile::ShowError = saved_;
        RemoveTree(root_);
    }
    static std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }
    static std::string Bytes(const std::wstring& p) { auto b = ReadAllBytes(p); return b ? *b : "<missing>"; }
    std::map<std::wstring, std::string> Contents(const std::wstring& dir) {
        std::map<std::wstring, std::string> m;
        for (const auto& f : FilesIn(dir)) m[f] = Bytes(dir + L"\\" + f);
        return m;
    }
    static uint64_t LastWrite(const std::wstring& p) {
        WIN32_FILE_ATTRIBUTE_DATA a{};
        GetFileAttributesExW(p.c_str(), GetFileExInfoStandard, &a);
        return (uint64_t(a.ftLastWriteTime.dwHighDateTime) << 32) | a.ftLastWriteTime.dwLowDateTime;
    }

    std::wstring root_, data_, prog_, backup_;
    std::function<void(const std::wstring&)> saved_;
};

TEST_F(BackupTest, TheOldBackupGoesOnlyWhenTheNewOneIsComplete) {
    ASSERT_TRUE(CreateDirectoryW(backup_.c_str(), nullptr) && CreateDirectoryW((backup_ + L"\\sub").c_str(), nullptr));
    ASSERT_TRUE(WriteFileAtomic(backup_ + L"\\MyData_1.dat", "old") && WriteFileAtomic(backup_ + L"\\メモ.txt", "mine") &&
                WriteFileAtomic(backup_ + L"\\sub\\x.txt", "x"));
    const auto before = Contents(backup_);

    // Another program holds Color.dat open: nothing of the old backup changes.
    HANDLE lock = CreateFileW((data_ + L"\\Color.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    FileWorkResult r = MakeBackup(data_, backup_);
    CloseHandle(lock);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failedPath, data_ + L"\\Color.dat");
    EXPECT_EQ(Contents(backup_), before);
    EXPECT_EQ(FilesIn(prog_), std::vector<std::wstring>{L"ハリコ_BackupData"});

    r = MakeBackup(data_, backup_);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(Contents(backup_), Contents(data_));
    EXPECT_EQ(FilesIn(prog_), std::vector<std::wstring>{L"ハリコ_BackupData"});
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const uint64_t now64 = (uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    EXPECT_EQ(r.stamp % 10000000, 0u);  // whole seconds
    EXPECT_LT(now64 - r.stamp, 100000000u);
    for (const auto& f : kFive) EXPECT_EQ(LastWrite(backup_ + L"\\" + f), r.stamp) << f.c_str();

    // While Private's working copy exists MyData_2.dat is not its latest state.
    ASSERT_TRUE(WriteFileAtomic(data_ + L"\\MyData_2_2.dat", "newer"));
    EXPECT_FALSE(MakeBackup(data_, backup_).ok);
    EXPECT_EQ(Bytes(backup_ + L"\\MyData_2.dat"), "data MyData_2.dat");
}

TEST_F(BackupTest, ARestoreReplacesEveryDataFileOrNone) {
    ASSERT_TRUE(CreateDirectoryW(backup_.c_str(), nullptr));
    for (const auto& f : kFive) ASSERT_TRUE(WriteFileAtomic(backup_ + L"\\" + f, "backup " + Narrow(f)));
    const auto dataBefore = Contents(data_);

    // Another program reads the fourth target: the three already replaced are put back.
    const std::wstring fourth = data_ + L"\\MyData_3.dat";
    HANDLE reader = CreateFileW(fourth.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    FileWorkResult r = RestoreBackup(backup_, data_);
    CloseHandle(reader);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failedPath, fourth);
    EXPECT_EQ(Contents(data_), dataBefore);

    ASSERT_TRUE(WriteFileAtomic(data_ + L"\\MyData_2_2.dat", "loaded"));
    EXPECT_FALSE(RestoreBackup(backup_, data_).ok);
    DeleteFileW((data_ + L"\\MyData_2_2.dat").c_str());

    // A backup from a read-only medium, without Color.dat, and a stale plain password file.
    DeleteFileW((backup_ + L"\\Color.dat").c_str());
    for (const auto& f : FilesIn(backup_)) SetFileAttributesW((backup_ + L"\\" + f).c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(WriteFileAtomic(data_ + L"\\MyData_0_0.dat", "\"stale\"\r\n"));
    ASSERT_TRUE(RestoreBackup(backup_, data_).ok);
    auto after = Contents(data_);
    auto expected = Contents(backup_);
    expected[L"Color.dat"] = "data Color.dat";
    EXPECT_EQ(after, expected);
    EXPECT_EQ(GetFileAttributesW((data_ + L"\\MyData_1.dat").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    for (const auto& f : FilesIn(backup_)) SetFileAttributesW((backup_ + L"\\" + f).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(BackupTest, AnEmptyBackupFolderIsCompletedAndItsPasswordRead) {
    ASSERT_TRUE(CreateDirectoryW(backup_.c_str(), nullptr));
    for (int n = 0; n < 4; ++n) EXPECT_TRUE(CreateInitialBackupFile(backup_, n, [] {}, [](int) {})) << n;
    EXPECT_FALSE(CreateInitialBackupFile(backup_, 1, [] {}, [](int) {}));
    EXPECT_EQ(FilesIn(backup_), (std::vector<std::wstring>{L"MyData_0.dat", L"MyData_1.dat", L"MyData_2.dat",
                                                           L"MyData_3.dat"}));
    EXPECT_EQ(Bytes(backup_ + L"\\MyData_1.dat"), EncodeDataSet(InitialPublicEntries(), ColourForm::HexText).bytes);
    EXPECT_EQ(Bytes(backup_ + L"\\MyData_3.dat"), EncodeDataSet(InitialKaomojiEntries(), ColourForm::HexText).bytes);
    ASSERT_TRUE(DecryptFileTo(backup_ + L"\\MyData_2.dat", root_ + L"\\p2", DefaultPassword()));
    EXPECT_EQ(Bytes(root_ + L"\\p2"), EncodeDataSet(BlankEntries(25), ColourForm::HexText).bytes);
    EXPECT_EQ(ReadBackupPassword(backup_, data_), std::wstring());

    ASSERT_TRUE(WritePasswordFile(backup_, L"abc", 0, [] {}, [](int) {}));
    const auto backupBefore = Contents(backup_), dataBefore = Contents(data_);
    EXPECT_EQ(ReadBackupPassword(backup_, data_), std::wstring(L"abc"));
    EXPECT_EQ(Contents(backup_), backupBefore);
    EXPECT_EQ(Contents(data_), dataBefore);
    ASSERT_TRUE(WriteFileAtomic(backup_ + L"\\MyData_0.dat", "not a password file"));
    EXPECT_EQ(ReadBackupPassword(backup_, data_), std::nullopt);
}

}  // namespace
