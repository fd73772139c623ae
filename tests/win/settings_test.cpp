// The per-user settings store and the legacy password key, on the real registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "store/regkey.h"
#include "store/settings.h"

namespace {

const std::wstring kVbRoot = L"Software\\VB and VBA Program Settings\\";

struct RawValue {
    bool found = false;
    DWORD type = 0;
    std::string bytes;
};

RawValue ReadRaw(HKEY root, const std::wstring& path, const std::wstring& name) {
    RawValue v;
    HKEY k;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS) return v;
    char buf[4096];
    DWORD size = sizeof buf;
    if (RegQueryValueExW(k, name.c_str(), nullptr, &v.type, reinterpret_cast<BYTE*>(buf), &size) ==
        ERROR_SUCCESS) {
        v.found = true;
        v.bytes.assign(buf, size);
    }
    RegCloseKey(k);
    return v;
}

bool KeyExists(HKEY root, const std::wstring& path) {
    HKEY k;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

std::string Bytes(std::initializer_list<unsigned char> b) { return std::string(b.begin(), b.end()); }

// UTF-16LE bytes of an ASCII text and its NUL, as the registry keeps a REG_SZ.
std::string Utf16Sz(const char* ascii) {
    std::string s;
    for (const char* p = ascii; *p; ++p) s += {*p, '\0'};
    return s + std::string(2, '\0');
}

TEST(SettingsStore, TextIsStoredAsRegSzUnderTheApplicationAndSection) {
    const std::wstring app = L"ハリコ試験";
    DeleteSetting(app);

    EXPECT_EQ(GetSetting(app, L"Startup", L"Left", L"Reg_Left"), L"Reg_Left");
    EXPECT_EQ(GetSetting(app, L"Startup", L"Version"), L"");

    EXPECT_TRUE(SaveSetting(app, L"Startup", L"Left", L"3015"));
    RawValue raw = ReadRaw(HKEY_CURRENT_USER, kVbRoot + app + L"\\Startup", L"Left");
    EXPECT_TRUE(raw.found);
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(raw.bytes, Utf16Sz("3015"));
    EXPECT_EQ(GetSetting(app, L"Startup", L"Left", L"Reg_Left"), L"3015");

    // Replacing with a shorter text leaves nothing of the old one.
    EXPECT_TRUE(SaveSetting(app, L"Startup", L"Left", L"15"));
    EXPECT_EQ(GetSetting(app, L"Startup", L"Left", L"Reg_Left"), L"15");
    EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, kVbRoot + app + L"\\Startup", L"Left").bytes, Utf16Sz("15"));

    EXPECT_TRUE(SaveSetting(app, L"Startup", L"Mode", L""));
    EXPECT_EQ(GetSetting(app, L"Startup", L"Mode", L"Reg_Mode"), L"");
    EXPECT_TRUE(SaveSetting(app, L"Startup", L"Note", L"青木　純 ＼(^-^)／"));
    EXPECT_EQ(GetSetting(app, L"Startup", L"Note", L"x"), L"青木　純 ＼(^-^)／");

    // Another section is another key.
    EXPECT_EQ(GetSetting(app, L"Other", L"Left", L"Reg_Left"), L"Reg_Left");
    EXPECT_TRUE(DeleteSetting(app));
}

TEST(SettingsStore, ApplicationsAreIndependentAndDeletionTakesOnlyItsOwn) {
    const std::wstring a = L"ハリコ試験A";
    const std::wstring b = L"ハリコ試験B";
    DeleteSetting(a);
    DeleteSetting(b);

    ASSERT_TRUE(SaveSetting(a, L"Startup", L"Type", L"3"));
    ASSERT_TRUE(SaveSetting(a, L"Startup", L"Number1", L"25"));
    ASSERT_TRUE(SaveSetting(a, L"Editor", L"Width2", L"9000"));
    ASSERT_TRUE(SaveSetting(b, L"Startup", L"Type", L"1"));
    EXPECT_EQ(GetSetting(a, L"Startup", L"Type", L"Reg_Type"), L"3");
    EXPECT_EQ(GetSetting(b, L"Startup", L"Type", L"Reg_Type"), L"1");

    EXPECT_TRUE(DeleteSetting(a));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kVbRoot + a));
    EXPECT_EQ(GetSetting(a, L"Startup", L"Type", L"Reg_Type"), L"Reg_Type");
    EXPECT_EQ(GetSetting(a, L"Startup", L"Number1", L"Reg_Number1"), L"Reg_Number1");
    EXPECT_EQ(GetSetting(a, L"Editor", L"Width2", L"Reg_Width2"), L"Reg_Width2");
    EXPECT_EQ(GetSetting(b, L"Startup", L"Type", L"Reg_Type"), L"1");

    // Deleting what is gone is no failure; a name that would reach other programs' settings is.
    EXPECT_TRUE(DeleteSetting(a));
    EXPECT_FALSE(DeleteSetting(L""));
    EXPECT_FALSE(SaveSetting(L"..\\x", L"Startup", L"Type", L"1"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kVbRoot + b));

    EXPECT_TRUE(DeleteSetting(b));
}

TEST(LegacyPasswordKey, ReadWriteAndDeleteInTheMigrationOrder) {
    const std::wstring top = L"SYSTEM\\Curent_Control";
    const std::wstring control = top + L"\\Control";
    const std::wstring sub = control + L"\\ハリコ試験";
    DeleteRegKey(sub);
    DeleteRegKey(control);
    DeleteRegKey(top);

    EXPECT_EQ(GetRegString(HKEY_LOCAL_MACHINE, sub, L"Pass"), L"");

    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, sub, L"Pass", L"青木pass"));
    EXPECT_EQ(GetRegString(HKEY_LOCAL_MACHINE, sub, L"Pass"), L"青木pass");
    // Exactly the text and its NUL: nothing from past the end of the text is stored.
    RawValue raw = ReadRaw(HKEY_LOCAL_MACHINE, sub, L"Pass");
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(raw.bytes, Bytes({0x52, 0x97, 0x28, 0x67, 'p', 0, 'a', 0, 's', 0, 's', 0, 0, 0}));
    // What the ANSI reader of older versions gets on a Japanese system.
    if (GetACP() == 932) {
        HKEY k;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\Curent_Control\\Control", 0, KEY_READ, &k),
                  ERROR_SUCCESS);
        HKEY k2;
        ASSERT_EQ(RegOpenKeyExW(k, L"ハリコ試験", 0, KEY_QUERY_VALUE, &k2), ERROR_SUCCESS);
        char buf[64];
        DWORD size = sizeof buf;
        EXPECT_EQ(RegQueryValueExA(k2, "Pass", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(std::string(buf, size), Bytes({0x90, 0xC2, 0x96, 0xD8, 'p', 'a', 's', 's', 0}));
        RegCloseKey(k2);
        RegCloseKey(k);
    }
    EXPECT_EQ(GetRegString(HKEY_LOCAL_MACHINE, sub, L"Other"), L"");

    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, sub, L"Pass", L"1"));
    EXPECT_EQ(GetRegString(HKEY_LOCAL_MACHINE, sub, L"Pass"), L"1");
    EXPECT_EQ(ReadRaw(HKEY_LOCAL_MACHINE, sub, L"Pass").bytes, Utf16Sz("1"));

    // A key with subkeys stays; from the inside out all three go.
    EXPECT_FALSE(DeleteRegKey(top));
    EXPECT_FALSE(DeleteRegKey(control));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, sub));
    EXPECT_TRUE(DeleteRegKey(sub));
    EXPECT_TRUE(DeleteRegKey(control));
    EXPECT_TRUE(DeleteRegKey(top));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, top));
    EXPECT_EQ(GetRegString(HKEY_LOCAL_MACHINE, sub, L"Pass"), L"");
}

TEST(LegacyPasswordKey, ValuesLongerThanTheAnsiBufferReadAsEmpty) {
    const std::wstring sub = L"SYSTEM\\Curent_Control_Test";
    // 1023 bytes and the NUL fit in 1024; a double-byte character counts two.
    SetRegString(HKEY_LOCAL_MACHINE, sub, L"A", std::wstring(1023, L'a'));
    SetRegString(HKEY_LOCAL_MACHINE, sub, L"B", std::wstring(1024, L'a'));
    SetRegString(HKEY_LOCAL_MACHINE, sub, L"C", std::wstring(511, L'青'));
    SetRegString(HKEY_LOCAL_MACHINE, sub, L"D", std::wstring(512, L'青'));
    EXPECT_EQ(GetRegString(HKEY_LOCAL_MACHINE, sub, L"A"), std::wstring(1023, L'a'));
    EXPECT_EQ(GetRegString(HKEY_LOCAL_MACHINE, sub, L"B"), L"");
    EXPECT_EQ(GetRegString(HKEY_LOCAL_MACHINE, sub, L"C"), std::wstring(511, L'青'));
    EXPECT_EQ(GetRegString(HKEY_LOCAL_MACHINE, sub, L"D"), L"");
    EXPECT_TRUE(DeleteRegKey(sub));
}

}  // namespace
