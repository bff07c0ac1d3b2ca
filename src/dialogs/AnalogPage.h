#pragma once

#include <memory>

#include "dialogs/AnalogDialog.h"
#include "dialogs/DialogBase.h"
#include "dialogs/SliderGroup.h"

// The page of the analog dialog: gains, exposure and the sensor's options,
// each sent to the camera as it changes. Colour sensors get the page with
// the four colour gains, the others the one with black level, cooler,
// register preset and gain mode; absent controls are skipped.
class CAnalogPage : public CDialogBase {
 public:
  explicit CAnalogPage(AnalogDialogContext& context) : context_(context) {}

  HWND Create(HWND tabs);
  // Copies the block into the controls.
  void Refresh();
  // Copies the visible controls into the block.
  void Collect();
  // The sensor's defaults into the block and the camera, then Refresh.
  void Defaults();

 private:
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Setup();
  INT_PTR OnCommand(int id, int code);
  void SliderChanged(const CSliderGroup::Change& change);
  void ExposureSecondsChanged();
  void ShowExposureSeconds(double seconds);
  void ShowExposureMs();
  void ShowIris(int mode);

  AnalogDialogContext& context_;
  std::unique_ptr<CSliderGroup> sliders_;
  double exposureSecondsMin_ = 0.0;
  bool ready_ = false;
};
