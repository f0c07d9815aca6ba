#include "settings/SettingsFile.h"

#include "settings/NotepadText.h"

#include <QDir>

#include <memory>

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

namespace gustara {

namespace {

// The roaming application data folder (CSIDL_APPDATA's place), or %APPDATA% when the shell
// cannot tell it.
QString RoamingAppData()
{
    PWSTR path = nullptr;
    const HRESULT result = ::SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &path);
    const std::unique_ptr<wchar_t, decltype(&::CoTaskMemFree)> owned(path, &::CoTaskMemFree);
    if (SUCCEEDED(result) && path != nullptr)
        return QString::fromWCharArray(path);
    return qEnvironmentVariable("APPDATA");
}

} // namespace

QString PrepareSettingsFolder()
{
    QString base = RoamingAppData();
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/AppData/Roaming");
    base = QDir::toNativeSeparators(base);
    if (!base.endsWith(QLatin1Char('\\')))
        base += QLatin1Char('\\');
    const QString folder = base + QStringLiteral("Ferrowin\\GustaraWorks\\");
    QDir().mkpath(folder);
    return folder;
}

// UTF-8 with a byte-order mark: every Notepad since Windows XP opens such a file as UTF-8
// and saves it back as UTF-8 with its mark, so Japanese folder names and affixes survive an
// edit. Without the mark an older Notepad guesses, and saving in the ANSI code page would
// turn every character outside Shift-JIS into "?". A file saved as ANSI or UTF-16 all the
// same is still read right (TextFromNotepadFile), and the next save writes UTF-8 again.
std::string SettingsTextFromFile(const std::string& bytes)
{
    return TextFromNotepadFile(bytes);
}

std::string SettingsFileFromText(const std::string& text)
{
    return NotepadFileFromText(text);
}

} // namespace gustara
