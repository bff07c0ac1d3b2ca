// `tevrin registry` prints what the registry holds, read back by the tool
// through the Win32 functions alone.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Result {
  int exitCode;
  std::string output;  // stdout and stderr
};

Result RunTool(const std::string& arguments) {
  std::string command = std::string(TEVRIN_TOOL) + " registry " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {-1, ""};
  std::string output;
  char buffer[4096];
  while (size_t read = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, read);
  int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

void Set(HKEY parent, const char* path, const char* name, DWORD type, std::vector<BYTE> data) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(parent, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
  if (name) {
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, data.data(), static_cast<DWORD>(data.size())), ERROR_SUCCESS);
  }
  RegCloseKey(key);
}

class RegistryCommand : public testing::Test {
 protected:
  RegistryCommand() {
    const char* scratch = std::getenv("TEVRIN_TEST_SCRATCH");
    path_ = fs::path(scratch ? scratch : testing::TempDir()) /
            (std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + ".sqlite3");
    fs::remove(path_);
    setenv("TEVRIN_REGISTRY", path_.c_str(), 1);
  }
  fs::path path_;
};

TEST_F(RegistryCommand, PrintsTheTreeWithTypedValues) {
  const char* sdk = "Software\\Zolmex\\TevrinHalden3K5Sdk";
  const char* camera = "Software\\Zolmex\\TevrinHalden3K5Sdk\\Camera_00";
  Set(HKEY_CURRENT_USER, sdk, "", REG_SZ, {'H', 'a', 'l', 'd', 'e', 'n', 0});
  Set(HKEY_CURRENT_USER, camera, "Gain", REG_DWORD, {0x10, 0, 0, 0});
  Set(HKEY_CURRENT_USER, camera, "Exposure", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF});
  Set(HKEY_CURRENT_USER, camera, "Name", REG_SZ, {'s', 'a', 'y', ' ', '"', 'h', 'i', '"', '\n', 0});
  Set(HKEY_CURRENT_USER, camera, "Mask", REG_BINARY, {0x01, 0xAB, 0xFF});
  Set(HKEY_CURRENT_USER, camera, "Empty", REG_BINARY, {});
  Set(HKEY_CURRENT_USER, camera, "Short", REG_DWORD, {0x01, 0x02});
  Set(HKEY_CURRENT_USER, camera, "Big", REG_QWORD, {2, 0, 0, 0, 1, 0, 0, 0});
  Set(HKEY_CURRENT_USER, camera, "List", REG_MULTI_SZ, {'a', 0, 'b', 'c', 0, 0});
  Set(HKEY_CURRENT_USER, camera, "Odd", 0x99, {7});
  Set(HKEY_CURRENT_USER, "Software\\Zolmex\\TevrinHalden3K5Sdk\\Camera_00\\Size_00", "TH", REG_DWORD,
      {0x80, 0x02, 0, 0});
  Set(HKEY_CURRENT_USER, "Software\\Zolmex\\TevrinHalden3K5Sdk\\Camera_01", nullptr, 0, {});
  Set(HKEY_CURRENT_USER, "Software\\Other", "Hidden", REG_DWORD, {1, 0, 0, 0});

  Result result = RunTool("");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.output,
            "HKEY_CURRENT_USER\\Software\\Zolmex\\TevrinHalden3K5Sdk\n"
            "  (Default) = REG_SZ \"Halden\"\n"
            "  Camera_00\\\n"
            "    Gain = REG_DWORD 16 (0x00000010)\n"
            "    Exposure = REG_DWORD 4294967295 (0xFFFFFFFF)\n"
            "    Name = REG_SZ \"say \\\"hi\\\"\\x0A\"\n"
            "    Mask = REG_BINARY 01 AB FF\n"
            "    Empty = REG_BINARY\n"
            "    Short = REG_DWORD 01 02\n"
            "    Big = REG_QWORD 4294967298 (0x0000000100000002)\n"
            "    List = REG_MULTI_SZ \"a\" \"bc\"\n"
            "    Odd = type 153 07\n"
            "    Size_00\\\n"
            "      TH = REG_DWORD 640 (0x00000280)\n"
            "  Camera_01\\\n");

  Result size = RunTool("'HKCU\\Software\\Zolmex\\TevrinHalden3K5Sdk\\camera_00\\Size_00'");
  EXPECT_EQ(size.exitCode, 0);
  EXPECT_EQ(size.output,
            "HKEY_CURRENT_USER\\Software\\Zolmex\\TevrinHalden3K5Sdk\\camera_00\\Size_00\n"
            "  TH = REG_DWORD 640 (0x00000280)\n");
}

TEST_F(RegistryCommand, ReportsMissingKeysBadFilesAndUsage) {
  struct Case {
    const char* label;
    std::string fileBytes;  // empty: no file
    const char* arguments;
    int exitCode;
    std::string output;
  };
  for (const Case& c : {
           Case{"missing", "", "", 3,
                "tevrin registry: HKEY_CURRENT_USER\\Software\\Zolmex\\TevrinHalden3K5Sdk does not exist\n"},
           Case{"not a database", std::string(512, 'x'), "", 3,
                "tevrin registry: cannot open HKEY_CURRENT_USER\\Software\\Zolmex\\TevrinHalden3K5Sdk (error 1009)\n"},
           Case{"two keys", "", "A B", 1, "usage: tevrin registry [KEY]\n"},
       }) {
    SCOPED_TRACE(c.label);
    fs::remove(path_);
    if (!c.fileBytes.empty()) std::ofstream(path_, std::ios::binary) << c.fileBytes;
    Result result = RunTool(c.arguments);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_EQ(result.output, c.output);
  }
}

}  // namespace
