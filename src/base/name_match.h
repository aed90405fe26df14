// Names in directory searches: wildcard masks, and the order in which a search delivers its
// entries, the same on every platform so that runs repeat exactly.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace reshape {

// "*" matches any run of characters (also none), "?" exactly one; ASCII letters compare
// without case, so "*.PAS" matches "unit1.pas".
bool MatchesMask(std::string_view name, std::string_view mask);
// The masks (at most eight) that match the name: bit i set when mask i matches.
std::uint8_t MatchingMasks(std::string_view name, std::span<const std::string_view> masks);

// The order of a listing: ascending by the ASCII-upper-cased names, ties by the raw bytes.
bool ListedBefore(std::string_view a, std::string_view b);

}  // namespace reshape
