// Without a display and without the headless mode nobody can answer a
// dialog: each ends at once as cancelled and changes nothing.
#include "support/DialogFixture.h"

namespace {

class NoDisplay : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    unsetenv("TEVRIN_HEADLESS_DIALOGS");
    unsetenv("DISPLAY");
  }
};

INSTANTIATE_TEST_SUITE_P(Languages, NoDisplay, ::testing::Bool(), LanguageName);

TEST_P(NoDisplay, EachDialogEndsAtOnceAndChangesNothing) {
  Make();
  device->globalGain = 77;
  const ImageSettings image = instance->Image();
  const Geometry geometry = instance->CurrentGeometry();
  EXPECT_EQ(instance->SetCameraDlg(nullptr), 1);
  EXPECT_EQ(instance->SetAnalogDlg(nullptr), 1);
  EXPECT_EQ(instance->SetImageDlg(nullptr), 1);
  EXPECT_EQ(device->globalGain, 77);
  EXPECT_EQ(instance->Analog().globalGain, 77);
  EXPECT_EQ(instance->Image().gamma, image.gamma);
  EXPECT_EQ(instance->CurrentGeometry(), geometry);
}

}  // namespace
