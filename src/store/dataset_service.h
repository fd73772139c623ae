#pragma once
// The data sets on disk, as every window needs them: which plain file holds a set, Private's
// working copy made from MyData_2.dat and put away again, an undecryptable file kept aside,
// the repair of a one-record Private file, and the re-key to a new password. The rules that
// keep the user's Private entries safe live here once. No window, no message box.
#include <functional>
#include <string>

#include "store/password_state.h"

// How re-keying the Private file and storing the password went.
enum class RekeyOutcome {
    Rekeyed,      // MyData_2.dat under the new key (or a working copy start-up seals with it)
    WorkingCopy,  // Private is loaded: only the password file changed
    FileKept,     // the current key does not open MyData_2.dat: left as it was
    Missing,      // neither MyData_2.dat nor MyData_2_2.dat: nothing changed
    NotChanged,   // the password file or the data file could not be written: nothing changed
};

// Data sets by number: 1 Public, 2 Private, 3 顔文字.
class DataSetService {
public:
    explicit DataSetService(PasswordState& password) : password_(password) {}

    void SetDataDir(const std::wstring& dir) { dataDir_ = dir; }
    const std::wstring& DataDir() const { return dataDir_; }
    std::wstring File(const std::wstring& name) const { return dataDir_ + L"\\" + name; }

    // The plain file of a set: MyData_1.dat, the working copy MyData_2_2.dat, MyData_3.dat.
    // Any other number is taken as Public.
    std::wstring PlainFile(int set) const;

    // What Prepare left for the reader.
    struct Prepared {
        std::wstring file;           // the plain file to read
        bool undecryptable = false;  // Private did not decrypt to records; nothing to read
        std::wstring keptAside;      // where MyData_2.dat was moved, when it was
    };
    // Makes the plain file of `set` ready to read. For Private: the working copy is decrypted
    // from MyData_2.dat unless it exists already; a result that is no data-set file (another
    // key, a damaged file) is dropped and MyData_2.dat kept aside under a name that says so.
    // For the other sets: a Private working copy is put away first.
    Prepared Prepare(int set);

    // Encrypts the working copy back into MyData_2.dat under the Private key. The working copy
    // goes only once a complete MyData_2.dat stands in its place; without a key (before
    // start-up has read the password file) nothing is done. True when no working copy is left.
    bool PutWorkingCopyAway();

    // A Private that could not be read starts afresh: the working copy becomes 25 blank rows.
    bool RepairPrivate();

    // Moves MyData_2.dat aside as MyData_2_復号できません_<date-time>.dat, never overwriting.
    // The new path, or empty when it could not be moved.
    std::wstring KeepUndecryptableAside();

    // Re-keys the Private file from the current key to the key of newPassword (the default
    // password when it is empty) and writes the password file with newPassword. No step
    // destroys the last copy of the entries: the working copy is made completely before
    // MyData_2.dat goes, the password file names the new key before anything is encrypted
    // with it, and the working copy goes only once the new MyData_2.dat is complete. A file
    // that the current key does not open is left exactly as it was. Does not change the
    // password state; the caller does when the outcome says so.
    RekeyOutcome Rekey(const std::wstring& newPassword, int pauseMs,
                       const std::function<void()>& letMessagesRun,
                       const std::function<void(int)>& pause);

private:
    PasswordState& password_;
    std::wstring dataDir_;
};
