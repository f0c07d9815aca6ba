#include "main/UnitMain.h"

#include "UnitThPicConvert.h"
#include "about/UnitAbout.h"
#include "main/PicConvertThread.h"
#include "main/SoftAd.h"
#include "progress/UnitStatus.h"
#include "rules/Defaults.h"
#include "rules/Messages.h"
#include "rules/SettingsRules.h"
#include "settings/SettingControls.h"
#include "shared/AppText.h"
#include "shared/ChoiceGroup.h"
#include "shared/MessageBoxes.h"
#include "shared/Placement.h"
#include "shared/WindowFont.h"
#include "shared/WindowLanguage.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSlider>

#include <optional>
#include <utility>
#include <vector>

namespace gustara {

namespace {

constexpr int kClientWidth = 457;
constexpr int kClientHeight = 268;
// With the quality group shown: the group's right edge plus the margin of the others.
constexpr int kWideClientWidth = 504 + 217 + 8;
// The progressive choice, hidden in the save group, and shown just under the quality group.
constexpr QRect kProgressiveHiddenBox(8, 140, 177, 17);
constexpr QRect kProgressiveShownBox(512, 119, 177, 17);

const QStringList kFontFamilies = WindowFontFamilies();
constexpr int kFontPixelSize = 12;

// The keys of the edit actions that a line edit's context menu offers.
bool IsEditShortcut(const QKeyEvent& event)
{
    for (const QKeySequence::StandardKey shortcut : {QKeySequence::SelectAll, QKeySequence::Copy, QKeySequence::Cut,
                                                     QKeySequence::Paste, QKeySequence::Undo, QKeySequence::Redo}) {
        if (event.matches(shortcut))
            return true;
    }
    return false;
}

// A group's caption, or the check box standing in for it, sits on the top frame line. The
// style sheet names the font too: under a styled group box an inherited font gets lost.
QString ClientStyleSheet()
{
    return QStringLiteral("QWidget { font-family: \"%1\"; font-size: %2px; }"
                          "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
                          "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 7px;"
                          " padding: 0 1px; }")
        .arg(kFontFamilies.join(QStringLiteral("\", \"")))
        .arg(kFontPixelSize);
}

// The controls are made without texts; RetranslateUi gives them theirs.
QLabel* MakeLabel(QWidget* parent, const char* name, int left, int top, int width, int height)
{
    return Place(new QLabel(parent), name, left, top, width, height);
}

// A list of `items`, or of as many entries as `items` holds whose texts RetranslateUi gives.
QComboBox* MakeList(QWidget* parent, const char* name, const QStringList& items, int left, int top, int width,
                    int height)
{
    auto* list = Place(new QComboBox(parent), name, left, top, width, height);
    list->addItems(items);
    return list;
}

// A check box that sits on the top edge of its caption-less group box and stands in for the
// caption: it paints its own background over the frame line.
QCheckBox* MakeEdgeCheckBox(QGroupBox* group, const char* name, int width)
{
    auto* box = Place(new QCheckBox(group), name, 8, 0, width, 17);
    box->setAutoFillBackground(true);
    return box;
}

// Labels are greyed by their text colour only; they are never disabled. The same serves
// the text of an edit field.
void SetTextGrey(QWidget* widget, QPalette::ColorRole role, bool grey)
{
    const QPalette standard = QApplication::palette(widget);
    QPalette palette = widget->palette();
    palette.setColor(role, standard.color(grey ? QPalette::Disabled : QPalette::Active, role));
    widget->setPalette(palette);
}

void SetLabelGrey(QLabel* label, bool grey)
{
    SetTextGrey(label, QPalette::WindowText, grey);
}

// A check box that turns on a choice between a list (`listChoice`) and typed values
// (`typedChoice`): enables both choices and the list as they apply, and returns whether the
// typed values are in use, for the caller to enable its own fields.
bool EnableListOrTyped(bool on, QRadioButton* listChoice, QRadioButton* typedChoice, QWidget* list)
{
    const bool byList = listChoice->isChecked();
    listChoice->setEnabled(on);
    typedChoice->setEnabled(on);
    list->setEnabled(on && byList);
    return on && !byList;
}

} // namespace

TFormMain::TFormMain(QWidget* parent)
    : QMainWindow(parent)
{
    CreateControls();
    Controls = std::make_unique<SettingControls>(*this, kSettingRows);
    FormCreate();
    // At the width that the settings gave it.
    if (const QScreen* desktop = screen())
        move(desktop->availableGeometry().center() - rect().center());
}

TFormMain::~TFormMain()
{
    FormDestroy();
}

void TFormMain::AttachWindows(TFormStatus& status, TFormAbout& about)
{
    FormStatus = &status;
    FormAbout = &about;
    connect(FormStatus, &TFormStatus::StopRequested, this, &TFormMain::StopConvert);
}

void TFormMain::CreateControls()
{
    setObjectName(QStringLiteral("FormMain"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    QFont font;
    font.setFamilies(kFontFamilies);
    font.setPixelSize(kFontPixelSize);
    setFont(font);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    setPalette(palette);

    MainMenu = menuBar();
    MainMenu->setObjectName(QStringLiteral("MainMenu"));
    A1 = MainMenu->addAction(QString());
    A1->setObjectName(QStringLiteral("A1"));
    connect(A1, &QAction::triggered, this, &TFormMain::A1Click);
    CreateMenus();
    CreateCompareItem();

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setStyleSheet(ClientStyleSheet());
    setCentralWidget(client);
    CreateSizeGroup(client);
    CreateQualityGroup(client);
    CreateFilterGroup(client);
    CreateSaveGroup(client);
    Memo1 = Place(new QPlainTextEdit(client), "Memo1", 8, 202, 441, 57);
    connect(MoreFormatsItem, &QAction::toggled, this, &TFormMain::ShowSupportedFormats);
    Memo1->setReadOnly(true);
    Memo1->setTabChangesFocus(true);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    CreateStrengthGroup(client);

    ConnectRules();
    ChainTabOrder();
    AttachHints();
    RetranslateUi();
}

void TFormMain::SetClientWidth(int width)
{
    // Positions stay; a caption longer than its control widens it, and the window with it.
    width += FitToTexts(*centralWidget());
    centralWidget()->setFixedSize(width, kClientHeight);
    setFixedSize(width, kClientHeight + MainMenu->sizeHint().height());
    // Widened at the right, the window may reach past the screen's edge, title-bar buttons first.
    if (const QScreen* desktop = screen())
        move(KeptWithin(frameGeometry(), desktop->availableGeometry()));
}

void TFormMain::ShowSupportedFormats(bool moreFormats)
{
    Memo1->setPlainText(UiText(moreFormats ? Message::DropMemoMoreFormats : Message::DropMemo));
}

void TFormMain::ShowQualityGroup(bool shown)
{
    // Hidden, the group takes its fixed values again; the choices made while it was shown
    // are kept for the next time it is shown.
    if (!shown)
        KeepQualityChoices(Kept);
    const ControlValues& choices = shown ? Kept : ControlValues();
    CBQuality->setChecked(choices.KeptUseQuality);
    (choices.KeptByQuality ? RBQuality : RBFileSize)->setChecked(true);
    CBQualityLevel->setCurrentIndex(choices.KeptQualityIndex >= 0 && choices.KeptQualityIndex < CBQualityLevel->count()
                                        ? choices.KeptQualityIndex
                                        : -1);
    EditFileSize->setText(QString::fromStdString(choices.KeptFileSize));
    // The group keeps its place to the right of the others, which do not move; the progressive
    // choice goes just under it, out of the save group, which has no room for it.
    if (shown) {
        CBProgressive->setParent(centralWidget());
        SetPlace(*CBProgressive, kProgressiveShownBox);
    } else {
        CBProgressive->setParent(GBSave);
        SetPlace(*CBProgressive, kProgressiveHiddenBox);
    }
    GBFileSize->setVisible(shown);
    CBProgressive->setVisible(shown);
    ChainTabOrder();
    SetClientWidth(shown ? kWideClientWidth : kClientWidth);
    UpdateFormQuality();
}

void TFormMain::CreateMenus()
{
    // After the window's own item, so that it keeps its place; the bar stays one line high.
    FileMenu = MainMenu->addMenu(QString());
    FileMenu->setObjectName(QStringLiteral("FileMenu"));
    OpenFilesItem = FileMenu->addAction(QString());
    OpenFilesItem->setObjectName(QStringLiteral("OpenFilesItem"));
    OpenFilesItem->setShortcut(QKeySequence::Open);
    connect(OpenFilesItem, &QAction::triggered, this, &TFormMain::OpenFilesClick);

    SettingsMenu = MainMenu->addMenu(QString());
    SettingsMenu->setObjectName(QStringLiteral("SettingsMenu"));
    KeepGoingItem = SettingsMenu->addAction(QString());
    KeepGoingItem->setObjectName(QStringLiteral("KeepGoingItem"));
    KeepGoingItem->setCheckable(true);
    MoreFormatsItem = SettingsMenu->addAction(QString());
    MoreFormatsItem->setObjectName(QStringLiteral("MoreFormatsItem"));
    MoreFormatsItem->setCheckable(true);
    FoldersItem = SettingsMenu->addAction(QString());
    FoldersItem->setObjectName(QStringLiteral("FoldersItem"));
    FoldersItem->setCheckable(true);
    KeepDateItem = SettingsMenu->addAction(QString());
    KeepDateItem->setObjectName(QStringLiteral("KeepDateItem"));
    KeepDateItem->setCheckable(true);
    QualityItem = SettingsMenu->addAction(QString());
    QualityItem->setObjectName(QStringLiteral("QualityItem"));
    QualityItem->setCheckable(true);
    connect(QualityItem, &QAction::toggled, this, &TFormMain::ShowQualityGroup);

    LanguageMenu = SettingsMenu->addMenu(QString());
    LanguageMenu->setObjectName(QStringLiteral("LanguageMenu"));
    auto* languages = new QActionGroup(this);
    const std::pair<const char*, std::optional<Language>> choices[] = {{"LanguageAutoItem", std::nullopt},
                                                                       {"LanguageJapaneseItem", Language::Japanese},
                                                                       {"LanguageEnglishItem", Language::English}};
    for (std::size_t i = 0; i < std::size(choices); ++i) {
        const auto [name, choice] = choices[i];
        QAction* item = LanguageMenu->addAction(QString());
        item->setObjectName(QString::fromLatin1(name));
        item->setCheckable(true);
        languages->addAction(item);
        LanguageItems[i] = item;
        connect(item, &QAction::triggered, this, [this, choice] { ChooseLanguage(choice); });
    }
}

void TFormMain::ChooseLanguage(std::optional<Language> choice)
{
    Kept.WindowLanguage = LanguageSetting(choice);
    ApplyWindowLanguage(WindowLanguage(choice));
}

void TFormMain::RetranslateUi()
{
    setWindowTitle(UiText(Message::MainWindowCaption));
    const std::pair<QAction*, Message> items[] = {
        {A1, Message::MenuAbout},
        {OpenFilesItem, Message::MenuOpenFiles},
        {ActCompare, Message::MenuCompare},
        {KeepGoingItem, Message::MenuKeepGoing},
        {MoreFormatsItem, Message::MenuMoreFormats},
        {FoldersItem, Message::MenuFolders},
        {KeepDateItem, Message::MenuKeepDate},
        {QualityItem, Message::MenuShowQuality},
        {LanguageItems[0], Message::LanguageAutomatic},
        {LanguageItems[1], Message::LanguageJapanese},
        {LanguageItems[2], Message::LanguageEnglish},
    };
    for (const auto& [item, text] : items)
        item->setText(UiText(text));
    for (const auto& [menu, text] :
         {std::pair(FileMenu, Message::MenuFile), std::pair(SettingsMenu, Message::MenuSettings),
          std::pair(LanguageMenu, Message::MenuLanguage)})
        menu->setTitle(UiText(text));
    const std::pair<QAbstractButton*, Message> buttons[] = {
        {CBPicSize, Message::SizeGroup},           {RBRegularSize, Message::SizePreset},
        {RBInputPicSize, Message::SizeTyped},      {RBDecidesName, Message::SaveAffix},
        {RBMakeDir, Message::SaveMakeDir},         {CBProgressive, Message::SaveProgressive},
        {RBGustaraLv3, Message::StrengthLevel3},   {RBGustaraLv2, Message::StrengthLevel2},
        {RBGustaraLv1, Message::StrengthLevel1},   {CBQuality, Message::QualityGroup},
        {RBQuality, Message::QualityByLevel},      {RBFileSize, Message::QualityBySize},
        {CBFilter, Message::EffectGroup},          {CBContrast, Message::EffectContrast},
        {CBVivid, Message::EffectVivid},           {CBBrightness, Message::EffectBrightness},
        {RBBrightnessUP, Message::EffectBrighter}, {RBBrightnessDown, Message::EffectDarker},
        {CBMonochrome, Message::EffectMonochrome},
    };
    for (const auto& [button, text] : buttons)
        button->setText(UiText(text));
    const std::pair<QLabel*, Message> labels[] = {
        {LblPicWidth, Message::SizeWidth},          {LblPicHeight, Message::SizeHeight},
        {LblSelectFileName, Message::SaveAffixEnd}, {LblDirName, Message::SaveDirName},
        {LblKB, Message::QualityKilobytes},
    };
    for (const auto& [label, text] : labels)
        label->setText(UiText(text));
    GBSave->setTitle(UiText(Message::SaveGroup));
    GroupBox1->setTitle(UiText(Message::StrengthGroup));
    const std::pair<QComboBox*, std::vector<Message>> lists[] = {
        {CBSelectNamePos, {Message::SaveBefore, Message::SaveAfter}},
        {CBQualityLevel,
         {Message::QualityBest, Message::QualityHigh, Message::QualityMedium, Message::QualityLow,
          Message::QualityLowest}},
    };
    for (const auto& [list, texts] : lists) {
        for (std::size_t i = 0; i < texts.size(); ++i)
            list->setItemText(static_cast<int>(i), UiText(texts[i]));
    }
    const std::pair<QWidget*, Message> hints[] = {
        {GBPicSize, Message::HintSize},
        {CBPicSize, Message::HintSize},
        {RBRegularSize, Message::HintSizePreset},
        {RBInputPicSize, Message::HintSizeTyped},
        {GBSave, Message::HintSave},
        {GroupBox1, Message::HintStrength},
        {Memo1, Message::HintDrop},
    };
    for (const auto& [widget, hint] : hints)
        widget->setToolTip(UiText(hint));
    ShowSupportedFormats(MoreFormatsItem->isChecked());
    if (LastOutcome && FormStatus)
        ShowOutcome(*LastOutcome);
    const std::optional<Language> chosen = ChosenLanguage(Kept);
    LanguageItems[chosen ? (*chosen == Language::Japanese ? 1 : 2) : 0]->setChecked(true);
    SetClientWidth(QualityItem->isChecked() ? kWideClientWidth : kClientWidth);
}

void TFormMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        RetranslateUi();
}

void TFormMain::CreateSizeGroup(QWidget* client)
{
    GBPicSize = Place(new QGroupBox(client), "GBPicSize", 8, 2, 217, 129);
    CBPicSize = MakeEdgeCheckBox(GBPicSize, "CBPicSize", 103);
    RBRegularSize = Place(new ChoiceButton(QString(), GBPicSize), "RBRegularSize", 8, 20, 153, 17);
    CBSizeList = MakeList(GBPicSize, "CBSizeList",
                          {"1280 x 1280", "1024 x 1024", "800 x  800", "640 x 640", "400 x 400", "320 x 320", "160 x 160"},
                          25, 37, 145, 20);
    RBInputPicSize = Place(new ChoiceButton(QString(), GBPicSize), "RBInputPicSize", 8, 60, 153, 17);
    LblPicWidth = MakeLabel(GBPicSize, "LblPicWidth", 24, 80, 12, 12);
    EditPicWidth = Place(new QLineEdit(GBPicSize), "EditPicWidth", 40, 77, 57, 20);
    LblPicHeight = MakeLabel(GBPicSize, "LblPicHeight", 104, 80, 21, 12);
    EditPicHeight = Place(new QLineEdit(GBPicSize), "EditPicHeight", 133, 77, 57, 20);
    RBRegularSize->setChecked(true);
    new ChoiceGroup({RBRegularSize, RBInputPicSize}, this);
}

void TFormMain::CreateSaveGroup(QWidget* client)
{
    GBSave = Place(new QGroupBox(client), "GBSave", 232, 2, 217, 129);
    RBDecidesName = Place(new ChoiceButton(QString(), GBSave), "RBDecidesName", 8, 20, 89, 17);
    CBSelectNamePos = MakeList(GBSave, "CBSelectNamePos", QStringList(2), 97, 18, 64, 20);
    EditFileName = Place(new QLineEdit(GBSave), "EditFileName", 25, 41, 66, 20);
    LblSelectFileName = MakeLabel(GBSave, "LblSelectFileName", 97, 45, 90, 12);
    RBMakeDir = Place(new ChoiceButton(QString(), GBSave), "RBMakeDir", 8, 79, 201, 17);
    LblDirName = MakeLabel(GBSave, "LblDirName", 25, 102, 55, 12);
    EditDirName = Place(new QLineEdit(GBSave), "EditDirName", 88, 99, 113, 20);
    const QRect progressive = kProgressiveHiddenBox;
    CBProgressive = Place(new QCheckBox(GBSave), "CBProgressive", progressive.left(), progressive.top(),
                          progressive.width(), progressive.height());
    CBProgressive->hide();
    new ChoiceGroup({RBDecidesName, RBMakeDir}, this);
}

void TFormMain::CreateStrengthGroup(QWidget* client)
{
    GroupBox1 = Place(new QGroupBox(client), "GroupBox1", 8, 138, 441, 57);
    RBGustaraLv3 = Place(new ChoiceButton(QString(), GroupBox1), "RBGustaraLv3", 8, 24, 129, 17);
    RBGustaraLv2 = Place(new ChoiceButton(QString(), GroupBox1), "RBGustaraLv2", 156, 24, 145, 17);
    RBGustaraLv1 = Place(new ChoiceButton(QString(), GroupBox1), "RBGustaraLv1", 304, 24, 132, 17);
    new ChoiceGroup({RBGustaraLv1, RBGustaraLv2, RBGustaraLv3}, this);
}

void TFormMain::CreateQualityGroup(QWidget* client)
{
    GBFileSize = Place(new QGroupBox(client), "GBFileSize", 504, 8, 217, 105);
    CBQuality = MakeEdgeCheckBox(GBFileSize, "CBQuality", 70);
    RBQuality = Place(new ChoiceButton(QString(), GBFileSize), "RBQuality", 8, 20, 137, 17);
    CBQualityLevel = MakeList(GBFileSize, "CBQualityLevel", QStringList(5), 25, 37, 145, 20);
    RBFileSize = Place(new ChoiceButton(QString(), GBFileSize), "RBFileSize", 8, 60, 153, 17);
    EditFileSize = Place(new QLineEdit(GBFileSize), "EditFileSize", 25, 77, 57, 20);
    LblKB = MakeLabel(GBFileSize, "LblKB", 88, 80, 15, 12);
    RBQuality->setChecked(true);
    CBQualityLevel->setCurrentIndex(1);
    new ChoiceGroup({RBQuality, RBFileSize}, this);
    GBFileSize->hide();
}

void TFormMain::CreateFilterGroup(QWidget* client)
{
    GBFilter = Place(new QGroupBox(client), "GBFilter", 504, 120, 201, 169);
    CBFilter = MakeEdgeCheckBox(GBFilter, "CBFilter", 73);
    CBContrast = Place(new QCheckBox(GBFilter), "CBContrast", 8, 20, 161, 17);
    TBContrast = Place(new QSlider(Qt::Horizontal, GBFilter), "TBContrast", 26, 39, 151, 17);
    TBContrast->setRange(0, 100);
    TBContrast->setPageStep(10);
    TBContrast->setTickInterval(5);
    TBContrast->setTickPosition(QSlider::TicksBelow);
    TBContrast->setValue(kFixedContrastPosition);
    CBVivid = Place(new QCheckBox(GBFilter), "CBVivid", 8, 65, 161, 17);
    CBBrightness = Place(new QCheckBox(GBFilter), "CBBrightness", 8, 95, 145, 17);
    RBBrightnessUP = Place(new ChoiceButton(QString(), GBFilter), "RBBrightnessUP", 24, 112, 65, 17);
    RBBrightnessDown = Place(new ChoiceButton(QString(), GBFilter), "RBBrightnessDown", 96, 112, 65, 17);
    CBMonochrome = Place(new QCheckBox(GBFilter), "CBMonochrome", 8, 140, 121, 17);
    new ChoiceGroup({RBBrightnessUP, RBBrightnessDown}, this);
    GBFilter->hide();
}

void TFormMain::ConnectRules()
{
    // Every change of a trigger runs its rule; the rules only read the controls, so a rule
    // that runs during the load or twice for one click leaves the same state.
    const auto triggers = [this](std::initializer_list<QAbstractButton*> buttons, void (TFormMain::*rule)()) {
        for (QAbstractButton* button : buttons)
            connect(button, &QAbstractButton::toggled, this, rule);
    };
    triggers({CBPicSize, RBRegularSize, RBInputPicSize}, &TFormMain::UpdateFormPicSize);
    triggers({CBQuality, RBQuality, RBFileSize}, &TFormMain::UpdateFormQuality);
    triggers({CBFilter, CBContrast, CBVivid, CBBrightness, CBMonochrome}, &TFormMain::UpdateFormFilter);
    triggers({RBDecidesName, RBMakeDir, RBGustaraLv1, RBGustaraLv2, RBGustaraLv3}, &TFormMain::UpdateFormSaveConf);

    TypedFields = {{EditPicWidth, 5}, {EditPicHeight, 5}, {EditFileSize, 6}};
    for (const TypedField& field : TypedFields) {
        // Composed input would bypass the key filter; these fields take digits only.
        field.edit->setAttribute(Qt::WA_InputMethodEnabled, false);
        field.edit->setInputMethodHints(Qt::ImhDigitsOnly);
        field.edit->installEventFilter(this);
    }
}

void TFormMain::ChainTabOrder()
{
    // The window's groups in their tab order, each followed by its own controls in theirs.
    QWidget* const chain[] = {
        CBPicSize, RBRegularSize, CBSizeList, RBInputPicSize, EditPicWidth, EditPicHeight,
        CBQuality, RBQuality, CBQualityLevel, RBFileSize, EditFileSize,
        CBFilter, CBContrast, TBContrast, CBVivid, CBBrightness, CBMonochrome, RBBrightnessUP, RBBrightnessDown,
        RBDecidesName, CBSelectNamePos, RBMakeDir, EditDirName, EditFileName, CBProgressive,
        Memo1,
        RBGustaraLv3, RBGustaraLv2, RBGustaraLv1,
    };
    for (std::size_t i = 1; i < std::size(chain); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void TFormMain::AttachHints()
{
    // The hints themselves are texts that RetranslateUi gives.
    for (QWidget* widget :
         std::initializer_list<QWidget*>{GBPicSize, CBPicSize, RBRegularSize, RBInputPicSize, GBSave, GroupBox1, Memo1})
        widget->installEventFilter(this);
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip)
        return true;
    if (TakeFileDrag(*event))
        return true;
    if (event->type() == QEvent::KeyPress) {
        for (const TypedField& field : TypedFields) {
            if (watched == field.edit)
                return !PassesNumberFieldFilter(field, static_cast<const QKeyEvent&>(*event));
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TFormMain::PassesNumberFieldFilter(const TypedField& field, const QKeyEvent& event) const
{
    // The shortcuts of the field's context menu work as the menu does; text that they place
    // is not typed, so it is not filtered here but checked before a batch.
    if (IsEditShortcut(event))
        return true;
    // Tab and Delete move the focus or edit; like the arrow keys they type no character.
    const int key = event.key();
    if (event.text().isEmpty() || key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Delete)
        return true;
    bool growsText = false;
    for (const QChar c : event.text()) {
        if (EditNumOnlyKeyPress(c.unicode()) == 0)
            return false;
        growsText = growsText || c != QLatin1Char('\b');
    }
    const QLineEdit& edit = *field.edit;
    return !growsText || edit.text().size() - edit.selectedText().size() + event.text().size() <= field.typingLimit;
}

char16_t TFormMain::EditNumOnlyKeyPress(char16_t key)
{
    const bool passes = key == u'\b' || key == u'.' || (key >= u'0' && key <= u'9');
    return passes ? key : char16_t{0};
}

void TFormMain::FormCreate()
{
    SA_Initialize(winId(), 0, 0, 145);
    AcceptDropsEverywhere();
    InitConfigDir();
    LoadConfig();
    // Every window and Qt's own texts speak the language of the settings, or the user's.
    ApplyWindowLanguage(WindowLanguage(ChosenLanguage(Kept)));
    UpdateFormPicSize();
    UpdateFormQuality();
    UpdateFormFilter();
    UpdateFormSaveConf();
}

void TFormMain::FormDestroy()
{
    FileList = {};
    SaveConfig();
    SA_Cleanup();
}

void TFormMain::UpdateFormPicSize()
{
    const bool typed = EnableListOrTyped(CBPicSize->isChecked(), RBRegularSize, RBInputPicSize, CBSizeList);
    EditPicWidth->setEnabled(typed);
    EditPicHeight->setEnabled(typed);
    SetLabelGrey(LblPicWidth, !typed);
    SetLabelGrey(LblPicHeight, !typed);
}

void TFormMain::UpdateFormQuality()
{
    const bool bySize = EnableListOrTyped(CBQuality->isChecked(), RBQuality, RBFileSize, CBQualityLevel);
    EditFileSize->setEnabled(bySize);
    SetTextGrey(EditFileSize, QPalette::Text, !bySize);
    SetLabelGrey(LblKB, !bySize);
}

void TFormMain::UpdateFormFilter()
{
    const bool effects = CBFilter->isChecked();
    for (QWidget* control : std::initializer_list<QWidget*>{CBContrast, TBContrast, CBVivid, CBBrightness, RBBrightnessUP,
                                                             RBBrightnessDown, CBMonochrome})
        control->setEnabled(effects);
}

void TFormMain::UpdateFormSaveConf()
{
    const bool decidesName = RBDecidesName->isChecked();
    CBSelectNamePos->setEnabled(decidesName);
    EditFileName->setEnabled(decidesName);
    EditDirName->setEnabled(RBMakeDir->isChecked());
    SetLabelGrey(LblSelectFileName, !decidesName);
    SetLabelGrey(LblDirName, decidesName);
}

bool TFormMain::CheckSettings()
{
    SettingsToCheck settings;
    // The typed box is tested whenever it would be used, also when no size choice is selected.
    settings.typedBoxInUse = CBPicSize->isChecked() && !RBRegularSize->isChecked();
    settings.widthText = EditPicWidth->text().toStdString();
    settings.heightText = EditPicHeight->text().toStdString();
    settings.targetSizeInUse = IsTargetSizeMode(CBQuality->isChecked(), RBQuality->isChecked());
    settings.fileSizeText = EditFileSize->text().toStdString();
    settings.decidesName = RBDecidesName->isChecked();
    settings.fileNameAffix = EditFileName->text().toStdString();
    settings.dirName = EditDirName->text().toStdString();
    const auto problem = FirstSettingsProblem(settings);
    if (!problem)
        return true;
    ShowMessage(this, QString::fromUtf8(problem->data(), static_cast<qsizetype>(problem->size())));
    return false;
}

void TFormMain::A1Click()
{
    if (FormAbout)
        FormAbout->exec();
}

} // namespace gustara
