// The sensor family through the device object on virtual cameras: every
// product of the table is found and opened with its sensor's area, the
// four-output CCD rests its board at close, and a frame of the colour camera
// comes out of the image pipeline in its colours in every colour mode.
#include <gtest/gtest.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "image/DibImage.h"
#include "image/ProcessFrame.h"
#include "settings/SettingsBlocks.h"
#include "support/DeviceFixture.h"

namespace tevrin::test {
namespace {

namespace vc = tevrin::virtualcam;

using FamilyDevice = DeviceTest;

TEST_F(FamilyDevice, EveryProductIsFoundAndOpensWithItsArea) {
  struct Case {
    int productId, width, height;
    // A plain virtual camera lacks the chip or the board answer that some
    // drivers wait for; their driver stays, as after any failed start.
    bool opens;
  } cases[] = {
      {0x3020, 4608, 3288, true},  {0x3030, 2592, 1944, false},  {0x3040, 3856, 2764, false},
      {0x3042, 3856, 2764, false}, {0x3050, 1600, 1200, true},   {0x3090, 2336, 1752, true},
      {0x30B0, 4896, 3264, true},  {0x30C0, 6576, 4384, true},   {0x30F0, 3072, 2048, true},
      {0x3100, 1920, 1200, true},  {0x3110, 5520, 3680, true},   {0x3120, 4800, 3520, true},
      {0x3130, 1920, 1080, true},  {0x3140, 1280, 1024, true},   {0x3150, 640, 512, true},
      {0x3170, 320, 256, true},    {0x3180, 1280, 1024, false},  {0x3190, 512, 512, true},
      {0x31A0, 256, 256, true},    {0x31B0, 2448, 2048, true},   {0x31B4, 2448, 2048, true},
      {0x31C0, 2048, 1536, true},  {0x31C4, 2048, 1536, true},   {0x31D0, 1024, 1024, true},
      {0x31E0, 2048, 2048, false}, {0x31F0, 4168, 3062, true},   {0x3200, 640, 512, true},
      {0x3210, 2048, 2048, true},  {0x3220, 320, 256, true},     {0x3260, 1280, 1024, true},
      {0x3270, 1280, 1024, true},  {0x3280, 640, 512, true},     {0x3290, 640, 512, true},
      {0x32A0, 2448, 2048, true},  {0x32B0, 1936, 1096, true},   {0x32C0, 1280, 1024, true},
      {0x32D0, 4096, 4096, true},  {0x32E0, 2848, 2848, true},   {0x32F0, 2848, 2848, true},
      {0x3300, 1440, 1080, true},  {0x3310, 19568, 12588, true}, {0x3320, 2592, 2056, true},
      {0x3330, 2160, 1280, true},  {0x3340, 5688, 3336, true},   {0x3360, 2592, 4060, true},
      {0x3370, 2560, 2048, true},  {0x3380, 2560, 2048, true},   {0x33A0, 640, 513, true},
      {0x33B0, 1280, 1024, true},  {0x33C0, 2048, 1536, true},   {0x33D0, 2048, 1536, true},
      {0x3160, 0, 0, false},       {0x3230, 0, 0, false},

  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.productId);
    char camera[16];
    std::snprintf(camera, sizeof camera, "0x%X", c.productId);
    ASSERT_TRUE(vc::Configure(camera));
    TestDevice& device = AddDevice(c.productId);
    EXPECT_EQ(device.CountDevices(c.productId), 1);
    EXPECT_EQ(device.OpenDevice(0), c.opens ? 1 : 0);
    EXPECT_EQ(device.GetMaxWidth(), c.width);
    EXPECT_EQ(device.GetMaxHeight(), c.height);
    devices.clear();
  }
}

TEST_F(FamilyDevice, TheLargeQuadCcdRestsItsBoardAtClose) {
  TestDevice& device = Open("0x30C0");
  ASSERT_EQ(device.SetCaptureWindow(0, 0, 640, 480, 0), 1);
  ASSERT_EQ(device.SetBitDepth(1), 1);
  EXPECT_EQ(device.CaptureOne(), 0) << "a frame of the window";
  ASSERT_EQ(device.WriteFpgaRegister(0x24, 1), 1);
  device.CloseDevice();
  EXPECT_EQ(vc::WideRegister(0, 0x0000), 3u);
  EXPECT_EQ(vc::WideRegister(0, 0x8000), 3u);
  for (uint8_t reg : {0x25, 0x24, 0x1F, 0x23, 0x22, 0x20, 0x21, 0xE0}) EXPECT_EQ(vc::BoardRegister(0, reg), 0) << reg;
}

// 8-bit modes carry the upper 8 of the 12 bits, 16-bit modes all 12.
int Expected(int level, bool wide) {
  return wide ? level : level >> 4;
}

int Channel(const CDibImage& image, int x, int y, int channel) {
  const bool wide = image.BitCount() >= 48;
  const uint8_t* p = image.Row(y) + x * (image.BitCount() / 8) + channel * (wide ? 2 : 1);
  return wide ? p[0] | p[1] << 8 : p[0];
}

TEST_F(FamilyDevice, AColourFrameKeepsItsColoursInEveryColourMode) {
  constexpr int kWidth = 640, kHeight = 480;
  TestDevice& device = Open("0x3020");
  ASSERT_EQ(device.SetCaptureWindow(0, 0, kWidth, kHeight, 0), 1);
  for (int mode = 2; mode <= 5; ++mode) {
    SCOPED_TRACE(mode);
    const bool wide = mode >= 4;
    ASSERT_EQ(device.SetBitDepth(wide ? 1 : 0), 1);
    ASSERT_EQ(device.ApplyGeometry(), 1) << "an unchanged depth leaves the buffers to be made";
    ASSERT_EQ(device.CaptureOne(), 0);
    CDibImage raw, out;
    ASSERT_TRUE(raw.Create(kWidth, kHeight, wide ? 16 : 8));
    constexpr uint16_t kOutputBits[] = {24, 32, 48, 64};
    ASSERT_TRUE(out.Create(kWidth, kHeight, kOutputBits[mode - 2]));
    std::vector<uint8_t> frame(size_t(kWidth) * kHeight * (wide ? 2 : 1));
    ASSERT_EQ(device.GetCapturedFrame(frame.data(), 1), 0);
    for (int y = 0; y < kHeight; ++y)
      std::memcpy(raw.Row(y), frame.data() + size_t(y) * kWidth * (wide ? 2 : 1), size_t(kWidth) * (wide ? 2 : 1));

    ImageSettings settings;
    settings.bayerGainRed = settings.bayerGainGreen = settings.bayerGainBlue = 100;
    settings.grayGainR = settings.grayGainG1 = settings.grayGainG2 = settings.grayGainB = 128;
    image::FrameBuffers images;
    (wide ? images.frame16 : images.frame8) = &raw;
    CDibImage** target[] = {&images.color24, &images.color32, &images.color48, &images.color64};
    *target[mode - 2] = &out;
    image::FrameJob job;
    job.images = images;
    job.settings = &settings;
    job.colorMode = static_cast<image::ColorMode>(mode);
    image::ProcessFrame(job);

    for (int x = 80; x < kWidth; x += 160) {
      const vc::SceneColor scene = vc::ColorSceneAt(x, kHeight / 2);
      SCOPED_TRACE(x);
      EXPECT_EQ(Channel(out, x, kHeight / 2, 0), Expected(scene.blue, wide));
      EXPECT_EQ(Channel(out, x, kHeight / 2, 1), Expected(scene.green, wide));
      EXPECT_EQ(Channel(out, x, kHeight / 2, 2), Expected(scene.red, wide));
    }
  }
}

}  // namespace
}  // namespace tevrin::test
