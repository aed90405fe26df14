// Names in directory searches: wildcard masks, and the order in which a search delivers its
// entries, the same on every platform so that runs repeat exactly.
#pragma once

#include <compare>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace reshape {

// What every name of the same file shares: its volume and its number on that volume. Not
// `known` where the system does not tell.
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  bool known = false;
  auto operator<=>(const FileIdentity&) const = default;
};

struct DirEntry {
  std::string Name;
  bool ReadOnly = false;
  bool Directory = false;
  // Shared by every name of the same file, where the listing learns it.
  FileIdentity Identity;
  // Bit i set: the listing's mask i matches the name.
  std::uint8_t Masks = 0;
};

// "*" matches any run of characters (also none), "?" exactly one; ASCII letters compare
// without case, so "*.PAS" matches "unit1.pas".
bool MatchesMask(std::string_view name, std::string_view mask);
// The masks (at most eight) that match the name, as DirEntry::Masks holds them.
std::uint8_t MatchingMasks(std::string_view name, std::span<const std::string_view> masks);

// Ascending by the ASCII-upper-cased names, ties by the raw bytes.
void SortDirectoryEntries(std::vector<DirEntry>& entries);

}  // namespace reshape
