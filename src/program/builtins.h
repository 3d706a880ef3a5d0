// The names a program text may use without declaring them: the header's six
// variables, the routines and functions the preview runs, the constants of the graph and
// crt units, and the names the compiler knows that the preview does not run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "program/syntax.h"

namespace pasdraw::program {

// A Condition is a boolean constant (TopOn, TopOff, ClipOn, ClipOff).
enum class NameKind : uint8_t { Var, Routine, Function, Constant, Condition, Elsewhere, Unknown };

// A Function's index past the graph unit's functions: the system unit's random.
inline constexpr uint8_t RandomFunction = GraphFunctionCount;

struct Name {
    NameKind kind = NameKind::Unknown;
    // A Var's ProgramVar, a Routine's Routine, a Function's GraphFunction or
    // RandomFunction, a Constant's value (every constant of the units the
    // preview knows is below 256).
    uint8_t index = 0;
};

// Looks a word of the text up, in any case.
Name lookUp(std::string_view word);

struct RoutineInfo {
    std::string_view name;  // lower case, as error messages write it
    std::size_t parameters;
    unsigned booleans = 0;  // bit k: parameter k is a boolean
};

RoutineInfo routineInfo(Routine r);

}  // namespace pasdraw::program
