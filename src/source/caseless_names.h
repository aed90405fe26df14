// A set of names looked up ignoring ASCII letter case, each with the number it was added under.
// The word renames ask it about most words of a text, so a look-up neither copies nor
// upper-cases the name it is asked about.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace reshape {

class CaselessNames {
 public:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  // Room for this many names without growing.
  void Reserve(std::size_t count);
  // The number of the name: the count of different names added before it, when it is new.
  std::size_t Add(std::string_view name);
  // The number of the name, or kNone when it was never added.
  std::size_t Find(std::string_view name) const;
  bool Empty() const { return names_.empty(); }

 private:
  // Equal for names that differ only in ASCII letter case: bit 5, which tells a letter's two
  // cases apart, is cleared in every byte before hashing.
  static std::uint64_t Hash(std::string_view name);
  std::size_t SlotOf(std::string_view name) const;

  std::vector<std::string> names_;
  // Open addressing: a name's number plus one, or 0 for a free slot; a power of two in size
  // and at most half full, so a search soon meets a free slot.
  std::vector<std::uint32_t> slots_ = std::vector<std::uint32_t>(16);
};

}  // namespace reshape
