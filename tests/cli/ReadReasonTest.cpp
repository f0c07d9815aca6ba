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
#include <functional>
#include <iostream>

namespace gustara {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> SmallJpeg()
{
    return EncodeJpeg(test::MakeTestPicture(16, 16), 90, false);
}

std::vector<uint8_t> SmallPng()
{
    return test::EncodePngRows({16, 16}, std::vector<png_byte>(16 * 16 * 3, 0x80), [](png_structp, png_infop) {});
}

// A 1 x 1 bitmap of 24 bits per pixel: its headers and one padded row.
std::vector<uint8_t> SmallBmp()
{
    test::BmpFile file;
    file.pixels = {0, 0, 255, 0};
    return file.bytes();
}

struct ReasonCase {
    std::string name;  // the picture given to gustara-cli
    std::function<void(const test::TempDir&, const std::string& path)> make;
    std::string reason;
    bool unprivileged = false;  // read by a user without root's rights
};

void Store(const std::string& path, const std::vector<uint8_t>& bytes)
{
    test::WriteFileBytes(path, bytes);
}

TEST(ReadReasonTest, EachUnreadablePictureNamesItsCause)
{
    const auto prefix = test::UnprivilegedPrefix();
    const ReasonCase cases[] = {
        {"x.jpg", [](auto&, const std::string& path) { fs::create_directory(path); }, "ファイルではなくフォルダです"},
        {"missing.jpg", [](auto&, const std::string&) {}, "ファイルが見つかりません"},
        {"locked.jpg",
         [](auto&, const std::string& path) {
             Store(path, SmallJpeg());
             fs::permissions(path, fs::perms::none);
         },
         "ファイルを読む権限がありません", true},
        {"png.jpg", [](auto&, const std::string& path) { Store(path, SmallPng()); },
         "中身がJPEG形式ではありません。拡張子を確かめてください"},
        // SOI and the 18-byte JFIF marker end at 20; the quantisation table follows.
        {"cut.jpg", [](auto&, const std::string& path) { Store(path, test::Cut(SmallJpeg(), 40)); },
         "ファイルが途中で切れています"},
        // IEND takes the last 12 bytes: 20 from the end lies in the picture data.
        {"cut.png", [](auto&, const std::string& path) { Store(path, test::Cut(SmallPng(), SmallPng().size() - 20)); },
         "ファイルが途中で切れています"},
        {"cut.bmp", [](auto&, const std::string& path) { Store(path, test::Cut(SmallBmp(), SmallBmp().size() - 2)); },
         "ファイルが途中で切れています"},
        // The image's data and the trailer take the last 7 bytes.
        {"cut.gif", [](auto&, const std::string& path) { Store(path, test::Cut(test::TinyGif(1, 1, 1, 1), 31)); },
         "ファイルが途中で切れています"},
    };
    for (const ReasonCase& c : cases) {
        if (c.unprivileged && !prefix) {
            std::cout << "skipped " << c.name << ": running as root and setpriv cannot run gustara-cli as another user\n";
            continue;
        }
        test::TempDir dir;
        fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec
                                        | fs::perms::others_read | fs::perms::others_exec);
        c.make(dir, dir.file(c.name));
        const test::CliResult result = test::RunCli(dir.path(), c.name, c.unprivileged ? *prefix : "");
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
