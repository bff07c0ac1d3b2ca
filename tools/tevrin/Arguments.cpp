#include "Arguments.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "Command.h"
#include "ExitCode.h"

namespace tevrin::tool {
namespace {

const Option* Find(std::initializer_list<Option> options, std::string_view name) {
  for (const Option& option : options) {
    if (name == option.shortName || name == option.longName) return &option;
  }
  return nullptr;
}

}  // namespace

int UsageError(std::string_view command, const std::string& problem) {
  std::fprintf(stderr, "tevrin %.*s: %s\n", int(command.size()), command.data(), problem.c_str());
  for (const Command& known : Commands()) {
    if (known.name != command) continue;
    std::fprintf(stderr, "usage: tevrin %.*s %.*s\n", int(command.size()), command.data(), int(known.usage.size()),
                 known.usage.data());
  }
  return kExitUsage;
}

bool ParseArguments(int argc, char** argv, std::initializer_list<Option> options, std::vector<std::string>& positional,
                    size_t minPositional, size_t maxPositional) {
  std::string command = argv[0];
  for (int index = 1; index < argc; ++index) {
    std::string_view argument = argv[index];
    bool optionLike =
        argument.size() > 1 && argument[0] == '-' && !std::isdigit(static_cast<unsigned char>(argument[1]));
    if (!optionLike) {
      positional.emplace_back(argument);
      continue;
    }
    std::string_view name = argument;
    std::optional<std::string_view> inlineValue;
    if (size_t equals = argument.find('='); argument.starts_with("--") && equals != std::string_view::npos) {
      name = argument.substr(0, equals);
      inlineValue = argument.substr(equals + 1);
    }
    const Option* option = Find(options, name);
    if (!option) {
      UsageError(command, "unknown option '" + std::string(name) + "'");
      return false;
    }
    if (!inlineValue && index + 1 >= argc) {
      UsageError(command, std::string(name) + " needs a value");
      return false;
    }
    *option->value = std::string(inlineValue ? *inlineValue : std::string_view(argv[++index]));
  }
  if (positional.size() < minPositional) {
    UsageError(command, "missing argument");
    return false;
  }
  if (positional.size() > maxPositional) {
    UsageError(command, "unexpected argument '" + positional[maxPositional] + "'");
    return false;
  }
  return true;
}

std::optional<int> ParseInt(std::string_view command, std::string_view label, const std::string& text) {
  errno = 0;
  char* end = nullptr;
  bool hex = text.starts_with("0x") || text.starts_with("0X");  // register-like values
  long value = std::strtol(text.c_str(), &end, hex ? 16 : 10);
  if (text.empty() || *end != '\0' || errno == ERANGE || value < INT_MIN || value > INT_MAX) {
    UsageError(command, std::string(label) + ": '" + text + "' is not a whole number");
    return std::nullopt;
  }
  return static_cast<int>(value);
}

std::optional<int> ParseWaitTime(std::string_view command, const std::string& text) {
  std::optional<int> value = ParseInt(command, "--wait", text);
  if (value && *value < 0) {
    UsageError(command, "--wait: " + text + " ms is negative");
    return std::nullopt;
  }
  return value;
}

std::optional<CameraChoice> ParseCameraChoice(std::string_view command, const CameraOptionText& text) {
  CameraChoice choice;
  std::optional<int> device = ParseDeviceNumber(command, text.device);
  if (!device) return std::nullopt;
  choice.device = *device;
  if (text.mode && !(choice.bits = ParseInt(command, "--mode", *text.mode))) return std::nullopt;
  if (text.wait && !(choice.waitMs = ParseWaitTime(command, *text.wait))) return std::nullopt;
  return choice;
}

std::optional<int> ParseDeviceNumber(std::string_view command, const std::optional<std::string>& text) {
  return text ? ParseInt(command, "-d", *text) : 0;
}

std::optional<double> ParseDouble(std::string_view command, std::string_view label, const std::string& text) {
  char* end = nullptr;
  double value = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !std::isfinite(value)) {
    UsageError(command, std::string(label) + ": '" + text + "' is not a number");
    return std::nullopt;
  }
  return value;
}

std::optional<double> ParseSeconds(std::string_view command, const std::string& text) {
  std::optional<double> value = ParseDouble(command, "--seconds", text);
  if (!value) return std::nullopt;
  if (*value < 0 || *value > 1e6) {
    UsageError(command, "--seconds: " + text + " is out of range");
    return std::nullopt;
  }
  return value;
}

}  // namespace tevrin::tool
