#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>

namespace gustara {

// Every text that tells a user why something failed or what is going on: the engine, the
// window, the batch worker and the command line all take their texts from here, so each text
// lives once, in rules/MessageList.h, in Japanese and in English.

enum class Message {
#define GUSTARA_MESSAGE(code, japanese, english) code,
#include "rules/MessageList.h"
#undef GUSTARA_MESSAGE
};

// The command line speaks the language of the user's locale; the window too, unless its Settings
// menu chooses another.
enum class Language { Japanese, English };

// The language that the variables of the user's locale ask for, in gettext's order. The locale
// is the first non-empty of LC_ALL, LC_MESSAGES and LANG (given in that order), "C" when all are
// empty. Unless it is the C or POSIX locale, a non-empty `languageList` (LANGUAGE: names such as
// "ja" or "en_GB" by preference, separated by colons) decides: its first name of a language that
// the table holds, English when none does, and a "C" entry stands for English. Otherwise
// Japanese when the locale names a Japanese one ("ja", "ja_JP.UTF-8", ...), English when not.
// The user's-language seam (platform/UserLanguage.h) reads the variables. Does not fail.
Language LanguageOfLocale(std::string_view languageList, std::string_view lcAll, std::string_view lcMessages,
                          std::string_view lang);
// The language of Text and of every text the engine makes from then on: Japanese until this is
// called. Called at start-up, before any thread that makes texts, and by the window when its
// language is chosen; a batch running then may report in either language. Does not fail.
void SetLanguage(Language language);
Language CurrentLanguage();

// The text of `code` in `language` (by default the current one), with its %N placeholders
// unfilled. The view stays valid for the whole program and ends in a NUL byte. Does not fail.
std::string_view Text(Message code);
std::string_view Text(Message code, Language language);

// The text of `code` in the current language with each %N replaced by values[N-1] (N from 1
// to 9); a value's own % signs stay as they are. Throws only bad_alloc.
std::string Format(Message code, std::initializer_list<std::string_view> values);

// Format of `one` when `count` is 1, of `many` otherwise, with %1 the count: English says
// "1 picture" but "2 pictures". Throws only bad_alloc.
std::string CountText(std::size_t count, Message one, Message many);

// `text` followed by ": " and `detail`, or `text` alone when `detail` is empty.
std::string WithDetail(std::string_view text, std::string_view detail);

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

// The reason for `cause`. `format` ("JPEG", "PNG", "GIF", "BMP") is named by NotThisFormat and
// Unsupported; a non-empty `detail` (the library's or the system's own words, which say more to
// a log than to a user) follows after ": ". Throws only bad_alloc.
std::string ReadFailureText(ReadFailure cause, std::string_view format, std::string_view detail = {});

// The texts below fill in their values as named; each throws only bad_alloc.
// The TooLarge reason followed by ": <width> x <height>", for a picture over the pixel cap.
std::string PictureTooLargeText(int64_t width, int64_t height);
// BadPictureSize, BadBoxSize, BadTargetSize followed by ": <width> x <height>".
std::string BadPictureSizeText(int64_t width, int64_t height);
std::string BadBoxSizeText(int64_t width, int64_t height);
std::string BadTargetSizeText(int64_t width, int64_t height);
// JpegSideTooLong followed by ": <width> x <height>", the size of the output.
std::string JpegSideTooLongText(int64_t width, int64_t height);
// BadJpegScale for a decoding scale of `eighths`/8 outside 1/8 to 8/8.
std::string BadJpegScaleText(int eighths);
// JpegError with libjpeg's message code of a fatal error while encoding.
std::string JpegErrorText(int messageCode);
// CannotCreateFile with the full output path, followed by ": " and the cause that `systemError`
// (the errno of the failed step) names; a cause without a text of its own is told in the
// system's words.
std::string CannotCreateFileText(std::string_view path, int systemError);
// Why a write or the creation of a folder failed, for the errno `systemError` of the failed
// step; a cause without a text of its own is told in the system's words.
std::string WriteFailureText(int systemError);
// The reason a failed step gives: its own message, or the out-of-memory reason for
// std::bad_alloc, whose own text says nothing to a user.
std::string FailureReason(const std::exception& failure);
// NotWholeNumber for a typed side that is not a whole number.
std::string NotWholeNumberText(std::string_view text);
// BatchDone once every one of `count` pictures is written.
std::string BatchDoneText(std::size_t count);
// Stopped, or StoppedWithFailures when `failed` is not 0: a stop ended a batch of `count`
// pictures with `saved` of them written (their One forms for a batch of one).
std::string StoppedText(std::size_t count, std::size_t saved, std::size_t failed);
// A file size in 1024-based units: whole KB rounded up below 1 MB, MB with one decimal from 1 MB.
std::string FileSizeText(uint64_t bytes);
// Processing and FailedPicture, naming the picture by `name`.
std::string ProcessingText(std::string_view name);
std::string FailedPictureText(std::string_view name);

} // namespace gustara
