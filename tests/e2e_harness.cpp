#include "e2e_harness.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "forms/form_compiler.h"
#include "source/test_rewrite.h"

namespace reshape::e2e {

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = fs::temp_directory_path() / ("reshape-e2e-" + std::to_string(random()));
    if (fs::create_directory(candidate)) {
      path_ = candidate.string();
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir() {
  std::error_code ignored;
  // Read-only entries must be writable again before they can be removed.
  for (auto& entry : fs::recursive_directory_iterator(path_, ignored))
    fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

std::string TempDir::operator/(const std::string& name) const {
  std::string path = path_ + "/" + name;
  if (fs::path::preferred_separator != '/')
    std::replace(path.begin(), path.end(), '/', static_cast<char>(fs::path::preferred_separator));
  return path;
}

void TempDir::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream out(*this / name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + name);
}

std::string TempDir::Read(const std::string& name) const {
  std::ifstream in(*this / name, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool TempDir::Exists(const std::string& name) const { return fs::exists(*this / name); }

void TempDir::SetReadOnly(const std::string& name, bool readOnly) const {
  fs::permissions(*this / name, fs::perms::owner_write,
                  readOnly ? fs::perm_options::remove : fs::perm_options::add);
}

std::vector<std::string> TempDir::List() const {
  std::vector<std::string> names;
  for (auto& entry : fs::directory_iterator(path_))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string ModuleName() { return fs::path(ReshapeExecutable()).filename().string(); }

std::string CompileFormText(const std::string& text) {
  CommandList none;
  test::RecordingSink changes;
  return CompileFormFile(text, FormRules(none), changes);
}

std::string MaskAddress(const std::string& output) {
  static const std::regex address(" at [0-9A-F]{8}\\.\n");
  return std::regex_replace(output, address, " at ADDRESS.\n");
}

std::string Report(const std::string& kind, const std::string& message) {
  return "Exception " + kind + " in module " + ModuleName() + " at ADDRESS.\n" + message + "\n";
}

}  // namespace reshape::e2e
