#pragma once
// The whole program: the values of the run, the panel and the windows it opens, the start-up
// sequence and closing. The only place that knows every window; each window gets from here
// what it needs of the others.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "panel/panel_window.h"
#include "panel/fortune_screen.h"
#include "protect/about_box.h"
#include "store/datafiles.h"
#include "store/dataset_service.h"

class EntryEditor;
class PasswordDialog;
class NewCopyDialog;
class RestoreDialog;
class CsvPreviewDialog;
enum class CsvChoice;
namespace password_dialog { enum class Purpose; }

class Program : public IPanelHost {
public:
    Program();
    ~Program() override;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Creates the panel and runs the start-up sequence; false when this instance ends here
    // (a second instance, a cancelled conversion), before the panel was ever shown.
    bool Start();

    PanelWindow& Panel() { return *panel_; }
    AppState& State() { return app_; }

    // IPanelHost
    const std::wstring& ExeName() const override { return app_.exeName; }
    int16_t& RowSetting(DataSet set) override { return app_.RowsOf(set); }
    int32_t StartupDataSet() const override { return app_.startupDataSet; }
    bool UninstallRequested() const override { return app_.uninstallRequest == 1; }
    const OwnWindowTable& OwnWindows() const override { return app_.own; }
    OwnWindowTable& WindowSlots() override { return app_.own; }
    PanelChoices& Choices() override { return app_.choices; }
    DataSetService& DataSets() override { return dataSets_; }
    void OpenEditor() override;
    void OpenPasswordDialog(std::function<void(bool)> answered) override;
    bool PrivateKeyUnknown() const override { return keyUnknown_; }
    void MenuItem(panel_ids::MenuId id) override;
    void StoreAtClosing() override;
    void CloseOthers() override;

    // Start-up work nobody sees before the panel is first painted; main() calls it then.
    void AfterFirstShow();

private:
    // startup.cpp
    bool RefuseSecondInstance();
    void StartupSequence();
    int16_t ApplySettings();            // the stored settings into the panel; returns the version marker
    bool PrepareData(int16_t version);  // files, conversion, key; false when the user cancelled
    void FirstRun();                    // the welcome and the offer of a desktop shortcut
    bool ReadPrivateKey();       // false when the password file could not be read
    void ReadPendingKey();       // the deferred read, when it has not happened yet
    bool RecoverPassword();      // asks for the Private password; true when it was found
    void TellAboutBothForms(const std::wstring& keptAside);
    bool ReportShortcut(bool made);  // the message after making the shortcut; returns made
    // migration.cpp
    enum class MigrationResult { Done, Cancelled, Failed };
    bool NeedsMigration(int16_t versionMarker);
    MigrationResult Migrate();
    struct MigrationPassword {
        std::wstring password;    // the one Private goes under
        bool privateOld = false;  // Private is still in the older format
        bool dropped = false;     // the older password could not be kept
    };
    std::optional<MigrationPassword> FindMigrationPassword();  // none: Private opens under none
    std::wstring ConvertDataFiles(const MigrationPassword& p);  // the step that failed, or empty
    void FinishMigration(bool passwordDropped);
    // menu_items.cpp
    void TurnPasswordOn();
    void TurnPasswordOff();
    void ChangePassword();
    void ToggleSealPrivate();
    void ApplySeal(bool seal, const std::wstring& password);
    void ShowPasswordDialog(password_dialog::Purpose purpose, std::function<void(bool)> answered = {});
    void PasswordAnswered(bool opened);  // the dialog went: Private loaded when opened, the askers told
    std::vector<std::function<void(bool)>> answered_;

    // Backup, restore, new copies and shortcuts (backup_items.cpp, copy_items.cpp).
    void BackUpData();
    void RestoreData();
    void MakeNewCopy();
    void MakeDesktopShortcut();
    std::unique_ptr<NewCopyDialog> newCopyDialog_;
    std::unique_ptr<RestoreDialog> restoreDialog_;
    bool fileWorkRunning_ = false;  // these flows let messages run; a second click meanwhile is dropped
    struct Running {  // holds fileWorkRunning_ for one flow
        bool& flag;
        explicit Running(bool& f) : flag(f) { flag = true; }
        ~Running() { flag = false; }
    };

    // The shown data set to a CSV file and back (csv_items.cpp).
    void ExportCsv();
    void ImportCsv();
    void ApplyCsvImport(CsvChoice choice);
    // The shown set's file as the entry editor reads it; nullopt, said in a box titled title,
    // when Private is not open or the file cannot be read.
    std::optional<std::string> ShownSetBytes(const wchar_t* title);
    bool WriteShownSet(const std::string& bytes);
    std::unique_ptr<CsvPreviewDialog> csvPreview_;
    std::vector<Entry> csvImported_;  // what the open preview shows, until the user chooses

    AppState app_;
    DataSetService dataSets_{app_.password};
    std::unique_ptr<PanelWindow> panel_;
    std::unique_ptr<PasswordDialog> passwordDialog_;

    // about.cpp: the About box, the help page and the fortune screen.
public:
    // What the fortune screen is handed for the drawn number (tests give it a fake power).
    FortuneScreenLinks FortuneLinks();
    void ShowFortune();
private:
    void ShowAbout();
    void ShowHelp();
    bool DrawFortune();
    std::unique_ptr<AboutBox> about_;
    std::unique_ptr<FortuneScreen> fortuneScreen_;
    HANDLE instanceMutex_ = nullptr;
    bool cancelled_ = false;  // the conversion of older data was refused
    bool dataReady_ = false;  // the data directory exists
    DataRootChoice root_;
    bool keyUnknown_ = false;  // the password file is damaged and the key not yet found
    bool askPrivate_ = false;     // Private was the start-up set but needs its password first
    bool passwordGiven_ = false;  // the Private password was typed (and checked) in this run
    bool keyPending_ = false;     // the password file is read after the first paint
    bool hadShortcut_ = false;    // a desktop shortcut of this name was there at start
    bool shortcutChecked_ = false;
    bool checkWritable_ = false;  // the data was found: whether it can be written is checked later

    // The entry editor (editor_flow.cpp): opened by the panel's edit button, closed (and saved)
    // before closing puts the Private working copy away.
    void CloseEditor();
    std::unique_ptr<EntryEditor> entryEditor_;
};
