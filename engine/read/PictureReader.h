#pragma once

// The front door of reading: the one place that turns a picture path into the reader of its
// format, for decoding, for the header probe and for the drop's checks. A new format is one
// new entry here.

#include "PictureRaster.h"
#include "read/JpegReader.h"
#include "read/PictureDimensions.h"
#include "read/PictureFormat.h"
#include "rules/Messages.h"

#include <optional>
#include <string>
#include <string_view>

namespace gustara {

// Chooses, from a picture's stored size and metadata, the scale M/8 (M in 1..8) to read it at.
using ScaleChoice = JpegScaleChoice;

// Decodes the picture at `path` with the reader its extension names into a new raster; an
// unsupported extension gives an empty raster without opening anything. `chooseScale`, when
// given, is called once with the stored size and metadata: a JPEG calls it after its header
// and is decoded at that scale (each side rounded up); the other formats have no reduced
// decode, call it after decoding and keep their full size. Owns the file and the decoder only
// during the call. Throws EngineError with the reader's reason when the file cannot be read
// or decoded, and whatever `chooseScale` throws.
PictureRaster ReadPicture(const std::string& path, const ScaleChoice& chooseScale = {});

// The size the header of the file at `path` gives, read by its extension without decoding, so
// that the batch knows how much memory the picture will take; the system is asked to read the
// rest of the file ahead, since the decoder comes next. Opens the file through OpenForReading,
// as every reader does, so a pipe or a device is never waited on, and owns it only during the
// call. Throws only bad_alloc: a file it cannot open, an unsupported extension or a header it
// does not understand gives nothing (the decoder then says what is wrong).
std::optional<PictureDimensions> ProbePicture(const std::string& path);

// The reason a dropped path (or a picture named on the command line) is refused, one of the
// Reason texts of rules/MessageList.h, or nothing when it is accepted. HEIC, HEIF, AVIF and WebP
// files are supported only when `more` is On. Only a GIF, HEIF or WebP file is looked into
// (whether it holds several frames); only a path with an unsupported extension is tested for
// being a folder. When such a file cannot be read and `cause` is given, it receives the
// reader's reason, for callers that show more than the drop's own text. Throws only bad_alloc.
std::optional<std::string_view> RejectionReason(const std::string& path, std::string* cause = nullptr,
                                                MoreFormats more = MoreFormats::Off);

} // namespace gustara
