// A recording of processed frames into an AVI file, for a duration measured
// from its first frame. The acquisition thread hands over each processed
// frame under its frame lock: the frame is converted into one of a few
// preallocated 24-bit frames and queued, never written there. The recording
// thread, woken for each queued frame, writes them without any lock of the
// acquisition, so a disk that stalls costs buffers rather than camera frames;
// a frame that finds every buffer taken is dropped and counted. Every way a
// recording ends (its duration, a stop, a lost camera, a failed write, a full
// file) finishes the file, or removes it when it cannot be finished.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "files/AviWriter.h"
#include "image/AlignedPixels.h"
#include "image/DibImage.h"
#include "instance/WorkerThread.h"

// The frames of a recording: the output image's size and bit count, and the
// significant bits of its 16-bit samples.
struct RecordingFormat {
  int width = 0;
  int height = 0;
  int bitCount = 0;
  int significantBits = 16;
};

struct RecordingCounts {
  uint64_t recorded = 0;  // written to the file
  uint64_t dropped = 0;   // processed while recording but not written
  bool active = false;    // the file is not finished yet
};

class CRecorder {
 public:
  using ErrorSink = std::function<void(int code)>;
  using Clock = std::function<DWORD()>;  // milliseconds

  // `reportError` receives the TevrinError of a recording that ends in a
  // failure, from the recording thread.
  explicit CRecorder(ErrorSink reportError, Clock clock = timeGetTime, uint64_t maxRiffSize = CAviWriter::kMaxRiffSize);
  ~CRecorder() { Stop(); }
  CRecorder(const CRecorder&) = delete;
  CRecorder& operator=(const CRecorder&) = delete;

  // Opens `path` and starts the recording thread. 0, or the TevrinError of
  // the failure with nothing running and no file made. Call only when not Active().
  int Start(const char* path, int durationMs, const RecordingFormat& format);
  // The acquisition thread's hand-over, under the frame lock; never waits for the disk.
  void OnFrame(const CDibImage& output);
  // No frame follows (the camera is gone): the file is finished once the
  // queued frames are written.
  void EndInput();
  // Ends the input and waits until the file is finished.
  void Stop();
  // From Start until the file is finished.
  bool Active() const { return active_.load(); }
  RecordingCounts Counts() const { return {recorded_.load(), dropped_.load(), active_.load()}; }

 private:
  bool SizeBuffers(size_t frameBytes);
  void EndInputLocked(DWORD now);
  void Run();
  // The queued frame to write next, or -1 once the input has ended and the queue is empty.
  int NextFrame();
  void ReturnBuffer(int buffer, bool written);
  void FinishFile(const char* failure, DWORD failedAt);

  ErrorSink reportError_;
  Clock clock_;
  CAviWriter writer_;
  CWorkerThread thread_;
  RecordingFormat format_;
  int durationMs_ = 0;

  // Guards the buffer lists and the input state; held only for moments,
  // never while converting or writing.
  std::mutex lock_;
  std::condition_variable wake_;
  std::vector<tevrin::image::AlignedPixels> buffers_;
  size_t bufferBytes_ = 0;
  std::vector<int> free_;
  std::vector<int> queue_;  // ring of buffer numbers in frame order
  size_t queueHead_ = 0;
  size_t queued_ = 0;
  bool accepting_ = false;
  bool converting_ = false;
  bool started_ = false;
  DWORD startTime_ = 0;
  DWORD endTime_ = 0;

  std::atomic<bool> active_{false};
  std::atomic<uint64_t> recorded_{0};
  std::atomic<uint64_t> dropped_{0};
};
