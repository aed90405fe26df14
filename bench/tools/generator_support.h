// Shared pieces of the benchmark tree generator: a seeded random source that gives the same
// numbers on every platform, and the names that the generated files and scripts use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace reshape::bench {

// splitmix64: small, fast, and identical everywhere (unlike the standard distributions).
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // A number in [0, bound).
  std::size_t Below(std::size_t bound) { return bound == 0 ? 0 : Next() % bound; }
  // A number in [low, high].
  std::size_t Between(std::size_t low, std::size_t high) { return low + Below(high - low + 1); }
  double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
  bool Chance(double p) { return Unit() < p; }

 private:
  std::uint64_t state_;
};

// The names a generated tree is made of. Class names that the tree uses are drawn with
// falling weights (a few classes are everywhere, most are rare), as in real projects.
struct Vocabulary {
  explicit Vocabulary(std::uint64_t seed);

  // Library classes the tree uses, most used first.
  std::vector<std::string> usedClasses;
  // Library classes that occur nowhere in the tree (the rest of a migration script).
  std::vector<std::string> unusedClasses;
  // Library units; the first ones are renamed by the scripts.
  std::vector<std::string> libraryUnits;
  std::vector<std::string> packages;

  // A used class, the first ones far more often than the last.
  const std::string& UsedClass(Random& random) const;

  // Sources also hold lines that name a class two or three times, in C++ templates and casts,
  // indented by tabs (one statement in six); off, the tree is the one generated before.
  bool denseLines = false;

 private:
  std::vector<double> cumulative_;
};

// Class renames in script order: the first ones hit classes the tree uses, spread over their
// ranks; the rest name library classes that the tree never mentions.
std::vector<std::string> RenamedClasses(const Vocabulary& vocabulary, std::size_t count);
constexpr std::size_t kRenamesThatHit = 50;
constexpr std::size_t kRenamedUnits = 10;
constexpr std::size_t kRenamedPackages = 5;

// The new name a script gives a renamed class, unit or package.
std::string NewName(const std::string& name);

}  // namespace reshape::bench
