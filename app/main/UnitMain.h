#pragma once

#include "batch/BatchLimits.h"
#include "read/PictureFormat.h"
#include "rules/Messages.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsTable.h"

#include <QMainWindow>

#include <array>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QCloseEvent;
class QComboBox;
class QDragEnterEvent;
class QDropEvent;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QRadioButton;
class QSlider;
class QUrl;

namespace gustara {

class SettingControls;
class TFormAbout;
class ComparisonWindow;
class TFormStatus;
class TPicConvertThread;
class TthPicConvert;
struct BatchOutcome;

// The main window. Its controls are the settings: they are loaded from config.ini when the
// window is created and written back when it is destroyed; a batch's worker is handed them
// when it is made. Everything here runs on the user-interface thread.
class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    // Builds the controls and runs FormCreate: the settings folder is prepared and the
    // settings are loaded; a missing or broken file gives the defaults without a message.
    explicit TFormMain(QWidget* parent = nullptr);
    // Runs FormDestroy: FileList is released, the settings are saved (a failed save shows
    // the error box before the window goes) and the advertising library is cleaned up.
    ~TFormMain() override;

    // The progress and About windows, created by the program after this window; not owned.
    void AttachWindows(TFormStatus& status, TFormAbout& about);

    // The enabling rules of the size, hidden quality, hidden effect and save groups.
    void UpdateFormPicSize();
    void UpdateFormQuality();
    void UpdateFormFilter();
    void UpdateFormSaveConf();

    // The character filter of the number fields: backspace, "." and the digits pass
    // unchanged; any other character becomes 0, which discards it.
    static char16_t EditNumOnlyKeyPress(char16_t key);

    // Tests the settings before a batch; on the first problem shows its message and returns
    // false. Changes no control and moves no focus.
    bool CheckSettings();
    // The values of the settings controls, one field per control (SettingsTable.h), with the
    // values kept without a control, and the batch's questions asked of them there: the box,
    // the quality and the strength.
    ControlValues CurrentSettings() const;
    void GetPicSize(int32_t& width, int32_t& height) const { gustara::GetPicSize(CurrentSettings(), width, height); }
    int GetQualityValue() const { return gustara::GetQualityValue(CurrentSettings()); }
    int GetFlavourLevel() const { return gustara::GetFlavourLevel(CurrentSettings()); }

    // One drop, its URLs in drop order. FileList is emptied and receives every accepted
    // path, as the bytes of the URL's percent-decoded path; a URL that names no local file is
    // refused for its format. Any refusal is reported in one message and nothing is
    // converted; otherwise the settings are checked and, when they pass, a batch is started.
    void WMDropFiles(const QList<QUrl>& urls);
    // The same for local paths given as bytes (the window's own command line).
    void OpenPaths(const std::vector<std::string>& paths);
    // Asks for pictures in the desktop's file dialog; the chosen ones are taken as a drop.
    void OpenFilesClick();
    // The open dialogs' filter: the extensions a drop accepts, then every file.
    QString PictureDialogFilter() const;
    // Whether HEIC, HEIF, AVIF and WebP pictures are taken in: MoreFormatsItem checked.
    MoreFormats TakenFormats() const;

    // Starts a batch on FileList (at least one entry): shows the progress window, disables
    // this window and starts a worker, handed the list and the settings as they are now, which
    // releases itself after ConvertTerminate. Needs AttachWindows first.
    void StartConvert();
    // The worker's completion handler (`sender` is the worker, whose run has returned):
    // writes the result of the batch into the progress window. This window stays disabled
    // until the progress window is closed, or closes now when it was asked to during the batch.
    void ConvertTerminate(QObject* sender);
    // Asks the running batch, if any, to stop after its current picture at the latest.
    void StopConvert();
    // A copy of FileList, for the worker.
    std::vector<std::string> GetFileList() const;
    // A new engine with the conversion settings of the controls, for the worker; none when a
    // typed number of the settings is not one.
    std::unique_ptr<TthPicConvert> ReadSettings() const;
    // True from StartConvert until ConvertTerminate.
    bool IsConverting() const { return ConvertThread != nullptr; }

    // Shows the quality group and the progressive choice, widening the window to the right
    // (and moving it back within the screen where it would leave it), with the choices kept
    // from when it was last shown; or hides them, keeping the choices,
    // and gives the group its fixed values again (quality 100).
    void ShowQualityGroup(bool shown);

    // The memo's list of the formats a drop takes: with HEIC, AVIF and WebP or without.
    void ShowSupportedFormats(bool moreFormats);
    // Opens the About window modally.
    void A1Click();

    // Asks for one picture with the standard open dialog and shows it at every strength in
    // the comparison window; a cancelled dialog changes nothing.
    void CompareClick();
    // The comparison window, created hidden on first use and owned by this window.
    ComparisonWindow& CompareWindow();
    // Selects the strength choice of `level` (1, 2 or 3), as a click on it does.
    void SetFlavourLevel(int level);

    // The settings folder and its file (SettingsFile.h has the rules of both).
    void InitConfigDir();
    void LoadConfig();
    // Writes every setting of the table; shows the error box with the file's path when the file
    // cannot be replaced, which leaves it as it was.
    void SaveConfig();

    QString SettingsDir;  // ends in "/"
    bool ConvertSucceeded = false;
    std::vector<std::string> FileList;  // paths (bytes) of the latest accepted drop
    std::size_t BatchJobs = DefaultBatchJobs();  // pictures a batch works on at once

signals:
    // Emitted at the end of ConvertTerminate, once the progress window shows how the batch ended.
    void BatchEnded();

protected:
    // Swallows hint (tooltip) events, since hints are off in this window, takes dragged
    // files for the window and runs the key filter of the number fields.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Dropped files are taken anywhere on the window, but not while a batch runs or the
    // window is disabled: Qt delivers drops to a disabled window too. Drops are handled
    // once the platform's drop is over.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // While a worker runs (it still reports to this window) a close stops the batch, and the
    // window closes once the batch has ended.
    void closeEvent(QCloseEvent* event) override;
    // Retranslates on QEvent::LanguageChange.
    void changeEvent(QEvent* event) override;

private:
    struct TypedField {
        QLineEdit* edit;
        int typingLimit;
    };

    void CreateControls();
    void CreateMenus();
    // The drop's rules on local paths, with the refusals already found.
    void TakeFiles(const std::vector<std::string>& paths, std::vector<std::string> errorList);
    // The status line and buttons of a batch that stopped or went on past failures; false
    // for the two ends that the batch's own rules cover (done, failed).
    bool ShowExtendedOutcome(const BatchOutcome& outcome);
    // How the batch ended, in the progress window's status and note lines and its list, in the
    // current language; the reasons of the pictures stay in the language they were given in.
    void ShowOutcome(const BatchOutcome& outcome);
    // The lines under the status line: what the batch wrote when the quality settings are
    // shown (the total size and, where the target-size search did not get below its target, how
    // many pictures stayed above it), then the names of the pictures saved from a file cut short,
    // which are also listed, by path, with the failures under 詳細. No line for what is not there.
    void ShowNotes(const BatchOutcome& outcome);
    void CreateSizeGroup(QWidget* client);
    void CreateSaveGroup(QWidget* client);
    void CreateStrengthGroup(QWidget* client);
    void CreateQualityGroup(QWidget* client);
    void CreateFilterGroup(QWidget* client);
    void CreateCompareItem();
    void ConnectRules();
    void ChainTabOrder();
    // Gives every control, menu and hint its text in the current language, then fits the
    // controls to their texts and the window to the controls.
    void RetranslateUi();
    // Keeps the language choice of the Settings menu (none: automatic) and makes every window
    // speak it at once.
    void ChooseLanguage(std::optional<Language> choice);
    void AttachHints();
    void FormCreate();
    void FormDestroy();
    // The client area at `width` and the standard height, the window fitted around it.
    void SetClientWidth(int width);
    // The quality group's controls into the kept quality choices of `values`.
    void KeepQualityChoices(ControlValues& values) const;
    // The strength choice of `level`.
    QRadioButton* StrengthChoice(int level) const;
    // True when the key event may reach the number field.
    bool PassesNumberFieldFilter(const TypedField& field, const QKeyEvent& event) const;
    // The window is the target of dropped files, also over the controls that take dropped
    // text, which would otherwise keep a file drag that offers the paths as text too.
    void AcceptDropsEverywhere();
    // Handles a drag or drop event that carries URLs; false for any other event.
    bool TakeFileDrag(QEvent& event);
    bool TakesDrops() const;

    TPicConvertThread* ConvertThread = nullptr;  // the running worker; it owns itself
    bool CloseAfterBatch = false;
    // The outcome of the batch that ended last, shown again in a newly chosen language; none
    // from the start of a batch until its end.
    std::unique_ptr<BatchOutcome> LastOutcome;

    std::vector<TypedField> TypedFields;
    // The settings table's controls, found when the window is built.
    std::unique_ptr<SettingControls> Controls;
    // The settings without a control (SettingsTable.h); their fields of the controls are unused.
    ControlValues Kept;
    TFormStatus* FormStatus = nullptr;
    TFormAbout* FormAbout = nullptr;
    ComparisonWindow* FormCompare = nullptr;

    // The controls, each named after itself (QObject::objectName) for the settings table, which
    // finds them by that name once.
    // Size group.
    QGroupBox* GBPicSize;
    QCheckBox* CBPicSize;
    QRadioButton* RBRegularSize;
    QComboBox* CBSizeList;
    QRadioButton* RBInputPicSize;
    QLabel* LblPicWidth;
    QLineEdit* EditPicWidth;
    QLabel* LblPicHeight;
    QLineEdit* EditPicHeight;
    // Save group.
    QGroupBox* GBSave;
    QRadioButton* RBDecidesName;
    QComboBox* CBSelectNamePos;
    QLineEdit* EditFileName;
    QLabel* LblSelectFileName;
    QRadioButton* RBMakeDir;
    QLabel* LblDirName;
    QLineEdit* EditDirName;
    QCheckBox* CBProgressive;  // hidden; persisted
    // Strength group.
    QGroupBox* GroupBox1;
    QRadioButton* RBGustaraLv3;
    QRadioButton* RBGustaraLv2;
    QRadioButton* RBGustaraLv1;
    QPlainTextEdit* Memo1;
    // Hidden quality group, fixed at every start.
    QGroupBox* GBFileSize;
    QCheckBox* CBQuality;
    QRadioButton* RBQuality;
    QComboBox* CBQualityLevel;
    QRadioButton* RBFileSize;
    QLineEdit* EditFileSize;
    QLabel* LblKB;
    // Hidden effect group, fixed at every start.
    QGroupBox* GBFilter;
    QCheckBox* CBFilter;
    QCheckBox* CBContrast;
    QSlider* TBContrast;
    QCheckBox* CBVivid;
    QCheckBox* CBBrightness;
    QRadioButton* RBBrightnessUP;
    QRadioButton* RBBrightnessDown;
    QCheckBox* CBMonochrome;
    // Menu.
    QMenuBar* MainMenu;
    QAction* A1;
    QMenu* FileMenu;
    QAction* OpenFilesItem;  // Ctrl+O
    QMenu* SettingsMenu;
    QAction* KeepGoingItem;  // checkable
    QAction* MoreFormatsItem;  // checkable
    QAction* FoldersItem;  // checkable: a dropped folder's tree is taken in
    QAction* KeepDateItem;  // checkable: outputs keep the capture date
    QAction* QualityItem;    // checkable: shows the quality group
    QAction* ActCompare;
    QMenu* LanguageMenu;
    std::array<QAction*, 3> LanguageItems; // automatic, Japanese, English: checkable, one checked
};

} // namespace gustara
