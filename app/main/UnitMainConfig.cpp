#include "main/UnitMain.h"

#include "compare/UnitCompare.h"
#include "rules/Defaults.h"
#include "rules/Messages.h"
#include "settings/IniFile.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsTable.h"
#include "shared/AppText.h"
#include "shared/MessageBoxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>

#include <string>
#include <variant>

namespace gustara {

QWidget* TFormMain::ControlOf(const SettingRow& row) const
{
    return findChild<QWidget*>(QLatin1String(row.control));
}

ControlValues TFormMain::CurrentSettings() const
{
    ControlValues values;
    for (const SettingRow& row : kSettingRows) {
        QWidget* control = ControlOf(row);
        std::visit(Overloaded{
                       [&](bool ControlValues::*field) {
                           values.*field = static_cast<QAbstractButton*>(control)->isChecked();
                       },
                       [&](int32_t ControlValues::*field) {
                           if (auto* list = qobject_cast<QComboBox*>(control))
                               values.*field = list->currentIndex();
                           else
                               values.*field = static_cast<QSlider*>(control)->value();
                       },
                       [&](std::string ControlValues::*field) {
                           values.*field = static_cast<QLineEdit*>(control)->text().toStdString();
                       },
                   },
                   row.field);
    }
    return values;
}

void TFormMain::ApplySettings(const ControlValues& values)
{
    // Row by row, so that within a choice group the last selected choice wins, as a load of
    // the keys one after the other does.
    for (const SettingRow& row : kSettingRows) {
        QWidget* control = ControlOf(row);
        std::visit(Overloaded{
                       [&](bool ControlValues::*field) {
                           static_cast<QAbstractButton*>(control)->setChecked(values.*field);
                       },
                       [&](int32_t ControlValues::*field) {
                           const int32_t value = values.*field;
                           if (auto* list = qobject_cast<QComboBox*>(control))
                               list->setCurrentIndex(value >= 0 && value < list->count() ? value : -1);
                           else
                               static_cast<QSlider*>(control)->setValue(value);
                       },
                       [&](std::string ControlValues::*field) {
                           static_cast<QLineEdit*>(control)->setText(QString::fromStdString(values.*field));
                       },
                   },
                   row.field);
    }
}

QRadioButton* TFormMain::StrengthChoice(int level) const
{
    const auto field = kStrengthFields[static_cast<std::size_t>(level - kLowestFlavourLevel)];
    for (const SettingRow& row : kSettingRows) {
        if (row.field == decltype(row.field)(field))
            return static_cast<QRadioButton*>(ControlOf(row));
    }
    return nullptr;
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
    ApplySettings(ReadControlValues(ini));
    Extensions = ReadExtensionSettings(ini);
    KeepGoingItem->setChecked(Extensions.keepGoing);
    MoreFormatsItem->setChecked(Extensions.moreFormats);
    FoldersItem->setChecked(Extensions.folders);
    KeepDateItem->setChecked(Extensions.keepDate);
    QualityItem->setChecked(Extensions.showQuality);
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
        Extensions.keepGoing = KeepGoingItem->isChecked();
        Extensions.moreFormats = MoreFormatsItem->isChecked();
        Extensions.folders = FoldersItem->isChecked();
        Extensions.keepDate = KeepDateItem->isChecked();
        Extensions.showQuality = QualityItem->isChecked();
        if (Extensions.showQuality)
            Extensions.quality = ShownQualityChoices();
        if (FormCompare)
            Extensions.compareWindowSize = FormCompare->size();
        WriteExtensionSettings(ini, Extensions);
        saved = ReplaceSettingsFile(path, ini.Text());
    }
    if (!saved)
        ShowErrorMessage(this, QString::fromStdString(Format(Message::CannotWriteSettings, {path.toStdString()})));
}

} // namespace gustara
