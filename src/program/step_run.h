// Stepping through a run: the screen after any number of the program's
// statements (simple statements as StatementWatch counts them, loops
// unrolled), where each of them stands in the text, and which one last
// changed each pixel. No Qt: the preview window shows these.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "program/preview_run.h"

namespace pasdraw {

struct StatementAt {
    int32_t line = 0;
    int32_t column = 0;
};

// One run of a text, recorded for stepping.
struct StepRecord {
    // The finished picture and result, exactly as runPreview gives them.
    PreviewRun run;
    // Where each simple statement that ran stands, in the order they ran.
    std::vector<StatementAt> where;
    // Per pixel, row by row: the 1-based number of the statement that last
    // changed it, 0 for none. Finding them compares the screen after every
    // statement that drew, so a long run is followed only up to ownersUpTo
    // statements; screenAtOwnersEnd is the screen there, to tell the pixels
    // changed later.
    std::vector<uint32_t> owner;
    uint64_t ownersUpTo = 0;
    std::vector<uint8_t> screenAtOwnersEnd;

    uint64_t statements() const { return where.size(); }
    // The statement (1-based) that last changed pixel (x, y): 0 for none
    // (never changed), -1 when it changed after ownersUpTo.
    int64_t ownerAt(int x, int y) const;
};

// How many statements a record keeps the places of, so that a runaway loop
// (the still run allows 32 million statements) keeps a bounded record: 16 MB
// here. A longer run is stepped through up to there; its finished picture is
// the whole run's.
inline constexpr std::size_t SteppedStatements = 2'000'000;

// How many drawing statements a record follows pixel by pixel.
inline constexpr uint64_t OwnerFollowedDraws = 20'000;

// With followOwners false, owner stays empty: the run then costs little more
// than runPreview, where following the owners compares the whole screen after
// every drawing statement.
StepRecord recordRun(std::string_view utf8, bool followOwners = true);

// The screen after the first n simple statements ran (0: before any), as the
// preview shows it; the program's problems are the full run's up to there.
PreviewRun runPreviewCut(std::string_view utf8, uint64_t n);

// The text of the simple statement that starts at line and column (1-based)
// of a UTF-8 text: up to its ';', the end of its line, or an else or end that
// follows it, trimmed.
std::string statementText(std::string_view utf8, int line, int column);

}  // namespace pasdraw
