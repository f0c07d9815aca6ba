#pragma once

#include "write/JpegWriter.h"
#include "PictureRaster.h"
#include "rules/PathParts.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gustara {

// What a write does when the output name is taken: take the next numbered name, as always,
// or write nothing (the command line's --if-exists=skip). Nothing is ever replaced.
enum class IfNameTaken { Number, Skip };

// Whether the quality settings search for a file below the target size instead of encoding at
// one quality: the settings are in use (useQuality) and not by level (byQuality). The window,
// the engine and the written-size report all ask here.
constexpr bool IsTargetSizeMode(bool useQuality, bool byQuality)
{
    return useQuality && !byQuality;
}

// The conversion engine: the settings of one batch and the four steps that turn one source
// picture into one JPEG file. A new engine holds false, zero and empty values. All settings
// are written before the first picture and only read afterwards.
class TthPicConvert {
public:
    bool UseDecidesName = false;   // true: source name plus FileNameAffix; false: sub-folder DirName
    std::string DirName;
    // The hidden effect group: copied in with the other settings, read by no step; ContrastLevel
    // is overwritten by ApplyFlavour, whose filter depends on FlavourLevel alone.
    bool UseFilter = false;
    bool UseContrast = false;
    bool UseVivid = false;
    bool UseBrightness = false;
    bool UseMonochrome = false;
    int32_t ContrastLevel = 0;     // overwritten by ApplyFlavour with 10 x FlavourLevel
    bool BrightnessDown = false;
    bool UsePicSize = false;
    int32_t PicWidth = 0;
    int32_t PicHeight = 0;
    bool UseProgressive = false;
    bool UseQuality = false;       // false: fixed quality 80
    bool ByQuality = false;        // true: QualityValue; false: search for TargetFileSize
    int32_t QualityValue = 0;      // 0..100
    int64_t TargetFileSize = 0;    // in units of 1024 bytes
    bool NameBefore = false;       // the affix goes before the name (true) or after it
    std::string FileNameAffix;
    int32_t FlavourLevel = 0;      // 1..3
    // The source's capture date goes into the output's EXIF, and its modification time onto the
    // output; off, outputs carry neither.
    bool KeepDate = false;

    // Replaces `picture` with the source decoded through ReadPicture, the reader chosen by the
    // extension alone; any other extension leaves the picture empty without failing. The
    // capture date stays in its metadata only with KeepDate. Throws
    // EngineError when the file cannot be read or decoded; `picture` is then unchanged.
    void LoadPicture(const std::string& sourcePath, PictureRaster& picture);
    // Throws EngineError, before anything is decoded, when the header of the file at
    // sourcePath already shows that the picture, fitted as FitPicSize fits it, has a side
    // longer than a JPEG file can hold. Passes a header it cannot read: the encoder refuses
    // such a picture later. Owns the file only during the call.
    void RefuseOversizedOutput(const std::string& sourcePath) const;
    // Shrinks the picture into the box PicWidth x PicHeight when UsePicSize is on and it is
    // larger; a picture whose orientation turns it a quarter fits the box as it is seen, so
    // it is stored in the box PicHeight x PicWidth. Its metadata goes with it. Throws
    // EngineError for a box with a zero side; the picture is then unchanged.
    void FitPicSize(PictureRaster& picture);
    // The flavour filter at FlavourLevel, in place. Never fails.
    void ApplyFlavour(PictureRaster& picture);
    // Encodes the picture and writes it under the output name derived from savePath (the
    // source path with ".jpg" as its extension), never replacing an existing file; then
    // records the file's folder. Returns the path written. Throws EngineError when nothing
    // could be written; no file is left behind then.
    std::string SaveAsJpeg(const std::string& savePath, const PictureRaster& picture);
    // Writes an encoded datastream under the output name derived from savePath as SaveAsJpeg
    // does, never replacing an existing file; then records the file's folder. Returns the path
    // written. Throws EngineError for an empty datastream or when nothing could be written; no
    // file is left behind then.
    // With IfNameTaken::Skip nothing is written when the output name is taken, and nullopt
    // comes back.
    std::optional<std::string> WriteJpeg(const std::string& savePath, const std::vector<uint8_t>& datastream,
                                         IfNameTaken ifTaken = IfNameTaken::Number);
    // IsTargetSizeMode of UseQuality and ByQuality.
    bool IsTargetSizeMode() const { return gustara::IsTargetSizeMode(UseQuality, ByQuality); }
    // The folder, with its trailing "/", of the last file written; empty before the first.
    std::string GetOutputFolder() const { return OutputFolder; }

    // The output file name in affix mode, without its extension, for the name `stem` of the
    // save path without its extension: FileNameAffix before or after it.
    std::string MakeDecidesName(std::string_view stem) const;
    // Where the picture of `savePath` goes: in its folder under the affixed name, or in the
    // sub-folder DirName under its own name; the extension stays savePath's (".jpg").
    StemAndExtension OutputNameFor(const std::string& savePath) const;
    // Encodes the picture with the quality settings; the target-size search encodes at
    // quality 100, 90, ..., 0 until a datastream is below TargetFileSize x 1024 bytes. The
    // quality the datastream was encoded at goes to *qualityChosen when it is given.
    std::vector<uint8_t> ApplyJpegQuality(const PictureRaster& picture, int* qualityChosen = nullptr) const;
    // True when `fileName` (a name without folder) looks like an output of these settings in
    // affix mode: ".jpg" after a stem made by MakeDecidesName, numbered or not. Never true in
    // sub-folder mode, where the outputs are known by their folder DirName instead.
    bool IsOwnOutputName(std::string_view fileName) const;
    // The paths the outputs of `savePaths` would be written under, in order, as WriteJpeg would
    // name them now: a taken name (an entry other than a folder, or an earlier one of the
    // list) is numbered, or with IfNameTaken::Skip gives nullopt. Looks at the disk, writes
    // nothing, creates no folder. Throws only bad_alloc.
    std::vector<std::optional<std::string>> PlanOutputs(const std::vector<std::string>& savePaths,
                                                        IfNameTaken ifTaken) const;
    // True when the target-size search is in use and a file of `writtenBytes` bytes is not
    // below the target: the search ended at its last quality without getting below it.
    bool StaysAboveTargetSize(uint64_t writtenBytes) const;

private:
    // TargetFileSize x 1024, saturated at the ends of the 64-bit range.
    int64_t TargetBytes() const;

    std::string OutputFolder;
};

} // namespace gustara
