// tevrin: the SDK's command-line front door.
#include <TevrinSdk_Halden.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "Command.h"

namespace tevrin::tool {

std::vector<Command>& Commands() {
  static std::vector<Command> commands;
  return commands;
}

namespace {

void PrintHelp() {
  std::printf("Usage: tevrin [--help] [--version] <command> [arguments]\n\nCommands:\n");
  auto commands = Commands();
  std::sort(commands.begin(), commands.end(), [](auto& a, auto& b) { return a.name < b.name; });
  for (const auto& command : commands) {
    std::printf("  %.*s %.*s\n      %.*s\n", int(command.name.size()), command.name.data(),
                int(command.usage.size()), command.usage.data(), int(command.summary.size()), command.summary.data());
  }
}

void PrintVersion() {
  unsigned version = static_cast<unsigned>(Tevrin_GetDllVersion());
  std::printf("tevrin %s, TevrinSdk_Halden library version 0x%08X\n", TEVRIN_TOOL_VERSION, version);
}

}  // namespace
}  // namespace tevrin::tool

int main(int argc, char** argv) {
  using namespace tevrin::tool;
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    PrintHelp();
    return argc < 2 ? 2 : 0;
  }
  if (std::strcmp(argv[1], "--version") == 0) {
    PrintVersion();
    return 0;
  }
  for (const auto& command : Commands()) {
    if (command.name == argv[1]) return command.run(argc - 1, argv + 1);
  }
  std::fprintf(stderr, "tevrin: unknown command '%s' (try --help)\n", argv[1]);
  return 2;
}
