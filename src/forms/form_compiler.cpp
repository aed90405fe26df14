#include "forms/form_compiler.h"

#include "forms/binary_form_reader.h"
#include "forms/binary_form_writer.h"
#include "forms/form_to_text.h"
#include "forms/form_migration.h"
#include "forms/text_form_reader.h"

namespace reshape {

std::string CompileFormFile(std::string_view text, const FormRules& rules, ChangeSink& changes) {
  FormMigration migration(rules, changes);
  return WriteFormFile(ReadTextForm(text, migration));
}

void CompileFormStream(std::string_view text, const FormRules& rules, ChangeSink& changes,
                       std::string& out) {
  FormMigration migration(rules, changes);
  WriteFormStream(ReadTextForm(text, migration), out);
}

std::string ConvertFormFile(std::string_view formFile, const FormRules& rules, ChangeSink& changes) {
  FormTree tree = ReadBinaryForm(formFile);
  MigrateBinaryForm(tree, PrintFormText(tree, CodePage()), rules, changes);
  return WriteFormFile(tree);
}

namespace {

class NoChanges final : public ChangeSink {
 public:
  void Add(const Change&) override {}
};

}  // namespace

void MigrateBinaryForm(FormTree& tree, std::string_view text, const FormRules& rules,
                       ChangeSink& changes) {
  if (!tree.readsBackAsText) {
    NoChanges none;
    FormMigration reading(rules, none);
    ReadTextForm(text, reading);
  }
  FormMigration migration(rules, changes);
  MigrateBinaryTree(tree, migration);
}

}  // namespace reshape
