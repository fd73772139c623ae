// The entry editor's window on the real window manager and files: what a locked file, a
// refused character and thousands of entries look like to the user and on disk, and what a
// screen reader (MSAA in this process: Wine answers only there) and the keyboard get.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/colour_chooser.h"
#include "editor/entry_editor.h"
#include "editor/editor_ids.h"
#include "store/datafiles.h"
#include "store/dataset_format.h"
#include "win/app.h"
#include "support/files.h"

using testsupport::FolderEntries;
using testsupport::FreshFolder;
using testsupport::RemoveTree;

namespace {

std::vector<std::wstring> g_boxes;
int RecordBox(const std::wstring& text, UINT, const std::wstring&) {
    g_boxes.push_back(text);
    return IDOK;
}

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = FreshFolder(L"hariko_editor_" + std::to_wstring(GetCurrentProcessId()));
        ASSERT_TRUE(testsupport::FolderExists(dir_));
        file_ = dir_ + L"\\MyData_1.dat";
        g_boxes.clear();
        SetMsgBoxHook(RecordBox);
        savedBeep_ = InputHint::Beep;
        InputHint::Beep = [this] { ++beeps_; };
    }
    void TearDown() override {
        form_.reset();
        SetMsgBoxHook(nullptr);
        InputHint::Beep = savedBeep_;
        RemoveTree(dir_);
    }

    void Open(int entries, const std::wstring& firstText = L"t") {
        std::vector<Entry> v;
        for (int i = 1; i <= entries; ++i) v.push_back({L"c" + std::to_wstring(i), L"t", L"&HFFFFFF"});
        v[0].text = firstText;
        ASSERT_TRUE(WriteDataSetFile(file_, v, ColourForm::HexText).ok);
        EditorLinks links;
        links.own = &own_;
        links.exeName = L"hariko_editor_test";
        links.dataDir = dir_;
        links.currentFile = [this] { return file_; };
        links.rowSetting = [this]() -> int16_t& { return setting_; };
        form_ = std::make_unique<EntryEditor>(std::move(links));
        ASSERT_TRUE(form_->Open());
        form_->Show();
        DoEvents();
    }
    // A row's control as the user sees it: found by the row its colour cell names.
    HWND RowControl(int row, int kind) {
        for (int k = 0;; ++k) {
            HWND cell = GetDlgItem(form_->rowColumn->hwnd, entry_editor::RowControlId(k, entry_editor::kColourCell));
            if (!cell) return nullptr;
            if (IsWindowVisible(cell) && Text(cell) == entry_editor::RowName(row, entry_editor::kColourCell))
                return GetDlgItem(form_->rowColumn->hwnd, entry_editor::RowControlId(k, kind));
        }
    }
    std::wstring Text(HWND h) {
        wchar_t t[256] = {};
        GetWindowTextW(h, t, 256);
        return t;
    }
    int Children(bool hiddenOnly = false) {
        std::pair<bool, int> n{hiddenOnly, 0};
        EnumChildWindows(form_->hwnd(), [](HWND h, LPARAM p) {
            auto& n = *reinterpret_cast<std::pair<bool, int>*>(p);
            n.second += !n.first || !(GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE);
            return TRUE;
        }, reinterpret_cast<LPARAM>(&n));
        return n.second;
    }

    std::wstring dir_, file_;
    OwnWindowTable own_;
    int16_t setting_ = 25;
    std::unique_ptr<EntryEditor> form_;
    std::function<void()> savedBeep_;
    int beeps_ = 0;
};

TEST_F(EditorTest, ALockedFileIsReportedAndTheEditsStayUntilASaveWorks) {
    Open(25);
    HWND caption = RowControl(3, entry_editor::kCaptionBox);
    ASSERT_NE(caption, nullptr);
    SetWindowTextW(caption, L"住所");
    const std::string before = *ReadAllBytes(file_);
    HANDLE lock = CreateFileW(file_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    SendMessageW(form_->hwnd(), WM_CLOSE, 0, 0);
    CloseHandle(lock);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].rfind(L"データを保存できませんでした。", 0), 0u) << g_boxes[0];
    EXPECT_TRUE(IsWindow(form_->hwnd()));
    EXPECT_EQ(Text(RowControl(3, entry_editor::kCaptionBox)), L"住所");
    EXPECT_EQ(*ReadAllBytes(file_), before);
    EXPECT_EQ(own_.entryEditor, reinterpret_cast<uintptr_t>(form_->hwnd()));

    SendMessageW(form_->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(form_->hwnd(), nullptr);
    EXPECT_EQ(own_.entryEditor, 0u);
    auto saved = ReadDataSetFile(file_);
    ASSERT_EQ(saved.size(), 25u);
    EXPECT_EQ(saved[2], (Entry{L"住所", L"t", L"16777215"}));
}

TEST_F(EditorTest, CharactersTheFileCannotHoldAreRefusedWithAHint) {
    Open(25);
    HWND caption = RowControl(1, entry_editor::kCaptionBox);
    HWND text = RowControl(1, entry_editor::kTextBox);
    SetWindowTextW(caption, L"");
    SendMessageW(caption, WM_CHAR, L'"', 0);
    SendMessageW(caption, WM_CHAR, L'a', 0);
    EXPECT_EQ(Text(caption), L"a");
    EXPECT_EQ(beeps_, 1);
    EXPECT_EQ(form_->Hint()->Text(), L"「\"」は保存できない文字のため、入力できません。");
    EXPECT_TRUE(IsWindowVisible(form_->Hint()->hwnd()));

    // Composed by the input method: the same checks, and the byte limit in code page 932.
    for (wchar_t c : std::wstring(L"あいうえおかきく")) SendMessageW(caption, WM_IME_CHAR, c, 0);
    EXPECT_EQ(Text(caption), L"aあいうえおか");
    EXPECT_EQ(form_->Hint()->Text(), kCaptionLimitHint);

    // Pasted: a text with a double quote does not go in at all.
    ASSERT_TRUE(OpenClipboard(form_->hwnd()));
    EmptyClipboard();
    const std::wstring pasted = L"caf\u00e9 \"au\" lait";
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, (pasted.size() + 1) * sizeof(wchar_t));
    memcpy(GlobalLock(g), pasted.c_str(), (pasted.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(g);
    SetClipboardData(CF_UNICODETEXT, g);
    CloseClipboard();
    SetWindowTextW(text, L"t");
    SendMessageW(text, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(text), L"t");
    EXPECT_EQ(form_->Hint()->Text(), L"「\"」は保存できない文字のため、入力できません。");
    EXPECT_EQ(beeps_, 4);
    // An emoji typed as its two halves goes in whole; the file becomes UTF-8.
    SendMessageW(text, EM_SETSEL, 1, 1);
    SendMessageW(text, WM_CHAR, 0xD83D, 0);
    SendMessageW(text, WM_CHAR, 0xDE0A, 0);
    EXPECT_EQ(Text(text), L"t\U0001F60A");

    SendMessageW(form_->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(form_->hwnd(), nullptr);
    auto saved = ReadDataSetFile(file_);
    ASSERT_FALSE(saved.empty());
    EXPECT_EQ(saved[0], (Entry{L"aあいうえおか", L"t\U0001F60A", L"16777215"}));
    EXPECT_EQ(ReadAllBytes(file_)->substr(0, 3), "\xEF\xBB\xBF");
}

TEST_F(EditorTest, ALongTextIsShownByItsStartTypedOnInTheTextEditorAndSavedWhole) {
    const std::wstring longText = std::wstring(300000, L'あ') + L"\r\nend";
    Open(25, longText);
    HWND text = RowControl(1, entry_editor::kTextBox);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(GetWindowTextLengthW(text), 1000);
    EXPECT_NE(GetWindowLongPtrW(text, GWL_STYLE) & ES_READONLY, 0);
    SendMessageW(text, WM_CHAR, L'x', 0);
    EXPECT_EQ(form_->Hint()->Text(), kLongTextHint);
    EXPECT_EQ(GetWindowTextLengthW(text), 1000);
    // The text editor takes typing past the edit control's own limit (about 30,000).
    form_->OnTextDoubleClick(1);
    HWND big = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM p) {
        if (HWND box = GetDlgItem(w, text_editor::kEditText)) *reinterpret_cast<HWND*>(p) = box;
        return TRUE;
    }, reinterpret_cast<LPARAM>(&big));
    ASSERT_NE(big, nullptr);
    const int shown = GetWindowTextLengthW(big);
    SendMessageW(big, EM_SETSEL, shown, shown);
    SendMessageW(big, WM_CHAR, L'x', 0);
    EXPECT_EQ(GetWindowTextLengthW(big), shown + 1);
    SendMessageW(GetDlgItem(GetParent(big), text_editor::kBtnSave), BM_CLICK, 0, 0);
    DoEvents();
    SetWindowTextW(RowControl(1, entry_editor::kCaptionBox), L"長文");  // the row is saved anew
    SendMessageW(form_->hwnd(), WM_CLOSE, 0, 0);
    auto saved = ReadDataSetFile(file_);
    ASSERT_EQ(saved.size(), 25u);
    EXPECT_EQ(saved[0].caption, L"長文");
    EXPECT_TRUE(saved[0].text == longText + L"x");
}

TEST_F(EditorTest, FiveThousandEntriesAreReachedWithTheWindowsOfTwentyFive) {
    Open(26);  // the rows in view of every set larger than the window: 25 have one fewer
    const int few = Children();
    SendMessageW(form_->hwnd(), WM_CLOSE, 0, 0);
    Open(5000);
    EXPECT_EQ(Children(), few);
    BYTE keys[256] = {};
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);  // Ctrl+End: the last row takes the focus, the view follows
    SendMessageW(RowControl(1, entry_editor::kCaptionBox), WM_KEYDOWN, VK_END, 0);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    HWND last = RowControl(5000, entry_editor::kCaptionBox);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(Text(last), L"c5000");
    EXPECT_EQ(GetFocus(), last);
    EXPECT_EQ(Children(), few);
    EXPECT_LE(Children(true), 3);  // no rows kept ready out of sight: one at most, left by a view a row shorter
    // Down in the caption box of the row above the last moves the focus there.
    SendMessageW(RowControl(4999, entry_editor::kCaptionBox), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(GetFocus(), last);
    SendMessageW(form_->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(ReadDataSetFile(file_).size(), 5000u);
}

std::wstring AccName(HWND h) {
    using Fn = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
    static auto get = reinterpret_cast<Fn>(GetProcAddress(LoadLibraryW(L"oleacc.dll"), "AccessibleObjectFromWindow"));
    static const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // as a screen reader has it
    (void)com;
    IAccessible* acc = nullptr;
    BSTR name = nullptr;
    VARIANT self{};
    self.vt = VT_I4;  // CHILDID_SELF
    if (SUCCEEDED(get(h, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible, reinterpret_cast<void**>(&acc))))
        acc->get_accName(self, &name), acc->Release();
    std::wstring out = name ? name : L"";
    SysFreeString(name);
    return out;
}

void Press(UINT key, bool shift = false, bool ctrl = false) {  // to the focused window; modifiers in this thread's key state
    BYTE keys[256] = {};
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(keys);
    SendMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    if (key == VK_TAB) SendMessageW(GetFocus(), WM_CHAR, L'\t', 1);
}

TEST_F(EditorTest, NamesTabWalkAndSwatchKeys) {
    using namespace entry_editor;
    std::vector<int32_t> colours(editor::kSwatches, 0xFFFFFF);
    colours[1] = 0x800000;  // navy
    ASSERT_TRUE(WriteFileAtomic(dir_ + L"\\Color.dat", EncodeColorDat(colours)));
    Open(30);
    EXPECT_EQ(AccName(form_->btnMoveDown->hwnd), L"選択行を下へ");
    EXPECT_EQ(GetFocus(), RowControl(1, kCaptionBox));
    for (int i = 0; i < 3; ++i) Press(VK_TAB);  // text, then row 2's colour cell and caption
    for (int i = 0; i < 2; ++i) Press(VK_TAB, true);
    EXPECT_EQ(GetFocus(), RowControl(1, kTextBox));
    EXPECT_EQ(Text(GetFocus()), L"t");  // no tab character typed
    Press(VK_END, false, true);  // the first rows' slots go to the last rows, names and all
    EXPECT_EQ(GetFocus(), RowControl(30, kTextBox));
    EXPECT_EQ(AccName(RowControl(30, kColourCell)), L"30 行目 ボタンの色");
    EXPECT_EQ(AccName(RowControl(30, kCaptionBox)), L"30 行目 表示文字");
    EXPECT_EQ(AccName(GetFocus()), L"30 行目 貼付文字");
    Press(VK_TAB);  // row 30 has the focus: ↑ moves it, ↓ cannot (the last row)
    EXPECT_EQ(GetFocus(), form_->btnMoveUp->hwnd);
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), form_->btnInsertRow->hwnd);
    Press(VK_HOME);
    SetFocus(RowControl(2, kColourCell));
    Press(VK_SPACE);
    const HWND chooser = reinterpret_cast<HWND>(own_.colourChooser);
    EXPECT_EQ(AccName(GetDlgItem(chooser, colour_chooser::kSwatch + 1)), L"色見本 2: 赤 0 緑 0 青 128");
    SetFocus(chooser);
    for (UINT k : {VK_RIGHT, VK_DOWN, VK_UP, VK_RETURN}) Press(k);
    EXPECT_FALSE(IsWindow(chooser));
    DoEvents();
    EXPECT_EQ(form_->Rows().At(2).colour, 0x800000);
    EXPECT_EQ(GetFocus(), RowControl(2, kColourCell));  // back where the chooser was opened
}

}  // namespace

TEST_F(EditorTest, ALightOnDarkSchemeDrawsTheGridInItsColours) {
    // White on black, as high contrast has it (Wine refuses SPI_SETHIGHCONTRAST); put back after.
    static const int kWhich[] = {COLOR_WINDOW, COLOR_WINDOWTEXT};
    const COLORREF kept[] = {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT)};
    struct PutBack {
        const COLORREF* c;
        ~PutBack() { SetSysColors(2, kWhich, c); }
    } putBack{kept};
    const COLORREF dark[] = {RGB(0, 0, 0), RGB(255, 255, 255)};
    ASSERT_TRUE(SetSysColors(2, kWhich, dark));
    Open(3);
    const HWND box = RowControl(2, entry_editor::kTextBox);  // row 1 has the focus: lit
    HDC dc = GetDC(box);
    SendMessageW(form_->hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(box));
    EXPECT_EQ(RGB(0, 0, 0), GetBkColor(dc));
    EXPECT_EQ(RGB(255, 255, 255), GetTextColor(dc));
    ReleaseDC(box, dc);
}
