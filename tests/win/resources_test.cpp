// What the exe carries: the five tunes, the icon, the version block and the manifest.
// win_tests links the same hariko.rc as ハリコ.exe, so these read the test exe itself.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "../../resources/resource.h"

namespace {

std::vector<uint8_t> Tune(int n) {
  HRSRC res = FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_TUNE_FIRST + n), L"MIDI");
  if (!res) return {};
  HGLOBAL mem = LoadResource(nullptr, res);
  auto* p = static_cast<const uint8_t*>(LockResource(mem));
  if (!p) return {};
  return {p, p + SizeofResource(nullptr, res)};
}

uint32_t Be(const std::vector<uint8_t>& d, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v = v << 8 | d[at + i];
  return v;
}

struct TrackWalk {
  bool ok = false;  // every event well formed and the last one is end-of-track, at the end
  int notes = 0;
  int left_sounding = 0;
};

// Reads the track the way a sequencer does: delta times, running status, meta events.
TrackWalk Walk(const std::vector<uint8_t>& d, size_t begin, size_t end) {
  TrackWalk w;
  size_t i = begin;
  int status = 0;
  int sounding[128] = {};
  auto varlen = [&](uint32_t& v) {
    v = 0;
    for (int k = 0; k < 4 && i < end; ++k) {
      uint8_t b = d[i++];
      v = v << 7 | (b & 0x7F);
      if (!(b & 0x80)) return true;
    }
    return false;
  };
  while (i < end) {
    uint32_t delta = 0, len = 0;
    if (!varlen(delta) || i >= end) return w;
    if (d[i] & 0x80) status = d[i++];
    if (status == 0) return w;
    if (status == 0xFF) {
      if (i >= end) return w;
      uint8_t kind = d[i++];
      if (!varlen(len) || len > end - i) return w;
      i += len;
      status = 0;
      if (kind == 0x2F) {
        w.ok = (len == 0 && i == end);
        for (int s : sounding) w.left_sounding += s;
        return w;
      }
      continue;
    }
    if (status == 0xF0 || status == 0xF7) {
      if (!varlen(len) || len > end - i) return w;
      i += len;
      status = 0;
      continue;
    }
    int kind = status & 0xF0;
    size_t args = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
    if (end - i < args) return w;
    if (kind == 0x90 && d[i + 1] > 0) {
      ++w.notes;
      ++sounding[d[i] & 0x7F];
    } else if (kind == 0x80 || kind == 0x90) {
      if (sounding[d[i] & 0x7F] > 0) --sounding[d[i] & 0x7F];
    }
    i += args;
  }
  return w;  // ran out of data before an end-of-track event
}

TEST(Tunes, EachIsAFormat0MidiFileOfItsExactSize) {
  const size_t sizes[IDR_TUNE_COUNT] = {164, 168, 132, 172, 144};
  for (int n = 0; n < IDR_TUNE_COUNT; ++n) {
    SCOPED_TRACE("sakura_" + std::to_string(n) + ".mid");
    std::vector<uint8_t> d = Tune(n);
    ASSERT_EQ(d.size(), sizes[n]);
    EXPECT_EQ(std::string(d.begin(), d.begin() + 4), "MThd");
    EXPECT_EQ(Be(d, 4, 4), 6u);
    EXPECT_EQ(Be(d, 8, 2), 0u) << "format";
    EXPECT_EQ(Be(d, 10, 2), 1u) << "tracks";
    EXPECT_EQ(Be(d, 12, 2), 120u) << "ticks per quarter note";
    EXPECT_EQ(std::string(d.begin() + 14, d.begin() + 18), "MTrk");
    EXPECT_EQ(Be(d, 18, 4), d.size() - 22) << "track length field";
    EXPECT_EQ(Be(d, d.size() - 3, 3), 0xFF2F00u) << "ends with end-of-track";
    TrackWalk w = Walk(d, 22, d.size());
    EXPECT_TRUE(w.ok);
    EXPECT_GT(w.notes, 4);
    EXPECT_EQ(w.left_sounding, 0);
  }
}

TEST(Tunes, AreFiveDifferentPiecesAndNoMore) {
  for (int a = 0; a < IDR_TUNE_COUNT; ++a)
    for (int b = a + 1; b < IDR_TUNE_COUNT; ++b) EXPECT_NE(Tune(a), Tune(b)) << a << " " << b;
  EXPECT_TRUE(Tune(-1).empty());
  EXPECT_TRUE(Tune(IDR_TUNE_COUNT).empty());
}

// The icon drawn at its own size over a grey backdrop, as a shell would show it.
std::vector<COLORREF> Draw(HICON icon, int size) {
  std::vector<COLORREF> px;
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = size;
  bi.bmiHeader.biHeight = -size;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bmp || !bits) {
    DeleteDC(dc);
    return px;
  }
  HGDIOBJ old = SelectObject(dc, bmp);
  auto* p = static_cast<uint32_t*>(bits);
  for (int k = 0; k < size * size; ++k) p[k] = 0x808080;
  if (DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL)) {
    GdiFlush();
    for (int k = 0; k < size * size; ++k)  // DIB pixels are 0x00RRGGBB
      px.push_back(RGB(p[k] >> 16 & 0xFF, p[k] >> 8 & 0xFF, p[k] & 0xFF));
  }
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  return px;
}

bool Bluish(COLORREF c) {
  return GetBValue(c) > GetRValue(c) + 80 && GetBValue(c) > GetGValue(c) + 40;
}

TEST(Icon, LoadsAtSixteenAndThirtyTwoPixelsShowingThreeButtonsOnBlue) {
  for (int size : {16, 32}) {
    SCOPED_TRACE(size);
    auto icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                              MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bm = {};
    GetObjectW(info.hbmColor, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, size);
    EXPECT_EQ(bm.bmHeight, size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    std::vector<COLORREF> px = Draw(icon, size);
    DestroyIcon(icon);
    ASSERT_EQ(px.size(), size_t(size * size));
    auto at = [&](int x, int y) { return px[y * size + x]; };
    int s = size / 16;  // the 32 px picture is the 16 px one doubled
    EXPECT_EQ(at(0, 0), RGB(0x80, 0x80, 0x80)) << "corner is transparent";
    EXPECT_EQ(at(8 * s, 3 * s), RGB(0xFF, 0xFF, 0xFF)) << "top button";
    EXPECT_EQ(at(8 * s, 8 * s), RGB(0xC0, 0xFF, 0xFF)) << "middle button";
    EXPECT_EQ(at(8 * s, 13 * s), RGB(0xFF, 0xB9, 0xDC)) << "bottom button";
    EXPECT_TRUE(Bluish(at(3 * s - 1 + s / 2, 8 * s))) << "tab beside the buttons";
    EXPECT_TRUE(Bluish(at(8 * s, 5 * s + s / 2))) << "tab between the buttons";
  }
}

TEST(Icon, IsTheFirstIconOfTheExeAsExplorerShowsIt) {
  wchar_t path[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
  HICON large = nullptr;
  ASSERT_EQ(ExtractIconExW(path, 0, &large, nullptr, 1), 1u);
  ASSERT_NE(large, nullptr);
  std::vector<COLORREF> px = Draw(large, 32);
  DestroyIcon(large);
  ASSERT_EQ(px.size(), 32u * 32u);
  EXPECT_EQ(px[6 * 32 + 16], RGB(0xFF, 0xFF, 0xFF));
  EXPECT_EQ(px[16 * 32 + 16], RGB(0xC0, 0xFF, 0xFF));
  EXPECT_EQ(px[26 * 32 + 16], RGB(0xFF, 0xB9, 0xDC));
}

// version.dll is not among the libraries the exe links, so its three calls are looked up.
class VersionBlock : public ::testing::Test {
 protected:
  void SetUp() override {
    HMODULE dll = LoadLibraryW(L"version.dll");
    ASSERT_NE(dll, nullptr);
    auto size = reinterpret_cast<DWORD(WINAPI*)(LPCWSTR, LPDWORD)>(
        reinterpret_cast<void*>(GetProcAddress(dll, "GetFileVersionInfoSizeW")));
    auto info = reinterpret_cast<BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID)>(
        reinterpret_cast<void*>(GetProcAddress(dll, "GetFileVersionInfoW")));
    query_ = reinterpret_cast<BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT)>(
        reinterpret_cast<void*>(GetProcAddress(dll, "VerQueryValueW")));
    ASSERT_TRUE(size && info && query_);
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    DWORD handle = 0;
    DWORD n = size(path, &handle);
    ASSERT_GT(n, 0u);
    block_.resize(n);
    ASSERT_TRUE(info(path, 0, n, block_.data()));
  }

  std::wstring Text(const wchar_t* name) {
    std::wstring key = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
    void* p = nullptr;
    UINT len = 0;
    if (!query_(block_.data(), key.c_str(), &p, &len) || !p || len == 0) return L"<missing>";
    return static_cast<const wchar_t*>(p);
  }

  BOOL(WINAPI* query_)(LPCVOID, LPCWSTR, LPVOID*, PUINT) = nullptr;
  std::vector<uint8_t> block_;
};

TEST_F(VersionBlock, NumbersRead2002) {
  void* p = nullptr;
  UINT len = 0;
  ASSERT_TRUE(query_(block_.data(), L"\\", &p, &len));
  ASSERT_GE(len, sizeof(VS_FIXEDFILEINFO));
  auto* f = static_cast<const VS_FIXEDFILEINFO*>(p);
  EXPECT_EQ(f->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(f->dwFileVersionMS, 0x00020000u);
  EXPECT_EQ(f->dwFileVersionLS, 0x00000002u);
  EXPECT_EQ(f->dwProductVersionMS, 0x00020000u);
  EXPECT_EQ(f->dwProductVersionLS, 0x00000002u);
  EXPECT_EQ(f->dwFileType, DWORD(VFT_APP));
}

TEST_F(VersionBlock, JapaneseUnicodeStrings) {
  void* p = nullptr;
  UINT len = 0;
  ASSERT_TRUE(query_(block_.data(), L"\\VarFileInfo\\Translation", &p, &len));
  ASSERT_GE(len, 4u);
  EXPECT_EQ(static_cast<const WORD*>(p)[0], 0x0411);
  EXPECT_EQ(static_cast<const WORD*>(p)[1], 1200);

  EXPECT_EQ(Text(L"ProductName"), L"ハリコ");
  EXPECT_EQ(Text(L"FileDescription"), L"ハリコ");
  EXPECT_EQ(Text(L"OriginalFilename"), L"ハリコ.exe");
  EXPECT_EQ(Text(L"FileVersion"), L"2.0.0.2");
  EXPECT_EQ(Text(L"ProductVersion"), L"2.0.0.2");
}

TEST(Manifest, LoadsCommonControlsSix) {
  EXPECT_NE(FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_MANIFEST), nullptr);

  // The process's default activation context comes from the manifest: comctl32 then loads
  // from the side-by-side store (version 6, visual styles), not from the system folder (5.8).
  HMODULE cc = LoadLibraryW(L"comctl32.dll");
  ASSERT_NE(cc, nullptr);
  wchar_t path[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameW(cc, path, MAX_PATH), 0u);
  std::wstring lower(path);
  CharLowerW(lower.data());
  EXPECT_NE(lower.find(L"\\winsxs\\"), std::wstring::npos) << lower;
  EXPECT_NE(lower.find(L"common-controls_6595b64144ccf1df_6."), std::wstring::npos) << lower;
}

}  // namespace
