// The text files of a generated tree: Pascal units, C++ sources and headers, package sources
// and project files, written with CR LF line breaks; AsStoredInTree turns most of them into LF
// files and gives some a UTF-8 byte-order mark, as real trees hold them.
#pragma once

#include <cstddef>
#include <string>

#include "generator_support.h"

namespace reshape::bench {

// The scope put in front of some library unit names in uses clauses ("Gui.Forms").
inline constexpr const char* kUnitScope = "Gui.";

// The text of the tree's file number `index` as it is stored: three in four with LF line
// breaks, one in ten with a UTF-8 byte-order mark.
std::string AsStoredInTree(std::string text, std::size_t index);

// A unit named UnitNNNN of about targetBytes: a uses clause, a form class with fields, and
// method bodies that use library classes.
std::string PascalUnit(Random& random, const Vocabulary& vocabulary, std::size_t index,
                       std::size_t targetBytes);

// A C++ source (header when isHeader) of about targetBytes in the same style.
std::string CppSource(Random& random, const Vocabulary& vocabulary, std::size_t index,
                      bool isHeader, std::size_t targetBytes);

// A package source that requires library packages and contains some of the units.
std::string PackageSource(Random& random, const Vocabulary& vocabulary, std::size_t index,
                          std::size_t unitCount);

// A project file listing library packages and some of the units.
std::string ProjectFile(Random& random, const Vocabulary& vocabulary, std::size_t index,
                        std::size_t unitCount);

}  // namespace reshape::bench
