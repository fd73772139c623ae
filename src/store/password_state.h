#pragma once
// The Private password of this run and the key MyData_2.dat is encrypted with; shared by the
// password dialog, the data-set service, start-up, restore and closing.
#include <cstdint>
#include <string>

struct PasswordState {
    std::wstring userPassword;  // empty when none is set; lower case when set in the dialog
    std::wstring privateKey;    // the user password, or the default password when it is empty
    int16_t changeRequest = 0;     // 1 from the change menu item until the current one is verified
    int16_t switchOffRequest = 0;  // 1 from the switch-off menu item until it is done or cleared
};
