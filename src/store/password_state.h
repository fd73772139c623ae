#pragma once
// The Private password of this run and the key MyData_2.dat is encrypted with; shared by the
// password dialog, the data-set service, start-up, restore and closing.
#include <string>

#include "base/wipe.h"

// The key used when no user password is set (eight decimal digits). The password file is
// always encrypted under it. Held as a number so that its text never sits in the executable.
inline std::wstring DefaultPassword() { return std::to_wstring(47290315); }

// The key Private is encrypted with under a password: the password itself, or the default
// key when none is set. Every place that turns a password into a key asks here.
inline std::wstring PrivateKeyFor(const std::wstring& password) {
    return password.empty() ? DefaultPassword() : password;
}

struct PasswordState {
    std::wstring userPassword;  // empty when none is set; lower case when set in the dialog
    std::wstring privateKey;    // the user password, or the default password when it is empty

    // The password in force from now on, and its key.
    void Use(const std::wstring& password) {
        std::wstring next = password;  // password may be one of ours
        wipe::Clear(userPassword);
        wipe::Clear(privateKey);
        userPassword = next;
        privateKey = PrivateKeyFor(next);
        wipe::Clear(next);
    }
};
