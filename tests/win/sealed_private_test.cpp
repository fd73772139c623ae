// Private sealed and unsealed on real files: no plain text and no password left on disk while
// it is sealed, a wrong password changing nothing, and the RC4 format back afterwards.

#include <gtest/gtest.h>

#include "store/backup_service.h"
#include "store/datafiles.h"
#include "store/dataset_format.h"
#include "store/dataset_service.h"
#include "store/file_cipher.h"
#include "store/passwordfile.h"
#include "support/files.h"

namespace {

TEST(SealedPrivate, SealEditUnsealLeavesNothingReadableBehind) {
    const std::wstring dir = testsupport::FreshFolder(L"hariko_sealp_" + std::to_wstring(GetCurrentProcessId()));
    auto file = [&](const wchar_t* n) { return dir + L"\\" + n; };
    const std::string plain = EncodeDataSet({{L"カード", L"4980 1234", L"&HFFFFFF"}}, ColourForm::HexText).bytes;
    ASSERT_TRUE(WriteFileAtomic(file(L"p.tmp"), plain));
    ASSERT_TRUE(EncryptFileTo(file(L"p.tmp"), file(L"MyData_2.dat"), L"pw"));
    DeleteFileW(file(L"p.tmp").c_str());
    PasswordState pw;
    pw.Use(L"pw");
    DataSetService svc(pw);
    svc.SetDataDir(dir);

    ASSERT_TRUE(svc.SealPrivate(L"pw"));
    EXPECT_TRUE(svc.FileIsSealed());
    EXPECT_EQ(L"", ReadPasswordFile(dir, [] {}, [](int) {}));
    // After the seal a file without the mark is damage, never a Private without a password.
    const std::string whole = testsupport::BytesOf(file(L"MyData_2.dat"));
    for (const std::string& broken : {std::string(), "HRK-AES2" + whole.substr(8), whole}) {
        ASSERT_TRUE(WriteFileAtomic(file(L"MyData_2.dat"), broken));
        EXPECT_TRUE(svc.FileIsSealed() && svc.SealedFileDamaged() == (broken != whole)) << broken.size();
    }
    auto shown = svc.Prepare(DataSet::Private);
    EXPECT_EQ(plain, shown.bytes);
    // The editor's save is sealed at once: while Private is open no file holds its text.
    const std::string edited = EncodeDataSet({{L"口座", L"0012345", L"255"}}, ColourForm::Decimal).bytes;
    ASSERT_TRUE(svc.SaveSealed(edited));
    EXPECT_EQ(edited, svc.UnlockedBytes().value_or(""));
    EXPECT_EQ(edited, svc.Prepare(DataSet::Private).bytes);
    for (const std::wstring& n : testsupport::FolderEntries(dir)) {
        const std::string bytes = testsupport::BytesOf(file(n.c_str()));
        EXPECT_EQ(std::string::npos, bytes.find("0012345")) << n;
    }
    svc.Prepare(DataSet::Public);
    EXPECT_FALSE(svc.Unlocked());
    EXPECT_TRUE(svc.Prepare(DataSet::Private).locked);

    // A backup of the sealed file is loadable under its password only; once restored (sealed
    // under another salt) the entries held in memory never overwrite it.
    ASSERT_TRUE(svc.Unlock(L"pw"));
    ASSERT_TRUE(WriteFileAtomic(file(L"MyData_1.dat"), plain) && WriteFileAtomic(file(L"MyData_3.dat"), plain));
    EXPECT_TRUE(BackupPrivateSealed(dir));
    EXPECT_EQ(BackupFault::None, CheckBackupFiles(dir, dir, L"pw").fault);
    EXPECT_EQ(BackupFault::WrongKey, CheckBackupFiles(dir, dir, L"px").fault);
    PasswordState otherPw;
    DataSetService other(otherPw);
    other.SetDataDir(dir);
    ASSERT_TRUE(other.Unlock(L"pw"));
    ASSERT_TRUE(other.UnsealPrivate(L"pw", 0, [] {}, [](int) {}) && other.SealPrivate(L"pw"));
    const std::string restored = testsupport::BytesOf(file(L"MyData_2.dat"));
    ASSERT_TRUE(WriteFileAtomic(file(L"MyData_2_2.dat"), edited));
    EXPECT_TRUE(svc.Prepare(DataSet::Private).locked);
    EXPECT_FALSE(svc.SaveSealed(edited));
    EXPECT_EQ(restored, testsupport::BytesOf(file(L"MyData_2.dat")));
    DeleteFileW(file(L"MyData_2_2.dat").c_str());
    const std::string sealedBytes = testsupport::BytesOf(file(L"MyData_2.dat"));
    EXPECT_FALSE(svc.Unlock(L"px"));
    EXPECT_FALSE(svc.UnsealPrivate(L"px", 0, [] {}, [](int) {}));
    EXPECT_EQ(sealedBytes, testsupport::BytesOf(file(L"MyData_2.dat")));
    EXPECT_TRUE(svc.Opens(L"pw"));

    ASSERT_TRUE(svc.UnsealPrivate(L"pw", 0, [] {}, [](int) {}));
    EXPECT_FALSE(svc.FileIsSealed());
    EXPECT_EQ(L"pw", ReadPasswordFile(dir, [] {}, [](int) {}));
    ASSERT_TRUE(DecryptFileTo(file(L"MyData_2.dat"), file(L"c.tmp"), L"pw"));
    EXPECT_EQ(edited, testsupport::BytesOf(file(L"c.tmp")));
    testsupport::RemoveTree(dir);
}

}  // namespace
