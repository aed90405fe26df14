#include "forms/form_rules.h"

#include <gtest/gtest.h>

namespace reshape {
namespace {

TCommand ClassRename(std::string from, std::string to) {
  TCommand command;
  command.Kind = CommandKind::RENC;
  command.ClassName = std::move(from);
  command.NewClassName = std::move(to);
  return command;
}

TCommand PropertyRule(CommandKind kind, std::string name) {
  TCommand command;
  command.Kind = kind;
  command.PropName = std::move(name);
  return command;
}

TEST(FormRules, FirstClassRenameOfANameWinsWhateverTheCase) {
  const CommandList commands = {ClassRename("TOld", "TFirst"), ClassRename("TOther", "TX"),
                                ClassRename("TOLD", "TSecond")};
  const FormRules rules(commands);
  ASSERT_NE(rules.FindClassRename("told"), nullptr);
  EXPECT_EQ(rules.FindClassRename("told")->NewClassName, "TFirst");
  EXPECT_EQ(rules.FindClassRename("TOther")->NewClassName, "TX");
  EXPECT_EQ(rules.FindClassRename("TOld2"), nullptr);
  EXPECT_EQ(rules.FindClassRename("TOl"), nullptr);
}

TEST(FormRules, EmptyClassNameRenamesNothing) {
  const CommandList commands = {ClassRename("", "TNew")};
  EXPECT_EQ(FormRules(commands).FindClassRename("TForm1"), nullptr);
}

TEST(FormRules, PropertyRulesKeepScriptOrderPerKind) {
  const CommandList commands = {
      PropertyRule(CommandKind::DELP, "B"), ClassRename("TOld", "TNew"),
      PropertyRule(CommandKind::RENP, "A"), PropertyRule(CommandKind::DELP, "A"),
      PropertyRule(CommandKind::PSET, "C"), PropertyRule(CommandKind::RENP, "B")};
  const FormRules rules(commands);
  ASSERT_EQ(rules.PropertyRenames().size(), 2u);
  EXPECT_EQ(rules.PropertyRenames()[0], &commands[2]);
  EXPECT_EQ(rules.PropertyRenames()[1], &commands[5]);
  ASSERT_EQ(rules.PropertyDeletions().size(), 2u);
  EXPECT_EQ(rules.PropertyDeletions()[0], &commands[0]);
  EXPECT_EQ(rules.PropertyDeletions()[1], &commands[3]);
  ASSERT_EQ(rules.SetConversions().size(), 1u);
  EXPECT_EQ(rules.SetConversions()[0], &commands[4]);
}

}  // namespace
}  // namespace reshape
