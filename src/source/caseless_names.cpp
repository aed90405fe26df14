#include "source/caseless_names.h"

#include <bit>
#include <cstring>

#include "base/ascii_case.h"
#include "base/bytes.h"

namespace reshape {

std::uint64_t CaselessNames::Hash(std::string_view name) {
  constexpr std::uint64_t kCaseBits = 0xDFDFDFDFDFDFDFDFull;
  std::uint64_t hash = name.size() * kHashMultiplier;
  std::size_t at = 0;
  for (; at + 8 <= name.size(); at += 8) {
    std::uint64_t word;
    std::memcpy(&word, name.data() + at, 8);
    hash = std::rotl((hash ^ (word & kCaseBits)) * kHashMultiplier, 29);
  }
  if (at < name.size()) {
    std::uint64_t word = 0;
    std::memcpy(&word, name.data() + at, name.size() - at);
    hash = std::rotl((hash ^ (word & kCaseBits)) * kHashMultiplier, 29);
  }
  return hash * kHashMultiplier;
}

std::size_t CaselessNames::SlotOf(std::string_view name) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t slot = static_cast<std::size_t>(Hash(name) >> 32) & mask;
  while (slots_[slot] != 0 && !SameIgnoringAsciiCase(names_[slots_[slot] - 1], name))
    slot = (slot + 1) & mask;
  return slot;
}

void CaselessNames::Reserve(std::size_t count) {
  names_.reserve(count);
  if (2 * count <= slots_.size()) return;
  slots_.assign(std::bit_ceil(2 * count), 0);
  for (std::size_t i = 0; i < names_.size(); ++i)
    slots_[SlotOf(names_[i])] = static_cast<std::uint32_t>(i + 1);
}

std::size_t CaselessNames::Add(std::string_view name) {
  if (const std::size_t number = Find(name); number != kNone) return number;
  if (2 * (names_.size() + 1) > slots_.size()) Reserve(names_.size() + 1);
  slots_[SlotOf(name)] = static_cast<std::uint32_t>(names_.size() + 1);
  names_.emplace_back(name);
  return names_.size() - 1;
}

std::size_t CaselessNames::Find(std::string_view name) const {
  const std::uint32_t number = slots_[SlotOf(name)];
  return number == 0 ? kNone : number - 1;
}

}  // namespace reshape
