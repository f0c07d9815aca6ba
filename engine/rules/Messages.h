#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace gustara {

// Every text that tells a user why something failed or what is going on: the engine, the
// window, the batch worker and the command line all take their texts from here, so each
// text lives once and in the interface's language. Texts given with %s or %d are filled in
// by the functions below; %1 is filled in by Qt.

// Why a dropped path (or a picture named on the command line) is refused.
inline constexpr std::string_view kReasonAnimatedGif = "アニメーションGIFには対応していません";
inline constexpr std::string_view kReasonGifReadError = "読込みエラー";
inline constexpr std::string_view kReasonFolder = "フォルダのドロップには対応していません";
inline constexpr std::string_view kReasonFormat =
    "「JPEG形式、GIF形式、PNG形式、BMP形式」以外の形式には対応していません";

// The check of the settings before a batch, in the window's order.
inline constexpr std::string_view kMessageWidth = "幅は10以上の整数で入力してください";
inline constexpr std::string_view kMessageHeight = "高さは10以上の整数で入力してください";
inline constexpr std::string_view kMessageFileSize = "ファイルサイズは10以上の整数で入力してください";
inline constexpr std::string_view kMessageAffixEmpty = "ファイル名の前後に付ける文字を入力してください";
inline constexpr std::string_view kMessageAffixInvalid = "ファイル名に「\\/:*?\"<>|」は使えません";
inline constexpr std::string_view kMessageDirEmpty = "フォルダ名を入力してください";
inline constexpr std::string_view kMessageDirInvalid = "フォルダ名に「\\/:*?\"<>|」は使えません";

// The settings file cannot be written; %1 is its full path.
inline constexpr char kMessageCannotWriteSettings[] = "%1 に書き込めません.";

// Why a picture cannot be read, one cause each, as far as the reader can tell it.
enum class ReadFailure {
    Folder,         // the path names a folder
    Missing,        // nothing at the path (or a part of it is not a folder)
    NoPermission,   // the file exists but may not be read
    NotAFile,       // a device, a pipe or a socket
    CannotRead,     // the system failed to read it (the system's words follow)
    Empty,          // a file of 0 bytes
    NotThisFormat,  // its contents are not the format its extension promises
    EndsEarly,      // cut short: a copy or download that did not finish
    Damaged,        // the data breaks the format's rules (the library's words may follow)
    Unsupported,    // a valid variant of the format that is not read here
    TooLarge,       // more pixels than a picture may have here
    OutOfMemory,
};

// The reason for `cause`, in Japanese. `format` ("JPEG", "PNG", "GIF", "BMP") is named by
// NotThisFormat and Unsupported; a non-empty `detail` (the library's or the system's own
// words, which say more to a log than to a user) follows after ": ". Throws only bad_alloc.
std::string ReadFailureText(ReadFailure cause, std::string_view format, std::string_view detail = {});

// `text` followed by ": " and `detail`, or `text` alone when `detail` is empty.
std::string WithDetail(std::string_view text, std::string_view detail);

// Limits that keep a hostile picture from taking all memory or time.
inline constexpr std::string_view kReasonTooManyScans = "JPEG ファイルのスキャンが多すぎます";
// "画像が大きすぎます: <width> x <height>", the TooLarge reason for a picture over the pixel cap.
std::string PictureTooLargeText(int64_t width, int64_t height);
// "画像の大きさが不正です: <width> x <height>" for a side below 0 or beyond 32 bits.
std::string BadPictureSizeText(int64_t width, int64_t height);
// "縮小する大きさが不正です: <width> x <height>" for a box side below 1.
std::string BadBoxSizeText(int64_t width, int64_t height);
// "縮小後の大きさが不正です: <width> x <height>" for a resize target side below 1.
std::string BadTargetSizeText(int64_t width, int64_t height);
// "JPEG の縮小率が不正です: <eighths>/8" for a decoding scale outside 1/8 to 8/8.
std::string BadJpegScaleText(int eighths);
// The resampler's assertion on a source with a side of 0 or less, in the platform's format.
inline constexpr std::string_view kMessageResizeAssertion = "Assertion failure (BitmapUtils, 942 行)";

// Writing the output.
// "JPEG エラー #<code>" for a fatal libjpeg error while encoding.
std::string JpegErrorText(int messageCode);
// "ファイル <path> を作成できません".
std::string CannotCreateFileText(std::string_view path);
inline constexpr std::string_view kMessageEmptyPicture = "空の画像は保存できません";

// "'<text>' は整数ではありません" for a typed side that is not a whole number.
std::string NotWholeNumberText(std::string_view text);

// Requests the command line refuses before any picture is touched.
inline constexpr std::string_view kUsageSize =
    "--size: 1280 1024 800 640 400 320 160 のいずれか、または 幅x高さ を指定してください";
inline constexpr std::string_view kUsageLevel = "--level: 1, 2, 3 のいずれかを指定してください";
inline constexpr std::string_view kUsageQuality = "--quality: 0 から 100 の整数を指定してください";
inline constexpr std::string_view kUsageJobs = "--jobs: 1 以上の整数を指定してください";
inline constexpr std::string_view kUsageMemory = "--memory: 1 以上の整数を指定してください";
inline constexpr std::string_view kUsageUnknownOption = "不明なオプションか値のないオプションです";  // then ": <option>"
inline constexpr std::string_view kUsageOneNaming = "--prefix, --suffix, --dir はどれか一つだけ指定してください";
inline constexpr std::string_view kUsageOneQuality = "--quality と --target-size はどちらか一つだけ指定してください";
inline constexpr std::string_view kUsageNoPicture = "画像を指定してください";
inline constexpr std::string_view kUsageCompareOutput = "--compare: 書き出すファイルの名前を指定してください";
inline constexpr std::string_view kUsageCompareOnePicture = "--compare には画像を一つだけ指定してください";
// The line that follows every refused request.
inline constexpr std::string_view kUsageHelpHint = "(gustara-cli --help で使い方を表示します)";

// Progress of a batch. The status line before the first picture is named:
inline constexpr std::string_view kStatusStarting = "初期化中････";
// "<count>枚の画像処理が完了しました" once every picture is written.
std::string BatchDoneText(std::size_t count);
// The status line when the desktop cannot open the output folder (no file manager or xdg-open).
inline constexpr char kMessageCannotOpenSaveDir[] = "保存先のフォルダを開けませんでした";
// The end of a batch that stopped or went on past failures: %1 pictures in the batch, %2 saved,
// %3 failed.
inline constexpr char kStoppedStatus[] = "中止しました（%1枚中%2枚を保存）";
inline constexpr char kStoppedWithFailuresStatus[] = "中止しました（%1枚中%2枚を保存、%3枚は失敗）";
inline constexpr char kKeptGoingStatus[] = "%1枚中%2枚を保存しました（%3枚は失敗）";
// The reason of a failure that carries no text of its own.
inline constexpr char kUnknownFailureReason[] = "原因不明のエラーです";
// Naming the picture by its file name:
// "[<name>]を処理しています".
std::string ProcessingText(std::string_view name);
// "[<name>]の処理に失敗しました".
std::string FailedPictureText(std::string_view name);

} // namespace gustara
