// One graph-unit call as data: written out as a Pascal statement for the
// reference program and applied to a BgiScreen, so both see the same call.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "bgi/bgi_screen.h"

namespace pasdraw::testing {

using Op = GraphRoutine;

struct BgiCall {
    Op op;
    // In the order of the Pascal routine's parameters; 64 bits, so that a
    // colour may go past what its 32-bit parameter holds.
    std::vector<int64_t> args;
};

inline std::string pascal(const BgiCall& c) {
    std::string s(pascalName(c.op));
    if (c.args.empty()) return s;
    s += '(';
    // A boolean parameter (bar3d's top) takes false or true, not a number.
    for (std::size_t i = 0; i < c.args.size(); ++i)
        s += (i ? "," : "") + ((booleanParameters(c.op) >> i) & 1 ? std::string(c.args[i] ? "true" : "false")
                                                                  : std::to_string(c.args[i]));
    return s + ')';
}

inline std::string pascal(const std::vector<BgiCall>& calls) {
    std::string s;
    for (const BgiCall& c : calls) s += pascal(c) + ";";
    return s;
}

inline void apply(BgiScreen& screen, const BgiCall& c) {
    if (c.args.size() != parameterCount(c.op))
        throw std::invalid_argument(pascal(c) + ": wrong number of arguments");
    callRoutine(screen, c.op, c.args.data());
}

inline void apply(BgiScreen& screen, const std::vector<BgiCall>& calls) {
    for (const BgiCall& c : calls) apply(screen, c);
}

}  // namespace pasdraw::testing
