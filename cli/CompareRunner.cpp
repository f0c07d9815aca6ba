#include "CompareRunner.h"

#include "batch/StopSignals.h"

#include "preview/CompareStrip.h"
#include "preview/StrengthPreview.h"
#include "rules/DisplayText.h"
#include "rules/Messages.h"
#include "write/OutputFile.h"

#include <exception>

namespace gustara::cli {

ExitStatus RunCompare(const CliRequest& request, std::ostream& out, std::ostream& errors)
{
    if (RejectAny(request.pictures, request.moreFormats, errors))
        return kBadRequest;
    const std::string& path = request.pictures.front();
    const TthPicConvert& settings = request.settings;
    const PictureSize cell = settings.UsePicSize ? PictureSize{settings.PicWidth, settings.PicHeight}
                                                 : PictureSize{kDefaultCompareSide, kDefaultCompareSide};
    try {
        const StrengthPreview preview = MakeStrengthPreview(path, [cell](PictureSize) { return cell; });
        const auto datastream = settings.ApplyJpegQuality(JoinSideBySide(preview.pictures));
        // A stop asked for while the strip was made: nothing is written.
        if (StopSignalled()) {
            errors << StoppedText(1, 0, 0) << '\n';
            return kAllConverted;
        }
        out << WriteUnderFreeName(SplitAtExtension(request.compareOutput), datastream) << '\n';
        return kAllConverted;
    } catch (const std::exception& failure) {
        errors << PictureFailedMessage(path, FailureReason(failure)) << '\n';
        return kSomeFailed;
    }
}

} // namespace gustara::cli
