#include "batch/PictureBatch.h"

#include "batch/InOrderRunner.h"
#include "PixelBuffer.h"
#include "read/PictureReader.h"
#include "rules/Messages.h"
#include "rules/PathParts.h"
#include "write/OutputFile.h"

#include <exception>
#include <optional>
#include <utility>

namespace gustara {

namespace {

// A picture fitted smaller, to a raster this small (any box up to 1280), is left to the writing
// thread to encode, so that the worker goes on to the next picture meanwhile: with one picture
// at a time, the encoding of a fitted picture overlaps the loading of the next. Its memory may
// then be kept for reuse beside the next picture's, so a batch may peak by this much above
// its largest picture; pictures kept at their own size, whose rasters are not bounded by the
// box, are encoded by the worker.
constexpr std::size_t kEncodedByWriterBytes = std::size_t{5} << 20;

// A picture loaded, fitted, filtered and encoded, or left for the writing thread to encode,
// or why not.
struct EncodedPicture {
    std::vector<uint8_t> datastream;
    std::optional<std::string> failure;
    bool abandoned = false;  // a stop was seen before the picture was done
    bool partMissing = false;  // its source was cut short
    int quality = 0;  // the datastream's
    PictureRaster filtered;  // still to be encoded, unless empty
};

// What `work` throws, as the message a failed picture reports; nothing when it returns.
template <typename Work>
std::optional<std::string> FailureOf(Work&& work)
{
    try {
        work();
        return std::nullopt;
    } catch (const std::exception& failure) {
        return FailureReason(failure);
    } catch (...) {
        return std::string(Text(Message::UnknownFailure));
    }
}

class PictureJob {
public:
    PictureJob(TthPicConvert& engine, const std::vector<std::string>& sources, const BatchOptions& options,
               BatchObserver& observer)
        : engine_(engine), settings_(engine), sources_(sources), options_(options), observer_(observer)
    {
    }

    uint64_t Cost(std::size_t index) const { return EstimatedPeakBytes(sources_[index]); }

    // Works on its own copy of the settings, since ApplyFlavour records the contrast level in
    // the engine. A large raster is encoded here and released before the datastream is handed
    // on; the room the encoder reserved beyond the datastream was never touched, so it costs
    // address space only.
    EncodedPicture Produce(std::size_t index, StepReporter& steps) const
    {
        EncodedPicture result;
        result.abandoned = StopRequested();
        if (result.abandoned)
            return result;
        result.failure = FailureOf([&] {
            TthPicConvert engine = settings_;
            PictureRaster picture;
            engine.RefuseOversizedOutput(sources_[index]);
            engine.LoadPicture(sources_[index], picture);
            result.partMissing = picture.metadata().partMissing;
            steps.StepDone();
            const std::size_t loadedBytes = picture.byteCount();
            engine.FitPicSize(picture);
            const bool fittedSmaller = picture.byteCount() < loadedBytes;
            steps.StepDone();
            engine.ApplyFlavour(picture);
            steps.StepDone();
            result.abandoned = StopRequested();
            if (result.abandoned)
                return;
            if (fittedSmaller && picture.byteCount() <= kEncodedByWriterBytes)
                result.filtered = std::move(picture);
            else
                result.datastream = engine.ApplyJpegQuality(picture, &result.quality);
        });
        return result;
    }

    static uint64_t HeldBytes(const EncodedPicture& picture)
    {
        return picture.datastream.size() + picture.filtered.byteCount();
    }

    // Nothing more is shown once a stop is asked for: the batch ends at the next write.
    void StepShown(std::size_t index, int step)
    {
        if (StopRequested())
            return;
        if (step == 0)
            observer_.PictureStarted(index);
        else
            observer_.StepFinished(index, step);
    }

    bool Consume(std::size_t index, EncodedPicture& picture)
    {
        if (picture.abandoned || StopRequested()) {
            tally_.stopped = true;
            return false;
        }
        std::optional<std::string> failure = std::move(picture.failure);
        if (!failure && !picture.filtered.empty()) {
            failure = FailureOf([&] { picture.datastream = settings_.ApplyJpegQuality(picture.filtered, &picture.quality); });
            picture.filtered = PictureRaster();
            if (StopRequested()) {
                tally_.stopped = true;
                return false;
            }
        }
        std::optional<std::string> written;
        const std::string savePath = SavePathFor(
            sources_[index], options_.outputFolders.empty() ? options_.outputFolder : options_.outputFolders[index]);
        if (!failure)
            failure = FailureOf([&] { written = engine_.WriteJpeg(savePath, picture.datastream, options_.ifTaken); });
        if (failure) {
            ++tally_.failed;
            observer_.PictureFailed(index, *failure);
            return options_.keepGoing;
        }
        if (!written) {
            ++tally_.skipped;
            observer_.PictureSkipped(index, engine_.OutputNameFor(savePath).path());
            return true;
        }
        // A time that cannot be copied leaves the picture written all the same.
        if (settings_.KeepDate)
            (void)CopyModificationTime(sources_[index], *written);
        ++tally_.written;
        observer_.PictureQuality(index, picture.quality);
        observer_.PictureWritten(index, *written, picture.partMissing);
        return true;
    }

    const BatchTally& Tally() const { return tally_; }

private:
    bool StopRequested() const
    {
        return options_.stopRequested != nullptr && options_.stopRequested->load(std::memory_order_relaxed);
    }

    TthPicConvert& engine_;
    const TthPicConvert settings_;  // the workers copy from this snapshot, never from engine_
    const std::vector<std::string>& sources_;
    const BatchOptions& options_;
    BatchObserver& observer_;
    BatchTally tally_;
};

} // namespace

BatchTally ConvertInOrder(TthPicConvert& engine, const std::vector<std::string>& sources,
                          const BatchOptions& options, BatchObserver& observer)
{
    PictureJob job(engine, sources, options, observer);
    InOrderLimits limits;
    limits.width = options.jobs;
    // Pictures that finish while an earlier, larger one is still in work hold only their
    // datastream, so a free worker goes on with later ones.
    limits.lookahead = 2 * options.jobs;
    limits.memoryBudget = options.memoryBudget;
    // A picture takes the raster memory of one before it instead of having fresh pages mapped
    // and zeroed; what is kept counts against the same budget.
    const PixelBufferReuse reuse(options.memoryBudget);
    RunInOrder<EncodedPicture>(sources.size(), limits, job);
    return job.Tally();
}

uint64_t EstimatedPeakBytes(const std::string& sourcePath)
{
    const auto dimensions = ProbePicture(sourcePath);
    constexpr int64_t kMost = PictureRaster::kMaxPixels;  // the decoder refuses more at once
    if (!dimensions || dimensions->width > kMost || dimensions->height > kMost
        || dimensions->width * dimensions->height > kMost)
        return std::numeric_limits<uint64_t>::max();
    const auto pixels = static_cast<uint64_t>(dimensions->width) * static_cast<uint64_t>(dimensions->height);
    return pixels * 3 * (dimensions->progressiveJpeg ? 3 : 2) + pixels * dimensions->decoderBytesPerPixel
        + dimensions->heldFileBytes;
}

} // namespace gustara
