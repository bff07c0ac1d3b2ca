// tevrin get [NAME] and tevrin set NAME VALUE: the named camera settings.
// Values set here are stored with the camera's settings when the tool
// releases its handle, so the next run finds them (except those marked as
// not kept).
#include <TevrinSdk_Halden.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Command.h"
#include "ExitCode.h"
#include "Session.h"
#include "Settings.h"

namespace tevrin::tool {
namespace {

struct Request {
  int device = 0;
  std::vector<std::string> positional;
};

// "[-d N] <positional...>"; names and values are checked before the camera
// is opened, so a typing mistake is a usage error with or without a camera.
std::optional<Request> Parse(int argc, char** argv, size_t minPositional, size_t maxPositional) {
  Request request;
  std::optional<std::string> device;
  if (!ParseArguments(argc, argv, {{"-d", "--device", &device}}, request.positional, minPositional, maxPositional)) {
    return std::nullopt;
  }
  std::optional<int> number = ParseDeviceNumber(argv[0], device);
  if (!number) return std::nullopt;
  request.device = *number;
  return request;
}

const Setting* Lookup(std::string_view command, const std::string& name) {
  const Setting* setting = FindSetting(name);
  if (!setting) UsageError(command, "unknown setting '" + name + "' (tevrin get lists them)");
  return setting;
}

std::string Describe(const std::optional<int>& value, Session& session) {
  if (value) return std::to_string(*value);
  int code = Tevrin_GetLastError(session);
  session.ClearErrors();
  return "- (error " + std::to_string(code) + " " + ErrorName(code) + ")";
}

void PrintAll(Session& session) {
  for (const Setting& setting : Settings()) {
    if (setting.access == Setting::Access::kFilterSetOnly) continue;
    std::string value = Describe(ReadSetting(session, setting), session);
    std::printf("%-20s %-8s %.*s%s\n", std::string(setting.name).c_str(), value.c_str(), int(setting.meaning.size()),
                setting.meaning.data(), setting.kept ? "" : " (not kept)");
  }
}

int RunGet(int argc, char** argv) {
  std::optional<Request> request = Parse(argc, argv, 0, 1);
  if (!request) return kExitUsage;
  const Setting* setting = nullptr;
  if (!request->positional.empty()) {
    setting = Lookup(argv[0], request->positional[0]);
    if (!setting) return kExitUsage;
    if (setting->access == Setting::Access::kFilterSetOnly) {
      return UsageError(argv[0], request->positional[0] + " can only be set");
    }
  }
  Session session;
  if (int status = session.Open({request->device, std::nullopt, std::nullopt}); status != kExitOk) return status;
  if (!setting) {
    PrintAll(session);
    return kExitOk;
  }
  std::optional<int> value = ReadSetting(session, *setting);
  if (!value) return session.Fail("reading " + request->positional[0]);
  std::printf("%d\n", *value);
  return kExitOk;
}

int RunSet(int argc, char** argv) {
  std::optional<Request> request = Parse(argc, argv, 2, 2);
  if (!request) return kExitUsage;
  const std::string& name = request->positional[0];
  const Setting* setting = Lookup(argv[0], name);
  if (!setting) return kExitUsage;
  std::optional<int> value = ParseInt(argv[0], name, request->positional[1]);
  if (!value) return kExitUsage;
  std::optional<int> stored;
  {
    Session session;
    if (int status = session.Open({request->device, std::nullopt, std::nullopt}); status != kExitOk) return status;
    if (!WriteSetting(session, *setting, *value))
      return session.Fail("setting " + name + " to " + std::to_string(*value));
    if (setting->access == Setting::Access::kFilterSetOnly) {
      std::printf("%s = requested (not kept after this run)\n", name.c_str());
      return kExitOk;
    }
    // Read back: the camera may round (exposure) or the SDK derive (gain) the value.
    stored = ReadSetting(session, *setting);
    std::printf("%s = %s%s\n", name.c_str(), Describe(stored, session).c_str(),
                setting->kept ? "" : " (not kept after this run)");
  }
  // The handle's release stored the settings; a fresh one shows whether they were kept.
  if (!setting->kept || !stored) return kExitOk;
  Session check;
  if (int status = check.Open({request->device, std::nullopt, std::nullopt}); status != kExitOk) return status;
  if (ReadSetting(check, *setting) == stored) return kExitOk;
  std::fprintf(stderr,
               "tevrin: %s = %d was not kept: the settings could not be saved (TEVRIN_LOG=settings:warn says more)\n",
               name.c_str(), *stored);
  return kExitFailure;
}

const CommandRegistration kGet{
    {"get", "[-d N] [NAME]", "print a camera setting, or all of them with their ranges", RunGet}};
const CommandRegistration kSet{{"set", "[-d N] NAME VALUE", "change a camera setting (see tevrin get)", RunSet}};

}  // namespace
}  // namespace tevrin::tool
