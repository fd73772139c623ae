#pragma once
// What the driver saw, one line per check, and the closing count that CI reads.
#include <string>

namespace e2e {

// UTF-8 for the log (the run's output is a file or a pipe, never a console).
std::string Utf8(const std::wstring& s);
// Control characters made visible: CR LF TAB as \r \n \t, so texts compare by eye.
std::wstring Shown(const std::wstring& s);

class Report {
public:
    void Scenario(const std::wstring& title);
    // Counts one check; returns ok so callers can stop a scenario that cannot go on.
    bool Check(bool ok, const std::wstring& what, const std::wstring& details = L"");
    // Information that is no check (what was seen, why something could not be looked at).
    void Note(const std::wstring& text);
    void Line(const std::wstring& text);

    int passed() const { return passed_; }
    int failed() const { return failed_; }

private:
    std::wstring scenario_;
    int passed_ = 0;
    int failed_ = 0;
};

}  // namespace e2e
