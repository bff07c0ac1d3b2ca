#include "ToolRun.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tevrin::test {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string TestName() {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(test->test_suite_name()) + "." + test->name();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  return name;
}

}  // namespace

std::string ScratchFolder() {
  const char* scratch = std::getenv("TEVRIN_TEST_SCRATCH");
  fs::path folder = fs::path(scratch ? scratch : testing::TempDir()) / TestName();
  static std::string prepared;  // emptied once per test, not per run
  if (prepared != folder) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    prepared = folder;
  }
  return folder;
}

ToolResult RunTool(const std::string& cameras, const std::string& arguments, const std::string& launcher) {
  fs::path folder = ScratchFolder();
  fs::path out = folder / "stdout.txt";
  fs::path err = folder / "stderr.txt";
  std::string command = "cd '" + folder.string() + "' && TEVRIN_VIRTUAL_CAMERAS='" + cameras + "' TEVRIN_REGISTRY='" +
                        (folder / "registry.sqlite3").string() + "' " + launcher + " " + TEVRIN_TOOL + " " + arguments +
                        " >'" + out.string() + "' 2>'" + err.string() + "' </dev/null";
  int status = std::system(command.c_str());
  ToolResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = ReadFile(out);
  result.err = ReadFile(err);
  return result;
}

}  // namespace tevrin::test
