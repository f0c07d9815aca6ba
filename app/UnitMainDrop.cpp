// The drop intake of the main window: dropped files are sorted into accepted and refused
// ones; a single refusal cancels the whole drop.

#include "UnitMain.h"

#include "DropRules.h"
#include "MessageBoxes.h"

#include <QCollator>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace gustara {

namespace {

int CompareIgnoringCase(const std::string& a, const std::string& b)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator.compare(QString::fromStdString(a), QString::fromStdString(b));
}

} // namespace

bool TFormMain::TakesDrops() const
{
    return isEnabled() && !IsConverting();
}

void TFormMain::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls() && TakesDrops())
        event->acceptProposedAction();
}

void TFormMain::dropEvent(QDropEvent* event)
{
    if (!event->mimeData()->hasUrls() || !TakesDrops()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Handled once the drop is over, so that a message box does not keep the drag source
    // waiting for its answer; the test is repeated for a drop handled in between.
    QMetaObject::invokeMethod(
        this,
        [this, urls = event->mimeData()->urls()] {
            if (TakesDrops())
                WMDropFiles(urls);
        },
        Qt::QueuedConnection);
}

void TFormMain::WMDropFiles(const QList<QUrl>& urls)
{
    FileList.clear();
    std::vector<std::string> errorList;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) {
            errorList.push_back(ErrorListEntry(kReasonFormat, url.path().toStdString()));
            continue;
        }
        // Paths are kept whole; nothing limits their length.
        std::string path = url.toLocalFile().toStdString();
        if (const auto reason = RejectionReason(path))
            errorList.push_back(ErrorListEntry(*reason, path));
        else
            FileList.push_back(std::move(path));
    }
    if (!errorList.empty()) {
        ShowMessage(this, QString::fromStdString(BuildErrorMessage(errorList)));
        return;
    }
    if (CheckSettings())
        StartConvert();
}

std::string TFormMain::BuildErrorMessage(std::vector<std::string>& errorList)
{
    return gustara::BuildErrorMessage(errorList, CompareIgnoringCase);
}

} // namespace gustara
