#include "driver/unified_diff.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace reshape {

namespace {

constexpr std::size_t kContext = 3;
// A region whose shortest edit script is longer than this, or that takes more search steps
// than the budget, is shown as replaced as a whole: the time stays bounded on any input.
constexpr std::ptrdiff_t kMaxEdits = 2000;
constexpr std::size_t kSearchBudget = 50'000'000;

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t end = text.find('\n', pos);
    end = end == std::string_view::npos ? text.size() : end + 1;
    lines.push_back(text.substr(pos, end - pos));
    pos = end;
  }
  return lines;
}

// Which lines of a are removed and which of b are added, found by Myers' linear-space search
// for the middle of a shortest edit script, over line numbers (equal lines, equal numbers).
// Where that search gives up, lines that occur once on each side split the region first.
class LineDiff {
 public:
  LineDiff(std::vector<int> a, std::vector<int> b)
      : removed(a.size()), added(b.size()), a_(std::move(a)), b_(std::move(b)) {
    Compare(0, a_.size(), 0, b_.size());
  }

  std::vector<bool> removed, added;

 private:
  std::vector<int> a_, b_;
  std::size_t work_ = 0;

  // anchored: the region lies between two anchors, which are not looked for again, so that the
  // depth of the recursion stays that of the halving.
  void Compare(std::size_t a0, std::size_t a1, std::size_t b0, std::size_t b1,
               bool anchored = false) {
    while (a0 < a1 && b0 < b1 && a_[a0] == b_[b0]) ++a0, ++b0;
    while (a0 < a1 && b0 < b1 && a_[a1 - 1] == b_[b1 - 1]) --a1, --b1;
    std::optional<std::pair<std::size_t, std::size_t>> split;
    if (a0 < a1 && b0 < b1) split = Bisect(a0, a1, b0, b1);
    // A split at either end would not make the region smaller.
    if (split && (split->first != a0 || split->second != b0) &&
        (split->first != a1 || split->second != b1)) {
      Compare(a0, split->first, b0, split->second, anchored);
      Compare(split->first, a1, split->second, b1, anchored);
    } else if (a0 == a1 || b0 == b1 || anchored || !CompareBetweenAnchors(a0, a1, b0, b1)) {
      std::fill(removed.begin() + a0, removed.begin() + a1, true);
      std::fill(added.begin() + b0, added.begin() + b1, true);
    }
  }

  // For a region too costly to search: the lines that stand once on each side, in an order
  // both sides share (the longest such run), are kept, and the regions between them are
  // compared. False when there is no such line.
  bool CompareBetweenAnchors(std::size_t a0, std::size_t a1, std::size_t b0, std::size_t b1) {
    // Per line of a: how often it occurs there, and 1 + where it stands in b (0: nowhere,
    // kTwice: more than once).
    constexpr std::size_t kTwice = static_cast<std::size_t>(-1);
    std::unordered_map<int, std::pair<std::size_t, std::size_t>> seen;
    for (std::size_t i = a0; i < a1; ++i) ++seen[a_[i]].first;
    for (std::size_t j = b0; j < b1; ++j)
      if (auto found = seen.find(b_[j]); found != seen.end())
        found->second.second = found->second.second == 0 ? j + 1 : kTwice;
    std::vector<std::pair<std::size_t, std::size_t>> anchors;  // lines in a and b
    for (std::size_t i = a0; i < a1; ++i) {
      const auto& [count, at] = seen[a_[i]];
      if (count == 1 && at != 0 && at != kTwice) anchors.push_back({i, at - 1});
    }
    // Longest increasing run of b positions, by patience sorting.
    std::vector<std::size_t> tails, previous(anchors.size());
    for (std::size_t k = 0; k < anchors.size(); ++k) {
      auto pile =
          std::lower_bound(tails.begin(), tails.end(), anchors[k].second,
                           [&](std::size_t t, std::size_t b) { return anchors[t].second < b; });
      previous[k] = pile == tails.begin() ? anchors.size() : *(pile - 1);
      if (pile == tails.end())
        tails.push_back(k);
      else
        *pile = k;
    }
    if (tails.empty()) return false;
    std::vector<std::size_t> run;
    for (std::size_t k = tails.back(); k != anchors.size(); k = previous[k]) run.push_back(k);
    std::size_t i = a0, j = b0;
    for (auto k = run.rbegin(); k != run.rend(); ++k) {
      Compare(i, anchors[*k].first, j, anchors[*k].second, true);
      i = anchors[*k].first + 1, j = anchors[*k].second + 1;
    }
    Compare(i, a1, j, b1, true);
    return true;
  }

  // A point on a shortest edit script of the region where the forward and the backward
  // searches meet; none when the search gives up.
  std::optional<std::pair<std::size_t, std::size_t>> Bisect(std::size_t a0, std::size_t a1,
                                                            std::size_t b0, std::size_t b1) {
    using Index = std::ptrdiff_t;
    const Index n = static_cast<Index>(a1 - a0), m = static_cast<Index>(b1 - b0);
    const Index maxD = std::min<Index>((n + m + 1) / 2, kMaxEdits);
    const Index offset = maxD;
    std::vector<Index> forward(2 * maxD + 2, -1), backward(2 * maxD + 2, -1);
    forward[offset + 1] = 0;
    backward[offset + 1] = 0;
    const Index delta = n - m;
    const bool odd = delta % 2 != 0;
    Index k1start = 0, k1end = 0, k2start = 0, k2end = 0;
    auto inRange = [&](Index at) { return at >= 0 && at < 2 * maxD + 2; };
    for (Index d = 0; d < maxD; ++d) {
      if (work_ > kSearchBudget) return std::nullopt;
      for (Index k = -d + k1start; k <= d - k1end; k += 2, ++work_) {
        const Index at = offset + k;
        Index x = (k == -d || (k != d && forward[at - 1] < forward[at + 1])) ? forward[at + 1]
                                                                             : forward[at - 1] + 1;
        Index y = x - k;
        while (x < n && y < m && a_[a0 + x] == b_[b0 + y]) ++x, ++y, ++work_;
        forward[at] = x;
        if (x > n) {
          k1end += 2;
        } else if (y > m) {
          k1start += 2;
        } else if (odd) {
          const Index other = offset + delta - k;
          if (inRange(other) && backward[other] != -1 && x >= n - backward[other])
            return std::pair(a0 + x, b0 + y);
        }
      }
      for (Index k = -d + k2start; k <= d - k2end; k += 2, ++work_) {
        const Index at = offset + k;
        Index x = (k == -d || (k != d && backward[at - 1] < backward[at + 1]))
                      ? backward[at + 1]
                      : backward[at - 1] + 1;
        Index y = x - k;
        while (x < n && y < m && a_[a1 - 1 - x] == b_[b1 - 1 - y]) ++x, ++y, ++work_;
        backward[at] = x;
        if (x > n) {
          k2end += 2;
        } else if (y > m) {
          k2start += 2;
        } else if (!odd) {
          const Index other = offset + delta - k;
          if (inRange(other) && forward[other] != -1) {
            const Index fx = forward[other];
            if (fx >= n - x) return std::pair(a0 + fx, b0 + fx - (other - offset));
          }
        }
      }
    }
    return std::nullopt;
  }
};

struct Change {
  std::size_t a, aEnd, b, bEnd;  // lines a..aEnd removed, b..bEnd added
};

std::vector<Change> Changes(const std::vector<bool>& removed, const std::vector<bool>& added) {
  std::vector<Change> changes;
  const std::size_t n = removed.size(), m = added.size();
  for (std::size_t i = 0, j = 0; i < n || j < m;) {
    if (i < n && j < m && !removed[i] && !added[j]) {
      ++i, ++j;
      continue;
    }
    Change c{i, i, j, j};
    while (c.aEnd < n && removed[c.aEnd]) ++c.aEnd;
    while (c.bEnd < m && added[c.bEnd]) ++c.bEnd;
    if (c.aEnd == i && c.bEnd == j) c.aEnd = n, c.bEnd = m;  // the sides no longer pair up
    changes.push_back(c);
    i = c.aEnd, j = c.bEnd;
  }
  return changes;
}

std::string Range(std::size_t start, std::size_t count) {
  if (count == 1) return std::to_string(start + 1);
  return std::to_string(count == 0 ? start : start + 1) + "," + std::to_string(count);
}

void AppendLine(std::string& out, char prefix, std::string_view line) {
  out += prefix;
  out += line;
  if (!line.ends_with('\n')) out += "\n\\ No newline at end of file\n";
}

}  // namespace

std::string UnifiedDiff(std::string_view path, std::string_view before, std::string_view after) {
  if (before == after) return "";
  const std::vector<std::string_view> a = SplitLines(before), b = SplitLines(after);
  std::unordered_map<std::string_view, int> numbers;
  auto numbered = [&](const std::vector<std::string_view>& lines) {
    std::vector<int> result;
    result.reserve(lines.size());
    for (std::string_view line : lines)
      result.push_back(numbers.emplace(line, static_cast<int>(numbers.size())).first->second);
    return result;
  };
  std::vector<int> aNumbers = numbered(a);
  const LineDiff diff(std::move(aNumbers), numbered(b));
  const std::vector<Change> changes = Changes(diff.removed, diff.added);

  std::string out = "--- a/" + std::string(path) + "\n+++ b/" + std::string(path) + "\n";
  for (std::size_t first = 0; first < changes.size();) {
    std::size_t last = first;
    while (last + 1 < changes.size() && changes[last + 1].a - changes[last].aEnd <= 2 * kContext)
      ++last;
    const std::size_t aStart = changes[first].a - std::min(changes[first].a, kContext);
    const std::size_t bStart = changes[first].b - (changes[first].a - aStart);
    const std::size_t aEnd = std::min(a.size(), changes[last].aEnd + kContext);
    const std::size_t bEnd = changes[last].bEnd + (aEnd - changes[last].aEnd);
    out += "@@ -" + Range(aStart, aEnd - aStart) + " +" + Range(bStart, bEnd - bStart) + " @@\n";
    std::size_t i = aStart;
    for (std::size_t k = first; k <= last; ++k) {
      const Change& c = changes[k];
      for (; i < c.a; ++i) AppendLine(out, ' ', a[i]);
      for (; i < c.aEnd; ++i) AppendLine(out, '-', a[i]);
      for (std::size_t j = c.b; j < c.bEnd; ++j) AppendLine(out, '+', b[j]);
    }
    for (; i < aEnd; ++i) AppendLine(out, ' ', a[i]);
    first = last + 1;
  }
  return out;
}

}  // namespace reshape
