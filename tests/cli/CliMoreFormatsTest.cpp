#include "CliRunner.h"
#include "PhoneFixtures.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace gustara
