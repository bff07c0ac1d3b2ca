// tevrin: the SDK's command-line front door.
#include <TevrinSdk_Halden.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "Command.h"
#include "ExitCode.h"

namespace tevrin::tool {

std::vector<Command>& Commands() {
  static std::vector<Command> commands;
  return commands;
}

namespace {

void PrintHelp(FILE* out) {
  std::fprintf(out, "Usage: tevrin [--help] [--version] <command> [arguments]\n\nCommands:\n");
  auto commands = Commands();
  std::sort(commands.begin(), commands.end(), [](auto& a, auto& b) { return a.name < b.name; });
  for (const auto& command : commands) {
    std::fprintf(out, "  %.*s %.*s\n      %.*s\n", int(command.name.size()), command.name.data(),
                 int(command.usage.size()), command.usage.data(), int(command.summary.size()), command.summary.data());
  }
  std::fprintf(out,
               "\nCamera N is a device number from tevrin list (default 0). Exit status: 0 done, 1 usage error,\n"
               "2 no camera (or not the one asked for), 3 the SDK or the system refused.\n");
}

void PrintVersion() {
  unsigned version = static_cast<unsigned>(Tevrin_GetDllVersion());
  std::printf("tevrin %s, TevrinSdk_Halden library version 0x%08X\n", TEVRIN_TOOL_VERSION, version);
}

}  // namespace
}  // namespace tevrin::tool

int main(int argc, char** argv) {
  using namespace tevrin::tool;
  if (argc < 2) {
    PrintHelp(stderr);
    return kExitUsage;
  }
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    PrintHelp(stdout);
    return kExitOk;
  }
  if (std::strcmp(argv[1], "--version") == 0) {
    PrintVersion();
    return kExitOk;
  }
  for (const auto& command : Commands()) {
    if (command.name == argv[1]) return command.run(argc - 1, argv + 1);
  }
  std::fprintf(stderr, "tevrin: unknown command '%s' (try --help)\n", argv[1]);
  return kExitUsage;
}
