#pragma once

#include <string>

namespace gustara {

// The settings file as Windows' Notepad keeps it, for the text inside (UTF-8, lines ended by
// "\n" or "\r\n"). Nothing here fails.

// The text of a file Notepad may have saved: UTF-8 with or without its byte-order mark,
// UTF-16 with its mark (Notepad's "Unicode"), else the ANSI code page (Notepad's "ANSI", and
// the file that programs of the Shift-JIS era wrote), each turned into UTF-8.
std::string TextFromNotepadFile(const std::string& bytes);

// The file for `text`: UTF-8 with a byte-order mark, every line ended by "\r\n".
std::string NotepadFileFromText(const std::string& text);

} // namespace gustara
