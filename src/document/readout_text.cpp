#include "document/readout_text.h"

#include "codegen/codegen.h"
#include "document/document.h"
#include "editor/selection.h"
#include "model/numeric.h"
#include "model/palette.h"

namespace pasdraw {

namespace {

// A screen coordinate exactly as a statement would carry it: stored twips,
// then divided by 10 truncating toward zero.
int screenOf(float twips) { return toScreen(toStored(twips)); }

}  // namespace

std::string pointerLine(const Document& document) {
    const auto& pointer = document.pointer();
    if (!pointer) return {};
    const int x = screenOf(pointer->first), y = screenOf(pointer->second);
    std::string line = "x " + std::to_string(x) + ", y " + std::to_string(y);
    if (const std::optional<int32_t>& XK = document.XK()) {
        // As "Value" writes a point: XK+dx, YK+dy with the sign inside.
        line += "\nXK+" + std::to_string(static_cast<int64_t>(x) - *XK) + ", YK+" +
                std::to_string(static_cast<int64_t>(y) - document.YK());
    }
    return line;
}

std::string dragLine(const Document& document) {
    if (const auto& picked = document.selection()) return statementFor(recordOf(document.picture(), *picked));
    const auto& pending = document.pendingRecord();
    return pending ? statementFor(*pending) : std::string();
}

std::string statusLine(const Document& document) {
    const Picture& picture = document.picture();
    const EditorState& s = picture.state;
    if (document.selecting()) {
        const auto& picked = document.selection();
        if (!picked) return "press on a shape to pick it";
        return std::string("picked ") + kindName(picked->kind) + " " + std::to_string(picked->index + 1) +
               " of " + std::to_string(picture.count(picked->kind)) +
               ": drag it or a handle, arrows nudge, Delete removes";
    }
    if (s.Tool == 0) return "choose a tool to draw";
    if (s.Tool != static_cast<int16_t>(Kind::Fill)) return {};
    // The border is the colour of the newest outline, black before any.
    const PaletteEntry* border = paletteEntry(s.LastColorIndex);
    const std::string name = border != nullptr && border->rgb == s.LastColorRGB ? border->name : "BLACK";
    return "fills stop at " + name + " (" + std::to_string(s.LastColorIndex) + ")";
}

std::string countsLines(const Document& document) {
    std::string counts;
    for (const KindInfo& k : Kinds) {
        if (!counts.empty()) counts += '\n';
        counts += std::to_string(document.picture().count(k.kind)) + "/" + std::to_string(ListCapacity) +
                  " " + k.plural;
    }
    if (const std::optional<int32_t>& XK = document.XK())
        counts += "\norigin XK " + std::to_string(*XK) + ", YK " + std::to_string(document.YK());
    return counts;
}

std::string notesLines(const Document& document) {
    std::string notes;
    if (document.textIsStale()) notes = "the text does not show the newest shapes: Generate or Value";
    const auto add = [&notes](const std::string& note) {
        if (!notes.empty()) notes += '\n';
        notes += note;
    };
    const std::string& savedPath = document.savedPath();
    const std::string& sourcePath = document.sourcePath();
    // Only while the file holds what the window shows: a later change to the
    // picture or the text makes "saved" untrue. isModified reads the whole
    // text, so it runs only when there is a save to speak of.
    if (!savedPath.empty() && !document.isModified()) add("saved " + savedPath);
    if (savedPath.empty() && !sourcePath.empty()) {
        const std::string& how = document.openedNote();
        add("opened " + sourcePath + (how.empty() ? "" : ", " + how));
    }
    if (!document.recoveryNote().empty()) add(document.recoveryNote());
    if (!document.historyNote().empty()) add(document.historyNote());
    return notes;
}

}  // namespace pasdraw
