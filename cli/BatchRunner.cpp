#include "BatchRunner.h"

#include "DropRules.h"
#include "EngineError.h"
#include "PathParts.h"

#include <algorithm>
#include <cstring>

namespace gustara::cli {

namespace {

// Case-insensitive, locale-aware order of the message entries (the collation of the
// process's locale on ASCII-lowered texts).
int CompareIgnoringCase(const std::string& a, const std::string& b)
{
    return std::strcoll(UpperAscii(a).c_str(), UpperAscii(b).c_str());
}

std::string WithoutCarriageReturns(std::string text)
{
    std::erase(text, '\r');
    return text;
}

bool RejectAny(const std::vector<std::string>& pictures, std::ostream& errors)
{
    std::vector<std::string> errorList;
    for (const std::string& path : pictures)
        if (const auto reason = RejectionReason(path))
            errorList.push_back(ErrorListEntry(*reason, path));
    if (errorList.empty())
        return false;
    errors << WithoutCarriageReturns(BuildErrorMessage(errorList, CompareIgnoringCase));
    return true;
}

void ConvertOne(TthPicConvert& engine, const std::string& sourcePath, std::ostream& out)
{
    PictureRaster picture;
    engine.LoadPicture(sourcePath, picture);
    engine.FitPicSize(picture);
    engine.ApplyFlavour(picture);
    out << engine.SaveAsJpeg(ReplaceExtension(sourcePath, ".jpg"), picture) << '\n' << std::flush;
}

} // namespace

ExitStatus RunBatch(CliRequest& request, std::ostream& out, std::ostream& errors, bool showProgress)
{
    if (RejectAny(request.pictures, errors))
        return kBadRequest;

    ExitStatus status = kAllConverted;
    const std::size_t count = request.pictures.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& path = request.pictures[i];
        const std::string name(NamePart(path));
        if (showProgress)
            errors << "\r\033[K[" << (i + 1) << '/' << count << "] [" << name << "]を処理しています" << std::flush;
        try {
            ConvertOne(request.settings, path, out);
        } catch (const std::exception& failure) {
            if (showProgress)
                errors << "\r\033[K";
            errors << "[" << name << "]の処理に失敗しました: " << failure.what() << '\n';
            status = kSomeFailed;
            if (!request.keepGoing)
                break;
        }
    }
    if (showProgress)
        errors << "\r\033[K" << std::flush;
    return status;
}

} // namespace gustara::cli
