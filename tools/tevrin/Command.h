// The tool's subcommands register themselves here, one file each.
#pragma once

#include <string_view>
#include <vector>

namespace tevrin::tool {

struct Command {
  std::string_view name;
  std::string_view usage;             // arguments after the name, for --help
  std::string_view summary;           // one line
  int (*run)(int argc, char** argv);  // argv[0] is the command name
};

std::vector<Command>& Commands();

struct CommandRegistration {
  explicit CommandRegistration(Command command) { Commands().push_back(command); }
};

}  // namespace tevrin::tool
