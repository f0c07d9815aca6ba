#include "UnitThPicConvert.h"

#include "pixels/AreaAverageResampler.h"
#include "EngineError.h"
#include "rules/Defaults.h"
#include "rules/Messages.h"
#include "pixels/FitToBox.h"
#include "pixels/FlavourFilter.h"
#include "write/JpegWriter.h"
#include "write/OutputFile.h"
#include "rules/PathParts.h"
#include "PictureMetadata.h"
#include "read/PictureReader.h"

#include <algorithm>
#include <cstdint>
#include <set>
#include <utility>

namespace gustara {

void TthPicConvert::LoadPicture(const std::string& sourcePath, PictureRaster& picture)
{
    picture = ReadPicture(sourcePath);
    if (!KeepDate)
        picture.metadata().captureDate = {};
}

void TthPicConvert::RefuseOversizedOutput(const std::string& sourcePath) const
{
    const auto stored = ProbePicture(sourcePath);
    constexpr int64_t maxSide = INT32_MAX;
    if (!stored || stored->width > maxSide || stored->height > maxSide)
        return;  // the reader refuses such sides itself, after the header
    const auto width = static_cast<int32_t>(stored->width);
    const auto height = static_cast<int32_t>(stored->height);
    const auto fitted = [&](PictureSize box) {
        const auto target = UsePicSize ? FitToBoxSize(width, height, box.width, box.height) : std::nullopt;
        return target.value_or(PictureSize{width, height});
    };
    // The orientation that turns the box comes with the pixels: only a picture too long in
    // the box either way is refused before them.
    const PictureSize upright = fitted({PicWidth, PicHeight});
    const PictureSize turned = fitted({PicHeight, PicWidth});
    if (std::max(turned.width, turned.height) > kMaxJpegSide)
        CheckJpegSides(upright.width, upright.height);
}

void TthPicConvert::FitPicSize(PictureRaster& picture)
{
    if (!UsePicSize)
        return;
    // The output keeps the source's orientation, so a picture that viewers turn a quarter is
    // fitted as it is seen: the box's sides swap for the stored picture.
    const PictureSize box = TurnedBy({PicWidth, PicHeight}, picture.metadata().orientation);
    if (const auto target = FitToBoxSize(picture.width(), picture.height(), box.width, box.height))
        ResizeKeepingMetadata(picture, *target);
}

void TthPicConvert::ApplyFlavour(PictureRaster& picture)
{
    // Recorded for the settings' sake only; the filter takes the level alone.
    ContrastLevel = FlavourContrastOf(FlavourLevel);
    ApplyFlavourFilter(picture, FlavourLevel);
}

std::string TthPicConvert::MakeDecidesName(std::string_view stem) const
{
    return NameBefore ? FileNameAffix + std::string(stem) : std::string(stem) + FileNameAffix;
}

StemAndExtension TthPicConvert::OutputNameFor(const std::string& savePath) const
{
    const std::string_view folder = FolderPart(savePath);
    StemAndExtension name = SplitAtExtension(NamePart(savePath));
    if (UseDecidesName)
        name.stem = MakeDecidesName(name.stem);
    else
        name.stem.insert(0, DirName + "/");
    name.stem.insert(0, folder);
    return name;
}

bool TthPicConvert::StaysAboveTargetSize(uint64_t writtenBytes) const
{
    // A search that got below the target stopped there, so a file not below it came from the
    // last quality.
    return IsTargetSizeMode() && writtenBytes <= static_cast<uint64_t>(INT64_MAX)
           && static_cast<int64_t>(writtenBytes) >= TargetBytes();
}

int64_t TthPicConvert::TargetBytes() const
{
    // Saturates instead of overflowing for absurd targets; any such target is met at 100.
    return TargetFileSize > INT64_MAX / 1024   ? INT64_MAX
           : TargetFileSize < INT64_MIN / 1024 ? INT64_MIN
                                               : TargetFileSize * 1024;
}

std::vector<uint8_t> TthPicConvert::ApplyJpegQuality(const PictureRaster& picture, int* qualityChosen) const
{
    int unused = 0;
    int& chosen = qualityChosen ? *qualityChosen : unused;
    chosen = !IsTargetSizeMode() ? (UseQuality ? QualityValue : 80) : 0;
    if (!IsTargetSizeMode())
        return EncodeJpeg(picture, chosen, UseProgressive);
    // A quality whose datastream reaches the target is abandoned as soon as it does; the last
    // quality is kept whatever its size.
    for (int quality = 100; quality > 0; quality -= 10)
        if (auto datastream = EncodeJpegBelow(picture, quality, UseProgressive, TargetBytes())) {
            chosen = quality;
            return std::move(*datastream);
        }
    return EncodeJpeg(picture, 0, UseProgressive);
}

bool TthPicConvert::IsOwnOutputName(std::string_view fileName) const
{
    if (!UseDecidesName || FileNameAffix.empty() || ExtensionOf(fileName) != kOutputExtension)
        return false;
    std::string_view stem = PathWithoutExtension(fileName);
    if (NameBefore)
        return stem.starts_with(FileNameAffix);
    // A numbered name ends in "(N)" after the affixed stem.
    if (stem.ends_with(')')) {
        const auto open = stem.rfind('(');
        const auto digits = open == std::string_view::npos ? std::string_view() : stem.substr(open + 1, stem.size() - open - 2);
        if (!digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos)
            stem = stem.substr(0, open);
    }
    return stem.ends_with(FileNameAffix);
}

std::vector<std::optional<std::string>> TthPicConvert::PlanOutputs(const std::vector<std::string>& savePaths,
                                                                   IfNameTaken ifTaken) const
{
    std::set<std::string> claimed;
    std::vector<std::optional<std::string>> planned;
    for (const std::string& savePath : savePaths) {
        const StemAndExtension name = OutputNameFor(savePath);
        std::optional<std::string> path = name.path();
        if (ifTaken == IfNameTaken::Number)
            path = FirstFreeName(name, claimed);
        else if (claimed.contains(*path) || NameIsTaken(*path))
            path.reset();
        if (path)
            claimed.insert(*path);
        planned.push_back(std::move(path));
    }
    return planned;
}

std::string TthPicConvert::SaveAsJpeg(const std::string& savePath, const PictureRaster& picture)
{
    // Encoding comes first: a failed encoding creates neither folder nor file.
    return *WriteJpeg(savePath, ApplyJpegQuality(picture));
}

std::optional<std::string> TthPicConvert::WriteJpeg(const std::string& savePath, const std::vector<uint8_t>& datastream,
                                                    IfNameTaken ifTaken)
{
    if (datastream.empty())
        throw EngineError(std::string(Text(Message::EmptyPicture)));

    const StemAndExtension name = OutputNameFor(savePath);
    // The sub-folder is opened once without following a link at its name, and the file is
    // made in what was opened.
    std::optional<OpenedFolder> subFolder;
    if (!UseDecidesName)
        subFolder.emplace(std::string(FolderPart(savePath)) + DirName, name.path());
    const OpenedFolder* in = subFolder ? &*subFolder : nullptr;
    std::string written;
    if (ifTaken == IfNameTaken::Number)
        written = WriteUnderFreeName(name, datastream, in);
    else if (WriteNewFile(name.path(), datastream, in) == NewFileResult::Written)
        written = name.path();
    else
        return std::nullopt;
    OutputFolder = std::string(FolderPart(written));
    return written;
}

} // namespace gustara
