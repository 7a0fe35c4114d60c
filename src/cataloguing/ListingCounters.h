#pragma once

#include <atomic>
#include <cstdint>

namespace kestro {

// How far a listing walk got, readable from any thread while it runs.
struct ListingCounters {
    std::atomic<std::uint64_t> folders{0};          // folders listed (the root not counted)
    std::atomic<std::uint64_t> files{0};            // files listed
    std::atomic<std::uint64_t> unreadable{0};       // items that could not be read
    std::atomic<std::uint64_t> substitutedNames{0}; // names written with substitutes
};

} // namespace kestro
