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

}  // namespace

void WriteSetConversions(FormWriter& writer, const std::vector<SetConversion>& conversions,
                         const std::vector<StatedProperty>& stated, const Tokenizer& tokenizer,
                         std::vector<SetChange>* changes) {
  if (conversions.empty()) return;
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
    // Names and elements as the output holds them: cut to 255 bytes.
    auto named = [&](const StatedProperty& p) {
      return SameIgnoringAsciiCase(std::string_view(p.name).substr(0, kMaxNameLength), group.name);
    };
    const auto property = std::find_if(stated.rbegin(), stated.rend(), named);
    if (property == stated.rend() || !property->isSet) {
      newSets.push_back(&group);
      continue;
    }
    // The elements the set lacks go as short strings before the empty name that ends it.
    std::vector<std::string_view> held;
    for (std::string_view e : property->elements) held.push_back(e.substr(0, kMaxNameLength));
    const std::size_t heldBefore = held.size();
    std::string& bytes = insertions[property->valueEnd - 1];
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
  if (!writer.Discards())
    for (const auto& [at, bytes] : insertions) writer.Out().insert(at, bytes);
  for (const SetGroup* group : newSets) {
    if (changes) changes->push_back({nullptr, group->name, group->elements});
    writer.WriteShortString(group->name);
    writer.WriteTag(TagSet);
    for (std::string_view element : group->elements) writer.WriteShortString(element);
    writer.WriteShortString("");
  }
}

}  // namespace reshape
