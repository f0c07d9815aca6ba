#include "main/UnitMain.h"

#include "compare/UnitCompare.h"
#include "rules/Defaults.h"
#include "rules/Messages.h"
#include "settings/IniFile.h"
#include "settings/SettingControls.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsTable.h"
#include "shared/AppText.h"
#include "shared/MessageBoxes.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include <string>

namespace gustara {

ControlValues TFormMain::CurrentSettings() const
{
    ControlValues values = Kept;
    Controls->Read(values);
    if (QualityItem->isChecked())
        KeepQualityChoices(values);
    if (FormCompare) {
        values.CompareWidth = FormCompare->width();
        values.CompareHeight = FormCompare->height();
    }
    return values;
}

void TFormMain::KeepQualityChoices(ControlValues& values) const
{
    values.KeptUseQuality = CBQuality->isChecked();
    values.KeptByQuality = !RBFileSize->isChecked();
    values.KeptQualityIndex = CBQualityLevel->currentIndex();
    values.KeptFileSize = EditFileSize->text().toStdString();
}

QRadioButton* TFormMain::StrengthChoice(int level) const
{
    const std::array<QRadioButton*, kHighestFlavourLevel - kLowestFlavourLevel + 1> choices = {
        RBGustaraLv1, RBGustaraLv2, RBGustaraLv3};
    return choices[static_cast<std::size_t>(level - kLowestFlavourLevel)];
}

void TFormMain::InitConfigDir()
{
    SettingsDir = PrepareSettingsFolder();
}

void TFormMain::LoadConfig()
{
    // An unreadable file counts as a missing one: every setting takes its default.
    const QString path = SettingsDir + QString::fromLatin1(kSettingsFileName);
    const IniFile ini = IniFile::Parse(ReadSettingsFileBytes(path).value_or(std::string()));
    // The values without a control first: showing the quality group takes its kept choices.
    Kept = ReadControlValues(ini);
    Controls->Apply(Kept);
}

void TFormMain::SaveConfig()
{
    // The other lines of the file are kept, so a file that cannot be read is not replaced.
    const QString path = SettingsDir + QString::fromLatin1(kSettingsFileName);
    const auto bytes = ReadSettingsFileBytes(path);
    bool saved = false;
    if (bytes) {
        IniFile ini = IniFile::Parse(*bytes);
        WriteControlValues(ini, CurrentSettings());
        saved = ReplaceSettingsFile(path, ini.Text());
    }
    if (!saved)
        ShowErrorMessage(this, QString::fromStdString(Format(Message::CannotWriteSettings, {path.toStdString()})));
}

} // namespace gustara
