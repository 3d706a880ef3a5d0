// The sentences the user reads about the work: the readout's lines under
// the tool buttons, the window's title, and the notes and refusals the
// document gives. Plain text, one line per '\n'.
#pragma once

#include <cstddef>
#include <string>

#include "model/picture.h"

namespace pasdraw {

class Document;
struct PictureImport;

// "pasdraw", or the work's file name before it, and the full list if any.
std::string windowTitle(const Document& document);
// The title as the desktop shows it: a '*' before it while closing would
// lose work (Document::isModified).
std::string shownTitle(const Document& document);

// The pointer over the canvas as a screen point, and relative to the origin
// once there is one.
std::string pointerLine(const Document& document);
// The statement of the picked shape, or of what a drag would store now.
std::string dragLine(const Document& document);
// What the tool does next, and the styles it draws in; "snap on" while the
// grid shows.
std::string statusLine(const Document& document);
// The records of each kind against the most a list holds (the later kinds
// only once there are any) and the origin.
std::string countsLines(const Document& document);
// The current styles a kind takes: "pattern 3 light slashes"; for the first
// five kinds nothing while they are the plain ones they always had.
std::string stylesLine(const EditorState& state, Kind kind);
// The kinds that came first, whose counts always show.
inline constexpr std::size_t FirstToolKinds = 5;
// The text older than the picture, the save (and, when the saved text is
// older than the picture, the shapes it lacks), the opened file, recovered
// work and edits the history had to forget.
std::string notesLines(const Document& document);

// A drawing tool's release found its kind's list full.
std::string fullListNote(Kind kind);
// Select's Undo would put a removed shape back into a full list.
std::string noRoomToPutBackNote(Kind kind);
// Select's Undo or Redo found that its edits no longer fit the picture:
// `forgotten` of them went, the last one having changed a shape of `kind`.
std::string forgottenEditsNote(std::size_t forgotten, Kind kind);
// Asked before picture from text throws the picture's shapes away.
std::string replaceQuestion(int shapesNow, int shapesFromText);
// The openings of the refusals: picture from text, and an opened program.
inline constexpr const char* TextRefused = "The text cannot become a picture; nothing was changed.\n";
inline constexpr const char* OpenedWithoutPicture =
    "The program is open, but its picture cannot be drawn here, so the picture is empty; the preview "
    "shows what the program draws.\n";
// Why a text cannot become a picture: `opening`, then its first twenty
// problems line by line.
std::string refusalOf(const PictureImport& result, const std::string& opening);

}  // namespace pasdraw
