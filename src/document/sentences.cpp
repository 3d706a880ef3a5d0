#include "document/sentences.h"

#include <algorithm>

#include "codegen/codegen.h"
#include "document/document.h"
#include "document/text_lag.h"
#include "editor/selection.h"
#include "model/numeric.h"
#include "model/palette.h"
#include "program/picture_import.h"

namespace pasdraw {

namespace {

// A screen coordinate exactly as a statement would carry it: stored twips,
// then divided by 10 truncating toward zero.
int screenOf(float twips) { return toScreen(toStored(twips)); }

std::string shapes(int n) { return std::to_string(n) + (n == 1 ? " shape" : " shapes"); }

std::string fileName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string windowTitle(const Document& document) {
    const std::string& source = document.sourcePath();
    std::string title = source.empty() ? "pasdraw" : fileName(source) + " - pasdraw";
    if (const std::optional<Kind>& full = document.fullKind()) {
        title += " - " + std::to_string(ListCapacity) + " " + kindPlural(*full) + ", no room for another";
    }
    return title;
}

std::string shownTitle(const Document& document) {
    std::string title = windowTitle(document);
    if (document.isModified()) title.insert(title.begin(), '*');
    return title;
}

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

namespace {

std::string toolStatus(const Document& document) {
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
    if (!isKind(s.Tool)) return {};
    // The styles the tool draws in; the first kinds' only when not the plain ones.
    const std::string styles = stylesLine(s, static_cast<Kind>(s.Tool));
    if (s.Tool != static_cast<int16_t>(Kind::Fill)) return styles;
    // The border is the colour of the newest outline, black before any.
    const PaletteEntry* border = paletteEntry(s.LastColorIndex);
    const std::string name = border != nullptr && border->rgb == s.LastColorRGB ? border->name : "BLACK";
    return "fills stop at " + name + " (" + std::to_string(s.LastColorIndex) + ")" +
           (styles.empty() ? "" : ", " + styles);
}

}  // namespace

std::string statusLine(const Document& document) {
    std::string line = toolStatus(document);
    if (document.gridShown()) line += line.empty() ? "snap on" : "\nsnap on";
    return line;
}

std::string countsLines(const Document& document) {
    std::string counts;
    // The first five kinds always, in tool order; the later ones once drawn.
    for (std::size_t i = 0; i < KindsByTool.size(); ++i) {
        const KindInfo& k = KindsByTool[i];
        const int n = document.picture().count(k.kind);
        if (i >= FirstToolKinds && n == 0) continue;
        if (!counts.empty()) counts += '\n';
        counts += std::to_string(n) + "/" + std::to_string(ListCapacity) + " " + k.plural;
    }

    if (const std::optional<int32_t>& XK = document.XK())
        counts += "\norigin XK " + std::to_string(*XK) + ", YK " + std::to_string(document.YK());
    return counts;
}

std::string stylesLine(const EditorState& s, Kind kind) {
    const std::string pattern =
        "pattern " + std::to_string(s.FillPattern) + " " +
        PatternNames[static_cast<std::size_t>(std::clamp<int>(s.FillPattern, 0, LastPattern))];
    const std::string width = s.LineWidth == ThickWidth ? "thick" : "normal";
    const bool plainLine = s.LineStyle == SolidLine && s.LineWidth == NormalWidth;
    switch (kind) {
        case Kind::Line:
        case Kind::Rectangle:
            if (plainLine) return {};
            [[fallthrough]];
        case Kind::Polygon:
            return std::string("line ") +
                   LineStyleNames[static_cast<std::size_t>(
                       std::clamp<int>(s.LineStyle, SolidLine, LastLineStyle))] +
                   ", " + width;
        case Kind::Ellipse:
        case Kind::Circle:
            if (s.LineWidth == NormalWidth) return {};
            [[fallthrough]];
        case Kind::Arc: return "line " + width;
        case Kind::Fill: return s.FillPattern == SolidPattern ? std::string() : pattern;
        case Kind::Bar:
        case Kind::PieSlice: return pattern;
        case Kind::Label:
            return "text size " + std::to_string(s.TextSize) +
                   (s.TextVertical != 0 ? ", vertical" : ", horizontal");
    }
    return {};
}

namespace {

// Saving a text older than the picture writes a file without the newest
// shapes; the note after the save says so, and how many.
std::string savedNote(const Document& document) {
    const std::string saved = "saved " + document.savedPath();
    if (!document.textIsStale()) return saved;
    const std::optional<int> lacking = shapesTheTextLacks(document.picture(), document.text());
    if (!lacking || *lacking == 0)
        return saved + "; the text does not show the newest picture: Generate, then Save";
    return saved + "; the text lacks the newest " +
           (*lacking == 1 ? std::string("shape") : std::to_string(*lacking) + " shapes") +
           ": Generate, then Save";
}

}  // namespace

std::string notesLines(const Document& document) {
    std::string notes;
    const auto add = [&notes](const std::string& note) {
        if (!notes.empty()) notes += '\n';
        notes += note;
    };
    const std::string& savedPath = document.savedPath();
    const std::string& sourcePath = document.sourcePath();
    // Only while the file holds what the window shows: a later change to the
    // picture or the text makes "saved" untrue. isModified reads the whole
    // text, so it runs only when there is a save to speak of.
    const bool saved = !savedPath.empty() && !document.isModified();
    // The saved note tells a stale text itself.
    if (document.textIsStale() && !saved) add("the text does not show the newest shapes: Generate or Value");
    if (saved) add(savedNote(document));
    if (savedPath.empty() && !sourcePath.empty()) {
        const std::string& how = document.openedNote();
        add("opened " + sourcePath + (how.empty() ? "" : ", " + how));
    }
    if (!document.recoveryNote().empty()) add(document.recoveryNote());
    if (!document.historyNote().empty()) add(document.historyNote());
    return notes;
}

std::string fullListNote(Kind kind) {
    return std::string("No room for another ") + kindName(kind) + ": the picture already holds " +
           std::to_string(ListCapacity) + " " + kindPlural(kind) +
           ", the most it can. Undo one to make room.";
}

std::string noRoomToPutBackNote(Kind kind) {
    return std::string("No room to put the ") + kindName(kind) + " back: the picture holds " +
           std::to_string(ListCapacity) + " " + kindPlural(kind) + ", the most it can. Delete one first.";
}

std::string forgottenEditsNote(std::size_t forgotten, Kind kind) {
    return std::to_string(forgotten) + (forgotten == 1 ? " edit" : " edits") +
           " of picked shapes can no longer be undone: the " + kindName(kind) +
           " the last one changed was undone or drawn again with a drawing tool since.";
}

std::string replaceQuestion(int shapesNow, int shapesFromText) {
    return "Replace the picture's " + shapes(shapesNow) + " with the " + shapes(shapesFromText) +
           " the text draws?";
}

std::string refusalOf(const PictureImport& result, const std::string& opening) {
    std::string message = opening;
    constexpr std::size_t shown = 20;
    for (std::size_t i = 0; i < result.problems.size() && i < shown; ++i) {
        const ImportProblem& p = result.problems[i];
        message +=
            "\nline " + std::to_string(p.line) + ", column " + std::to_string(p.column) + ": " + p.message;
    }
    if (result.problems.size() > shown) {
        message += "\n\n" + std::to_string(result.problems.size() - shown) + " more problems.";
    }
    return message;
}

}  // namespace pasdraw
