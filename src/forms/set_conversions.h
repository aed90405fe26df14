// The set elements that PSET conversions produce in one object, and how they reach the
// compiled object: into a set property the object already states (elements it lacks, after
// its own), or as new set properties after the object's last property.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "forms/form_stream.h"
#include "forms/tokenizer.h"

namespace reshape {

// One conversion: the set property's name and the element, as the rule gives them.
struct SetConversion {
  std::string_view set;
  std::string_view element;
};

// One property of the object's own list as compiled: its name, whether its value is a set and
// that set's elements as written; the offset in the output just past the value, and in the
// text.
struct StatedProperty {
  std::string name;
  bool isSet = false;
  std::vector<std::string_view> elements;
  std::size_t valueEnd = 0;
  std::size_t textValueEnd = 0;
};

// What the conversions did to one set property: elements added to a stated set (stated is
// that property), or a new set property (stated is null).
struct SetChange {
  const StatedProperty* stated;
  std::string_view name;
  std::vector<std::string_view> elements;
};

// Called at the end of the object's property list. Fails with "Property name expected" or
// "Set element expected" (on the tokenizer's line) for a name the text form could not read
// back. A set that the object states under a conversion's set name (ASCII case ignored; the
// last such property) gets the elements it does not hold yet; the other names get one new set
// property each, in the order of their first conversion, elements in conversion order.
// changes, when given, receives what was done, for a text form edited in place (whose writer
// discards what it is given).
void WriteSetConversions(FormWriter& writer, const std::vector<SetConversion>& conversions,
                         const std::vector<StatedProperty>& stated, const Tokenizer& tokenizer,
                         std::vector<SetChange>* changes = nullptr);

}  // namespace reshape
