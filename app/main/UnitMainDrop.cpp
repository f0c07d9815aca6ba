// The drop intake of the main window: dropped files are sorted into accepted and refused
// ones; a single refusal cancels the whole drop.

#include "main/UnitMain.h"
#include "EngineError.h"
#include "FileKind.h"
#include "batch/FolderTree.h"

#include "read/PictureFormat.h"
#include "read/PictureReader.h"
#include "rules/DropRules.h"
#include "settings/SettingsTable.h"
#include "shared/AppText.h"
#include "shared/LocalPaths.h"
#include "shared/MessageBoxes.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QMimeData>
#include <QUrl>

#include <utility>

namespace gustara {

bool TFormMain::TakesDrops() const
{
    return isEnabled() && !IsConverting();
}

void TFormMain::AcceptDropsEverywhere()
{
    setAcceptDrops(true);
    for (QWidget* control : findChildren<QWidget*>()) {
        if (control->acceptDrops())
            control->installEventFilter(this);
    }
}

bool TFormMain::TakeFileDrag(QEvent& event)
{
    const QEvent::Type type = event.type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto& drag = static_cast<QDropEvent&>(event);
    // A drag that offers the URL type but no URL brings nothing to convert.
    if (drag.mimeData()->urls().isEmpty())
        return false;
    if (!TakesDrops()) {
        drag.ignore();
        return true;
    }
    drag.acceptProposedAction();
    if (type == QEvent::Drop) {
        // Handled once the drop is over, so that a message box does not keep the drag
        // source waiting for its answer; the test is repeated for a drop handled in between.
        QMetaObject::invokeMethod(
            this,
            [this, urls = drag.mimeData()->urls()] {
                if (TakesDrops())
                    WMDropFiles(urls);
            },
            Qt::QueuedConnection);
    }
    return true;
}

void TFormMain::dragEnterEvent(QDragEnterEvent* event)
{
    TakeFileDrag(*event);
}

void TFormMain::dropEvent(QDropEvent* event)
{
    TakeFileDrag(*event);
}

void TFormMain::WMDropFiles(const QList<QUrl>& urls)
{
    std::vector<std::string> paths;
    std::vector<std::string> errorList;
    for (const QUrl& url : urls) {
        if (url.isLocalFile())
            paths.push_back(LocalPathBytes(url));
        else
            errorList.push_back(ErrorListEntry(Text(Message::ReasonFormat), LocalPathBytes(url)));
    }
    TakeFiles(paths, std::move(errorList));
}

void TFormMain::OpenPaths(const std::vector<std::string>& paths)
{
    TakeFiles(paths, {});
}

MoreFormats TFormMain::TakenFormats() const
{
    return MoreFormatsItem->isChecked() ? MoreFormats::On : MoreFormats::Off;
}


QString TFormMain::PictureDialogFilter() const
{
    QStringList patterns;
    const auto addPatterns = [&patterns](const auto& extensions) {
        for (const FormatExtension& supported : extensions) {
            const QString upper = QLatin1Char('*') + QString::fromLatin1(supported.extension);
            // Some desktops' dialogs match patterns in their letter case only.
            patterns << upper.toLower() << upper;
        }
    };
    addPatterns(kSupportedExtensions);
    if (TakenFormats() == MoreFormats::On)
        addPatterns(kMoreExtensions);
    return UiText(Message::OpenFilesFilter).arg(patterns.join(QLatin1Char(' ')));
}

void TFormMain::OpenFilesClick()
{
    const QList<QUrl> urls =
        QFileDialog::getOpenFileUrls(this, UiText(Message::MenuOpenFiles), QUrl(), PictureDialogFilter());
    if (!urls.isEmpty())
        WMDropFiles(urls);
}

void TFormMain::TakeFiles(const std::vector<std::string>& paths, std::vector<std::string> errorList)
{
    FileList.clear();
    const MoreFormats more = TakenFormats();
    bool moreFormatsRefused = false;
    // The walk passes over the outputs of the naming shown. Settings that do not parse leave
    // it partly filled, but CheckSettings then refuses them before any batch starts.
    TthPicConvert naming;
    try {
        FillConversionSettings(CurrentSettings(), naming);
    } catch (const EngineError&) {
    }
    // Paths are kept whole, as bytes; nothing limits their length.
    for (const std::string& path : paths) {
        // With FOLDERS a folder gives the pictures of its tree, by the command line's rules.
        if (FoldersItem->isChecked() && KindAt(path, Links::Followed) == FileKind::Folder) {
            try {
                for (TreePicture& picture : PicturesInTree(path, naming, more))
                    FileList.push_back(std::move(picture.path));
            } catch (const EngineError& error) {
                errorList.push_back(ErrorListEntry(error.what(), path));
            }
            continue;
        }
        if (const auto reason = RejectionReason(path, nullptr, more)) {
            errorList.push_back(ErrorListEntry(*reason, path));
            moreFormatsRefused = moreFormatsRefused || WantsMoreFormats(path, more);
        } else {
            FileList.push_back(path);
        }
    }
    if (!errorList.empty()) {
        std::string message = BuildErrorMessage(errorList);
        if (moreFormatsRefused)
            message = WithClosingLine(std::move(message), Text(Message::HintMoreFormatsWindow));
        ShowMessage(this, QString::fromStdString(message));
        return;
    }
    if (CheckSettings())
        StartConvert();
}

} // namespace gustara
