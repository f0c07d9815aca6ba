#include "batch/PictureBatch.h"

#include "batch/InOrderRunner.h"
#include "PixelBuffer.h"
#include "read/PictureReader.h"
#include "rules/Messages.h"
#include "rules/PathParts.h"

#include <optional>
#include <utility>

namespace gustara {

namespace {

// A picture loaded, fitted, filtered and encoded, or why not.
struct EncodedPicture {
    std::vector<uint8_t> datastream;
    std::optional<std::string> failure;
    bool abandoned = false;  // a stop was seen before the picture was done
    bool partMissing = false;  // its source was cut short
};

class PictureJob {
public:
    PictureJob(TthPicConvert& engine, const std::vector<std::string>& sources, const BatchOptions& options,
               BatchObserver& observer)
        : engine_(engine), settings_(engine), sources_(sources), options_(options), observer_(observer)
    {
    }

    uint64_t Cost(std::size_t index) const { return EstimatedPeakBytes(sources_[index]); }

    // Works on its own copy of the settings, since ApplyFlavour records the contrast level in
    // the engine. The raster is released before the datastream is handed on.
    EncodedPicture Produce(std::size_t index, StepReporter& steps) const
    {
        if (StopRequested())
            return {{}, std::nullopt, true};
        try {
            std::vector<uint8_t> datastream;
            bool partMissing = false;
            {
                TthPicConvert engine = settings_;
                PictureRaster picture;
                engine.RefuseOversizedOutput(sources_[index]);
                engine.LoadPicture(sources_[index], picture);
                partMissing = picture.metadata().partMissing;
                steps.StepDone();
                engine.FitPicSize(picture);
                steps.StepDone();
                engine.ApplyFlavour(picture);
                steps.StepDone();
                if (StopRequested())
                    return {{}, std::nullopt, true};
                datastream = engine.ApplyJpegQuality(picture);
            }
            // The room the writer reserved beyond the datastream was never touched, so it costs
            // address space only; copying the bytes into a fitted buffer would add a second copy
            // while the raster's block is kept for the next picture.
            return {std::move(datastream), std::nullopt, false, partMissing};
        } catch (const std::exception& failure) {
            return {{}, failure.what()};
        } catch (...) {
            return {{}, std::string(Text(Message::UnknownFailure))};
        }
    }

    static uint64_t HeldBytes(const EncodedPicture& picture) { return picture.datastream.size(); }

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
        std::optional<std::string> written;
        const std::string savePath = SavePathFor(sources_[index], options_.outputFolder);
        if (!failure) {
            try {
                written = engine_.WriteJpeg(savePath, picture.datastream, options_.ifTaken);
            } catch (const std::exception& writeFailure) {
                failure = writeFailure.what();
            }
        }
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
        ++tally_.written;
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
    return pixels * 3 * (dimensions->progressiveJpeg ? 3 : 2) + pixels * dimensions->decoderBytesPerPixel;
}

} // namespace gustara
