// A Pascal file's bytes as text for the text box: a program this editor
// saved (its statements, without the header and trailer) or any text of
// statements. Files that are not valid UTF-8 are read as Latin-1; a
// byte-order mark is skipped. Anything that cannot be a program text (too
// large, NUL bytes, binary data) is refused with a reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pasdraw {

// A program of a full picture in the longest form is about 300 KB.
inline constexpr std::size_t MaxProgramFileBytes = 4 * 1024 * 1024;

struct FileText {
    std::string text;           // UTF-8, for the text box
    std::string problem;        // why the bytes cannot be opened; empty when they can
    const char* encoding = "";  // "UTF-8" or "Latin-1"
    bool byteOrderMark = false;
    bool savedProgram = false;  // the header and trailer were recognised and left out
};

FileText readFileText(std::string_view bytes);

// Why a file of `size` bytes is refused, or empty when its size is fine.
std::string sizeProblem(uint64_t size);

// Whether the bytes are UTF-8 as the standard defines it: no overlong forms,
// no surrogates, nothing above U+10FFFF.
bool isUtf8(std::string_view bytes);

// The text a user gives to "Picture from text": the statements of a whole
// saved program when it is one, else the text itself.
std::string_view statementsOf(std::string_view text);

}  // namespace pasdraw
