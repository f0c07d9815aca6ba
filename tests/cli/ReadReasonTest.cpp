// Why a picture cannot be read, as the command line tells it: one reason per cause, in
// Japanese, from real files read by the real libraries.

#include "BmpFixtures.h"
#include "CliRunner.h"
#include "GifFixtures.h"
#include "PngFixtures.h"
#include "TestFiles.h"
#include "write/JpegWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <sys/stat.h>

namespace gustara {
namespace {

namespace fs = std::filesystem;

enum class Source { Bytes, Folder, Missing, Unreadable, Pipe };

TEST(ReadReasonTest, EachUnreadablePictureNamesItsCause)
{
    const auto jpeg = EncodeJpeg(test::MakeTestPicture(16, 16), 90, false);
    const auto png = test::EncodePngRows({16, 16}, std::vector<png_byte>(16 * 16 * 3, 0x80), [](auto, auto) {});
    const auto bmp = test::BmpFile{.pixels = {0, 0, 255, 0}}.bytes();
    const std::string cut = "ファイルが途中で切れています";
    const std::string damaged = "ファイルが壊れています: ";
    // The IHDR chunk's CRC, after the signature and the chunk's 21 bytes before it.
    auto badCrcPng = png;
    badCrcPng[29] ^= 0xFF;
    // A marker code that no JPEG file holds, right after SOI.
    auto badMarkerJpeg = jpeg;
    badMarkerJpeg.insert(badMarkerJpeg.begin() + 2, {0xFF, 0x97, 0, 2});
    // The image's LZW code size, after the screen, the colour table and the image descriptor.
    auto wideCodeGif = test::TinyGif(1, 1, 1, 1);
    wideCodeGif[29] = 11;
    const struct {
        std::string name;  // the picture given to gustara-cli
        Source source;
        std::vector<uint8_t> bytes;
        std::string reason;
    } cases[] = {
        {"x.jpg", Source::Folder, {}, "ファイルではなくフォルダです"},
        {"missing.jpg", Source::Missing, {}, "ファイルが見つかりません"},
        {"pipe.jpg", Source::Pipe, {}, "通常のファイルではありません"},  // no writer: never waited for
        {"locked.jpg", Source::Unreadable, jpeg, "ファイルを読む権限がありません"},
        {"png.jpg", Source::Bytes, png, "中身がJPEG形式ではありません。拡張子を確かめてください"},
        // SOI and the 18-byte JFIF marker end at 20; the quantisation table follows.
        {"cut.jpg", Source::Bytes, test::Cut(jpeg, 40), cut},
        // IEND takes the last 12 bytes: 20 from the end lies in the picture data.
        {"cut.png", Source::Bytes, test::Cut(png, png.size() - 20), cut},
        {"cut.bmp", Source::Bytes, test::Cut(bmp, bmp.size() - 2), cut},
        // The image's data and the trailer take the last 7 bytes.
        {"cut.gif", Source::Bytes, test::Cut(test::TinyGif(1, 1, 1, 1), 31), cut},
        // A cause the reader finds itself follows in Japanese; libpng's own words never do.
        {"crc.png", Source::Bytes, badCrcPng, "ファイルが壊れています"},  // never libpng's words
        {"marker.jpg", Source::Bytes, badMarkerJpeg, damaged + "Unsupported marker type 0x97"},
        {"code.gif", Source::Bytes, wideCodeGif, damaged + "LZW の符号長が 8 ビットを超えています"},
        {"table.bmp", Source::Bytes, test::BmpFile{.bitCount = 8, .pixels = {0, 0, 0, 0}}.bytes(),
         damaged + "画素データがカラーテーブルの位置から始まっています"},
    };
    const auto prefix = test::UnprivilegedPrefix();
    for (const auto& c : cases) {
        const bool unprivileged = c.source == Source::Unreadable;
        if (unprivileged && !prefix) {
            std::cout << "skipped " << c.name << ": running as root and setpriv cannot run gustara-cli as another user\n";
            continue;
        }
        test::TempDir dir;
        fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec
                                        | fs::perms::others_read | fs::perms::others_exec);
        if (c.source == Source::Folder)
            fs::create_directory(dir.file(c.name));
        if (c.source == Source::Pipe) {
            ASSERT_EQ(::mkfifo(dir.file(c.name).c_str(), 0600), 0);
        }
        if (c.source == Source::Bytes || unprivileged)
            test::WriteFileBytes(dir.file(c.name), c.bytes);
        if (unprivileged)
            fs::permissions(dir.file(c.name), fs::perms::none);
        const test::CliResult result = test::RunCli(dir.path(), c.name, unprivileged ? *prefix : "");
        // A GIF file is loaded before the batch, as the window does on a drop, and refused with
        // the drop's reason followed by the cause.
        const bool gif = c.name.ends_with(".gif");
        EXPECT_EQ(result.status, gif ? 2 : 1) << c.name;
        EXPECT_EQ(result.err, gif ? "■読込みエラー: " + c.reason + "\n　　" + c.name + "\n"
                                  : "[" + c.name + "]の処理に失敗しました: " + c.reason + "\n")
            << c.name;
        EXPECT_EQ(result.out, "") << c.name;
    }
}

} // namespace
} // namespace gustara
