// The entry editor and the colour chooser for a screen reader and a keyboard: the names MSAA
// gives in this process (Wine answers only there), and the Tab walk and swatch keys.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/colour_chooser.h"
#include "editor/editor_ids.h"
#include "editor/entry_editor.h"
#include "store/datafiles.h"
#include "store/dataset_format.h"
#include "win/app.h"
#include "support/files.h"

namespace {

// The accessible name of a window's client object, through the system's own proxies.
std::wstring AccName(HWND h) {
    static HMODULE oleacc = LoadLibraryW(L"oleacc.dll");
    using Fn = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
    static auto fromWindow = reinterpret_cast<Fn>(GetProcAddress(oleacc, "AccessibleObjectFromWindow"));
    IAccessible* acc = nullptr;
    if (!fromWindow || FAILED(fromWindow(h, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                         reinterpret_cast<void**>(&acc))) || !acc)
        return L"<none>";
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring out = SUCCEEDED(acc->get_accName(self, &name)) && name ? name : L"";
    SysFreeString(name);
    acc->Release();
    return out;
}

class NamesTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        dir_ = testsupport::FreshFolder(L"hariko_names_" + std::to_wstring(GetCurrentProcessId()));
        file_ = dir_ + L"\\MyData_1.dat";
        std::vector<Entry> v;
        for (int i = 1; i <= 30; ++i) v.push_back({L"c" + std::to_wstring(i), L"t", L"&HFFFFFF"});
        ASSERT_TRUE(WriteDataSetFile(file_, v, ColourForm::HexText).ok);
        std::vector<int32_t> colours(editor::kSwatches, 0xFFFFFF);
        colours[0] = 0x0000FF;  // red, as BGR
        colours[1] = 0x800000;  // navy
        ASSERT_TRUE(WriteFileAtomic(dir_ + L"\\Color.dat", EncodeColorDat(colours)));
        EditorLinks links;
        links.own = &own_;
        links.exeName = L"hariko_names_test";
        links.dataDir = dir_;
        links.currentFile = [this] { return file_; };
        links.rowSetting = [this]() -> int16_t& { return setting_; };
        form_ = std::make_unique<EntryEditor>(std::move(links));
        ASSERT_TRUE(form_->Open());
        form_->Show();
        DoEvents();
    }
    void TearDown() override {
        form_.reset();
        testsupport::RemoveTree(dir_);
        CoUninitialize();
    }
    // The boxes of the row whose number is shown, wherever the reused slot now is.
    HWND RowControl(int row, int kind) {
        for (int k = 0;; ++k) {
            HWND number = GetDlgItem(form_->rowColumn->hwnd, entry_editor::RowControlId(k, entry_editor::kRowNumber));
            if (!number) return nullptr;
            wchar_t t[16] = {};
            GetWindowTextW(number, t, 16);
            if (IsWindowVisible(number) && std::to_wstring(row) == t)
                return GetDlgItem(form_->rowColumn->hwnd, entry_editor::RowControlId(k, kind));
        }
    }
    static std::wstring Text(HWND h) {
        wchar_t t[256] = {};
        GetWindowTextW(h, t, 256);
        return t;
    }
    void ExpectRowNamed(int row) {
        using namespace entry_editor;
        EXPECT_EQ(AccName(RowControl(row, kColourCell)), std::to_wstring(row) + L" 行目 ボタンの色");
        EXPECT_EQ(AccName(RowControl(row, kCaptionBox)), std::to_wstring(row) + L" 行目 表示文字");
        EXPECT_EQ(AccName(RowControl(row, kTextBox)), std::to_wstring(row) + L" 行目 貼付文字");
    }

    std::wstring dir_, file_;
    OwnWindowTable own_;
    int16_t setting_ = 30;
    std::unique_ptr<EntryEditor> form_;
};

TEST_F(NamesTest, EditorBoxesAndArrowsAreNamedAndTheNamesFollowTheRowsWhenScrolled) {
    EXPECT_EQ(AccName(form_->btnMoveUp->hwnd), L"選択行を上へ");
    EXPECT_EQ(AccName(form_->btnMoveDown->hwnd), L"選択行を下へ");
    EXPECT_EQ(AccName(form_->btnSave->hwnd), L"更　新");
    ExpectRowNamed(1);
    ExpectRowNamed(3);
    // Scrolling to the end hands the slots of the first rows to the last ones.
    SendMessageW(form_->hwnd(), WM_KEYDOWN, VK_END, 0);
    DoEvents();
    ASSERT_NE(RowControl(30, entry_editor::kCaptionBox), nullptr);
    ExpectRowNamed(30);
}

TEST_F(NamesTest, SwatchesAreNamedByTheirColour) {
    form_->OnColourCellClick(1);
    const HWND chooser = reinterpret_cast<HWND>(own_.colourChooser);
    ASSERT_TRUE(IsWindow(chooser));
    EXPECT_EQ(AccName(GetDlgItem(chooser, colour_chooser::kSwatch)), L"色見本 1: 赤 255 緑 0 青 0");
    EXPECT_EQ(AccName(GetDlgItem(chooser, colour_chooser::kSwatch + 1)), L"色見本 2: 赤 0 緑 0 青 128");
    SendMessageW(chooser, WM_CLOSE, 0, 0);
}

// A key as the focused window gets it; Shift held in this thread's key state when `shift`.
void Press(UINT key, bool shift = false) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    const HWND to = GetFocus();
    SendMessageW(to, WM_KEYDOWN, key, 1);
    if (key == VK_TAB) SendMessageW(to, WM_CHAR, L'\t', 1);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    DoEvents();
}

TEST_F(NamesTest, TabWalksCaptionTextNextRowThenTheEnabledButtonsAndBack) {
    using namespace entry_editor;
    EXPECT_EQ(GetFocus(), RowControl(1, kCaptionBox));
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), RowControl(1, kTextBox));
    EXPECT_EQ(Text(RowControl(1, kTextBox)), L"t");  // no tab character typed
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), RowControl(2, kCaptionBox));
    Press(VK_TAB, true);
    EXPECT_EQ(GetFocus(), RowControl(1, kTextBox));
    // From the last row's text on to the buttons; ↑, ↓ and 削除 wait for a selected row.
    Press(VK_END);
    SetFocus(RowControl(30, kTextBox));
    ASSERT_NE(GetFocus(), nullptr);
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), form_->btnInsertRow->hwnd);
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), form_->btnToggleIme->hwnd);
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), form_->btnSave->hwnd);
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), RowControl(1, kCaptionBox));
}

TEST_F(NamesTest, ArrowsMoveAmongTheSwatchesEnterTakesOneEscTakesNone) {
    form_->OnColourCellClick(1);
    HWND chooser = reinterpret_cast<HWND>(own_.colourChooser);
    ASSERT_TRUE(IsWindow(chooser));
    SetFocus(chooser);
    Press(VK_ESCAPE);
    EXPECT_FALSE(IsWindow(chooser));
    EXPECT_TRUE(form_->Session().chosenColour.empty());

    form_->OnColourCellClick(1);
    chooser = reinterpret_cast<HWND>(own_.colourChooser);
    ASSERT_TRUE(IsWindow(chooser));
    SetFocus(chooser);
    Press(VK_RIGHT);  // swatch 2, navy
    Press(VK_DOWN);   // and back up from the bottom row
    Press(VK_UP);
    Press(VK_LEFT);
    Press(VK_RIGHT);
    Press(VK_RETURN);
    EXPECT_FALSE(IsWindow(chooser));
    DoEvents();
    EXPECT_EQ(form_->Rows().At(1).colour, 0x800000);
}

}  // namespace
