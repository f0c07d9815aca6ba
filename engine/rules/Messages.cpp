#include "rules/Messages.h"

#include <iterator>

namespace gustara {

namespace {

// By ReadFailure, in its order; %s is the format's name.
constexpr std::string_view kReadFailureTexts[] = {
    "ファイルではなくフォルダです",
    "ファイルが見つかりません",
    "ファイルを読む権限がありません",
    "通常のファイルではありません",
    "ファイルを読み込めません",
    "ファイルが空です",
    "中身が%s形式ではありません。拡張子を確かめてください",
    "ファイルが途中で切れています",
    "ファイルが壊れています",
    "対応していない種類の%sです",
    "画像が大きすぎます",
    "メモリが足りません",
};
static_assert(std::size(kReadFailureTexts) == static_cast<std::size_t>(ReadFailure::OutOfMemory) + 1);

std::string WithSize(std::string_view text, int64_t width, int64_t height)
{
    return WithDetail(text, std::to_string(width) + " x " + std::to_string(height));
}

// "[<name>]" followed by `text`.
std::string NamingPicture(std::string_view name, std::string_view text)
{
    std::string line = "[";
    line.append(name).append("]").append(text);
    return line;
}

} // namespace

std::string WithDetail(std::string_view text, std::string_view detail)
{
    std::string line(text);
    if (!detail.empty())
        line.append(": ").append(detail);
    return line;
}

std::string ReadFailureText(ReadFailure cause, std::string_view format, std::string_view detail)
{
    std::string text(kReadFailureTexts[static_cast<std::size_t>(cause)]);
    if (const auto at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, format);
    return WithDetail(text, detail);
}

std::string PictureTooLargeText(int64_t width, int64_t height)
{
    return WithSize(ReadFailureText(ReadFailure::TooLarge, {}), width, height);
}

std::string BadPictureSizeText(int64_t width, int64_t height)
{
    return WithSize("画像の大きさが不正です", width, height);
}

std::string BadBoxSizeText(int64_t width, int64_t height)
{
    return WithSize("縮小する大きさが不正です", width, height);
}

std::string BadTargetSizeText(int64_t width, int64_t height)
{
    return WithSize("縮小後の大きさが不正です", width, height);
}

std::string BadJpegScaleText(int eighths)
{
    return "JPEG の縮小率が不正です: " + std::to_string(eighths) + "/8";
}

std::string JpegErrorText(int messageCode)
{
    return "JPEG エラー #" + std::to_string(messageCode);
}

std::string CannotCreateFileText(std::string_view path)
{
    std::string text = "ファイル ";
    text.append(path).append(" を作成できません");
    return text;
}

std::string NotWholeNumberText(std::string_view text)
{
    std::string line = "'";
    line.append(text).append("' は整数ではありません");
    return line;
}

std::string BatchDoneText(std::size_t count)
{
    return std::to_string(count) + "枚の画像処理が完了しました";
}

std::string ProcessingText(std::string_view name)
{
    return NamingPicture(name, "を処理しています");
}

std::string FailedPictureText(std::string_view name)
{
    return NamingPicture(name, "の処理に失敗しました");
}

} // namespace gustara
