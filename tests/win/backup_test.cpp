// Backup and restore on real files, in the cases the end-to-end run cannot easily make: a
// working copy in the way, a backup from a read-only medium, a stale plain password file,
// a leftover of an interrupted backup, a password file that is no password file, a data
// folder that refuses a copy.

#include <gtest/gtest.h>

#include <map>

#include "store/backup_service.h"
#include "store/datafiles.h"
#include "store/passwordfile.h"
#include "support/files.h"

using testsupport::FolderEntries;
using testsupport::FreshFolder;
using testsupport::RemoveTree;

namespace {

class BackupTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = FreshFolder(L"hariko_backup_" +
                std::to_wstring(GetCurrentProcessId()));
        data_ = root_ + L"\\data";
        backup_ = root_ + L"\\ハリコ_BackupData";
        ASSERT_TRUE(testsupport::FolderExists(root_) && CreateDirectoryW(data_.c_str(), nullptr) &&
                    CreateDirectoryW(backup_.c_str(), nullptr));
        for (const auto& f : BackupFileNames()) {
            ASSERT_TRUE(WriteFileAtomic(data_ + L"\\" + f, "data"));
            ASSERT_TRUE(WriteFileAtomic(backup_ + L"\\" + f, "backup"));
        }
    }
    void TearDown() override { RemoveTree(root_); }
    std::map<std::wstring, std::string> Contents(const std::wstring& dir) {
        std::map<std::wstring, std::string> m;
        for (const auto& f : FolderEntries(dir)) m[f] = ReadAllBytes(dir + L"\\" + f).value_or("<unreadable>");
        return m;
    }

    std::wstring root_, data_, backup_;
};

TEST_F(BackupTest, AWorkingCopyStopsBothWaysAndLeftoversOfABackupGo) {
    ASSERT_TRUE(WriteFileAtomic(data_ + L"\\MyData_2_2.dat", "newer than MyData_2.dat"));
    const auto data = Contents(data_), backup = Contents(backup_);
    EXPECT_FALSE(MakeBackup(data_, backup_).ok);
    EXPECT_FALSE(RestoreBackup(backup_, data_).ok);
    EXPECT_EQ(Contents(data_), data);
    EXPECT_EQ(Contents(backup_), backup);

    DeleteFileW((data_ + L"\\MyData_2_2.dat").c_str());
    ASSERT_TRUE(CreateDirectoryW((backup_ + L".new").c_str(), nullptr));
    ASSERT_TRUE(WriteFileAtomic(backup_ + L".new\\half.dat", "interrupted"));
    ASSERT_TRUE(MakeBackup(data_, backup_).ok);
    EXPECT_EQ(FolderEntries(root_), (std::vector<std::wstring>{L"data", L"ハリコ_BackupData"}));
    EXPECT_EQ(Contents(backup_), Contents(data_));
}

TEST_F(BackupTest, ARestoreFromAReadOnlyMediumWithoutColoursLeavesWritableFiles) {
    DeleteFileW((backup_ + L"\\Color.dat").c_str());
    for (const auto& f : FolderEntries(backup_)) SetFileAttributesW((backup_ + L"\\" + f).c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(WriteFileAtomic(data_ + L"\\MyData_0_0.dat", "\"stale\"\r\n"));
    ASSERT_TRUE(RestoreBackup(backup_, data_).ok);
    auto expected = Contents(backup_);
    expected[L"Color.dat"] = "data";
    EXPECT_EQ(Contents(data_), expected);
    for (const auto& f : FolderEntries(data_)) EXPECT_EQ(GetFileAttributesW((data_ + L"\\" + f).c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST_F(BackupTest, TheBackupsPasswordIsReadWithoutTouchingTheFolder) {
    ASSERT_TRUE(WritePasswordFile(backup_, L"abc", 0, [] {}, [](int) {}));
    const auto data = Contents(data_), backup = Contents(backup_);
    EXPECT_EQ(ReadBackupPassword(backup_), std::wstring(L"abc"));
    EXPECT_EQ(Contents(data_), data);
    EXPECT_EQ(Contents(backup_), backup);
    ASSERT_TRUE(WriteFileAtomic(backup_ + L"\\MyData_0.dat", "no password file"));
    EXPECT_EQ(ReadBackupPassword(backup_), std::nullopt);
}

TEST_F(BackupTest, ADataFolderThatRefusesACopyIsNamedNotTheBackup) {
    const auto data = Contents(data_);
    const std::wstring blocked = data_ + L"\\MyData_1.dat.restore.tmp";
    ASSERT_TRUE(CreateDirectoryW(blocked.c_str(), nullptr));
    EXPECT_EQ(RestoreBackup(backup_, data_).failedPath, blocked);
    RemoveDirectoryW(blocked.c_str());
    EXPECT_EQ(Contents(data_), data);
}

}  // namespace
