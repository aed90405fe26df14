#include "driver/change_record.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <utility>

#include <nlohmann/json.hpp>

#include "base/bytes.h"

namespace reshape {

namespace {

constexpr std::array<std::string_view, 7> kKindNames = {"RENC", "RENP", "DELP", "PSET",
                                                        "RENU", "PKGR", "RENS"};

// Adds key with the text, or null and key_base64 with its bytes when they are not UTF-8: the
// JSON library accepts UTF-8 only.
void AddText(nlohmann::ordered_json& object, const std::string& key,
             std::optional<std::string_view> text) {
  const bool plain = text && IsValidUtf8(*text);
  object[key] = plain ? nlohmann::ordered_json(*text) : nullptr;
  if (text && !plain) object[key + "_base64"] = Base64(*text);
}

// The old and the new name or text of a command, as the record shows them.
std::pair<std::string, std::optional<std::string>> OldAndNew(const TCommand& c) {
  switch (c.Kind) {
    case CommandKind::RENC: return {c.ClassName, c.NewClassName};
    case CommandKind::RENP: return {c.PropName, c.NewPropName};
    case CommandKind::DELP: return {c.PropName, std::nullopt};
    case CommandKind::PSET:
      return {c.PropName + " = " + c.PropValue, c.NewPropName + "[" + c.SetValue + "]"};
    case CommandKind::RENU: return {c.UnitName, c.NewUnitName};
    case CommandKind::PKGR: return {c.PackageName, c.NewPackageName};
    case CommandKind::RENS: return {c.OldString, c.NewString};
  }
  return {};
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();)
    if (DecodeUtf8(bytes, i) < 0) return false;
  return true;
}

std::string Base64(std::string_view bytes) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
    std::uint32_t group = 0;
    for (std::size_t k = 0; k < 3; ++k)
      group = group << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    for (std::size_t k = 0; k < 4; ++k)
      out += k <= n ? kAlphabet[(group >> (18 - 6 * k)) & 0x3F] : '=';
  }
  return out;
}

std::string JsonChangeLine(const ChangeRecord& record) {
  nlohmann::ordered_json object = nlohmann::ordered_json::object();
  AddText(object, "file", record.file);
  object["line"] = record.line > 0 ? nlohmann::ordered_json(record.line) : nullptr;
  const TCommand* c = record.command;
  object["script_line"] = c ? nlohmann::ordered_json(c->ScriptLine) : nullptr;
  AddText(object, "command", c ? std::optional<std::string_view>(c->Text) : std::nullopt);
  object["kind"] = c ? nlohmann::ordered_json(kKindNames[static_cast<int>(c->Kind)]) : nullptr;
  std::pair<std::string, std::optional<std::string>> oldAndNew;
  if (c) oldAndNew = OldAndNew(*c);
  AddText(object, "old", c ? std::optional<std::string_view>(oldAndNew.first) : std::nullopt);
  AddText(object, "new", oldAndNew.second);
  AddText(object, "message", record.message);
  return object.dump() + "\n";
}

}  // namespace reshape
