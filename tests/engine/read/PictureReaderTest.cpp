#include "read/PictureReader.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace gustara {
namespace {

TEST(RejectionReason, ClassifiesByExtensionAndFolder)
{
    test::TempDir dir;
    std::filesystem::create_directory(dir.path() / "album");
    std::filesystem::create_directory(dir.path() / "folder.jpg");
    test::WriteFileBytes(dir.file("notes.txt"), {'x'});
    test::WriteFileBytes(dir.file("fake.gif"), {'h', 'e', 'l', 'l', 'o'});

    EXPECT_EQ(RejectionReason(dir.file("album")), Text(Message::ReasonFolder));
    EXPECT_EQ(RejectionReason(dir.file("notes.txt")), Text(Message::ReasonFormat));
    EXPECT_EQ(RejectionReason(dir.file("missing.tif")), Text(Message::ReasonFormat));
    EXPECT_EQ(RejectionReason(dir.file("photo.jpe")), Text(Message::ReasonFormat));
    EXPECT_EQ(RejectionReason(dir.file("fake.gif")), Text(Message::ReasonGifReadError));
    // Only the extension is looked at for everything but GIF: these fail later, in the batch.
    EXPECT_EQ(RejectionReason(dir.file("folder.jpg")), std::nullopt);
    EXPECT_EQ(RejectionReason(dir.file("missing.PNG")), std::nullopt);
}

} // namespace
} // namespace gustara
