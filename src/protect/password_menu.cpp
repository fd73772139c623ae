// The panel's password menu items; the dialog itself is Form4.
#include "panel/Form1.h"
#include "panel/app_state.h"

void Form1::Pass_Enabled_Click() {
    if (Checked(kPassEnabled)) { App().switchOffRequest = 0; return; }
    if (Checked(kType2)) { SetChecked(kType1, true); SetChecked(kType2, false); SetChecked(kType3, false); }
    SetChecked(kPassEnabled, true);
    SetChecked(kPassUnEnabled, false);
    App().switchOffRequest = 0;
    Type2_Click();
}

void Form1::Pass_UnEnabled_Click() {
    if (Checked(kPassUnEnabled)) { App().switchOffRequest = 0; return; }
    if (Checked(kType2)) { SetChecked(kType1, true); SetChecked(kType2, false); SetChecked(kType3, false); }
    App().switchOffRequest = 1;
    ShowPasswordDialog();
}

void Form1::Pass_Change_Click() {
    App().changeRequest = 1;
    ShowPasswordDialog();
}
