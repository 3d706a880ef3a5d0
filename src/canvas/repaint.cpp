#include "canvas/repaint.h"

#include <type_traits>

#include "kinds/kinds.h"
#include "model/palette.h"

namespace pasdraw {

void drowob(const Picture& picture, Surface& surface) {
    surface.setFillColor(Black);
    surface.Cls();
    surface.LineBox(0.0f, 0.0f, static_cast<float>(CanvasWidth), static_cast<float>(CanvasHeight), White);
    // Floods come last in the kind order, so every outline of the border
    // colour is on the canvas before they flood.
    picture.forEachList([&surface](Kind, const auto& list) {
        using Record = typename std::decay_t<decltype(list)>::value_type;
        constexpr bool floods = roleOfRecord<Record> == KindRole::Flood;
        if constexpr (floods) surface.beginFillReplay();
        for (const Record& r : list.records()) KindFor<Record>::paint(surface, r);
        if constexpr (floods) surface.endFillReplay();
    });
}

}  // namespace pasdraw
