#pragma once

#include "UnitThPicConvert.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace gustara {

// What a front end shows of a batch. Every call comes on the thread that runs the batch, in
// the order of the sources, and is the same whatever the number of pictures in flight: for
// each picture up to where the batch ends, PictureStarted, then StepFinished for steps 1
// (loaded), 2 (fitted) and 3 (filtered) as far as they got, then PictureWritten or
// PictureFailed. An exception thrown by a call ends the batch and is passed on.
class BatchObserver {
public:
    // The batch now waits for picture `index`.
    virtual void PictureStarted(std::size_t index) = 0;
    virtual void StepFinished(std::size_t index, int step) = 0;
    // Encoded and written under outputPath; partMissing: its source was cut short, and the
    // part it lacks is filled in (PictureMetadata::partMissing).
    virtual void PictureWritten(std::size_t index, const std::string& outputPath, bool partMissing) = 0;
    // Not written; `reason` is the engine's message.
    virtual void PictureFailed(std::size_t index, const std::string& reason) = 0;
    // Encoded at `quality`; comes just before PictureWritten.
    virtual void PictureQuality(std::size_t /*index*/, int /*quality*/) {}
    // Not written because options.ifTaken is Skip and takenPath, its output name, is taken.
    virtual void PictureSkipped(std::size_t /*index*/, const std::string& /*takenPath*/) {}

protected:
    ~BatchObserver() = default;
};

struct BatchOptions {
    std::size_t jobs = 1;  // pictures loaded, fitted, filtered and encoded at the same time
    // Bytes the pictures in flight may take; the largest picture is always allowed alone.
    uint64_t memoryBudget = std::numeric_limits<uint64_t>::max();
    bool keepGoing = false;  // false: the first failed picture ends the batch
    // Set from any thread to end the batch: no picture starts or is written after it is seen.
    const std::atomic<bool>* stopRequested = nullptr;
    std::string outputFolder;  // where the outputs go; empty: beside each source
    // When not empty, one folder per source, in place of outputFolder: a folder tree's shape.
    std::vector<std::string> outputFolders;
    IfNameTaken ifTaken = IfNameTaken::Number;
};

struct BatchTally {
    std::size_t written = 0;
    std::size_t failed = 0;
    std::size_t skipped = 0;  // their output name was taken (IfNameTaken::Skip)
    bool stopped = false;  // ended by stopRequested before every picture had its turn
};

// Converts the sources, up to options.jobs at a time on threads of its own, and writes each
// one's JPEG through `engine` (its naming, output folder record and settings) on the calling
// thread in the order given, so names and numbers of taken names are those of one-at-a-time
// work. After a failed picture nothing later is written, even a picture that finished first,
// unless options.keepGoing. The engine's settings must not change during the call; the
// workers copy them. Holds each picture only while it is in flight; raster memory is
// kept for the next pictures until the call returns (PixelBufferReuse). Picture failures are
// reported, not thrown; throws what the observer throws, after every worker has stopped.
BatchTally ConvertInOrder(TthPicConvert& engine, const std::vector<std::string>& sources,
                          const BatchOptions& options, BatchObserver& observer);

// The bytes a picture is expected to take at most while in flight, from its header: its
// raster and as much again for the encoded datastream or fitted copy, with a progressive
// JPEG's coefficients, a decoder's own picture and a file read whole on top. The maximum for a header that cannot be read, so that such a
// picture runs alone. Never throws.
uint64_t EstimatedPeakBytes(const std::string& sourcePath);

} // namespace gustara
