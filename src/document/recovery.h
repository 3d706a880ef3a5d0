// The work a window writes aside while it has unsaved changes, so that a
// crash, a killed session or a power cut loses nothing: the exact records,
// the text and the form it was generated in, the origin and the file the work
// belongs to. A small versioned
// text format; reading it checks every count and number, so a damaged file
// or one from a newer version is refused with a reason.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "document/text_form.h"
#include "model/picture.h"

namespace pasdraw {

// 2: every kind, with its styles; version 1 files (the first five kinds,
// without styles) are still read.
inline constexpr int RecoveryVersion = 2;
// Above the longest text and full lists this editor can make.
inline constexpr std::size_t MaxRecoveryBytes = 16 * 1024 * 1024;

struct RecoveredWork {
    std::unique_ptr<Picture> picture = std::make_unique<Picture>();  // shapes and the last outline colour
    std::string text;                                                // UTF-8
    std::optional<int32_t> XK;
    int16_t YK = 0;
    std::string sourcePath;    // empty: test.pas beside the program
    int64_t savedAt = 0;       // seconds since 1970
    bool textIsStale = false;  // the text did not show the newest shapes
    // The generators' last form; a copy without it (an older one) reads as None.
    GeneratedForm form = GeneratedForm::None;
};

class Document;
// The document's work as it stands, to write aside; `now` in seconds since 1970.
RecoveredWork recoverableWork(const Document& document, int64_t now);

std::string recoveryBytes(const RecoveredWork& work);

struct RecoveryRead {
    std::optional<RecoveredWork> work;
    std::string problem;  // why not, when there is no work
};
RecoveryRead readRecovery(std::string_view bytes);

}  // namespace pasdraw
