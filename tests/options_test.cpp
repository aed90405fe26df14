// End-to-end runs with options: runs over a tree, runs over a file or two, and command lines
// that cannot be read.
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "e2e_harness.h"
#include "e2e_scenario.h"

namespace reshape::e2e {
namespace {

// Paths as the program prints them: with "\\" on Windows.
std::string Native(std::string text) {
#ifdef _WIN32
  std::replace(text.begin(), text.end(), '/', '\\');
#endif
  return text;
}

const std::string kForm = "object F: TForm\r\n  Caption = 'x'\r\n  object B: TFoo\r\n  end\r\nend\r\n";
const std::string kBadForm = "object F: TForm\r\n  Caption = \r\nend\r\n";
const std::string kParserError = Report("EParserError", "Identifier expected on line 4.");
const Tree kTree = {{"job.scr", "RENC>TFoo,TBar\r\nRENU>Old,New\r\nRENP>Caption,Text\r\n"},
                    {"A.PAS", "unit Old;\nvar x: TFoo;\n"}, {"sub/B.pas", "uses Old;\n"}, {"sub/deep/C.dfm", kForm},
                    {"sub/.git/D.PAS", "TFoo\n"}, {"__history/E.PAS", "TFoo\n"}};

Scenario TreeRun(const char* name, std::vector<std::string> arguments, std::string output, Tree after,
                 int exitCode = 0) {
  return {.name = name, .files = kTree, .directories = {"sub/deep", "sub/.git", "__history"},
          .arguments = arguments, .exitCode = exitCode, .output = output, .after = after};
}

// Recursive runs visit the tree depth first; a dry run shows each progress line of the real run
// with the file's log lines after it, and writes nothing; an all-or-nothing run puts every file
// in place at its end, or none when a file fails.
TEST(OptionsE2E, TreeRuns) {
  const std::string progress = Native(
      "A.PAS...Converted\nsub/B.pas...No change\nA.PAS...Converted\nsub/B.pas...Converted\n"
      "sub/deep/C.dfm ...Converted\n");
  const std::string log = Native(
      "A.PAS> Renamed class \"TFoo\" to \"TBar\"\r\nA.PAS> Renamed unit \"Old\" to \"New\"\r\n"
      "SUB/B.PAS> Renamed unit \"Old\" to \"New\"\r\nSUB/DEEP/C.DFM> Renamed propertry \"Caption\" to \"Text\"\r\n"
      "SUB/DEEP/C.DFM> Renamed class \"TFoo\" to \"TBar\"\r\n");
  const std::string formAfter = "object F: TForm\r\n  Text = 'x'\r\n  object B: TBar\r\n  end\r\nend\r\n";
  const Tree converted = {{"A.PAS", "unit New;\nvar x: TBar;\n"}, {"sub/B.pas", "uses New;\n"},
                          {"sub/deep/C.dfm", formAfter}, {"sub/deep/C.dfb", kForm}, {"sub/.git/D.PAS", "TFoo\n"},
                          {"__history/E.PAS", "TFoo\n"}, {"job.LOG", log}};
  Tree untouched = kTree;
  untouched["job.LOG"] = untouched["sub/deep/C.dfb"] = "<missing>";
  std::vector<Scenario> cases = {
      TreeRun("recursive", {"-r", "job.scr"}, progress, converted),
      TreeRun("dry run", {"-rn", "job.scr"},
              Native("A.PAS...Converted\nA.PAS> Renamed class \"TFoo\" to \"TBar\"\nsub/B.pas...No change\n"
                     "A.PAS...Converted\nA.PAS> Renamed unit \"Old\" to \"New\"\n"
                     "sub/B.pas...Converted\nSUB/B.PAS> Renamed unit \"Old\" to \"New\"\n"
                     "sub/deep/C.dfm ...Converted\nSUB/DEEP/C.DFM> Renamed propertry \"Caption\" to \"Text\"\n"
                     "SUB/DEEP/C.DFM> Renamed class \"TFoo\" to \"TBar\"\n"),
              untouched),
      TreeRun("all or nothing", {"-r", "--atomic", "--summary", "job.scr"},
              progress + "1: RENC>TFoo,TBar: 2 changes in 2 files\n2: RENU>Old,New: 2 changes in 2 files\n"
                         "3: RENP>Caption,Text: 1 change in 1 file\n",
              converted),
      TreeRun("all or nothing, a form fails", {"--recursive", "--atomic", "job.scr"},
              progress + Native("sub/deep/Z.DFM ...") + kParserError + "Nothing was changed\n",
              {{"A.PAS", kTree.at("A.PAS")}, {"job.LOG", "<missing>"}, {"sub/deep/C.dfb", "<missing>"},
               {"sub/deep/Z.dfb", "<missing>"}}, 1),
  };
  cases.back().files["sub/deep/Z.DFM"] = kBadForm;
  for (const Scenario& c : cases) RunScenario(c);
  // Command lines that cannot be read touch nothing.
  for (std::vector<std::string> arguments :
       {std::vector<std::string>{"--bogus", "job.scr"}, {"job.scr", "-x"}, {"job.scr", "--json-log"},
        {"--json-log", "-r", "job.scr"}, {"--atomic", "-k", "job.scr"}, {"--check", "-n", "job.scr"},
        {"-r", "job.scr", "A.PAS"}})
    RunScenario(TreeRun("usage error", arguments, "", {{"A.PAS", kTree.at("A.PAS")}, {"job.LOG", "<missing>"}}, 2));
  TempDir dir;
  RunResult run = RunReshape(dir.Path(), {"-q"});
  EXPECT_EQ(run.ExitCode, 2);
  if (!run.Errors.empty()) {
    EXPECT_TRUE(run.Errors.starts_with("reshape: ") && run.Errors.find("\nUsage: reshape") != std::string::npos)
        << run.Errors;
  }
}

// Read-only files are left out, and converted in memory where the run shows what they would
// get: a later pass sees what an earlier one made of them, and each gets one line at the end.
TEST(OptionsE2E, ReadOnlyFilesWithChangesLeftOut) {
  const Tree files = {{"job.scr", "RENC>TFoo,TBar\r\nRENC>Old2,Old\r\nRENU>Old,New\r\n"},
                      {"A.PAS", "uses Old;\nvar x: TFoo;\n"}, {"N.PAS", "nothing\n"},
                      {"R.PAS", "uses Old2;\n"}, {"S.PAS", "uses Old;\n"},
                      {"F.DFM", "object F: TFoo\nend"}};
  const std::string notices = "N.PAS is read only\nR.PAS is read only\nS.PAS is read only\n";
  const std::string progress =
      notices + "A.PAS...Converted\n" + notices + "A.PAS...Converted\nF.DFM is read only\n";
  const std::string leftOut = "R.PAS is read only: 2 changes left out\nS.PAS is read only: 1 change left out\n"
                              "F.DFM is read only: 1 change left out\n";
  const Tree untouched = {{"A.PAS", files.at("A.PAS")}, {"R.PAS", "uses Old2;\n"}, {"job.LOG", "<missing>"}};
  const Scenario cases[] = {
      {.name = "dry run", .arguments = {"-n", "job.scr"},
       .output = notices + "A.PAS...Converted\nA.PAS> Renamed class \"TFoo\" to \"TBar\"\n" + notices +
                 "A.PAS...Converted\nA.PAS> Renamed unit \"Old\" to \"New\"\nF.DFM is read only\n" + leftOut,
       .after = untouched},
      {.name = "summary", .arguments = {"--summary", "job.scr"},
       .output = progress + leftOut + "1: RENC>TFoo,TBar: 1 change in 1 file\n"
                 "2: RENC>Old2,Old: 0 changes in 0 files (no change)\n3: RENU>Old,New: 1 change in 1 file\n"
                 "Read-only files with changes left out: 3\n",
       .after = {{"A.PAS", "uses New;\nvar x: TBar;\n"}, {"R.PAS", "uses Old2;\n"}, {"S.PAS", "uses Old;\n"}}},
      {.name = "all or nothing", .arguments = {"--atomic", "job.scr"}, .exitCode = 1,
       .output = progress + leftOut + "Nothing was changed\n", .after = untouched},
      {.name = "plain", .output = progress, .after = {{"A.PAS", "uses New;\nvar x: TBar;\n"}}},
  };
  for (Scenario c : cases) {
    c.files = files;
    c.readOnly = {"N.PAS", "R.PAS", "S.PAS", "F.DFM"};
    RunScenario(c);
  }
}

#ifndef _WIN32
// Staged files beyond the memory allowance wait in scratch files under TMPDIR, which the run
// removes again.
TEST(OptionsE2E, AllOrNothingRunLargerThanItsMemory) {
  TempDir dir;
  std::string source;
  for (int i = 0; i < 300000; ++i) source += "x: TFoo;\n";
  dir.Write("job.scr", "RENC>TFoo,TBar\r\n");
  for (const char* name : {"A.PAS", "B.PAS", "C.PAS"}) dir.Write(name, source);
  std::filesystem::create_directory(dir / "tmp");
  ::setenv("TMPDIR", (dir / "tmp").c_str(), 1);
  RunResult run = RunReshape(dir.Path(), {"--atomic", "job.scr"});
  ::unsetenv("TMPDIR");
  EXPECT_EQ(run.Output, "A.PAS...Converted\nB.PAS...Converted\nC.PAS...Converted\n");
  EXPECT_EQ(dir.Read("C.PAS").substr(source.size() - 9), "x: TBar;\n");
  EXPECT_TRUE(std::filesystem::is_empty(dir / "tmp"));
}
#endif

// Diffs follow the progress line; -k reports each failed file once; change records are the one
// file a dry run writes; --check names the script's lines, also after it; "--" ends the options.
TEST(OptionsE2E, SingleRuns) {
  const std::string diff =
      "--- a/A.PAS\n+++ b/A.PAS\n@@ -1,2 +1,2 @@\n unit Old;\n-var x: TFoo;\n+var x: TBar;\n";
  const Tree files = {{"job.scr", "RENC>TFoo,TBar\r\n"}, {"A.PAS", "unit Old;\nvar x: TFoo;\n"}};
  const Scenario cases[] = {
      {.name = "dry run with diff", .files = files, .arguments = {"-n", "--diff", "job.scr"},
       .output = "A.PAS...Converted\nA.PAS> Renamed class \"TFoo\" to \"TBar\"\n" + diff,
       .after = {{"A.PAS", files.at("A.PAS")}, {"job.LOG", "<missing>"}}},
      {.name = "dry run all or nothing", .files = files, .arguments = {"-n", "--atomic", "job.scr"},
       .output = "A.PAS...Converted\nA.PAS> Renamed class \"TFoo\" to \"TBar\"\n",
       .after = {{"A.PAS", files.at("A.PAS")}, {"job.LOG", "<missing>"}}},
      {.name = "real run with diff", .files = files, .arguments = {"--diff", "job.scr"},
       .output = "A.PAS...Converted\n" + diff, .after = {{"A.PAS", "unit Old;\nvar x: TBar;\n"}}},
      {.name = "keep going",
       .files = {{"job.scr", "RENC>TFoo,TBar\r\nRENP>Tag,Text\r\n"}, {"A.PAS", "TFoo\r\nTFoo\r\n"},
                 {"B.DFM", kBadForm}, {"C.DFM", kForm}},
       .arguments = {"-k", "--summary", "job.scr"}, .exitCode = 1,
       .output = "A.PAS...Converted\nB.DFM ..." + kParserError + "C.DFM ...Converted\n"
                 "1: RENC>TFoo,TBar: 3 changes in 2 files\n"
                 "2: RENP>Tag,Text: 0 changes in 0 files (no change)\nFailed files: 1\n",
       .after = {{"A.PAS", "TBar\r\nTBar\r\n"}, {"B.DFM", kBadForm},
                 {"job.LOG", "A.PAS> Renamed class \"TFoo\" to \"TBar\"\r\nA.PAS> Renamed class \"TFoo\" to "
                             "\"TBar\"\r\nC.DFM> Renamed class \"TFoo\" to \"TBar\"\r\n"}}},
      {.name = "dry run with change records",
       .files = {{"job.scr", "RENC>TFoo,TBar\r\nRENU>Old,New\r\n"}, {"A.PAS", "uses Old;\nvar x: TFoo;\n"},
                 {"B.PAS", "unit B;\n"}},
       .arguments = {"--dry-run", "--json-log", "changes.jsonl", "job.scr"},
       .output = "A.PAS...Converted\nA.PAS> Renamed class \"TFoo\" to \"TBar\"\nB.PAS...No change\n"
                 "A.PAS...Converted\nA.PAS> Renamed unit \"Old\" to \"New\"\nB.PAS...No change\n",
       .after = {{"changes.jsonl",
                  R"({"file":"A.PAS","line":2,"script_line":1,"command":"RENC>TFoo,TBar","kind":"RENC","old":"TFoo",)"
                  R"("new":"TBar","message":"Renamed class \"TFoo\" to \"TBar\""})" "\n"
                  R"({"file":"A.PAS","line":1,"script_line":2,"command":"RENU>Old,New","kind":"RENU","old":"Old",)"
                  R"("new":"New","message":"Renamed unit \"Old\" to \"New\""})" "\n"}},
       .entries = {"A.PAS", "B.PAS", "changes.jsonl", "job.scr"}},
      {.name = "script check with problems", .files = {{"job.scr", "RENC>TA,TB\r\nRENC>TA,TC\r\n"}},
       .arguments = {"--check", "job.scr"}, .exitCode = 1,
       .output = "job.scr:2: never acts: line 1 (RENC>TA,TB) renames the same name first\n",
       .entries = {"job.scr"}},
      {.name = "script check without", .files = {{"job.scr", "RENC>TA,TB\r\n"}, {"A.PAS", "TA\r\n"}},
       .arguments = {"job.scr", "--check"}, .after = {{"A.PAS", "TA\r\n"}}},
      {.name = "file named like an option", .files = {{"job.scr", "RENC>TFoo,TBar\r\n"}, {"-n.pas", "TFoo\r\n"}},
       .arguments = {"--", "job.scr", "-n.pas"}, .output = "-n.pas...Converted\n", .after = {{"-n.pas", "TBar\r\n"}}},
  };
  for (const Scenario& c : cases) RunScenario(c);
}

}  // namespace
}  // namespace reshape::e2e
