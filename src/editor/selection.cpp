#include "editor/selection.h"

#include <type_traits>

#include "kinds/kinds.h"

namespace pasdraw {

std::vector<ShapeRef> shapesAt(const Picture& picture, float x, float y, float tolerance) {
    std::vector<ShapeRef> hits;
    // The kinds painted last come first.
    for (auto k = Kinds.rbegin(); k != Kinds.rend(); ++k) {
        picture.withList(k->kind, [&](const auto& list) {
            using K = KindFor<typename std::decay_t<decltype(list)>::value_type>;
            for (int i = list.count() - 1; i >= 0; --i) {
                if (K::distance(list[i], x, y, tolerance) <= tolerance) hits.push_back({k->kind, i});
            }
        });
    }
    return hits;
}

ShapeRecord recordOf(const Picture& picture, ShapeRef ref) {
    return picture.withList(ref.kind, [&](const auto& list) { return ShapeRecord(list[ref.index]); });
}

bool storeRecord(Picture& picture, ShapeRef ref, const ShapeRecord& record) {
    return picture.withList(ref.kind, [&](auto& list) {
        using Record = typename std::decay_t<decltype(list)>::value_type;
        const Record* r = std::get_if<Record>(&record);
        return r != nullptr && list.replace(ref.index, *r);
    });
}

std::vector<HandlePoint> handlesOf(const ShapeRecord& record) {
    return std::visit([](const auto& r) { return KindFor<std::decay_t<decltype(r)>>::handles(r); }, record);
}

ShapeRecord movedBy(const ShapeRecord& record, int dx, int dy) {
    ShapeRecord moved = record;
    std::visit([&](auto& r) { KindFor<std::decay_t<decltype(r)>>::move(r, dx, dy); }, moved);
    return moved;
}

ShapeRecord handleMovedBy(const ShapeRecord& record, int h, int dx, int dy) {
    ShapeRecord moved = record;
    std::visit([&](auto& r) { KindFor<std::decay_t<decltype(r)>>::moveHandle(r, h, dx, dy); }, moved);
    return moved;
}

ShapeRecord recoloured(const ShapeRecord& record, int16_t index, int32_t rgb, bool border) {
    ShapeRecord out = record;
    std::visit(
        [&](auto& r) {
            // Only a flood has a border colour of its own.
            if constexpr (roleOfRecord<std::decay_t<decltype(r)>> == KindRole::Flood) {
                if (border) {
                    r.BorderIndex = index;
                    r.BorderRGB = rgb;
                    return;
                }
            }
            r.ColorIndex = index;
            r.ColorRGB = rgb;
        },
        out);
    return out;
}

ShapeRecord restyled(const ShapeRecord& record, Style style, int16_t value) {
    ShapeRecord out = record;
    std::visit(
        [&](auto& r) {
            switch (style) {
                case Style::FillPattern:
                    if constexpr (requires { r.Pattern; }) r.Pattern = value;
                    break;
                case Style::LineStyle:
                    if constexpr (requires { r.LineStyle; }) r.LineStyle = value;
                    break;
                case Style::LineWidth:
                    if constexpr (requires { r.LineWidth; }) r.LineWidth = value;
                    break;
                case Style::TextSize:
                    if constexpr (requires { r.TextSize; }) r.TextSize = value;
                    break;
                case Style::TextVertical:
                    if constexpr (requires { r.Vertical; }) r.Vertical = value;
                    break;
            }
        },
        out);
    return out;
}

}  // namespace pasdraw
