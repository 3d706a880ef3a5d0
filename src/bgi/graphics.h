// The graph unit's drawing routines as one interface, with every parameter in
// the unit's own type: smallint coordinates, word colours, angles and radii.
// The caller converts its integers the way a Pascal call converts them (by
// truncation to 16 bits), so an implementation sees exactly what the compiled
// program would hand the unit. The preview's screen draws these calls; a
// recorder can turn them into picture records instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <utility>

#include "bgi/routines.h"
#include "bgi/viewport.h"

namespace pasdraw {

class BgiGraphics {
public:
    virtual ~BgiGraphics() = default;

    // Where in the text the next call stands (1-based), for implementations
    // that report on calls; the screen ignores it.
    virtual void at(int line, int column) {
        (void)line;
        (void)column;
    }

#define PASDRAW_DECLARE_ROUTINE(id, name, params, args) virtual void id params = 0;
    PASDRAW_GRAPH_ROUTINES(PASDRAW_DECLARE_ROUTINE)
#undef PASDRAW_DECLARE_ROUTINE

#define PASDRAW_DECLARE_FUNCTION(id, name, result, params, args) virtual result id params = 0;
    PASDRAW_GRAPH_FUNCTIONS(PASDRAW_DECLARE_FUNCTION)
#undef PASDRAW_DECLARE_FUNCTION

    // Work done so far, in pixels written or visited (a recorder may count
    // calls). The interpreter stops a runaway program on this and on its own
    // statement count, so a loop of full-screen fills cannot freeze the editor.
    virtual uint64_t work() const = 0;

    // The settings the calls so far left that decide what the interpreter
    // refuses to run: the viewport (SetViewPort, ClearDevice) and the text
    // size (SetTextStyle). A screen answers its own; an implementation that
    // keeps none answers what initgraph leaves.
    virtual Viewport viewport() const { return {}; }
    virtual int textSize() const { return 1; }
};

namespace detail {

template <class P, class Int>
P argument(const Int* args, const std::string_view* texts, std::size_t k) {
    if constexpr (std::is_same_v<P, ShortString>)
        return ShortString{texts != nullptr ? texts[k] : std::string_view{}};
    else
        return static_cast<P>(args[k]);
}

template <class Int, class... P, std::size_t... I>
void callWith(BgiGraphics& g, void (BgiGraphics::*routine)(P...), const Int* args,
              const std::string_view* texts, std::index_sequence<I...>) {
    (void)args;  // a routine without parameters reads none
    (void)texts;
    (g.*routine)(argument<P>(args, texts, I)...);
}

template <class Int, class R, class... P, std::size_t... I>
int64_t askWith(BgiGraphics& g, R (BgiGraphics::*function)(P...), const Int* args,
                std::index_sequence<I...>) {
    (void)args;
    return static_cast<int64_t>((g.*function)(static_cast<P>(args[I])...));
}

template <class Int, class... P>
void callWith(BgiGraphics& g, void (BgiGraphics::*routine)(P...), const Int* args,
              const std::string_view* texts) {
    callWith(g, routine, args, texts, std::index_sequence_for<P...>{});
}

}  // namespace detail

// Calls function f with as many of args as it has parameters, converted like
// callRoutine's, and returns its result.
template <class Int>
inline int64_t callFunction(BgiGraphics& g, GraphFunction f, const Int* args) {
    switch (f) {
#define PASDRAW_CALL_FUNCTION(id, name, result, params, arguments) \
    case GraphFunction::id:                                        \
        return detail::askWith(g, &BgiGraphics::id, args,          \
                               std::make_index_sequence<parameterCount(GraphFunction::id)>{});
        PASDRAW_GRAPH_FUNCTIONS(PASDRAW_CALL_FUNCTION)
#undef PASDRAW_CALL_FUNCTION
    }
    return 0;
}

// Calls routine r with as many of args as it has parameters, each converted
// to its parameter's 16 bits the way a Pascal call converts it. A string
// parameter k takes texts[k] instead (args[k] is not read), or an empty
// string without texts.
template <class Int>
inline void callRoutine(BgiGraphics& g, GraphRoutine r, const Int* args,
                        const std::string_view* texts = nullptr) {
    switch (r) {
#define PASDRAW_CALL_ROUTINE(id, name, params, arguments) \
    case GraphRoutine::id: detail::callWith(g, &BgiGraphics::id, args, texts); break;
        PASDRAW_GRAPH_ROUTINES(PASDRAW_CALL_ROUTINE)
#undef PASDRAW_CALL_ROUTINE
    }
}

}  // namespace pasdraw
