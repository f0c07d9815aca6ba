#include "read/PictureReader.h"
#include "EngineError.h"
#include "preview/StrengthPreview.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sys/stat.h>

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

// A named pipe with a picture's name has no writer: every entry point opens it without waiting
// and says it is no regular file (the probe says nothing and leaves that to the decoder).
TEST(OpenForReading, EveryEntryPointRefusesANamedPipeAtOnce)
{
    test::TempDir dir;
    const auto reasonOf = [](const std::function<void()>& read) -> std::string {
        try {
            read();
        } catch (const EngineError& error) {
            return error.what();
        }
        return "(read)";
    };
    const std::string notAFile(Text(Message::ReadNotAFile));
    for (const std::string name : {"x.jpg", "x.png", "x.bmp", "x.gif"}) {
        const std::string pipe = dir.file(name);
        ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
        std::string cause;
        const struct {
            const char* entry;
            std::function<std::string()> reason;
        } entries[] = {
            {"ReadPicture", [&] { return reasonOf([&] { ReadPicture(pipe); }); }},
            {"MakeStrengthPreview", [&] { return reasonOf([&] { MakeStrengthPreview(pipe, [](PictureSize s) { return s; }); }); }},
            {"ProbePicture", [&] { return ProbePicture(pipe) ? std::string("(size)") : notAFile; }},
            // Only a GIF is looked into before the batch; the others are accepted and refused by the read.
            {"RejectionReason", [&] { return RejectionReason(pipe, &cause) ? cause : name != "x.gif" ? notAFile : ""; }},
        };
        for (const auto& entry : entries)
            EXPECT_EQ(entry.reason(), notAFile) << entry.entry << " " << name;
    }
}

} // namespace
} // namespace gustara
