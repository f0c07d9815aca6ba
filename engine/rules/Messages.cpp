#include "rules/Messages.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <new>

namespace gustara {

namespace {

constexpr std::string_view kJapanese[] = {
#define GUSTARA_MESSAGE(code, japanese, english) japanese,
#include "rules/MessageList.h"
#undef GUSTARA_MESSAGE
};

constexpr std::string_view kEnglish[] = {
#define GUSTARA_MESSAGE(code, japanese, english) english,
#include "rules/MessageList.h"
#undef GUSTARA_MESSAGE
};

// By ReadFailure, in its order.
constexpr Message kReadFailureMessages[] = {
    Message::ReadFolder,   Message::ReadMissing,       Message::ReadNoPermission, Message::ReadNotAFile,
    Message::ReadCannotRead, Message::ReadEmpty,       Message::ReadNotThisFormat, Message::ReadEndsEarly,
    Message::ReadDamaged,  Message::ReadUnsupported,   Message::ReadTooLarge,     Message::ReadOutOfMemory,
};
static_assert(std::size(kReadFailureMessages) == static_cast<std::size_t>(ReadFailure::OutOfMemory) + 1);

std::atomic<Language> currentLanguage{Language::Japanese};

// Whether `locale` ("ja", "ja_JP.UTF-8", "en@quot") is of the two-letter `language`.
bool NamesLanguage(std::string_view locale, std::string_view language)
{
    return locale.substr(0, 2) == language && (locale.size() == 2 || locale[2] == '_' || locale[2] == '.' || locale[2] == '@');
}

bool NamesJapanese(std::string_view locale)
{
    return NamesLanguage(locale, "ja");
}

bool NamesCLocale(std::string_view locale)
{
    return locale == "C" || locale == "POSIX" || locale.starts_with("C.") || locale.starts_with("C@");
}

std::string WithSize(Message code, int64_t width, int64_t height)
{
    return WithDetail(Text(code), std::to_string(width) + " x " + std::to_string(height));
}

std::string WriteFailureCause(int systemError)
{
    switch (systemError) {
    case ENOSPC:
#ifdef EDQUOT  // a quota's errno exists only where the C library knows quotas
    case EDQUOT:
#endif
        return std::string(Text(Message::WriteDiskFull));
    case EACCES:
    case EPERM:
        return std::string(Text(Message::WriteNoPermission));
    case EROFS:
        return std::string(Text(Message::WriteReadOnly));
    case EFBIG:
        return std::string(Text(Message::WriteSizeLimit));
    case ENAMETOOLONG:
        return std::string(Text(Message::WriteNameTooLong));
    case ENOENT:
        return std::string(Text(Message::WriteNoFolder));
    case ENOTDIR:
        return std::string(Text(Message::WriteFileAtFolder));
    case EISDIR:
        return std::string(Text(Message::WriteFolderAtName));
    case EIO:
        return std::string(Text(Message::WriteDiskFailed));
    default:
        return Format(Message::WriteSystemError, {std::strerror(systemError)});
    }
}

} // namespace

Language LanguageOfLocale(std::string_view languageList, std::string_view lcAll, std::string_view lcMessages,
                          std::string_view lang)
{
    std::string_view locale = "C";
    for (const std::string_view variable : {lcAll, lcMessages, lang}) {
        if (!variable.empty()) {
            locale = variable;
            break;
        }
    }
    // The C locale keeps a program's own texts whatever LANGUAGE says, as gettext does.
    if (NamesCLocale(locale) || languageList.empty())
        return NamesJapanese(locale) ? Language::Japanese : Language::English;
    while (!languageList.empty()) {
        const std::size_t colon = std::min(languageList.find(':'), languageList.size());
        const std::string_view name = languageList.substr(0, colon);
        languageList.remove_prefix(std::min(colon + 1, languageList.size()));
        if (NamesJapanese(name))
            return Language::Japanese;
        if (NamesLanguage(name, "en") || NamesCLocale(name))
            return Language::English;
    }
    return Language::English;
}

void SetLanguage(Language language)
{
    currentLanguage.store(language, std::memory_order_relaxed);
}

Language CurrentLanguage()
{
    return currentLanguage.load(std::memory_order_relaxed);
}

std::string_view Text(Message code, Language language)
{
    const auto index = static_cast<std::size_t>(code);
    return language == Language::Japanese ? kJapanese[index] : kEnglish[index];
}

std::string_view Text(Message code)
{
    return Text(code, CurrentLanguage());
}

std::string Format(Message code, std::initializer_list<std::string_view> values)
{
    const std::string_view text = Text(code);
    std::string filled;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        const auto index = static_cast<std::size_t>(next - '1');
        if (text[i] == '%' && next >= '1' && next <= '9' && index < values.size()) {
            filled.append(values.begin()[index]);
            ++i;
        } else {
            filled += text[i];
        }
    }
    return filled;
}

std::string CountText(std::size_t count, Message one, Message many)
{
    return Format(count == 1 ? one : many, {std::to_string(count)});
}

std::string WithDetail(std::string_view text, std::string_view detail)
{
    std::string line(text);
    if (!detail.empty())
        line.append(": ").append(detail);
    return line;
}

std::string ReadFailureText(ReadFailure cause, std::string_view format, std::string_view detail)
{
    return WithDetail(Format(kReadFailureMessages[static_cast<std::size_t>(cause)], {format}), detail);
}

std::string PictureTooLargeText(int64_t width, int64_t height)
{
    return WithSize(Message::ReadTooLarge, width, height);
}

std::string BadPictureSizeText(int64_t width, int64_t height)
{
    return WithSize(Message::BadPictureSize, width, height);
}

std::string BadBoxSizeText(int64_t width, int64_t height)
{
    return WithSize(Message::BadBoxSize, width, height);
}

std::string BadTargetSizeText(int64_t width, int64_t height)
{
    return WithSize(Message::BadTargetSize, width, height);
}

std::string JpegSideTooLongText(int64_t width, int64_t height)
{
    return WithSize(Message::JpegSideTooLong, width, height);
}

std::string BadJpegScaleText(int eighths)
{
    return Format(Message::BadJpegScale, {std::to_string(eighths)});
}

std::string JpegErrorText(int messageCode)
{
    return Format(Message::JpegError, {std::to_string(messageCode)});
}

std::string CannotCreateFileText(std::string_view path, int systemError)
{
    return WithDetail(Format(Message::CannotCreateFile, {path}), WriteFailureCause(systemError));
}

std::string WriteFailureText(int systemError)
{
    return WriteFailureCause(systemError);
}

std::string FailureReason(const std::exception& failure)
{
    if (dynamic_cast<const std::bad_alloc*>(&failure))
        return std::string(Text(Message::ReadOutOfMemory));
    return failure.what();
}

std::string NotWholeNumberText(std::string_view text)
{
    return Format(Message::NotWholeNumber, {text});
}

std::string BatchDoneText(std::size_t count)
{
    return Format(Message::BatchDone, {std::to_string(count)});
}

std::string StoppedText(std::size_t count, std::size_t saved, std::size_t failed)
{
    const Message message = failed > 0 ? (count == 1 ? Message::StoppedWithFailuresOne : Message::StoppedWithFailures)
                                       : (count == 1 ? Message::StoppedOne : Message::Stopped);
    return Format(message,
                  {std::to_string(count), std::to_string(saved), std::to_string(failed)});
}

std::string FileSizeText(uint64_t bytes)
{
    constexpr uint64_t kKilo = 1024;
    constexpr uint64_t kMega = kKilo * kKilo;
    if (bytes < kMega)
        return Format(Message::SizeKilobytes, {std::to_string((bytes + kKilo - 1) / kKilo)});
    // Tenths of a megabyte, rounded half up, in integers so that no reader's rounding differs.
    const uint64_t tenths = bytes / kMega * 10 + (bytes % kMega * 10 + kMega / 2) / kMega;
    return Format(Message::SizeMegabytes, {std::to_string(tenths / 10) + "." + std::to_string(tenths % 10)});
}

std::string ProcessingText(std::string_view name)
{
    return Format(Message::Processing, {name});
}

std::string FailedPictureText(std::string_view name)
{
    return Format(Message::FailedPicture, {name});
}

} // namespace gustara
