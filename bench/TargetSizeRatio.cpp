// The target-size search against one encode at quality 100, on the photographs named on the
// command line: for each, the time of the search at a target of 500 KB and of one encode at
// quality 100 (each the fastest of three runs), their ratio, and the file's size at every
// quality the search tries. The last line gives the ratio of the totals.

#include "UnitThPicConvert.h"
#include "read/PictureReader.h"
#include "write/JpegWriter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

constexpr int kRuns = 3;
constexpr int64_t kTargetKilobytes = 500;

// The fastest of kRuns runs of `encode`, in seconds.
template <class Encode>
double FastestSeconds(Encode encode)
{
    double fastest = 1e300;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        encode();
        fastest = std::min(fastest, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return fastest;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace gustara;
    TthPicConvert search;
    search.UseQuality = true;
    search.ByQuality = false;
    search.TargetFileSize = kTargetKilobytes;
    double searchTotal = 0;
    double singleTotal = 0;
    std::printf("photo\tsearch s\tq100 s\tratio\tbytes at q100 90 ... 0\n");
    for (int i = 1; i < argc; ++i) {
        const PictureRaster picture = ReadPicture(argv[i]);
        const double searchSeconds = FastestSeconds([&] { search.ApplyJpegQuality(picture); });
        const double singleSeconds = FastestSeconds([&] { EncodeJpeg(picture, 100, false); });
        searchTotal += searchSeconds;
        singleTotal += singleSeconds;
        std::string sizes;
        for (int quality = 100; quality >= 0; quality -= 10)
            sizes += std::to_string(EncodeJpeg(picture, quality, false).size()) + (quality > 0 ? " " : "");
        std::printf("%s\t%.3f\t%.3f\t%.2f\t%s\n", argv[i], searchSeconds, singleSeconds, searchSeconds / singleSeconds,
                    sizes.c_str());
    }
    std::printf("total\t%.3f\t%.3f\t%.2f\n", searchTotal, singleTotal, searchTotal / std::max(singleTotal, 1e-9));
    return 0;
}
