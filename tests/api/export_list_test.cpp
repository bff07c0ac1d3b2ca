// The shared library exports exactly the public names, the header declares
// them for C, and the second names share their first name's entry point.
// The public header comes first: it must compile alone in C++ too.
#include <TevrinSdk_Halden.h>

#include <cstddef>
#include <cstdio>
#include <map>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "HeaderInC.h"

namespace {

constexpr int kExportCount = 149;

// Name -> address of every defined symbol in the library's dynamic symbol table.
std::map<std::string, std::string> DynamicSymbols() {
  const std::string command = std::string(TEVRIN_NM) + " -D --defined-only '" + TEVRIN_SDK_LIBRARY + "'";
  std::map<std::string, std::string> symbols;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return symbols;
  char address[64];
  char type[8];
  char name[256];
  while (std::fscanf(pipe, "%63s %7s %255s", address, type, name) == 3) symbols[name] = address;
  pclose(pipe);
  return symbols;
}

std::set<std::string> PublicNames() {
  std::set<std::string> names;
  for (int i = 0; i < TevrinExportCountFromC(); ++i) names.insert(TevrinExportNameFromC(i));
  return names;
}

TEST(ExportList, LibraryExportsExactlyThePublicNames) {
  const auto symbols = DynamicSymbols();
  ASSERT_FALSE(symbols.empty()) << "could not read " << TEVRIN_SDK_LIBRARY;
  std::set<std::string> exported;
  for (const auto& [name, address] : symbols) exported.insert(name);
  EXPECT_EQ(exported, PublicNames());
  EXPECT_EQ(exported.size(), static_cast<size_t>(kExportCount));
}

TEST(ExportList, HeaderDeclaresEveryExportForC) {
  ASSERT_EQ(TevrinExportCountFromC(), kExportCount);
  for (int i = 0; i < kExportCount; ++i) {
    SCOPED_TRACE(TevrinExportNameFromC(i));
    EXPECT_NE(TevrinExportFromC(i), nullptr);
  }
  EXPECT_EQ(TevrinFrameInfoSizeFromC(), 32);
  EXPECT_EQ(TevrinCameraInfoSizeFromC(), 96);
  EXPECT_EQ(offsetof(FrameInfo, buffer), 24u);
  EXPECT_EQ(offsetof(CameraInfo, reserved), 36u);
  EXPECT_EQ(offsetof(CameraInfo, exposureSecondsMin), 40u);
  EXPECT_EQ(offsetof(CameraInfo, exposureSecondsMax), 48u);
  EXPECT_EQ(offsetof(CameraInfo, framesCompleted), 56u);
  EXPECT_EQ(offsetof(CameraInfo, newestFrameStatus), 72u);
  EXPECT_EQ(TEVRIN_MSG_FRAME, 32770);
  EXPECT_EQ(TEVRIN_MSG_ERROR, 32771);
}

TEST(ExportList, SecondNamesShareOneEntryPoint) {
  const auto symbols = DynamicSymbols();
  const std::map<std::string, std::set<std::string>> groups = {
      {"Tevrin_Fps", {"Tevrin_GetHalfClock", "Tevrin_SetHalfClock", "Tevrin_SetCrossbar"}},
      {"Tevrin_GetSamplingRate", {"Tevrin_GetVideoFormat"}},
      {"Tevrin_SendText", {"Tevrin_ReceiveText"}},
  };
  for (const auto& [first, seconds] : groups) {
    for (const auto& second : seconds) {
      SCOPED_TRACE(second);
      ASSERT_TRUE(symbols.count(first) && symbols.count(second));
      EXPECT_EQ(symbols.at(first), symbols.at(second));
    }
  }
  EXPECT_NE(symbols.at("Tevrin_Fps"), symbols.at("Tevrin_SendText"));
}

TEST(ExportList, VersionNeedsNoHandle) {
  EXPECT_EQ(Tevrin_GetDllVersion(), 0x02180521);
}

}  // namespace
