// What the preview's step bar stands on: the record of the shown run, the
// step whose picture is shown, and what a click on a pixel says of it. No
// Qt: the preview window shows these, and runs the cuts and the search for
// the pixels' statements on its worker.
#pragma once

#include <cstdint>
#include <string>

#include "program/step_run.h"

namespace pasdraw {

class StepView {
public:
    const StepRecord& record() const { return record_; }
    uint64_t statements() const { return record_.statements(); }
    uint64_t step() const { return step_; }
    // The finished picture is shown (the picture of the whole run, not a cut).
    bool atEnd() const { return step_ == statements(); }

    // A newly shown run starts at its finished picture.
    void show(StepRecord record);
    // n at most statements().
    void setStep(uint64_t n) { step_ = n; }
    // The line of the statement the stepped picture stands after: 0 for
    // none, the finished picture or before the first statement.
    int runningLine() const;

    // Whether the shown run's pixels know their statements yet.
    bool ownersKnown() const { return !record_.owner.empty(); }
    // The shown run again with its pixels' statements followed; false (and
    // nothing changes) when it is another text's, one replaced since.
    bool takeOwners(StepRecord found);

    struct Pick {
        std::string said;  // the status line's sentence, UTF-8
        // The statement named, 1-based; line 0 when none is.
        int line = 0;
        int column = 0;
    };
    // What a click on pixel (x, y) of the finished picture says; needs the
    // owners.
    Pick pick(int x, int y) const;
    // What the status line says while the owners are being found.
    static std::string findingOwner(int x, int y);

private:
    StepRecord record_;
    uint64_t step_ = 0;
};

}  // namespace pasdraw
