#include "CompareRunner.h"

#include "preview/CompareStrip.h"
#include "preview/StrengthPreview.h"
#include "rules/DisplayText.h"

#include <exception>

namespace gustara::cli {

ExitStatus RunCompare(const CliRequest& request, std::ostream& out, std::ostream& errors)
{
    if (RejectAny(request.pictures, errors))
        return kBadRequest;
    const std::string& path = request.pictures.front();
    const TthPicConvert& settings = request.settings;
    const PictureSize cell = settings.UsePicSize ? PictureSize{settings.PicWidth, settings.PicHeight}
                                                 : PictureSize{kDefaultCompareSide, kDefaultCompareSide};
    try {
        const StrengthPreview preview = MakeStrengthPreview(path, [cell](PictureSize) { return cell; });
        // The strip keeps the name it was given: an affix before the name that is empty.
        TthPicConvert writer = settings;
        writer.UseDecidesName = true;
        writer.NameBefore = true;
        writer.FileNameAffix.clear();
        const auto datastream = writer.ApplyJpegQuality(JoinSideBySide(preview.pictures));
        out << writer.WriteJpeg(request.compareOutput, datastream) << '\n';
        return kAllConverted;
    } catch (const std::exception& failure) {
        errors << PictureFailedMessage(path, failure.what()) << '\n';
        return kSomeFailed;
    }
}

} // namespace gustara::cli
