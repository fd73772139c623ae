#pragma once
// The data sets on disk, as every window needs them: which plain file holds a set, Private's
// working copy made from MyData_2.dat and put away again, an undecryptable file kept aside,
// the repair of a one-record Private file, and the re-key to a new password. The rules that
// keep the user's Private entries safe live here once. No window, no message box.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/data_set.h"
#include "base/stored_names.h"
#include "store/password_state.h"

// How re-keying the Private file and storing the password went.
enum class RekeyOutcome {
    Rekeyed,      // MyData_2.dat under the new key (or a working copy start-up seals with it)
    WorkingCopy,  // Private is loaded: only the password file changed
    FileKept,     // the current key does not open MyData_2.dat: left as it was
    Missing,      // neither MyData_2.dat nor MyData_2_2.dat: nothing changed
    NotChanged,   // the password file or the data file could not be written: nothing changed
};

class DataSetService {
public:
    explicit DataSetService(PasswordState& password) : password_(password) {}

    void SetDataDir(const std::wstring& dir) { dataDir_ = dir; }
    // Called before anything needs the Private key, so that it can be read as late as that.
    std::function<void()> ensureKey;
    const std::wstring& DataDir() const { return dataDir_; }
    std::wstring File(const std::wstring& name) const { return dataDir_ + L"\\" + name; }

    // The plain file of a set: MyData_1.dat, the working copy MyData_2_2.dat, MyData_3.dat.
    std::wstring PlainFile(DataSet set) const;

    // What Prepare left for the reader.
    struct Prepared {
        std::wstring file;           // the plain file to read
        // Private could not be used: it did not decrypt to records (another key, damage), or
        // it held a single record, which the panel takes for a failed decryption. Nothing is
        // to be read; the caller starts Private afresh when keptAside names where it went.
        bool unreadable = false;
        std::wstring keptAside;      // the file moved aside, when one was
        bool asideFailed = false;    // it could not be moved: MyData_2.dat is left as it was
        // Sealed Private: its entries, held in memory only; no file is to be read.
        std::optional<std::string> bytes;
        bool locked = false;         // sealed and not unlocked: nothing to show
    };
    // Makes the plain file of `set` ready to read. For Private: the working copy is decrypted
    // from MyData_2.dat unless it exists already; an unusable result is dropped and
    // MyData_2.dat kept aside under a name that says so, never deleted. For the other sets:
    // a Private working copy is put away first.
    Prepared Prepare(DataSet set);

    // Both forms of Private on disk (a run ended while it was being put away, or while it was
    // loaded): when they hold the same entries the working copy goes; otherwise the working
    // copy, when it reads as records, holds the latest entries and stays to become
    // MyData_2.dat, and the older MyData_2.dat is kept aside; a working copy that does not
    // read is sealed aside instead. Nothing is deleted before its contents stand
    // elsewhere. The path of the file kept aside; empty when there was nothing to resolve or
    // it could not be done (then both files stay).
    std::wstring ResolveBothForms();

    // True when MyData_2.dat reads as records under the key of password (the default key
    // when it is empty).
    bool Opens(const std::wstring& password) const;

    // Deletes the files kept aside (the uninstall removes them with the others).
    void DeleteKeptAside();

    // Encrypts the working copy back into MyData_2.dat under the Private key. The working copy
    // goes only once a complete MyData_2.dat stands in its place; without a key (before
    // start-up has read the password file) nothing is done. True when no working copy is left.
    bool PutWorkingCopyAway();
    // Why the last PutWorkingCopyAway left the working copy: the file it could not write and
    // the cause in the system's words (no space, not writable), for the user to read.
    std::wstring SealFailure() const;

    // A Private that could not be read starts afresh: the working copy becomes 25 blank rows.
    bool RepairPrivate();

    // Moves MyData_2.dat aside as <prefix><date-time>.dat, never overwriting. The new path,
    // or empty when it could not be moved.
    std::wstring KeepAside(const wchar_t* prefix);

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

    // ---- the sealed Private (MyData_2.dat in the strong format) ----
    // MyData_2.dat is sealed: it carries the sealed mark, or it is there after a seal (then a
    // file without the mark is damage). Reads the file's first bytes each time.
    bool FileIsSealed() const;
    // The note of the last seal or unseal, as the settings hold it: set at start-up; stored
    // through storeSealedNote whenever a seal, an unseal or a file kept aside changes it.
    void SetSealedNote(bool sealed) { sealedNoted_ = sealed; }
    bool SealedNoted() const { return sealedNoted_; }
    std::function<void(bool sealed)> storeSealedNote;
    // The note follows MyData_2.dat when the file is whole and sealed, or when it was checked
    // (a restore): a file of the other form that was not checked stays damage.
    void NoteFollowsFile(bool fileChecked);
    // Unlocked: the key and the entries are held in memory until Lock.
    bool Unlocked() const { return unlocked_ != nullptr; }
    // Derives the key from password and opens the sealed file; false for a wrong password or
    // a file whose tag does not verify, and then nothing changes. The derivation runs through
    // runSlowly when it is set (the program keeps its windows answering meanwhile).
    bool Unlock(const std::wstring& password);
    std::function<void(const std::function<void()>& slowStep)> runSlowly;
    // MyData_2.dat is sealed but cannot be a whole sealed file (no mark after a seal, no whole
    // header, a count no writer used): no password opens it. Reads the file.
    bool SealedFileDamaged() const;
    // Forgets the key and the entries (wiped). An edited working copy is sealed first.
    void Lock();
    // While unlocked, Private as its file would be written unsealed: the editor works on it in
    // memory and saves it through SaveSealed, so no plain copy reaches the disk.
    std::optional<std::string> UnlockedBytes() const;
    // Seals bytes (a data-set file as it is written unsealed) into MyData_2.dat, whole.
    bool SaveSealed(const std::string& bytes);
    // From the RC4 format to the sealed one under password (which opens MyData_2.dat
    // now); the password file then holds the empty password. Leaves Private unlocked.
    bool SealPrivate(const std::wstring& password);
    // Back to the RC4 format under password, which is stored in the password file as
    // before. False, with nothing changed, when password does not open the sealed file.
    bool UnsealPrivate(const std::wstring& password, int pauseMs, const std::function<void()>& letMessagesRun,
                       const std::function<void(int)>& pause);

private:
    struct SealedState;
    Prepared PrepareSealed(DataSet set);
    bool HoldsKeyOfFile() const;  // the key held is the one MyData_2.dat is sealed under
    bool ResealUnder(const std::wstring& newPassword);
    void NoteSealed(bool sealed);
    bool sealedNoted_ = false;
    std::shared_ptr<SealedState> unlocked_;

    void EnsureKey() const {
        if (ensureKey) ensureKey();
    }
    // A free name <prefix><date-time>[_n].dat in the data directory; empty when none is.
    std::wstring AsideName(const wchar_t* prefix) const;

    PasswordState& password_;
    std::wstring dataDir_;
    unsigned long sealError_ = 0;
};
