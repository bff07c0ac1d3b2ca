// Runs the built tevrin tool as a subprocess with chosen virtual cameras and
// a registry file of the test's own.
#pragma once

#include <string>

namespace tevrin::test {

struct ToolResult {
  int exitCode = -1;  // -1 when the tool did not exit normally
  std::string out;
  std::string err;
};

// A folder of the test's own (emptied), in the suite's scratch folder.
std::string ScratchFolder();

// `cameras` is the TEVRIN_VIRTUAL_CAMERAS value, e.g. "0x3280:pattern" or "none";
// `arguments` are passed through the shell as written; `launcher` comes before
// the tool's path (e.g. "timeout -s INT 2").
ToolResult RunTool(const std::string& cameras, const std::string& arguments, const std::string& launcher = "");

}  // namespace tevrin::test
