// The strength preview of a 24-megapixel JPEG against decoding that JPEG at full size and
// against libjpeg's bare decode at the scale the preview uses: time, and the heap each takes
// beyond what was in use before it.

#include "BenchPicture.h"
#include "HeapPeak.h"
#include "preview/StrengthPreview.h"
#include "read/JpegReader.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace gustara::bench {
namespace {

// The bench JPEG as a file, written once; removed at exit.
const std::string& BenchJpegFile()
{
    struct File {
        std::string path = (std::filesystem::temp_directory_path() / "gustara-preview-bench.jpg").string();
        File()
        {
            const std::vector<uint8_t>& bytes = BenchJpeg();
            std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                        static_cast<std::streamsize>(bytes.size()));
        }
        ~File() { std::remove(path.c_str()); }
    };
    static const File file;
    return file.path;
}

// Reports the most heap the last iteration took, in MB and as a share of the full raster.
template <class Work>
void MeasureHeap(benchmark::State& state, Work&& work)
{
    const std::string& path = BenchJpegFile();
    std::size_t extra = 0;
    for (auto _ : state) {
        const std::size_t before = HeapInUse();
        ResetHeapPeak();
        benchmark::DoNotOptimize(work(path));
        extra = HeapPeak() - before;
    }
    const double raster = 3.0 * kPictureWidth * kPictureHeight;
    state.counters["heap_MB"] = static_cast<double>(extra) / 1e6;
    state.counters["heap_per_raster"] = static_cast<double>(extra) / raster;
}

void BM_ReadJpegFull24MP(benchmark::State& state)
{
    MeasureHeap(state, [](const std::string& path) { return ReadJpeg(path).width(); });
}
BENCHMARK(BM_ReadJpegFull24MP)->Unit(benchmark::kMillisecond)->UseRealTime();

// libjpeg's own floor for any preview: an eighth still entropy-decodes every coefficient.
void BM_ReadJpegEighth24MP(benchmark::State& state)
{
    MeasureHeap(state, [](const std::string& path) {
        return ReadJpeg(path, [](int32_t, int32_t, const PictureMetadata&) { return 1; }).width();
    });
}
BENCHMARK(BM_ReadJpegEighth24MP)->Unit(benchmark::kMillisecond)->UseRealTime();

// libjpeg alone at the scale the preview chooses for the cell: the same file through its stdio
// source, the same scale and DCT method, every row read into one row buffer, nothing else.
// libjpeg's default error handler ends the program on a fault; the file is the bench's own.
int32_t BareJpegDecode(const std::string& path, int eighths)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.scale_num = static_cast<unsigned int>(eighths);
    info.scale_denom = 8;
    info.dct_method = JDCT_FLOAT;
    jpeg_start_decompress(&info);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(info.output_components) * info.output_width);
    JSAMPROW rows[1] = {row.data()};
    while (info.output_scanline < info.output_height)
        jpeg_read_scanlines(&info, rows, 1);
    const auto width = static_cast<int32_t>(info.output_width);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return width;
}

// Arguments as for BM_StrengthPreview24MP below; reported beside it by preview-ratios.sh.
void BM_BareJpegDecodeForCell24MP(benchmark::State& state)
{
    const PictureSize cell{static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1))};
    const int eighths = CoveringScaleEighths(kPictureWidth, kPictureHeight, cell);
    MeasureHeap(state, [eighths](const std::string& path) { return BareJpegDecode(path, eighths); });
}

// Arguments: the cell's width and height. 400 x 400 is the command line's default; 240 x 340
// a cell of the window at its first size (one row of four); 470 x 960 and 950 x 440 the cells
// of a maximised window on a 1920 x 1080 screen, one row and two by two.
void BM_StrengthPreview24MP(benchmark::State& state)
{
    const PictureSize cell{static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1))};
    MeasureHeap(state, [cell](const std::string& path) {
        return MakeStrengthPreview(path, [cell](PictureSize) { return cell; }).pictures[3].width();
    });
}
void PreviewCells(benchmark::internal::Benchmark* benchmark)
{
    benchmark->Args({400, 400})->Args({240, 340})->Args({470, 960})->Args({950, 440});
    benchmark->Unit(benchmark::kMillisecond)->UseRealTime();
}
BENCHMARK(BM_StrengthPreview24MP)->Apply(PreviewCells);
BENCHMARK(BM_BareJpegDecodeForCell24MP)->Apply(PreviewCells);

} // namespace
} // namespace gustara::bench
