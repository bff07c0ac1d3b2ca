#include "InstanceFixture.h"

std::unique_ptr<CTevrin> InstanceTest::Make(std::unique_ptr<CFakeCameraDevice> fake, HWND window) {
  device = fake.get();
  auto holder = std::make_shared<std::unique_ptr<CFakeCameraDevice>>(std::move(fake));
  auto instance = std::make_unique<CTevrin>([holder] { return std::unique_ptr<CTevrinU3K5Base>(std::move(*holder)); });
  EXPECT_EQ(instance->Initialize(window), 1);
  TakePostedMessages();
  TakeDeviceRegistrations();
  return instance;
}

std::unique_ptr<CTevrin> InstanceTest::MakeWithoutDevice(HWND window) {
  auto instance = std::make_unique<CTevrin>();
  EXPECT_EQ(instance->Initialize(window), 1);
  TakePostedMessages();
  return instance;
}

std::vector<int> InstanceTest::Errors(CTevrin& instance) {
  std::vector<int> codes;
  for (int i = 0; i < CErrorHistory::kDepth; ++i) {
    const int code = instance.PopError();
    if (code == 0) break;
    codes.push_back(code);
  }
  return codes;
}

std::vector<int> InstanceTest::PostedErrors() {
  std::vector<int> codes;
  for (const PostedMessage& message : TakePostedMessages()) {
    if (message.message == TEVRIN_MSG_ERROR) codes.push_back(static_cast<int>(message.lParam));
  }
  return codes;
}
