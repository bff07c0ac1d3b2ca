#include "DialogFixture.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include "FreshRegistry.h"

void DialogTest::SetUp() {
  UseFreshRegistry();
  setenv("TEVRIN_HEADLESS_DIALOGS", "1", 1);
  setenv("LC_ALL", Japanese() ? "ja_JP.UTF-8" : "en_US.UTF-8", 1);
}

void DialogTest::TearDown() {
  if (running_.valid()) Close(IDCANCEL);
  unsetenv("TEVRIN_HEADLESS_DIALOGS");
  unsetenv("LC_ALL");
}

void DialogTest::Make(std::unique_ptr<CFakeCameraDevice> fake) {
  device = fake.get();
  auto holder = std::make_shared<std::unique_ptr<CFakeCameraDevice>>(std::move(fake));
  instance = std::make_unique<CTevrin>([holder] { return std::unique_ptr<CTevrinU3K5Base>(std::move(*holder)); });
  ASSERT_EQ(instance->Initialize(nullptr), 1);
}

void DialogTest::Open(std::function<int(CTevrin&, HWND)> open) {
  running_ = std::async(std::launch::async, [this, open] { return open(*instance, nullptr); });
  frame = WaitForDialog(Japanese() ? "プロパティ" : "Property");
  ASSERT_NE(frame, nullptr);
}

void DialogTest::Close(int button) {
  Click(frame, button);
  EXPECT_EQ(running_.get(), 1);
}

HWND DialogTest::Page(int japaneseId, int englishId) const {
  return Item(frame, Japanese() ? japaneseId : englishId);
}

std::string LanguageName(const ::testing::TestParamInfo<bool>& info) {
  return info.param ? "Japanese" : "English";
}

bool WaitUntil(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}
