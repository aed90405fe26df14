// A table row for end-to-end tests: the files a run starts with, the command line, and what
// the console and the files must hold afterwards.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e_harness.h"

namespace reshape::e2e {

using Tree = std::map<std::string, std::string>;

struct Scenario {
  const char* name = "";
  Tree files{};  // written before the run, after the directories are made
  std::vector<std::string> directories{};
  std::vector<std::string> readOnly{};
  std::vector<std::string> arguments = {"job.scr"};
  int exitCode = 0;
  std::string output{};  // the failure report's address masked
  Tree after{};  // "<missing>" for a file that must not exist
  std::vector<std::string> entries{};  // when given: exactly the entries of the directory after
};

inline void RunScenario(const Scenario& s) {
  SCOPED_TRACE(s.name);
  TempDir dir;
  for (const std::string& name : s.directories) std::filesystem::create_directories(dir / name);
  for (const auto& [name, bytes] : s.files) dir.Write(name, bytes);
  for (const std::string& name : s.readOnly) dir.SetReadOnly(name);
  RunResult run = RunReshape(dir.Path(), s.arguments);
  EXPECT_EQ(run.ExitCode, s.exitCode);
  EXPECT_EQ(MaskAddress(run.Output), s.output);
  for (const auto& [name, bytes] : s.after) EXPECT_EQ(dir.Read(name), bytes) << name;
  if (!s.entries.empty()) {
    EXPECT_EQ(dir.List(), s.entries);
  }
}

}  // namespace reshape::e2e
