#include "editor/tools.h"

#include <array>
#include <cstddef>
#include <tuple>
#include <utility>

#include "canvas/repaint.h"
#include "kinds/kinds.h"

namespace pasdraw {

namespace {

// One tool per kind, on the hooks of the kind's own file: its rubber band,
// the record a release stores, and how a stored shape reaches the canvas.
template <class Record>
class KindTool final : public ShapeTool {
    using K = KindFor<Record>;

public:
    Kind kind() const override { return kindOfRecord<Record>; }
    Gesture gesture() const override {
        if constexpr (requires { K::sweeps; }) return Gesture::Sweep;
        if constexpr (requires { K::clicksCorners; }) return Gesture::Corners;
        if constexpr (requires { K::takesText; }) return Gesture::Text;
        return Gesture::Drag;
    }
    bool preview(Surface& s, float sx, float sy, float x, float y, int32_t colour) const override {
        return K::preview(s, sx, sy, x, y, colour);
    }
    bool refreshAfterPreview() const override { return K::refreshAfterPreview; }
    // A click tool (one without a rubber band) has no record before the release.
    std::optional<ShapeRecord> record(const Picture& p, float x, float y) const override {
        if constexpr (requires { K::showCommitted; }) {
            return std::nullopt;
        } else {
            return K::released(p.state, x, y);
        }
    }
    CommitResult commit(Picture& p, Surface& s, const std::optional<ShapeRecord>& r, float x,
                        float y) const override {
        const CommitResult result = p.commit(r ? std::get<Record>(*r) : K::released(p.state, x, y));
        if (result != CommitResult::Committed) return result;
        // A dragged shape repaints from the model; a click shows itself on
        // the current image.
        if constexpr (requires { K::showCommitted; })
            K::showCommitted(s, p, x, y);
        else
            drowob(p, s);
        return result;
    }
};

template <std::size_t... I>
auto makeTools(std::index_sequence<I...>) {
    return std::tuple<KindTool<RecordOfKind<KindsByTool[I].kind>>...>{};
}
const auto tools = makeTools(std::make_index_sequence<KindCount>{});

template <std::size_t... I>
std::array<const ShapeTool*, KindCount> toolTable(std::index_sequence<I...>) {
    return {&std::get<I>(tools)...};
}
const std::array<const ShapeTool*, KindCount> toolsByNumber =
    toolTable(std::make_index_sequence<KindCount>{});

}  // namespace

const ShapeTool* toolFor(int16_t tool) {
    if (!isKind(tool)) return nullptr;
    return toolsByNumber[static_cast<std::size_t>(tool - 1)];
}

}  // namespace pasdraw
