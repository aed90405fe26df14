#include "generator_support.h"

#include <algorithm>
#include <set>

namespace reshape::bench {

namespace {

constexpr const char* kPrefixes[] = {
    "",      "Custom", "DB",    "Rich",  "Check",  "Radio", "Scroll", "Tool",   "Status",
    "Page",  "Tab",    "Tree",  "List",  "Combo",  "Image", "Speed",  "Bit",    "Shape",
    "Bevel", "Split",  "Header", "Track", "Progress", "Date", "Month", "Color", "Font",
    "Open",  "Save",   "Print", "Find",  "Main",   "Popup", "Action", "Hot",   "Drive",
    "Dir",   "Mask",   "Memo",  "Grid"};
constexpr const char* kBases[] = {
    "Button", "Edit",   "Label",     "Panel",  "Box",    "Grid",   "View",   "Bar",
    "Control", "Sheet", "Memo",      "List",   "Menu",   "Item",   "Dialog", "Frame",
    "Picker", "Header", "Splitter",  "Shape",  "Timer",  "Image",  "Chart",  "Navigator",
    "Query",  "Table",  "Source",    "Field",  "Column", "Action"};
constexpr const char* kUnits[] = {
    "DBTables", "Db",       "DBCtrls",  "DBGrids",  "Mask",     "Buttons",  "ComCtrls",
    "ToolWin",  "Menus",    "ExtDlgs",  "Windows",  "Messages", "SysUtils", "Classes",
    "Graphics", "Controls", "Forms",    "Dialogs",  "StdCtrls", "ExtCtrls", "Grids",
    "ImgList",  "ActnList", "CheckLst", "Spin",     "Tabs",     "FileCtrl", "Printers",
    "ShellAPI", "Registry", "IniFiles", "Math",     "StrUtils", "Variants", "Contnrs",
    "Clipbrd",  "Jpeg",     "AppEvnts", "OleCtrls", "ComObj"};
constexpr const char* kPackages[] = {"vcl50",   "vclx50",  "vcldb50", "vcldbx50", "bdertl50",
                                     "rtl50",   "vclsmp50", "qrpt50",  "teeui50", "dss50",
                                     "ibxpress50", "nmfast50", "inetdb50", "inet50", "dclocx50"};

}  // namespace

Vocabulary::Vocabulary(std::uint64_t seed) {
  std::vector<std::string> all;
  for (const char* base : kBases)
    for (const char* prefix : kPrefixes) {
      all.push_back(std::string("T") + prefix + base);
      all.push_back(std::string("T") + prefix + base + "Ex");
    }
  // A fixed shuffle decides which library classes the tree uses and how often.
  Random random(seed ^ 0xC1A55E5ull);
  for (std::size_t i = all.size(); i > 1; --i) std::swap(all[i - 1], all[random.Below(i)]);
  usedClasses.assign(all.begin(), all.begin() + 300);
  unusedClasses.assign(all.begin() + 300, all.end());
  double total = 0;
  for (std::size_t rank = 1; rank <= usedClasses.size(); ++rank) {
    total += 1.0 / static_cast<double>(rank);
    cumulative_.push_back(total);
  }
  for (double& c : cumulative_) c /= total;
  libraryUnits.assign(std::begin(kUnits), std::end(kUnits));
  packages.assign(std::begin(kPackages), std::end(kPackages));
}

const std::string& Vocabulary::UsedClass(Random& random) const {
  double u = random.Unit();
  auto at = std::lower_bound(cumulative_.begin(), cumulative_.end(), u);
  std::size_t index = std::min<std::size_t>(at - cumulative_.begin(), usedClasses.size() - 1);
  return usedClasses[index];
}

std::vector<std::string> RenamedClasses(const Vocabulary& vocabulary, std::size_t count) {
  std::vector<std::string> names;
  const std::size_t step = vocabulary.usedClasses.size() / kRenamesThatHit;
  for (std::size_t i = 0; i < kRenamesThatHit && names.size() < count; ++i)
    names.push_back(vocabulary.usedClasses[2 + i * step]);
  for (std::size_t i = 0; names.size() < count && i < vocabulary.unusedClasses.size(); ++i)
    names.push_back(vocabulary.unusedClasses[i]);
  return names;
}

std::string NewName(const std::string& name) { return name + "2"; }

}  // namespace reshape::bench
