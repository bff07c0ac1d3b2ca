// tevrin mask: the reference frames of the defect mask. The actions run in
// the order given on one camera handle, since the references live only as
// long as the handle: "mask dark white save masks.bin" takes both references
// from the current frames and keeps them, "mask load masks.bin white save
// masks.bin" renews the white reference of a stored set.
#include <TevrinSdk_Halden.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Command.h"
#include "ExitCode.h"
#include "Session.h"

namespace tevrin::tool {
namespace {

struct Action {
  enum Kind { kDark, kWhite, kSave, kLoad } kind;
  std::string file;  // for kSave and kLoad
};

struct Request {
  CameraChoice camera;
  std::vector<Action> actions;
};

std::optional<std::vector<Action>> ParseActions(const char* command, const std::vector<std::string>& words) {
  std::vector<Action> actions;
  for (size_t index = 0; index < words.size(); ++index) {
    const std::string& word = words[index];
    if (word == "dark" || word == "white") {
      actions.push_back({word == "dark" ? Action::kDark : Action::kWhite, {}});
      continue;
    }
    if (word != "save" && word != "load") {
      UsageError(command, "unknown action '" + word + "' (dark, white, save FILE, load FILE)");
      return std::nullopt;
    }
    if (index + 1 >= words.size()) {
      UsageError(command, word + " needs a file");
      return std::nullopt;
    }
    actions.push_back({word == "save" ? Action::kSave : Action::kLoad, words[++index]});
  }
  return actions;
}

std::optional<Request> Parse(int argc, char** argv) {
  CameraOptionText camera;
  std::vector<std::string> words;
  if (!ParseArguments(argc, argv, {{"-d", "--device", &camera.device}, {"", "--mode", &camera.mode}}, words, 1,
                      SIZE_MAX)) {
    return std::nullopt;
  }
  Request request;
  std::optional<CameraChoice> choice = ParseCameraChoice(argv[0], camera);
  if (!choice) return std::nullopt;
  request.camera = *choice;
  std::optional<std::vector<Action>> actions = ParseActions(argv[0], words);
  if (!actions) return std::nullopt;
  request.actions = std::move(*actions);
  return request;
}

// A reference is taken from a fresh frame: a snapshot processes one without
// copying it anywhere, and the SDK keeps it as the current frame.
int TakeReference(Session& session, int kind, const char* name) {
  if (!Tevrin_SnapShot(session, nullptr, 0, 1)) return session.Fail("taking a frame for the " + std::string(name));
  if (!Tevrin_UpdateMaskData(session, kind)) return session.Fail("keeping the " + std::string(name));
  std::printf("%s taken\n", name);
  return kExitOk;
}

int RunAction(Session& session, const Action& action) {
  switch (action.kind) {
    case Action::kDark:
      return TakeReference(session, 0, "dark reference");
    case Action::kWhite:
      return TakeReference(session, 1, "white reference");
    case Action::kSave:
      if (!Tevrin_SaveMaskFile(session, action.file.c_str())) return session.Fail("saving " + action.file);
      std::printf("saved %s\n", action.file.c_str());
      return kExitOk;
    case Action::kLoad:
      if (!Tevrin_LoadMaskFile(session, action.file.c_str())) return session.Fail("loading " + action.file);
      std::printf("loaded %s\n", action.file.c_str());
      return kExitOk;
  }
  return kExitFailure;
}

int Run(int argc, char** argv) {
  std::optional<Request> request = Parse(argc, argv);
  if (!request) return kExitUsage;
  Session session;
  if (int status = session.Open(request->camera); status != kExitOk) return status;
  for (const Action& action : request->actions) {
    if (int status = RunAction(session, action); status != kExitOk) return status;
  }
  return kExitOk;
}

const CommandRegistration kMask{{"mask", "[-d N] [--mode BITS] dark|white|save FILE|load FILE ...",
                                 "take, save or load the defect mask's dark and white references, in the order given",
                                 Run}};

}  // namespace
}  // namespace tevrin::tool
