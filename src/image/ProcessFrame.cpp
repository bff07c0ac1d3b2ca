#include "image/ProcessFrame.h"

#include "image/BayerCells.h"
#include "image/Demosaic.h"
#include "image/DibImage.h"
#include "image/GrayGains.h"
#include "image/Luminance.h"
#include "image/Mirror.h"
#include "image/OutputFilters.h"
#include "image/RawFilters.h"
#include "image/WhiteBalance.h"
#include "settings/SettingsBlocks.h"

namespace tevrin::image {
namespace {

enum GrayMode { kGrayOff = 0, kGrayGains = 1, kGrayLuminance = 2 };

CDibImage* RawFrame(const FrameJob& job) {
  return Describe(job.colorMode).rawBits == 16 ? job.images.frame16 : job.images.frame8;
}

CDibImage* ColourOutput(const FrameJob& job) {
  switch (job.colorMode) {
    case ColorMode::Bgr24:
      return job.images.color24;
    case ColorMode::Bgra32:
      return job.images.color32;
    case ColorMode::Bgr48:
      return job.images.color48;
    case ColorMode::Bgra64:
      return job.images.color64;
    default:
      return nullptr;
  }
}

// Gray mode 1: measure when requested (a positive request counts down, -1
// stays and measures every frame), then level the cells.
bool LevelGrayCells(CDibImage& raw, ImageSettings& settings) {
  bool measured = false;
  const int request = settings.grayAutoGainRequest;
  if (request != 0) {
    GrayCells cells = GrayCellsOf(settings);
    if (MeasureGrayGains(raw, settings.bayerMode, cells.gain)) {
      StoreGrayGains(cells.gain, settings);
      measured = true;
    }
    if (request > 0) settings.grayAutoGainRequest = request - 1;
  }
  ApplyGrayGains(raw, settings.bayerMode, GrayCellsOf(settings));
  return measured;
}

// Gray mode 2 on 8-bit frames: demosaic into Color24 and keep the luminance.
void ReplaceByLuminance(CDibImage& frame8, CDibImage* color24, const ImageSettings& settings) {
  if (!color24 || frame8.BitCount() != 8) return;
  const DemosaicGains gains{settings.bayerGainRed, settings.bayerGainBlue};
  if (Demosaic(*color24, frame8, settings.bayerMode, gains)) WriteLuminance(frame8, *color24);
}

// Before each colour demosaic when enabled; a request of the image dialog's
// "Once" button (its once-flags) switches the balance off after one measurement.
bool BalanceWhite(const CDibImage& raw, int bayerMode, ImageSettings& settings) {
  if (!settings.bayerGainAuto) return false;
  WhiteBalanceGains gains{settings.bayerGainRed, settings.bayerGainGreen, settings.bayerGainBlue};
  if (!MeasureWhiteBalance(raw, bayerMode, gains)) return false;
  settings.bayerGainRed = gains.red;
  settings.bayerGainGreen = gains.green;
  settings.bayerGainBlue = gains.blue;
  if (settings.bayerAutoWorking[0] || settings.bayerAutoWorking[1]) {
    settings.bayerGainAuto = 0;
    settings.bayerAutoWorking[0] = settings.bayerAutoWorking[1] = 0;
  }
  return true;
}

void FilterRawFrame(const FrameJob& job, CDibImage& raw) {
  const RawFilterSettings& filters = job.rawFilters;
  if (!job.masks || !(filters.mask || filters.dot)) return;
  job.masks->WithDefectMasks(raw.BitCount(), [&](const DefectMasks& masks) {
    if (filters.mask) ApplyMaskFilter(raw, masks, filters.window);
    if (filters.dot) ApplyDotFilter(raw, masks, filters.window);
  });
}

constexpr int kNeutralGamma = 100;

void FilterOutput(const FrameJob& job, CDibImage& output) {
  if (!job.tables || !output.Bits()) return;
  const ImageSettings& settings = *job.settings;
  CFilterTables& tables = *job.tables;
  if (!Describe(job.colorMode).monochrome && (settings.hue != 0 || settings.saturation != 0)) {
    ShiftHueSaturation(output, settings.hue, settings.saturation);
  }
  if (settings.gamma != kNeutralGamma) ApplyCurve(output, Curve::kGamma, settings.gamma, tables);
  if (settings.contrast != 0) ApplyCurve(output, Curve::kContrast, settings.contrast, tables);
  if (settings.sharpness != 0 && job.images.sharpenCopy) {
    Sharpen(output, *job.images.sharpenCopy, settings.sharpness, tables);
  }
  if (settings.brightness != 0) ApplyCurve(output, Curve::kBrightness, settings.brightness, tables);
}

}  // namespace

bool ProcessFrame(const FrameJob& job) {
  if (!job.settings || !ColorModeAt(static_cast<int>(job.colorMode))) return false;
  CDibImage* raw = RawFrame(job);
  if (!raw || !raw->Bits()) return false;
  ImageSettings& settings = *job.settings;
  bool measured = false;
  FilterRawFrame(job, *raw);

  if (Describe(job.colorMode).monochrome) {
    if (settings.grayMode == kGrayGains) measured |= LevelGrayCells(*raw, settings);
    if (settings.grayMode == kGrayLuminance) ReplaceByLuminance(*raw, job.images.color24, settings);
  }

  const MirrorFlags& mirror = job.mirror;
  MirrorFrame(*raw, mirror.horizontal && !mirror.horizontalInSensor, mirror.vertical && !mirror.verticalInSensor);

  CDibImage* output = ColourOutput(job);
  if (output) {
    const int mode =
        MirroredBayerMode(settings.bayerMode, mirror.horizontal, mirror.vertical, raw->Width(), raw->Height());
    measured |= BalanceWhite(*raw, mode, settings);
    Demosaic(*output, *raw, mode, DemosaicGains{settings.bayerGainRed, settings.bayerGainBlue});
  }
  FilterOutput(job, output ? *output : *raw);
  return measured;
}

}  // namespace tevrin::image
