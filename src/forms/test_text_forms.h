// Test support for forms: a compilation over the commands of a script, with its log lines, and
// the two ways a text form can be migrated, compared. The binary way compiles the original
// without rules and migrates the binary form's tree; the text way edits the original in place.
// Both must convert to the same text form, with the same log.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/errors.h"
#include "driver/failure_report.h"
#include "forms/binary_form_reader.h"
#include "forms/binary_form_writer.h"
#include "forms/form_compiler.h"
#include "forms/form_to_text.h"
#include "forms/resource_header.h"
#include "forms/text_form_editor.h"
#include "script/script_reader.h"
#include "source/test_rewrite.h"

namespace reshape::test {

struct CompileRun {
  explicit CompileRun(CommandList list = {}) : commands(std::move(list)) {}
  explicit CompileRun(std::string_view script) : CompileRun(ParseScript(script)) {}

  // The compiled stream (signature and root, no header).
  std::string Compile(std::string_view text) {
    std::string compiled;
    CompileFormStream(text, rules, run, compiled);
    return compiled;
  }

  CommandList commands;
  FormRules rules{commands};
  RecordingSink logger{"Form1.dfm"};
  ChangeSink& run = logger;
};

// One migration over the commands of a script: its result and log lines, or failure message.
struct TextFormRun {
  std::string text;
  std::vector<std::string> log;
  std::string failure;
};

inline std::string_view WithoutByteOrderMark(std::string_view text) {
  return text.substr(text.starts_with("\xEF\xBB\xBF") ? 3 : 0);
}

inline TextFormRun EditTextFormRun(std::string_view text, const CommandList& commands) {
  CompileRun edit(commands);
  try {
    const std::string edited = EditTextForm(text, edit.rules, edit.run);
    return {edited, edit.logger.lines, ""};
  } catch (const Failure& e) {
    return {"", {}, TextOf(e).message};
  }
}

// Empty when the two ways agree on a text that the compiler accepts (or the compiler rejects
// it); otherwise what differs.
inline std::string CheckConsistency(std::string_view text, const CommandList& commands) {
  // The text form of a compilation, and its log lines.
  const auto toText = [](std::string_view form, const CommandList& rules = {}) {
    CompileRun compile(rules);
    const std::string compiled = compile.Compile(WithoutByteOrderMark(form));
    return std::pair(FormStreamToText(compiled, CodePage()), compile.logger.lines);
  };
  // The binary way also prints its migrated tree, as a run's difference shows it, and its changes
  // stand on the lines where editing its text form in place finds them.
  std::pair<std::string, std::vector<std::string>> binaryWay;
  CompileRun migrate(commands), inPlace(commands);
  try {
    const std::string plain = CompileRun().Compile(WithoutByteOrderMark(text));
    const std::string file = ResourceHeader(plain) + plain;
    FormTree tree = ReadBinaryForm(file);
    const std::string printed = PrintFormText(tree, CodePage());
    MigrateBinaryForm(tree, printed, migrate.rules, migrate.run);
    binaryWay = {FormFileToText(WriteFormFile(tree), CodePage()), migrate.logger.lines};
    if (PrintFormText(tree, CodePage()) != binaryWay.first) return "the printed tree differs from the form written";
    EditTextForm(printed, inPlace.rules, inPlace.run);
  } catch (const Failure&) {
    return "";
  }
  if (migrate.logger.numbers != inPlace.logger.numbers) return "line numbers differ";
  const TextFormRun edit = EditTextFormRun(text, commands);
  if (!edit.failure.empty()) return "edit failed: " + edit.failure;
  std::string textWay;
  try {
    textWay = toText(edit.text).first;
  } catch (const Failure& e) {
    return "edited text does not compile: " + TextOf(e).message + "\n" + edit.text;
  }
  if (textWay != binaryWay.first) return "binary way:\n" + binaryWay.first + "\ntext way:\n" + textWay;
  return edit.log != binaryWay.second ? "log lines differ" : "";
}

}  // namespace reshape::test
