#include "model/picture.h"

namespace pasdraw {

bool isKind(int16_t tool) { return tool >= 1 && tool <= static_cast<int16_t>(KindCount); }

int16_t Picture::count(Kind kind) const {
    return withList(kind, [](const auto& list) { return list.count(); });
}

int Picture::recordCount() const {
    int n = 0;
    forEachList([&n](Kind, const auto& list) { n += list.count(); });
    return n;
}

bool Picture::empty() const { return recordCount() == 0; }

CommitResult Picture::commitFill(int16_t x, int16_t y) {
    RecordOfKind<Kind::Fill> record;
    record.X = x;
    record.Y = y;
    return commit(record);
}

}  // namespace pasdraw
