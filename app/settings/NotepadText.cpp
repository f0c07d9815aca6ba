#include "settings/NotepadText.h"

#include <QString>
#include <QStringDecoder>

#include <string_view>

namespace gustara {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::string FromUtf16(std::string_view bytes, bool bigEndian)
{
    QStringDecoder decoder(bigEndian ? QStringConverter::Utf16BE : QStringConverter::Utf16LE);
    return QString(decoder(QByteArrayView(bytes.data() + 2, static_cast<qsizetype>(bytes.size()) - 2))).toStdString();
}

} // namespace

std::string TextFromNotepadFile(const std::string& bytes)
{
    const std::string_view view = bytes;
    if (view.starts_with(kUtf8Mark))
        return std::string(view.substr(kUtf8Mark.size()));
    if (view.starts_with("\xFF\xFE") || view.starts_with("\xFE\xFF"))
        return FromUtf16(view, view[0] == '\xFE');
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    (void)QString(utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size()))));
    if (!utf8.hasError())
        return bytes;
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdString();
}

std::string NotepadFileFromText(const std::string& text)
{
    std::string file(kUtf8Mark);
    file.reserve(kUtf8Mark.size() + text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            file += '\r';
        file += text[i];
    }
    return file;
}

} // namespace gustara
