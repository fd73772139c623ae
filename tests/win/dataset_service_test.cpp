// The data-set service on real files: Private's working copy made and put away, a file the
// key does not open kept aside, and the last copy of the entries never deleted.

#include <gtest/gtest.h>

#include "store/file_cipher.h"
#include "store/datafiles.h"
#include "store/dataset_format.h"
#include "store/dataset_service.h"
#include "support/files.h"

using testsupport::FolderEntries;
using testsupport::FreshFolder;
using testsupport::RemoveTree;

namespace {

class DataSetServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = FreshFolder(L"hariko_sets_" + std::to_wstring(GetCurrentProcessId()));
        ASSERT_TRUE(testsupport::FolderExists(dir_));
        pw_.privateKey = L"key1";
        svc_.SetDataDir(dir_);
        savedShowError_ = FileCipher::ShowError;
        FileCipher::ShowError = [](const std::wstring&) {};
        plain_ = EncodeDataSet({{L"氏名", L"青木　純", L"&HFFFFFF"}, {L"", L"a,b\r\nc", L"255"}},
                               ColourForm::HexText).bytes;
    }
    void TearDown() override {
        FileCipher::ShowError = savedShowError_;
        RemoveTree(dir_);
    }

    std::wstring File(const wchar_t* n) const { return dir_ + L"\\" + n; }
    void Seal(const std::wstring& key) {
        ASSERT_TRUE(WriteFileAtomic(File(L"p.tmp"), plain_));
        ASSERT_TRUE(EncryptFileTo(File(L"p.tmp"), File(L"MyData_2.dat"), key));
        DeleteFileW(File(L"p.tmp").c_str());
    }
    std::string Bytes(const std::wstring& p) { return testsupport::BytesOf(p); }

    std::wstring dir_;
    std::string plain_;
    PasswordState pw_;
    DataSetService svc_{pw_};
    std::function<void(const std::wstring&)> savedShowError_;
};

TEST_F(DataSetServiceTest, PrivateRoundTripLeavesExactlyOneForm) {
    Seal(L"key1");
    auto p = svc_.Prepare(DataSet::Private);
    EXPECT_FALSE(p.unreadable);
    EXPECT_EQ(p.file, File(L"MyData_2_2.dat"));
    EXPECT_EQ(FolderEntries(dir_), std::vector<std::wstring>{L"MyData_2_2.dat"});
    EXPECT_EQ(Bytes(p.file), plain_);

    EXPECT_EQ(svc_.Prepare(DataSet::Public).file, File(L"MyData_1.dat"));
    EXPECT_EQ(FolderEntries(dir_), std::vector<std::wstring>{L"MyData_2.dat"});
    ASSERT_TRUE(DecryptFileTo(File(L"MyData_2.dat"), File(L"c.tmp"), L"key1"));
    EXPECT_EQ(Bytes(File(L"c.tmp")), plain_);
}

TEST_F(DataSetServiceTest, AFileTheKeyDoesNotOpenIsKeptAsideUnchanged) {
    Seal(L"other");
    const std::string before = Bytes(File(L"MyData_2.dat"));
    {
        // While another program holds it, it cannot be moved: then it is not touched at all.
        HANDLE h = CreateFileW(File(L"MyData_2.dat").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
        auto held = svc_.Prepare(DataSet::Private);
        CloseHandle(h);
        EXPECT_TRUE(held.unreadable && held.asideFailed);
        EXPECT_EQ(FolderEntries(dir_), std::vector<std::wstring>{L"MyData_2.dat"});
        EXPECT_EQ(Bytes(File(L"MyData_2.dat")), before);
    }
    auto p = svc_.Prepare(DataSet::Private);
    EXPECT_TRUE(p.unreadable);
    ASSERT_FALSE(p.keptAside.empty());
    EXPECT_EQ(Bytes(p.keptAside), before);
    auto files = FolderEntries(dir_);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].rfind(L"MyData_2_復号できません_", 0), 0u);
    // A single record under the right key is kept aside as well, never blanked.
    plain_ = EncodeDataSet({{L"a", L"b", L"1"}}, ColourForm::Decimal).bytes;
    Seal(L"key1");
    auto one = svc_.Prepare(DataSet::Private);
    EXPECT_TRUE(one.unreadable);
    ASSERT_TRUE(DecryptFileTo(one.keptAside, File(L"c.tmp"), L"key1"));
    EXPECT_EQ(Bytes(File(L"c.tmp")), plain_);
    EXPECT_NE(one.keptAside.find(L"MyData_2_退避_"), std::wstring::npos);
    svc_.DeleteKeptAside();
    EXPECT_EQ(FolderEntries(dir_), std::vector<std::wstring>{L"c.tmp"});
}

TEST_F(DataSetServiceTest, BothFormsAtStartKeepTheNewerAndSetTheOtherAside) {
    // Cut off after sealing: the same entries twice; the working copy simply goes.
    Seal(L"key1");
    ASSERT_TRUE(WriteFileAtomic(File(L"MyData_2_2.dat"), plain_));
    EXPECT_EQ(svc_.ResolveBothForms(), L"");
    EXPECT_EQ(FolderEntries(dir_), std::vector<std::wstring>{L"MyData_2.dat"});
    // Edited while loaded, then cut off: the working copy is newer and stays; the older
    // MyData_2.dat is kept aside, and putting away then seals the newer one.
    const std::string newer = EncodeDataSet({{L"x", L"y", L"1"}, {L"", L"", L"2"}}, ColourForm::Decimal).bytes;
    ASSERT_TRUE(WriteFileAtomic(File(L"MyData_2_2.dat"), newer));
    const std::wstring aside = svc_.ResolveBothForms();
    EXPECT_NE(aside.find(L"MyData_2_退避_"), std::wstring::npos);
    EXPECT_TRUE(svc_.PutWorkingCopyAway());
    ASSERT_TRUE(DecryptFileTo(File(L"MyData_2.dat"), File(L"c.tmp"), L"key1"));
    EXPECT_EQ(Bytes(File(L"c.tmp")), newer);
    ASSERT_TRUE(DecryptFileTo(aside, File(L"d.tmp"), L"key1"));
    EXPECT_EQ(Bytes(File(L"d.tmp")), plain_);
}

TEST_F(DataSetServiceTest, PuttingAwayNeverDeletesTheLastCopy) {
    ASSERT_TRUE(WriteFileAtomic(File(L"MyData_2_2.dat"), plain_));
    // Without a key nothing is encrypted, so nothing is deleted.
    pw_.privateKey.clear();
    EXPECT_FALSE(svc_.PutWorkingCopyAway());
    EXPECT_EQ(Bytes(File(L"MyData_2_2.dat")), plain_);
    // An older MyData_2.dat in the way: the working copy, the newer one, stays.
    pw_.privateKey = L"key1";
    ASSERT_TRUE(WriteFileAtomic(File(L"MyData_2.dat"), "old"));
    EXPECT_FALSE(svc_.PutWorkingCopyAway());
    EXPECT_EQ(Bytes(File(L"MyData_2_2.dat")), plain_);
    // The encryption cannot write: a folder where its output goes.
    DeleteFileW(File(L"MyData_2.dat").c_str());
    ASSERT_TRUE(CreateDirectoryW(File(L"MyData_2.dat.tmp").c_str(), nullptr));
    EXPECT_FALSE(svc_.PutWorkingCopyAway());
    EXPECT_EQ(Bytes(File(L"MyData_2_2.dat")), plain_);
    RemoveDirectoryW(File(L"MyData_2.dat.tmp").c_str());
    EXPECT_TRUE(svc_.PutWorkingCopyAway());
    EXPECT_EQ(FolderEntries(dir_), std::vector<std::wstring>{L"MyData_2.dat"});
}

}  // namespace
