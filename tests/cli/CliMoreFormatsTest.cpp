#include "CliRunner.h"
#include "PhoneFixtures.h"

#include <gtest/gtest.h>
#include <libheif/heif.h>

#include <algorithm>
#include <utility>

namespace gustara {
namespace {

// With --more-formats a HEIC or WebP photo converts to what the PNG of the library's own
// decoder converts to: from the pixels on, every format takes one road. Without it the photo
// is refused, and the refusal closes with the option to use.
TEST(CliMoreFormats, convertsAsTheLibrariesDecodedPngDoes)
{
    for (const auto& [name, encoder] : {std::pair{"photo.heic", "heif-enc -q 70"}, {"photo.webp", "cwebp -q 70"}}) {
        SCOPED_TRACE(name);
        test::TempDir dir;
        test::DecodedByTheLibrary(dir, test::MakePhoto(dir, name, encoder, name[6] == 'w'));
        const test::CliResult refused = test::RunCli(dir.path(), name);
        EXPECT_EQ(refused.status, 2);
        EXPECT_TRUE(refused.err.ends_with("\n\n(HEIC・AVIF・WebP は --more-formats を付けると読み込めます)\n")) << refused.err;
        ASSERT_EQ(test::RunCli(dir.path(), "--more-formats --size=40x40 " + std::string(name)).status, 0);
        ASSERT_EQ(test::RunCli(dir.path(), "--size=40x40 decoded.png").status, 0);
        EXPECT_EQ(test::ReadFileBytes(dir.file("s-photo.jpg")), test::ReadFileBytes(dir.file("s-decoded.jpg")));
    }
}

// An AV1 stream with an OBU of a reserved type still converts, and no decoder prints on the
// terminal by itself.
TEST(CliMoreFormats, decodersPrintNothingOfTheirOwn)
{
    test::TempDir dir;
    std::vector<uint8_t> avif = test::ReadFileBytes(test::MakePhoto(dir, "photo.avif", "heif-enc -A"));
    avif[std::search(avif.begin(), avif.end(), "mdat", "mdat" + 4) - avif.begin() + 4] = 9 << 3 | 2;  // type 9, sized
    test::WriteFileBytes(dir.file("odd.avif"), avif);
    const test::CliResult result = test::RunCli(dir.path(), "--more-formats odd.avif");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
}

// libheif tells a canvas it cannot allocate as a tile of the wrong depth: it is out of memory.
TEST(CliMoreFormats, aCanvasBeyondTheMemoryLimitIsOutOfMemory)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer's shadow memory does not fit under an address-space limit";
#endif
    if (heif_get_version_number() >= 0x01110000)
        GTEST_SKIP() << "libheif 1.17 and later check each tile's size before they make the canvas";
    test::TempDir dir;
    const auto heic = test::ReadFileBytes(test::MakePhoto(dir, "photo.heic", "heif-enc"));
    test::WriteFileBytes(dir.file("big.heic"), test::HeifGrid(heic, 2, 2, 20000, 20000, 20000, 20000));
    const test::CliResult result = test::RunCli(dir.path(), "--more-formats big.heic", "ulimit -v 400000;");
    EXPECT_EQ(result.err, "[big.heic]の処理に失敗しました: メモリが足りません\n");
}

} // namespace
} // namespace gustara
