#include "CliRunner.h"
#include "PhoneFixtures.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace gustara {
namespace {

// A HEIC or WebP photo converted with --more-formats equals the PNG of the library's own
// decoder converted: from the decoded pixels on, every format takes the same road. Without
// the option the picture is refused, and the refusal closes with where to turn it on.
TEST(CliMoreFormats, convertsAsTheLibrariesDecodersPngWouldBe)
{
    const struct {
        test::MadeFile made;
        const char* decode;  // the photo, then the PNG it writes
        const char* output;
    } kCases[] = {
        {{"photo.heic", test::Source::Rgb, "heif-enc -q 70 %s -o %s"}, "heif-convert --quiet", " "},
        {{"photo.webp", test::Source::Rgba, "cwebp -q 70 %s -o %s"}, "dwebp -quiet", " -o "},
    };
    for (const auto& photo : kCases) {
        SCOPED_TRACE(photo.made.name);
        test::TempDir dir;
        ASSERT_FALSE(test::Make(dir, photo.made).empty());
        ASSERT_EQ(test::RunCommand(std::string(photo.decode) + " " + test::ShellQuote(dir.file(photo.made.name)) + photo.output
                                   + test::ShellQuote(dir.file("decoded.png")) + " >/dev/null"), 0);

        const test::CliResult refused = test::RunCli(dir.path(), photo.made.name);
        EXPECT_EQ(refused.status, 2);
        EXPECT_TRUE(refused.err.ends_with("\n\n(HEIC・AVIF・WebP は --more-formats を付けると読み込めます)\n")) << refused.err;

        ASSERT_EQ(test::RunCli(dir.path(), "--more-formats --size=40x40 " + std::string(photo.made.name)).status, 0);
        ASSERT_EQ(test::RunCli(dir.path(), "--size=40x40 decoded.png").status, 0);
        EXPECT_EQ(test::ReadFileBytes(dir.file("s-photo.jpg")), test::ReadFileBytes(dir.file("s-decoded.jpg")));
    }
}

} // namespace
} // namespace gustara
