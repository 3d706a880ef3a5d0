// The readout's sentences: what the window shows under the tool buttons,
// made from the document as it stands. Plain text, one line per '\n'.
#pragma once

#include <string>

namespace pasdraw {

class Document;

// The pointer over the canvas as a screen point, and relative to the origin
// once there is one.
std::string pointerLine(const Document& document);
// The statement of the picked shape, or of what a drag would store now.
std::string dragLine(const Document& document);
// What the tool does next.
std::string statusLine(const Document& document);
// The records of each kind against the most a list holds, and the origin.
std::string countsLines(const Document& document);
// The text older than the picture, the save, the opened file, recovered
// work and edits the history had to forget.
std::string notesLines(const Document& document);

}  // namespace pasdraw
