// A fixed table from lower-case names to values, looked up with any case.
// Names are short and few, and every identifier of the text is looked up, so
// this is a small open-addressing table with a cheap hash instead of a
// general-purpose map.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pasdraw::program {

template <class Value, std::size_t Slots = 512>
class NameTable {
    static_assert((Slots & (Slots - 1)) == 0, "Slots must be a power of two");

public:
    static constexpr std::size_t MaxLength = 32;

    // `name` must be lower case and at most MaxLength long; the table must
    // keep a free slot. The first value added for a name stays.
    constexpr void add(std::string_view name, Value value) {
        for (std::size_t k = hash(name) & (Slots - 1);; k = (k + 1) & (Slots - 1)) {
            if (slots_[k].used && slots_[k].name == name) return;
            if (!slots_[k].used) {
                slots_[k] = {name, value, true};
                return;
            }
        }
    }

    const Value* find(std::string_view word) const {
        if (word.size() > MaxLength) return nullptr;
        char low[MaxLength];
        for (std::size_t k = 0; k < word.size(); ++k) {
            const char c = word[k];
            low[k] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        }
        const std::string_view key(low, word.size());
        for (std::size_t k = hash(key) & (Slots - 1);; k = (k + 1) & (Slots - 1)) {
            if (!slots_[k].used) return nullptr;
            if (slots_[k].name == key) return &slots_[k].value;
        }
    }

private:
    // FNV-1a.
    static constexpr std::size_t hash(std::string_view s) {
        uint32_t h = 2166136261u;
        for (char c : s) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
        return h;
    }

    struct Slot {
        std::string_view name;
        Value value{};
        bool used = false;
    };
    std::array<Slot, Slots> slots_{};
};

}  // namespace pasdraw::program
