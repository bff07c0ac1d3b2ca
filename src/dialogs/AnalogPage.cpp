#include "dialogs/AnalogPage.h"

#include <commctrl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "dialogs/DialogIds.h"
#include "dialogs/DialogNotices.h"
#include "dialogs/ExposureUnits.h"

namespace {

using Device = CTevrinU3K5Base;

enum class Range { GlobalGain, ColorGain, Exposure, BlackLevel };

// One slider of the page and where its value goes.
struct AnalogValue {
  int trackbar, updown, edit;
  Range range;
  int AnalogSettings::*field;
  int (Device::*send)(int);
};

enum { kGlobalGain, kGreen1, kRed, kBlue, kGreen2, kExposure, kBlackLevel };
constexpr AnalogValue kValues[] = {
    {IDC_GLOBAL_GAIN_BAR, IDC_GLOBAL_GAIN_SPIN, IDC_GLOBAL_GAIN, Range::GlobalGain, &AnalogSettings::globalGain,
     &Device::SetGlobalGain},
    {IDC_GAIN_G1_BAR, IDC_GAIN_G1_SPIN, IDC_GAIN_G1, Range::ColorGain, &AnalogSettings::gainGreen1,
     &Device::SetColorGainGreen1},
    {IDC_GAIN_R_BAR, IDC_GAIN_R_SPIN, IDC_GAIN_R, Range::ColorGain, &AnalogSettings::gainRed, &Device::SetColorGainRed},
    {IDC_GAIN_B_BAR, IDC_GAIN_B_SPIN, IDC_GAIN_B, Range::ColorGain, &AnalogSettings::gainBlue,
     &Device::SetColorGainBlue},
    {IDC_GAIN_G2_BAR, IDC_GAIN_G2_SPIN, IDC_GAIN_G2, Range::ColorGain, &AnalogSettings::gainGreen2,
     &Device::SetColorGainGreen2},
    {IDC_EXPOSURE_BAR, IDC_EXPOSURE_SPIN, IDC_EXPOSURE, Range::Exposure, &AnalogSettings::exposure,
     &Device::SetExposure},
    {IDC_BLACK_LEVEL_BAR, IDC_BLACK_LEVEL_SPIN, IDC_BLACK_LEVEL, Range::BlackLevel, &AnalogSettings::blackLevel,
     &Device::SetBlackLevel},
};

// The sensor options shown as a check box: hidden unless the sensor has them.
struct AnalogOption {
  int control;
  int (Device::*has)();
  int (Device::*send)(int);
  int AnalogSettings::*field;
};
constexpr AnalogOption kOptions[] = {
    {IDC_PELTIER, &Device::HasCooler, &Device::SetCooler, &AnalogSettings::peltier},
    {IDC_SHORT_EXPOSURE, &Device::HasRegisterPreset, &Device::SetRegisterPreset, &AnalogSettings::registerPreset},
    {IDC_MIRROR_V, nullptr, &Device::SetMirrorV, &AnalogSettings::mirrorV},
    {IDC_MIRROR_H, nullptr, &Device::SetMirrorH, &AnalogSettings::mirrorH},
};

constexpr const char* kGainModes[] = {"High Gain", "Low Gain"};
constexpr int kAutoIrisExposure = 1;
constexpr int kAutoIrisGain = 2;

Slider SliderOf(const AnalogValue& value, Device& device) {
  int min = 0, max = 0;
  switch (value.range) {
    case Range::GlobalGain:
      min = device.GetGlobalGainMin(), max = device.GetGlobalGainMax();
      break;
    case Range::ColorGain:
      min = device.GetColorGainMin(), max = device.GetColorGainMax();
      break;
    case Range::Exposure:
      min = device.GetExposureTimeMin(), max = device.GetExposureTimeMax();
      break;
    case Range::BlackLevel:
      min = device.GetBlackLevelMin(), max = device.GetBlackLevelMax();
      break;
  }
  return {value.trackbar, value.updown, value.edit, min, max, (max - min) / 8};
}

void SetVisible(HWND page, int id, bool visible) {
  if (HWND control = GetDlgItem(page, id)) ShowWindow(control, visible ? SW_SHOW : SW_HIDE);
}

// The control's own visibility, whether or not its page is shown.
bool IsShown(HWND page, int id) {
  HWND control = GetDlgItem(page, id);
  return control && (GetWindowLongPtrA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

}  // namespace

HWND CAnalogPage::Create(HWND tabs) {
  const bool color = context_.device.SupportsColor() != 0;
  return CreateChild(tabs, color ? IDD_ANALOG_COLOR_JA : IDD_ANALOG_MONO_JA,
                     color ? IDD_ANALOG_COLOR_EN : IDD_ANALOG_MONO_EN);
}

INT_PTR CAnalogPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      Setup();
      Refresh();
      ready_ = true;
      return TRUE;
    case WM_HSCROLL:
      if (const auto change = sliders_->Scrolled(reinterpret_cast<HWND>(lParam))) {
        SliderChanged(*change);
      }
      return TRUE;
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam), HIWORD(wParam));
    case kAutoIrisNotice:
      sliders_->Show(wParam == IDC_GLOBAL_GAIN ? kGlobalGain : kExposure, static_cast<int>(lParam));
      if (wParam == IDC_EXPOSURE) ShowExposureMs();
      return TRUE;
    default:
      return FALSE;
  }
}

void CAnalogPage::Setup() {
  Device& device = context_.device;
  std::vector<Slider> sliders;
  for (const AnalogValue& value : kValues) sliders.push_back(SliderOf(value, device));
  sliders_ = std::make_unique<CSliderGroup>(Window(), std::move(sliders));
  const AnalogSettings analog = context_.analog.Read();
  for (int i = 0; i < static_cast<int>(std::size(kValues)); ++i) sliders_->Setup(i, analog.*(kValues[i].field));
  for (int i = kGreen1; i <= kGreen2; ++i) sliders_->Enable(i, false);

  const bool seconds = device.HasExposureSeconds() != 0;
  sliders_->SetVisible(kExposure, !seconds);
  for (int id : {IDC_EXPOSURE_LABEL, IDC_EXPOSURE_MS}) SetVisible(Window(), id, !seconds);
  for (int id : {IDC_EXPOSURE_EX_LABEL, IDC_EXPOSURE_EX, IDC_EXPOSURE_UNIT, IDC_EXPOSURE_RANGE}) {
    SetVisible(Window(), id, seconds);
  }
  if (seconds) {
    double max = 0.0;
    device.GetExposureSecondsMin(&exposureSecondsMin_);
    device.GetExposureSecondsMax(&max);
    for (int unit = static_cast<int>(UnitOf(exposureSecondsMin_)); unit <= static_cast<int>(UnitOf(max)); ++unit) {
      SendDlgItemMessageA(Window(), IDC_EXPOSURE_UNIT, CB_ADDSTRING, 0,
                          reinterpret_cast<LPARAM>(UnitLabel(static_cast<ExposureUnit>(unit))));
    }
    SetDlgItemTextA(Window(), IDC_EXPOSURE_RANGE, RangeLabel(exposureSecondsMin_, max).c_str());
  }

  const bool blackLevel = device.HasBlackLevel() != 0;
  sliders_->SetVisible(kBlackLevel, blackLevel);
  SetVisible(Window(), IDC_BLACK_LEVEL_LABEL, blackLevel);
  for (const AnalogOption& option : kOptions) {
    if (option.has) SetVisible(Window(), option.control, (device.*option.has)() != 0);
  }
  for (const char* mode : kGainModes) {
    SendDlgItemMessageA(Window(), IDC_GAIN_MODE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(mode));
  }
  const int gainMode = device.HasModeSwitch() ? device.GetModeSwitch() : -1;
  SetVisible(Window(), IDC_GAIN_MODE, gainMode == 0 || gainMode == 1);
}

void CAnalogPage::Refresh() {
  const AnalogSettings analog = context_.analog.Read();
  for (int i = 0; i < static_cast<int>(std::size(kValues)); ++i) sliders_->Show(i, analog.*(kValues[i].field));
  for (const AnalogOption& option : kOptions) {
    CheckDlgButton(Window(), option.control, analog.*(option.field) ? BST_CHECKED : BST_UNCHECKED);
  }
  SendDlgItemMessageA(Window(), IDC_GAIN_MODE, CB_SETCURSEL, static_cast<WPARAM>(analog.modeSwitch != 0), 0);
  ShowIris(analog.autoIris);
  ShowExposureMs();
  if (IsShown(Window(), IDC_EXPOSURE_EX)) ShowExposureSeconds(analog.exposureSeconds);
}

void CAnalogPage::Collect() {
  context_.analog.Change([&](AnalogSettings& analog) {
    for (int i = 0; i < static_cast<int>(std::size(kValues)); ++i) {
      if (sliders_->IsVisible(i)) analog.*(kValues[i].field) = sliders_->Value(i);
    }
    for (const AnalogOption& option : kOptions) {
      if (IsShown(Window(), option.control)) {
        analog.*(option.field) = IsDlgButtonChecked(Window(), option.control) == BST_CHECKED;
      }
    }
    if (IsShown(Window(), IDC_GAIN_MODE)) {
      analog.modeSwitch = static_cast<int>(SendDlgItemMessageA(Window(), IDC_GAIN_MODE, CB_GETCURSEL, 0, 0)) == 1;
    }
  });
}

void CAnalogPage::Defaults() {
  Device& device = context_.device;
  AnalogSettings analog = context_.analog.Read();
  analog.globalGain = device.GetGlobalGainDefault();
  analog.gainGreen1 = analog.gainRed = analog.gainBlue = analog.gainGreen2 = device.GetColorGainDefault();
  analog.blackLevel = device.GetBlackLevelDefault();
  for (int i = kGlobalGain; i <= kGreen2; ++i) (device.*(kValues[i].send))(analog.*(kValues[i].field));
  if (device.HasExposureSeconds()) {
    double seconds = 0.0;
    device.GetExposureSecondsDefault(&seconds);
    device.SetExposureSeconds(seconds);
    device.GetExposureSeconds(&seconds);
    analog.exposureSeconds = seconds;
    analog.exposure = device.GetExposureTime();
  } else {
    analog.exposure = device.GetExposureTimeDefault();
    device.SetExposure(analog.exposure);
  }
  if (device.HasBlackLevel()) device.SetBlackLevel(analog.blackLevel);
  if (device.HasCooler()) device.SetCooler(analog.peltier = 1);
  if (device.HasRegisterPreset()) device.SetRegisterPreset(analog.registerPreset = 0);
  if (device.HasModeSwitch()) device.SetModeSwitch(analog.modeSwitch = 0);
  context_.analog.Change([&](AnalogSettings& block) { block = analog; });
  ready_ = false;
  Refresh();
  ready_ = true;
}

INT_PTR CAnalogPage::OnCommand(int id, int code) {
  if (!ready_) return FALSE;
  if (code == EN_CHANGE) {
    if (id == IDC_EXPOSURE_EX) {
      ExposureSecondsChanged();
    } else if (const auto change = sliders_->Edited(id)) {
      SliderChanged(*change);
    }
    return TRUE;
  }
  if (code == CBN_SELCHANGE) {
    if (id == IDC_EXPOSURE_UNIT) ExposureSecondsChanged();
    if (id == IDC_GAIN_MODE) {
      const int mode = static_cast<int>(SendDlgItemMessageA(Window(), IDC_GAIN_MODE, CB_GETCURSEL, 0, 0)) == 1;
      context_.device.SetModeSwitch(mode);
      context_.analog.Change([&](AnalogSettings& analog) { analog.modeSwitch = mode; });
    }
    return TRUE;
  }
  if (code != BN_CLICKED) return FALSE;
  const bool checked = IsDlgButtonChecked(Window(), id) == BST_CHECKED;
  if (id == IDC_IRIS_GAIN || id == IDC_IRIS_EXPOSURE) {
    const int mode = !checked ? 0 : id == IDC_IRIS_GAIN ? kAutoIrisGain : kAutoIrisExposure;
    ShowIris(mode);
    context_.analog.Change([&](AnalogSettings& analog) { analog.autoIris = mode; });
    return TRUE;
  }
  for (const AnalogOption& option : kOptions) {
    if (option.control != id) continue;
    (context_.device.*option.send)(checked);
    context_.analog.Change([&](AnalogSettings& analog) { analog.*(option.field) = checked; });
    return TRUE;
  }
  return FALSE;
}

void CAnalogPage::SliderChanged(const CSliderGroup::Change& change) {
  const int index = change.index;
  int value = change.value;
  Device& device = context_.device;
  (device.*(kValues[index].send))(value);
  if (index == kExposure) value = device.GetExposureTime();
  const auto field = kValues[index].field;
  context_.analog.Change([field, value](AnalogSettings& analog) { analog.*field = value; });
  if (index == kExposure) ShowExposureMs();
}

// The edit's number in the chosen unit goes to the camera in seconds; what
// the camera took is kept.
void CAnalogPage::ExposureSecondsChanged() {
  char text[64] = {};
  GetDlgItemTextA(Window(), IDC_EXPOSURE_EX, text, sizeof text);
  char* end = nullptr;
  const double number = std::strtod(text, &end);
  const int unit = static_cast<int>(SendDlgItemMessageA(Window(), IDC_EXPOSURE_UNIT, CB_GETCURSEL, 0, 0));
  if (end == text || !std::isfinite(number) || number < 0 || unit < 0) return;
  const auto chosen = static_cast<ExposureUnit>(static_cast<int>(UnitOf(exposureSecondsMin_)) + unit);
  Device& device = context_.device;
  device.SetExposureSeconds(number / UnitsPerSecond(chosen));
  double seconds = 0.0;
  const bool readBack = device.GetExposureSeconds(&seconds) != 0;
  const int units = device.GetExposureTime();
  context_.analog.Change([&](AnalogSettings& analog) {
    if (readBack) analog.exposureSeconds = seconds;
    analog.exposure = units;
  });
}

void CAnalogPage::ShowExposureSeconds(double seconds) {
  const int first = static_cast<int>(UnitOf(exposureSecondsMin_));
  const ExposureUnit unit = UnitOf(seconds);
  SetDlgItemTextA(Window(), IDC_EXPOSURE_EX, FormatInUnit(seconds, unit).c_str());
  SendDlgItemMessageA(Window(), IDC_EXPOSURE_UNIT, CB_SETCURSEL, static_cast<WPARAM>(static_cast<int>(unit) - first),
                      0);
}

void CAnalogPage::ShowExposureMs() {
  if (!IsShown(Window(), IDC_EXPOSURE_MS)) return;
  char text[32];
  std::snprintf(text, sizeof text, "=%.2fms", context_.analog.Read().exposure / 10.0);
  SetDlgItemTextA(Window(), IDC_EXPOSURE_MS, text);
}

void CAnalogPage::ShowIris(int mode) {
  CheckDlgButton(Window(), IDC_IRIS_GAIN, mode == kAutoIrisGain ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(Window(), IDC_IRIS_EXPOSURE, mode == kAutoIrisExposure ? BST_CHECKED : BST_UNCHECKED);
}
