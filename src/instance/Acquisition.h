// One camera instance's acquisition: the state machine of preview, prepared
// capture and trigger acquisition, the thread that runs the preview and
// trigger loops, the images a frame is read into and produced in, the
// preview window and the delivery of each frame.
//
// One lock guards every transition, so two callers can never both start an
// acquisition. Everything an acquisition uses (colour mode, images, frame
// size, preview window) is fixed at its setup; a setting that changes them
// takes effect at the next setup. The thread is stopped and joined before
// the window, its device context or any image goes.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>

#include <TevrinSdk_Halden.h>

#include "device/TevrinU3K5Base.h"
#include "image/ColorMode.h"
#include "image/ProcessFrame.h"
#include "instance/FrameImages.h"
#include "instance/Lock.h"
#include "instance/PreviewWindow.h"
#include "instance/Recorder.h"
#include "instance/WorkerThread.h"
#include "settings/SettingsBlocks.h"

// The numeric values are those the state has always had for callers.
enum class AcquisitionState : int { Idle = 0, PreviewRunning = 1, CapturePrepared = 2, TriggerRunning = 3 };

// Where a callback or trigger acquisition delivers: the application's buffer
// and the window told of each frame.
struct FrameTarget {
  HWND window = nullptr;
  BYTE* buffer = nullptr;
  int size = 0;
  int rowOrder = 0;
};

// What one frame is processed with, read in one piece while the application
// may be changing it.
struct FrameSettings {
  ImageSettings image;
  tevrin::image::MirrorFlags mirror;
  tevrin::image::RawFilterSettings rawFilters;
};

// The colour mode and frame size an acquisition is set up with.
struct AcquisitionFormat {
  tevrin::image::ColorMode mode = tevrin::image::ColorMode::Gray8;
  int width = 0;
  int height = 0;
};

class CAcquisition {
 public:
  // What the acquisition asks of the camera instance that owns it, the
  // defect masks of the raw-frame filters included.
  class Host : public tevrin::image::DefectMaskAccess {
   public:
    virtual int RecordError(int code) = 0;
    // The camera is present and the image window valid; else records why and returns 0.
    virtual int CheckCamera() = 0;
    virtual AcquisitionFormat Format() = 0;
    // Sends the camera everything it needs before frames flow; records why
    // and returns 0 when it refuses.
    virtual int PrepareCamera(const AcquisitionFormat& format) = 0;
    virtual PreviewPlacement Placement() = 0;
    virtual int WaitTime() = 0;
    virtual FrameSettings TakeFrameSettings() = 0;
    // The automatic exposure step, first thing for each frame, with the raw
    // frame before any processing; inside the frame lock.
    virtual void ControlExposure(const CDibImage& raw) = 0;
    // Keeps what the pipeline measured on a frame (automatic gains).
    virtual void StoreMeasurements(const FrameSettings& before, const FrameSettings& after) = 0;

   protected:
    ~Host() = default;
  };
  CAcquisition(Host& host, CTevrinU3K5Base& device);
  ~CAcquisition();
  CAcquisition(const CAcquisition&) = delete;
  CAcquisition& operator=(const CAcquisition&) = delete;

  // The operations of the exports of the same names; 1 or 0 after recording why.
  int StartPreview();
  // A preview delivering to `target` (all empty for Preview). While a preview
  // runs, the new target takes over between two frames.
  int CallBackPreview(const FrameTarget& target);
  int StopPreview();
  int Capture();
  int SnapShot(BYTE* buffer, int size, int rowOrder);
  int Trigger(const FrameTarget& target);
  int Close();
  int GetImage(BYTE* buffer, int size, int rowOrder);
  // Starts a preview (with its window when `showWindow` and one is placed)
  // that records the processed frames of the next `durationMs` ms into an
  // AVI file at `path`; the preview goes on afterwards. A stop, a close or a
  // lost camera ends the recording early with the file finished.
  int Record(const char* path, int durationMs, int showWindow);
  RecordingCounts RecordingStatistics() const { return recorder_.Counts(); }

  // Stops a preview or prepared capture, or idles a trigger acquisition, and
  // says what ran; Resume brings it back with a fresh setup.
  AcquisitionState Pause();
  void Resume(AcquisitionState state);

  // Runs fn(images, valid) under the frame lock: the images of the last
  // setup and whether they hold a processed frame.
  template <typename Fn>
  auto WithImages(Fn&& fn) {
    std::lock_guard hold(frameLock_);
    return fn(images_, imageValid_.load() != 0);
  }

  AcquisitionState State() const { return state_.load(); }
  HWND PreviewWindow();

 private:
  enum RunFlag { kStop = 0, kRun = 1, kPaused = 2 };

  int StartLocked();
  int StopLocked();
  int CloseLocked();
  int CaptureLocked();
  int Setup();
  int OpenPreviewWindow();
  int StartThread(void (CAcquisition::*loop)());
  void PreviewLoop();
  void TriggerLoop();
  bool SleepUnlessStopped(int ms) const;
  HWND PreviewWindowLocked() const;
  bool ReadFrame();
  void ProcessRawFrame();
  void Draw();
  int CopyToCaller(BYTE* buffer, int size, int rowOrder);
  bool CopyToTarget();
  void FillFrameInfo(int rate);
  void CountFrameForRate();
  void PostFrameMessage(HWND window, WPARAM wParam, LPARAM lParam);
  int ReportFrameError(HWND window, int code);
  void ReportDeviceLost();

  Host& host_;
  CTevrinU3K5Base& device_;

  // Held by every transition (start, stop, capture, snapshot, close); the
  // acquisition thread never takes it, so a transition may join the thread.
  std::mutex transitionLock_;
  std::atomic<AcquisitionState> state_{AcquisitionState::Idle};
  std::atomic<int> run_{kStop};
  CWorkerThread thread_;
  int snapTimeout_ = 3000;
  // Fed under the frame lock; stopped after the thread that feeds it.
  CRecorder recorder_;

  // Guards the images, the frame target, the window's drawing and the frame
  // information: the acquisition thread holds it for each frame.
  CCriticalSection frameLock_;
  CFrameImages images_;
  FrameTarget target_;
  std::unique_ptr<CPreviewWindow> window_;
  // Outlives the acquisition: see LastingFrameInfo.h.
  FrameInfo& frameInfo_;
  std::atomic<int> imageValid_{0};

  // The thread's own frame-rate window.
  int frameRate10_ = 0;
  int frameCount_ = 0;
  DWORD rateWindowStart_ = 0;
};
