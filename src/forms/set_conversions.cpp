#include "forms/set_conversions.h"

#include <algorithm>

#include "base/ascii_case.h"

namespace reshape {

namespace {

constexpr std::size_t kMaxNameLength = 255;

struct SetGroup {
  std::string_view name;
  std::vector<std::string_view> elements;
};

std::vector<SetGroup> GroupByName(const std::vector<SetConversion>& conversions) {
  std::vector<SetGroup> groups;
  for (const SetConversion& conversion : conversions) {
    auto same = [&](const SetGroup& g) { return SameIgnoringAsciiCase(g.name, conversion.set); };
    auto group = std::find_if(groups.begin(), groups.end(), same);
    if (group == groups.end()) group = groups.insert(groups.end(), {conversion.set, {}});
    group->elements.push_back(conversion.element);
  }
  return groups;
}

void CheckNames(const std::vector<SetGroup>& groups, const Tokenizer& tokenizer) {
  for (const SetGroup& group : groups) {
    if (group.name.size() > kMaxNameLength || !IsDottedIdentifier(group.name))
      tokenizer.Fail("Property name expected");
    for (std::string_view element : group.elements)
      if (element.size() > kMaxNameLength || !IsIdentifier(element))
        tokenizer.Fail("Set element expected");
  }
}

std::string_view ShortStringAt(const std::string& out, std::size_t at) {
  return std::string_view(out).substr(at + 1, static_cast<std::uint8_t>(out[at]));
}

// The last stated property named name; null when there is none.
const StatedProperty* FindStated(const std::string& out, const std::vector<StatedProperty>& stated,
                                 std::string_view name) {
  for (auto it = stated.rbegin(); it != stated.rend(); ++it)
    if (SameIgnoringAsciiCase(ShortStringAt(out, it->nameAt), name)) return &*it;
  return nullptr;
}

struct Insertion {
  std::size_t at;
  std::string bytes;
};

// The elements of group that the set at valueAt lacks, as short strings, to go before the
// empty name that ends the set.
Insertion ExtendStatedSet(const std::string& out, std::size_t valueAt, const SetGroup& group,
                          std::vector<std::string_view>& added) {
  std::vector<std::string_view> held;
  std::size_t at = valueAt + 1;
  for (std::string_view e; !(e = ShortStringAt(out, at)).empty(); at += 1 + e.size())
    held.push_back(e);
  Insertion insertion{at, {}};
  for (std::string_view element : group.elements) {
    auto same = [&](std::string_view h) { return SameIgnoringAsciiCase(h, element); };
    if (std::any_of(held.begin(), held.end(), same)) continue;
    held.push_back(element);
    added.push_back(element);
    insertion.bytes += static_cast<char>(element.size());
    insertion.bytes += element;
  }
  return insertion;
}

}  // namespace

void WriteSetConversions(FormWriter& writer, const std::vector<SetConversion>& conversions,
                         const std::vector<StatedProperty>& stated, const Tokenizer& tokenizer,
                         std::vector<SetChange>* changes) {
  if (conversions.empty()) return;
  const std::vector<SetGroup> groups = GroupByName(conversions);
  CheckNames(groups, tokenizer);
  std::string& out = writer.Out();
  std::vector<Insertion> insertions;
  std::vector<const SetGroup*> newSets;
  for (const SetGroup& group : groups) {
    const StatedProperty* property = FindStated(out, stated, group.name);
    if (property && static_cast<std::uint8_t>(out[property->valueAt]) == TagSet) {
      std::vector<std::string_view> added;
      insertions.push_back(ExtendStatedSet(out, property->valueAt, group, added));
      if (changes && !added.empty()) changes->push_back({property, group.name, std::move(added)});
    } else {
      newSets.push_back(&group);
    }
  }
  // From the back, so that each insertion leaves the offsets of the others valid.
  std::ranges::sort(insertions, std::ranges::greater{}, &Insertion::at);
  for (const Insertion& insertion : insertions) out.insert(insertion.at, insertion.bytes);
  for (const SetGroup* group : newSets) {
    if (changes) changes->push_back({nullptr, group->name, group->elements});
    writer.WriteShortString(group->name);
    writer.WriteTag(TagSet);
    for (std::string_view element : group->elements) writer.WriteShortString(element);
    writer.WriteShortString("");
  }
}

}  // namespace reshape
