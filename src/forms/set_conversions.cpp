#include "forms/set_conversions.h"

#include <algorithm>
#include <functional>
#include <map>

#include "base/ascii_case.h"

namespace reshape {

namespace {


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

std::string_view ShortStringAt(const std::string& out, std::size_t at) {
  return std::string_view(out).substr(at + 1, static_cast<std::uint8_t>(out[at]));
}

}  // namespace

void WriteSetConversions(FormWriter& writer, const std::vector<SetConversion>& conversions,
                         const std::vector<StatedProperty>& stated, const Tokenizer& tokenizer,
                         std::vector<SetChange>* changes) {
  if (conversions.empty()) return;
  std::string& out = writer.Out();
  // Ordered from the back, so that each insertion leaves the offsets of the others valid.
  std::map<std::size_t, std::string, std::greater<>> insertions;
  std::vector<const SetGroup*> newSets;
  const std::vector<SetGroup> groups = GroupByName(conversions);
  for (const SetGroup& group : groups) {
    if (group.name.size() > kMaxNameLength || !IsDottedIdentifier(group.name))
      tokenizer.Fail("Property name expected");
    for (std::string_view element : group.elements)
      if (element.size() > kMaxNameLength || !IsIdentifier(element))
        tokenizer.Fail("Set element expected");
    auto named = [&](const StatedProperty& p) {
      return SameIgnoringAsciiCase(ShortStringAt(out, p.nameAt), group.name);
    };
    const auto property = std::find_if(stated.rbegin(), stated.rend(), named);
    if (property == stated.rend() || static_cast<std::uint8_t>(out[property->valueAt]) != TagSet) {
      newSets.push_back(&group);
      continue;
    }
    // The elements the set lacks go as short strings before the empty name that ends it.
    std::vector<std::string_view> held;
    std::size_t at = property->valueAt + 1;
    for (std::string_view e; !(e = ShortStringAt(out, at)).empty(); at += 1 + e.size())
      held.push_back(e);
    const std::size_t heldBefore = held.size();
    std::string& bytes = insertions[at];
    for (std::string_view element : group.elements) {
      auto same = [&](std::string_view h) { return SameIgnoringAsciiCase(h, element); };
      if (std::ranges::any_of(held, same)) continue;
      held.push_back(element);
      bytes += static_cast<char>(element.size());
      bytes += element;
    }
    if (changes && held.size() > heldBefore)
      changes->push_back({&*property, group.name, {held.begin() + heldBefore, held.end()}});
  }
  for (const auto& [at, bytes] : insertions) out.insert(at, bytes);
  for (const SetGroup* group : newSets) {
    if (changes) changes->push_back({nullptr, group->name, group->elements});
    writer.WriteShortString(group->name);
    writer.WriteTag(TagSet);
    for (std::string_view element : group->elements) writer.WriteShortString(element);
    writer.WriteShortString("");
  }
}

}  // namespace reshape
