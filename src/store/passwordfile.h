#pragma once
// The password file: MyData_0.dat, the plain MyData_0_0.dat encrypted under the default
// password. The plain form exists only while the file is written or read, or after an
// encryption failed; then it is the newest password and wins over MyData_0.dat.
#include <functional>
#include <optional>
#include <string>

// The password in the bytes of a plain password file, when they are exactly one.
std::optional<std::wstring> PasswordFrom(const std::string& plainBytes);

// Writes the plain file completely, lets messages run, pauses pauseMs, then replaces
// MyData_0.dat by its encryption and deletes the plain file. False, with MyData_0.dat
// untouched, when the password cannot be stored (a character without a CP932 form or a
// double quote) or the plain file cannot be written. False, with the plain file kept, when
// the encryption fails, so the password is not lost.
bool WritePasswordFile(const std::wstring& dataDir, const std::wstring& password, int pauseMs,
                       const std::function<void()>& letMessagesRun, const std::function<void(int)>& pause);

// The stored password ("" when none is set). A plain file left behind is read first and then
// put away. MyData_0.dat stays in place while it is read. nullopt when there is no password
// file or it cannot be read.
std::optional<std::wstring> ReadPasswordFile(const std::wstring& dataDir, const std::function<void()>& letMessagesRun,
                                             const std::function<void(int)>& pause);

// Encrypts a plain MyData_0_0.dat left behind into MyData_0.dat (replacing it) and deletes
// the plain file. A broken leftover is deleted. True when MyData_0.dat now holds it.
bool SealLeftoverPasswordFile(const std::wstring& dataDir);
