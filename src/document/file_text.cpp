#include "document/file_text.h"

#include "codegen/codegen.h"

namespace pasdraw {

bool isUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned lowest = 0;  // the second byte's range keeps out overlong forms and surrogates
        unsigned highest = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2, lowest = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3, lowest = b == 0xE0 ? 0xA0 : 0x80, highest = b == 0xED ? 0x9F : 0xBF;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4, lowest = b == 0xF0 ? 0x90 : 0x80, highest = b == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + length > bytes.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto c = static_cast<unsigned char>(bytes[i + k]);
            const unsigned lo = k == 1 ? lowest : 0x80, hi = k == 1 ? highest : 0xBF;
            if (c < lo || c > hi) return false;
        }
        i += length;
    }
    return true;
}

namespace {

std::string latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Control characters other than tab, line breaks, form feed and the old DOS
// end-of-file mark say the file holds data, not text.
bool looksBinary(std::string_view bytes) {
    std::size_t controls = 0;
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != 0x1A) ++controls;
    }
    return controls > 0 && controls * 100 >= bytes.size();
}

}  // namespace

std::string sizeProblem(uint64_t size) {
    if (size <= MaxProgramFileBytes) return {};
    // Tenths of a megabyte, rounded up, so the size never reads as the limit.
    const uint64_t tenths = (size * 10 + 1024 * 1024 - 1) / (1024 * 1024);
    return "The file is " + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) +
           " MB, too large for a program of this editor (at most " +
           std::to_string(MaxProgramFileBytes / (1024 * 1024)) + " MB).";
}

FileText readFileText(std::string_view bytes) {
    FileText result;
    result.problem = sizeProblem(bytes.size());
    if (!result.problem.empty()) return result;
    if (bytes.find('\0') != std::string_view::npos) {
        result.problem = "The file holds NUL bytes, so it is not a program text.";
        return result;
    }
    if (looksBinary(bytes)) {
        result.problem = "The file holds binary data, not a program text.";
        return result;
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
        result.byteOrderMark = true;
    }
    // Turbo Pascal's editor could end a file with Ctrl+Z.
    if (bytes.ends_with('\x1A')) bytes.remove_suffix(1);
    if (isUtf8(bytes)) {
        result.text = std::string(bytes);
        result.encoding = "UTF-8";
    } else {
        result.text = latin1ToUtf8(bytes);
        result.encoding = "Latin-1";
    }
    if (const std::optional<std::string_view> body = programFileText(result.text)) {
        result.text = std::string(*body);
        result.savedProgram = true;
    }
    return result;
}

std::string_view statementsOf(std::string_view text) { return programFileText(text).value_or(text); }

}  // namespace pasdraw
