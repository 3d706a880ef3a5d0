#include "program/step_view.h"

#include <utility>

namespace pasdraw {

namespace {

std::string pixel(int x, int y) { return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")"; }

}  // namespace

void StepView::show(StepRecord record) {
    record_ = std::move(record);
    step_ = statements();
}

int StepView::runningLine() const {
    return step_ >= 1 && step_ < statements() ? record_.where[step_ - 1].line : 0;
}

bool StepView::takeOwners(StepRecord found) {
    if (found.run.text != record_.run.text) return false;
    record_ = std::move(found);
    return true;
}

StepView::Pick StepView::pick(int x, int y) const {
    const int64_t k = record_.ownerAt(x, y);
    if (k == 0) return {"No statement painted " + pixel(x, y) + ": it is as the screen starts."};
    if (k < 0) {
        return {"Pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") was painted after statement " +
                std::to_string(record_.ownersUpTo) + "; only the first " +
                std::to_string(OwnerFollowedDraws) + " drawing statements are followed pixel by pixel."};
    }
    const StatementAt at = record_.where[static_cast<std::size_t>(k - 1)];
    return {"In the finished picture, " + pixel(x, y) + " was last painted by statement " +
                std::to_string(k) + " of " + std::to_string(statements()) + ", line " +
                std::to_string(at.line) + ", column " + std::to_string(at.column) + ": " +
                statementText(record_.run.text, at.line, at.column),
            at.line, at.column};
}

std::string StepView::findingOwner(int x, int y) {
    return "Finding the statement that painted " + pixel(x, y) + "\u2026";
}

}  // namespace pasdraw
