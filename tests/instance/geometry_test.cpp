// Image window, size table, colour mode, subsampling, wait time and mirrors.
#include <windows.h>

#include <climits>

#include "settings/SettingsKey.h"
#include "support/InstanceFixture.h"

namespace {

using ::testing::ElementsAre;

class GeometryTest : public InstanceTest {
 protected:
  // Each test starts from a camera key without size entries.
  void SetUp() override {
    InstanceTest::SetUp();
    for (int n = 0; n < 10; ++n) RegDeleteKeyA(HKEY_CURRENT_USER, SizePath(n).c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, CameraKeyPath(0).c_str());
  }

  static std::string SizePath(int n) { return CameraKeyPath(0) + "\\Size_0" + std::to_string(n); }

  // Stores size entry n of camera 0.
  static void StoreSize(int n, const Geometry& g) {
    HKEY key = nullptr;
    const std::string path = SizePath(n);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::pair<const char*, int> values[] = {{"TH", g.TH},   {"TV", g.TV},   {"EH", g.EH},  {"EV", g.EV},
                                                  {"EHS", g.EHS}, {"EVS", g.EVS}, {"Buf", g.Buf}};
    for (const auto& [name, value] : values) {
      const DWORD data = static_cast<DWORD>(value);
      RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    }
    RegCloseKey(key);
  }

  static Geometry Window(int eh, int ev, int ehs, int evs, int buf = 4) {
    return Geometry{.TH = 640, .TV = 512, .EH = eh, .EV = ev, .EHS = ehs, .EVS = evs, .Buf = buf};
  }
};

TEST(GeometryRule, EffectiveWindowMustLieInsideTheSensor) {
  struct Case {
    Geometry g;
    int subSample;
    bool valid;
  };
  const Case cases[] = {
      {{640, 512, 640, 512, 0, 0, 4}, 0, true},   {{640, 512, 320, 256, 320, 256, 4}, 1, true},
      {{640, 512, 600, 512, 50, 0, 4}, 0, false}, {{640, 512, 640, 500, 0, 13, 4}, 0, false},
      {{640, 512, -1, 512, 0, 0, 4}, 0, false},   {{640, 512, 640, 512, -1, 0, 4}, 0, false},
      {{640, 512, 641, 512, 0, 0, 4}, 0, false},  {{640, 512, 640, 513, 0, 0, 4}, 0, false},
      {{640, 512, 0, 0, 640, 512, 4}, 0, true},   {{640, 512, 0, 0, 641, 0, 4}, 0, false},
      {{640, 512, 640, 512, 0, 0, 4}, 2, false},  {{640, 512, 640, 512, 0, 0, 4}, 3, false},
      {{640, 512, 640, 512, 0, 0, 4}, 17, false}, {{640, 512, 640, 512, 0, 0, 4}, 19, false},
      {{640, 512, 640, 512, 0, 0, 4}, 16, true},  {{640, 512, 640, 512, 0, 0, 4}, 20, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.g.EH << "x" << c.g.EV << "+" << c.g.EHS << "+" << c.g.EVS << " s"
                                    << c.subSample);
    EXPECT_EQ(IsValidWindow(c.g, c.subSample), c.valid);
  }
}

TEST_F(GeometryTest, WindowExFullFrameIsSentToTheDevice) {
  auto instance = Make();
  device->calls.clear();
  ASSERT_EQ(instance->SetCaptureWindowEx(640, 0, 640, 512, 0, 512), 1);
  EXPECT_THAT(device->calls, ElementsAre("SetCaptureWindow(0,0,640,512,0)"));
  EXPECT_EQ(instance->Width(), 640);
  EXPECT_EQ(instance->Height(), 512);
}

// A refused window is never stored: the next acquisition would be set up with it.
TEST_F(GeometryTest, WindowExRefusedIsError7AndNotStored) {
  auto instance = Make();
  ASSERT_EQ(instance->SetCaptureWindowEx(640, 0, 320, 512, 0, 256), 1);
  const Geometry kept = instance->CurrentGeometry();
  struct Case {
    const char* label;
    int th, ehs, eh, tv, evs, ev;
  } const cases[] = {
      {"outside the sensor", 700, 50, 600, 512, 0, 512},
      {"negative total width", -5, 0, 640, 512, 0, 512},
      {"most negative total height", 640, 0, 640, INT_MIN, 0, 512},
      {"total narrower than the window", 100, 0, 320, 512, 0, 256},
      {"negative start", 640, -1, 320, 512, 0, 256},
      {"huge effective height", 640, 0, 320, 512, 0, INT_MAX},
      {"huge start", 640, INT_MAX, 320, 512, 0, 256},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    device->calls.clear();
    EXPECT_EQ(instance->SetCaptureWindowEx(c.th, c.ehs, c.eh, c.tv, c.evs, c.ev), 0);
    EXPECT_THAT(Errors(*instance), ElementsAre(TEVRIN_ERROR_GEOMETRY));
    EXPECT_TRUE(device->calls.empty());
    EXPECT_EQ(instance->CurrentGeometry(), kept);
  }
  EXPECT_EQ(instance->GetCaptureWindowEx(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 1);
}

TEST_F(GeometryTest, WindowExOfAFixedSizeCameraRefusesOtherSizesBeforeStoring) {
  auto fake = std::make_unique<CFakeCameraDevice>();
  fake->freeWidth = 0;
  fake->freeHeight = 0;
  auto instance = Make(std::move(fake));
  EXPECT_EQ(instance->SetCaptureWindowEx(640, 0, 600, 512, 0, 512), 0);
  EXPECT_EQ(instance->SetCaptureWindowEx(640, 0, 640, 512, 0, 500), 0);
  EXPECT_THAT(Errors(*instance), ElementsAre(9, 9));
  EXPECT_EQ(instance->CurrentGeometry(), Geometry{});
}

TEST_F(GeometryTest, WindowRefusedByTheDeviceIsError7) {
  auto instance = Make();
  device->windowResult = 0;
  EXPECT_EQ(instance->SetCaptureWindowEx(640, 0, 320, 512, 0, 256), 0);
  EXPECT_THAT(Errors(*instance), ElementsAre(7));
  EXPECT_EQ(instance->CurrentGeometry(), Geometry{});
}

TEST_F(GeometryTest, CaptureWindowTakesTheFirstStoredEntryOfThatSize) {
  StoreSize(0, Window(640, 512, 0, 0));
  StoreSize(1, Window(320, 256, 160, 128, 8));
  StoreSize(2, Window(320, 256, 0, 0));
  auto instance = Make();
  device->calls.clear();
  ASSERT_EQ(instance->SetCaptureWindow(320, 256), 1);
  EXPECT_EQ(instance->CurrentGeometry(), Window(320, 256, 160, 128, 8));
  EXPECT_THAT(device->calls, ElementsAre("SetCaptureWindow(160,128,320,256,0)"));
}

TEST_F(GeometryTest, CaptureWindowSearchStopsAtTheFirstMissingEntry) {
  StoreSize(0, Window(640, 512, 0, 0));
  StoreSize(2, Window(320, 256, 0, 0));
  auto instance = Make();
  EXPECT_EQ(instance->SetCaptureWindow(320, 256), 0);
  EXPECT_EQ(instance->SetCaptureWindow(100, 100), 0);
  EXPECT_THAT(Errors(*instance), ElementsAre(4, 4));
  EXPECT_EQ(instance->CurrentGeometry(), Geometry{});
}

TEST_F(GeometryTest, AFreshMachineStoresOnlyTheFullFrame) {
  auto instance = Make();
  EXPECT_EQ(instance->SetCaptureWindow(320, 256), 0);
  EXPECT_THAT(Errors(*instance), ElementsAre(4));
  EXPECT_EQ(instance->SetCaptureWindow(640, 512), 1);
}

TEST_F(GeometryTest, InvalidStoredEntryFallsBackToTheFullFrame) {
  StoreSize(0, Window(600, 512, 100, 0, 6));
  auto instance = Make();
  device->calls.clear();
  EXPECT_EQ(instance->SetCaptureWindow(600, 512), 1);
  EXPECT_THAT(Errors(*instance), ElementsAre(7));
  EXPECT_EQ(instance->CurrentGeometry(), Window(640, 512, 0, 0, 6));
  EXPECT_THAT(device->calls, ElementsAre("SetCaptureWindow(0,0,640,512,0)"));
}

TEST_F(GeometryTest, ColorModeAcceptsTheSixDepthsTheCameraDelivers) {
  auto fake = std::make_unique<CFakeCameraDevice>();
  fake->color = 1;
  auto instance = Make(std::move(fake));
  EXPECT_EQ(instance->GetColorMode(), 24);  // what a colour sensor's new settings start with
  for (int bits : {16, 24, 32, 48, 64, 8}) {
    SCOPED_TRACE(bits);
    EXPECT_EQ(instance->SetColorMode(bits), 1);
    EXPECT_EQ(instance->GetColorMode(), bits);
  }
  EXPECT_EQ(instance->SetColorMode(12), 0);
  EXPECT_EQ(instance->SetColorMode(0), 0);
  EXPECT_EQ(instance->GetColorMode(), 8);
  EXPECT_THAT(Errors(*instance), ElementsAre(9, 9));
}

TEST_F(GeometryTest, ColorModeRefusesWhatTheSensorCannotDeliver) {
  auto instance = Make();  // gray 8 and 16, no colour
  ASSERT_EQ(instance->SetColorMode(16), 1);
  for (int bits : {24, 48, 64}) EXPECT_EQ(instance->SetColorMode(bits), 0) << bits;
  EXPECT_EQ(instance->SetColorMode(32), 1);  // goes with the 8-bit monochrome mode
  device->gray8 = 0;
  device->color = 1;
  EXPECT_EQ(instance->SetColorMode(8), 0);
  EXPECT_EQ(instance->SetColorMode(32), 0);
  EXPECT_EQ(instance->SetColorMode(24), 1);
  EXPECT_THAT(Errors(*instance), ElementsAre(9, 9, 9, 9, 9));
}

TEST_F(GeometryTest, SubSampleAndWaitTimeRefuseSilently) {
  auto instance = Make();
  EXPECT_EQ(instance->SetSubSample(1), 1);
  EXPECT_EQ(instance->SetSubSample(2), 0);
  EXPECT_EQ(instance->GetSubSample(), 1);
  EXPECT_EQ(instance->GetWaitTime(), 1);  // the stored default
  EXPECT_EQ(instance->SetWaitTime(-1), 0);
  EXPECT_EQ(instance->SetWaitTime(0), 1);
  EXPECT_EQ(instance->GetWaitTime(), 0);
  EXPECT_EQ(instance->PopError(), 0);
}

TEST_F(GeometryTest, MirrorsReachTheDevice) {
  auto instance = Make();
  EXPECT_EQ(instance->SetMirrorH(5), 1);
  EXPECT_EQ(instance->SetMirrorV(0), 1);
  EXPECT_EQ(device->mirrorH, 1);
  EXPECT_EQ(instance->GetMirrorH(), 1);
  EXPECT_EQ(instance->GetMirrorV(), 0);
  device->setterResult = 0;
  EXPECT_EQ(instance->SetMirrorH(0), 0);
  EXPECT_EQ(instance->GetMirrorH(), 1);
  EXPECT_THAT(Errors(*instance), ElementsAre(6));
}

TEST_F(GeometryTest, MirrorsWithoutDeviceRecordHorizontalAndOnlyPostVertical) {
  auto instance = MakeWithoutDevice();
  EXPECT_EQ(instance->SetMirrorH(1), 0);
  EXPECT_EQ(instance->GetMirrorH(), 0);
  EXPECT_EQ(instance->SetMirrorV(1), 0);
  EXPECT_EQ(instance->GetMirrorV(), 0);
  EXPECT_THAT(PostedErrors(), ElementsAre(1, 1, 1, 1));
  EXPECT_THAT(Errors(*instance), ElementsAre(1, 1));
}

TEST_F(GeometryTest, SamplingRateGoesToTheExtensionCommand) {
  auto instance = Make();
  device->calls.clear();
  EXPECT_EQ(instance->SetSamplingRate(48), 1);
  EXPECT_THAT(device->calls, ElementsAre("ExtensionCommand(0,48)"));
  auto without = MakeWithoutDevice();
  EXPECT_EQ(without->SetSamplingRate(48), 0);
  EXPECT_EQ(without->PopError(), 0);
}

}  // namespace
