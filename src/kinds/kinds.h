// Every kind's own file, and from a record type to what its kind does. The
// editor, the canvas's repaint, the text generators, recovery and picture
// from text all reach a kind through KindFor<Record>, so what differs between
// kinds is written once, in the kind's file.
#pragma once

#include <type_traits>

#include "kinds/arc.h"
#include "kinds/bar.h"
#include "kinds/circle.h"
#include "kinds/ellipse.h"
#include "kinds/fill.h"
#include "kinds/label.h"
#include "kinds/line.h"
#include "kinds/pie_slice.h"
#include "kinds/polygon.h"
#include "kinds/rectangle.h"
#include "model/kinds.h"

namespace pasdraw {

template <class Record>
struct KindBehaviour;
#define PASDRAW_KIND_BEHAVIOUR(Id, RecordType, list, role, name, plural, caption)                \
    template <>                                                                                  \
    struct KindBehaviour<RecordType> {                                                           \
        using type = Id##Kind;                                                                   \
        static_assert(std::is_same_v<Id##Kind::Record, RecordType>, "a kind of another record"); \
    };
PASDRAW_KINDS(PASDRAW_KIND_BEHAVIOUR)
#undef PASDRAW_KIND_BEHAVIOUR

// What the kind of Record does: its paint, statement, picking, handles,
// mouse tool and import, as static functions.
template <class Record>
using KindFor = typename KindBehaviour<std::remove_const_t<Record>>::type;

}  // namespace pasdraw
