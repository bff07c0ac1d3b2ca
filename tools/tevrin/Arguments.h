// Command-line options of the subcommands: "-d N", "--seconds N" and the like,
// with the rest left as positional arguments.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tevrin::tool {

struct Option {
  std::string_view shortName;  // "-d", or empty
  std::string_view longName;   // "--device"
  std::optional<std::string>* value;
};

// Parses argv[1..] (argv[0] is the command name). Every option takes a value,
// given as the next argument or after '=' for long names. Prints the problem
// and the usage line on stderr and returns false on an unknown option, a
// missing value or a positional count outside [minPositional, maxPositional].
bool ParseArguments(int argc, char** argv, std::initializer_list<Option> options, std::vector<std::string>& positional,
                    size_t minPositional, size_t maxPositional);

// Whole-string conversions; `label` names the value in the message printed on
// failure ("tevrin snap: --gain: 'x' is not a number").
std::optional<int> ParseInt(std::string_view command, std::string_view label, const std::string& text);
std::optional<double> ParseDouble(std::string_view command, std::string_view label, const std::string& text);

// A length of time given with --seconds: 0 (no limit) to 10^6.
std::optional<double> ParseSeconds(std::string_view command, const std::string& text);

// The preview's poll delay given with --wait: whole milliseconds, not negative.
std::optional<int> ParseWaitTime(std::string_view command, const std::string& text);

// The camera's device number given with -d, 0 when none was given.
std::optional<int> ParseDeviceNumber(std::string_view command, const std::optional<std::string>& text);

// The camera a command works on and how it streams, from "-d N",
// "--mode BITS" and "--wait MS", each optional.
struct CameraChoice {
  int device = 0;
  std::optional<int> bits;
  std::optional<int> waitMs;
};
struct CameraOptionText {
  std::optional<std::string> device, mode, wait;
};
std::optional<CameraChoice> ParseCameraChoice(std::string_view command, const CameraOptionText& text);

// Prints "tevrin <command>: <problem>" and the command's usage line; returns kExitUsage.
int UsageError(std::string_view command, const std::string& problem);

}  // namespace tevrin::tool
