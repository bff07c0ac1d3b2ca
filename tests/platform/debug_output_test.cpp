// OutputDebugStringA as the SDK's trace sink: silent unless TEVRIN_LOG asks,
// filtered by category and level, whole lines in TEVRIN_LOG_FILE.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

class DebugOutput : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* scratch = std::getenv("TEVRIN_TEST_SCRATCH");
    logPath_ = std::string(scratch != nullptr ? scratch : "/tmp") + "/trace-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".log";
    std::remove(logPath_.c_str());
    setenv("TEVRIN_LOG_FILE", logPath_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("TEVRIN_LOG");
    unsetenv("TEVRIN_LOG_FILE");
  }

  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::ifstream log(logPath_);
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    return lines;
  }

  std::string logPath_;
};

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST_F(DebugOutput, SilentByDefault) {
  unsetenv("TEVRIN_LOG");
  OutputDebugStringA("[usb:error] nobody asked\n");
  EXPECT_TRUE(Lines().empty());
}

TEST_F(DebugOutput, CategoryAndLevelRulesChooseTheLines) {
  setenv("TEVRIN_LOG", "usb:debug,sdk:error,*:warn,bogus-entry,cam:loud", 1);
  const char* messages[] = {
      "[usb:debug] request 0xB5 sent\n",          // shown: usb up to debug
      "[usb:trace] every byte\n",                 // hidden: trace is above debug
      "[sdk] opened camera 0\n",                  // hidden: info, sdk only errors
      "[sdk:error] no camera\n",                  // shown
      "[fpga:warn] register 0x13 read failed\n",  // shown by *:warn
      "[fpga] version 27\n",                      // hidden: info above warn
      "Cypress=0x1101(OK)\n",                     // hidden: general info
      "[not a category] text\n",                  // general info, hidden
  };
  for (const char* message : messages) OutputDebugStringA(message);
  std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_TRUE(EndsWith(lines[0], " debug usb: request 0xB5 sent")) << lines[0];
  EXPECT_TRUE(EndsWith(lines[1], " error sdk: no camera")) << lines[1];
  EXPECT_TRUE(EndsWith(lines[2], " warn fpga: register 0x13 read failed")) << lines[2];
}

TEST_F(DebugOutput, BareLevelAppliesToEveryCategoryAndLinesStayWhole) {
  setenv("TEVRIN_LOG", "info", 1);
  SetLastError(ERROR_MORE_DATA);
  OutputDebugStringA("first\nsecond\r\n");
  OutputDebugStringA(nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MORE_DATA)) << "tracing keeps the caller's error";
  std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(EndsWith(lines[0], " info general: first"));
  EXPECT_TRUE(EndsWith(lines[1], " info general: second"));
}

TEST_F(DebugOutput, ThreadsWriteWholeLines) {
  setenv("TEVRIN_LOG", "worker:trace", 1);
  constexpr int kThreads = 4, kLines = 200;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      std::string message = "[worker:debug] thread " + std::to_string(t) + " " + std::string(300, 'x') + " end";
      for (int i = 0; i < kLines; ++i) OutputDebugStringA(message.c_str());
    });
  }
  for (auto& thread : threads) thread.join();
  std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), static_cast<size_t>(kThreads * kLines));
  for (const std::string& line : lines) {
    ASSERT_NE(line.find(" debug worker: thread "), std::string::npos) << line;
    ASSERT_TRUE(EndsWith(line, std::string(300, 'x') + " end")) << line;
  }
}

}  // namespace
