#include "document/text_lag.h"

#include <algorithm>
#include <string>
#include <vector>

#include "codegen/codegen.h"
#include "document/file_text.h"
#include "program/picture_import.h"

namespace pasdraw {

namespace {

// Generate's lines, one per shape, sorted: what two pictures draw compared
// without their order.
std::vector<std::string_view> sortedLines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0, end; start < text.size(); start = end + 2) {
        end = text.find("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

}  // namespace

std::optional<int> shapesTheTextLacks(const Picture& picture, std::string_view text) {
    const PictureImport drawn = importPicture(statementsOf(text));
    if (!drawn.picture) return std::nullopt;
    // Generate writes a shape the same whatever form its text had, and every
    // form of a text comes back as the picture it was written from.
    const std::string have = generateAbsolute(*drawn.picture), want = generateAbsolute(picture);
    const std::vector<std::string_view> haveLines = sortedLines(have), wantLines = sortedLines(want);
    int lacking = 0;
    auto h = haveLines.begin();
    for (const std::string_view line : wantLines) {
        while (h != haveLines.end() && *h < line) ++h;
        if (h != haveLines.end() && *h == line) {
            ++h;
        } else {
            ++lacking;
        }
    }
    return lacking;
}

}  // namespace pasdraw
