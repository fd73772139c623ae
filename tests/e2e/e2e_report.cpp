#include "e2e_report.h"

#include <windows.h>

#include <cstdio>

namespace e2e {

std::string Utf8(const std::wstring& s) {
    if (s.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::wstring Shown(const std::wstring& s) {
    std::wstring out;
    for (wchar_t c : s) {
        switch (c) {
        case L'\r': out += L"\\r"; break;
        case L'\n': out += L"\\n"; break;
        case L'\t': out += L"\\t"; break;
        default:
            if (c < 0x20) {
                wchar_t buf[8];
                swprintf(buf, 8, L"\\x%02x", static_cast<unsigned>(c));
                out += buf;
            } else {
                out += c;
            }
        }
    }
    return out;
}

void Report::Line(const std::wstring& text) {
    std::string s = Utf8(text);
    s += '\n';
    fwrite(s.data(), 1, s.size(), stdout);
    fflush(stdout);
}

void Report::Scenario(const std::wstring& title) {
    scenario_ = title;
    Line(L"");
    Line(L"=== " + title);
}

bool Report::Check(bool ok, const std::wstring& what, const std::wstring& details) {
    (ok ? passed_ : failed_)++;
    std::wstring line = (ok ? L"PASS  " : L"FAIL  ") + what;
    if (!details.empty()) line += L"  [" + details + L"]";
    Line(line);
    // E2E_HOLD=seconds keeps the screen as it is after a failure, for a screenshot.
    if (!ok) {
        wchar_t hold[16] = {};
        if (GetEnvironmentVariableW(L"E2E_HOLD", hold, 16)) Sleep(static_cast<DWORD>(_wtoi(hold)) * 1000);
    }
    return ok;
}

void Report::Note(const std::wstring& text) { Line(L"      note: " + text); }

}  // namespace e2e
