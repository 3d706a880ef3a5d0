#include "codegen/shape_lines.h"

namespace pasdraw {

int lineOfShape(const Picture& picture, ShapeRef ref) {
    if (ref.index < 0 || ref.index >= picture.count(ref.kind)) return 0;
    int line = 1;
    for (const KindInfo& k : Kinds) {
        if (k.kind == ref.kind) return line + ref.index;
        line += picture.count(k.kind);
    }
    return 0;
}

std::optional<ShapeRef> shapeOnLine(const Picture& picture, int line) {
    if (line < 1) return std::nullopt;
    int first = 1;
    for (const KindInfo& k : Kinds) {
        const int count = picture.count(k.kind);
        if (line < first + count) return ShapeRef{k.kind, line - first};
        first += count;
    }
    return std::nullopt;
}

}  // namespace pasdraw
