#include "compare/ComparePreparer.h"

#include "read/PictureReader.h"
#include "rules/DisplayText.h"
#include "rules/DropRules.h"

#include <cstring>
#include <exception>
#include <new>
#include <utility>

namespace gustara {

namespace {

QImage ToImage(const PictureRaster& picture)
{
    QImage image(picture.width(), picture.height(), QImage::Format_RGB888);
    if (image.isNull() && !picture.empty())
        throw std::bad_alloc();
    for (int32_t y = 0; y < picture.height(); ++y)
        std::memcpy(image.scanLine(y), picture.row(y), picture.stride());
    return image;
}

// Runs on the preparing thread. Refused paths get the drop's message, failed pictures the
// batch's report with the reason.
PreparedComparison PrepareOne(const std::string& file, MoreFormats more, const CellForPicture& cellFor)
{
    PreparedComparison result;
    result.path = file;
    if (const auto reason = RejectionReason(file, nullptr, more)) {
        std::string message = SingleRefusalMessage(file, *reason);
        if (WantsMoreFormats(file, more))
            message = WithClosingLine(std::move(message), Text(Message::HintMoreFormatsWindow));
        result.problem = QString::fromStdString(message);
        return result;
    }
    try {
        const StrengthPreview preview = MakeStrengthPreview(file, cellFor);
        result.shownSource = QSize(preview.shownSource.width, preview.shownSource.height);
        for (std::size_t i = 0; i < preview.pictures.size(); ++i)
            result.images[i] = ToImage(preview.pictures[i]);
    } catch (const std::exception& failure) {
        result.images = {};
        result.problem = QString::fromStdString(PictureFailedMessage(file, FailureReason(failure)));
    }
    return result;
}

} // namespace

ComparePreparer::ComparePreparer(QObject* parent)
    : QObject(parent)
    , thread_([this] { Run(); })
{
}

ComparePreparer::~ComparePreparer()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void ComparePreparer::Prepare(const std::string& path, MoreFormats more, CellForPicture cellFor)
{
    {
        const std::lock_guard lock(mutex_);
        waiting_ = Request{++latest_, path, more, std::move(cellFor)};
    }
    wake_.notify_one();
}

void ComparePreparer::Run()
{
    for (;;) {
        Request request;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || waiting_; });
            if (stopping_)
                return;
            request = std::move(*waiting_);
            waiting_.reset();
        }
        PreparedComparison result;
        try {
            result = PrepareOne(request.path, request.more, request.cellFor);
        } catch (...) {
            // Out of memory while turning the pictures into images: nothing to show.
            continue;
        }
        // Delivered through the event loop; dropped if this object is gone by then.
        QMetaObject::invokeMethod(
            this,
            [this, number = request.number, result = std::move(result)] {
                if (number == latest_)
                    emit Prepared(result);
            },
            Qt::QueuedConnection);
    }
}

} // namespace gustara
