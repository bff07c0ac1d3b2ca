// The camera dialog: colour modes, size entries, subsampling and wait time,
// stored on Apply and OK and taken by the instance after OK.
#include "support/DialogFixture.h"
#include "settings/StoredSettings.h"

namespace {

constexpr auto kOpen = [](CTevrin& instance, HWND parent) { return instance.SetCameraDlg(parent); };

class CameraDialog : public DialogTest {
 protected:
  SizeTable Stored() {
    SizeTable table;
    LoadSizeTable(instance->DeviceNumber(), {}, &table);
    return table;
  }
};

INSTANTIATE_TEST_SUITE_P(Languages, CameraDialog, ::testing::Bool(), LanguageName);

TEST_P(CameraDialog, ShowsTheLanguagesTextsAndTheSensorsModes) {
  struct Sensor {
    int gray8, gray16, color;
    std::vector<std::string> japanese, english;
  };
  const Sensor sensors[] = {
      {1, 1, 0, {"白黒 8bit", "白黒 12bit ※"}, {"Monochrome 8bit", "Monochrome 12bit *"}},
      {1, 1, 1,
       {"白黒 8bit", "白黒 12bit ※", "カラー 24bit", "カラー 32bit", "カラー 48bit ※", "カラー 64bit ※"},
       {"Monochrome 8bit", "Monochrome 12bit *", "Color 24bit", "Color 32bit", "Color 48bit *", "Color 64bit *"}},
  };
  for (const Sensor& sensor : sensors) {
    auto fake = std::make_unique<CFakeCameraDevice>();
    fake->gray8 = sensor.gray8, fake->gray16 = sensor.gray16, fake->color = sensor.color;
    Make(std::move(fake));
    Open(kOpen);
    EXPECT_EQ(TabTexts(frame, IDC_TAB), std::vector<std::string>{Japanese() ? "ストリーム形式" : "Stream Format"});
    EXPECT_EQ(ComboItems(frame, IDC_COLOR_MODE), Japanese() ? sensor.japanese : sensor.english);
    const std::vector<std::string> clocks = Japanese()
                                                ? std::vector<std::string>{"標準(24MHz)", "ハーフ(12MHz)", "高速(54MHz)"}
                                                : std::vector<std::string>{"Nomal(24MHz)", "Half(12MHz)", "High(54MHz)"};
    EXPECT_EQ(ComboItems(frame, IDC_CLOCK), clocks);
    EXPECT_EQ(Text(frame, IDC_CLOCK), clocks[2]);
    EXPECT_FALSE(IsEnabled(frame, IDC_CLOCK));
    EXPECT_EQ(ComboItems(frame, IDC_SUBSAMPLE), (std::vector<std::string>{"1/1", "1/2 Skip"}));
    EXPECT_EQ(ComboItems(frame, IDC_SIZE).back(), Japanese() ? "カスタム" : "Custom");
    EXPECT_FALSE(IsEnabled(frame, IDC_APPLY));
    Close(IDCANCEL);
  }
}

TEST_P(CameraDialog, FixedWidthOrHeightDisablesItsEdits) {
  struct Case {
    int freeWidth, freeHeight;
    bool size, widthEdits, heightEdits;
  };
  const Case cases[] = {{1, 1, true, true, true}, {0, 1, true, false, true}, {1, 0, true, true, false},
                        {0, 0, false, false, false}};
  for (const Case& c : cases) {
    auto fake = std::make_unique<CFakeCameraDevice>();
    fake->freeWidth = c.freeWidth, fake->freeHeight = c.freeHeight;
    Make(std::move(fake));
    Open(kOpen);
    EXPECT_EQ(IsEnabled(frame, IDC_SIZE), c.size);
    for (int id : {IDC_TOTAL_H, IDC_EFFECTIVE_H, IDC_START_H}) EXPECT_EQ(IsEnabled(frame, id), c.widthEdits) << id;
    for (int id : {IDC_TOTAL_V, IDC_EFFECTIVE_V, IDC_START_V}) EXPECT_EQ(IsEnabled(frame, id), c.heightEdits) << id;
    Close(IDCANCEL);
  }
}

TEST_P(CameraDialog, HalfSkipSelectsTheFullFrameEntryAndAddsItWhenMissing) {
  Make();
  SizeTable table = Stored();
  table.entries = {{640, 512, 320, 256, 0, 0, 4}};
  table.selected = 0;
  ASSERT_EQ(SaveSizeTable(instance->DeviceNumber(), table), 1);
  Open(kOpen);
  Choose(frame, IDC_SUBSAMPLE, 1);
  EXPECT_EQ(ComboItems(frame, IDC_SIZE),
            (std::vector<std::string>{"320 x 256", "640 x 512", Japanese() ? "カスタム" : "Custom"}));
  EXPECT_EQ(Text(frame, IDC_SIZE), "640 x 512");
  for (int id : {IDC_SIZE, IDC_EFFECTIVE_H, IDC_EFFECTIVE_V, IDC_START_H, IDC_START_V}) {
    EXPECT_FALSE(IsEnabled(frame, id)) << id;
  }
  EXPECT_TRUE(IsEnabled(frame, IDC_APPLY));
  Choose(frame, IDC_SUBSAMPLE, 0);
  EXPECT_TRUE(IsEnabled(frame, IDC_EFFECTIVE_H));
  Close(IDCANCEL);
  EXPECT_EQ(Stored().entries.size(), 1u) << "Cancel stores nothing";
}

TEST_P(CameraDialog, ApplyStoresOkStoresAndTheInstanceTakesTheNewFormat) {
  Make();
  Open(kOpen);
  Choose(frame, IDC_SIZE, static_cast<int>(ComboItems(frame, IDC_SIZE).size()) - 1);  // Custom
  const std::pair<int, const char*> edits[] = {{IDC_EFFECTIVE_H, "320"}, {IDC_EFFECTIVE_V, "240"},
                                               {IDC_START_H, "16"},      {IDC_START_V, "8"},
                                               {IDC_WAIT_TIME, "5000"}};
  for (const auto& [id, text] : edits) Type(frame, id, text);
  Click(frame, IDC_APPLY);
  EXPECT_FALSE(IsEnabled(frame, IDC_APPLY));
  const SizeTable applied = Stored();
  ASSERT_FALSE(applied.entries.empty());
  EXPECT_EQ(applied.entries.back(), (Geometry{640, 512, 320, 240, 16, 8, 4}));
  EXPECT_EQ(applied.selected, static_cast<int>(applied.entries.size()) - 1);
  EXPECT_EQ(applied.format.waitTime, kMaxWaitTimeMs) << "held to what the loader accepts";
  EXPECT_EQ(applied.format.clock, 2);
  EXPECT_EQ(Text(frame, IDC_SIZE), "320 x 240");
  Close(IDOK);
  EXPECT_EQ(instance->CurrentGeometry(), (Geometry{640, 512, 320, 240, 16, 8, 4}));
  EXPECT_EQ(instance->GetWaitTime(), kMaxWaitTimeMs);
}

}  // namespace
