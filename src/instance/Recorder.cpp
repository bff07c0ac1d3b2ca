#include "instance/Recorder.h"

#include <algorithm>
#include <new>
#include <string>

#include <TevrinSdk_Halden.h>

#include "files/AviFrame.h"

namespace {

// Enough frames to ride out the longest disk stalls seen on these machines
// (65 ms, 17 frames at 258 frames/s) twice over.
constexpr size_t kBufferBytes = size_t{32} << 20;
constexpr size_t kMinBuffers = 4;
constexpr size_t kMaxBuffers = 64;
constexpr uint64_t kRatePerMs = 100000;  // frames per ms -> the writer's frames per second x 100
// A write slower than this is traced: it is where dropped frames come from.
constexpr DWORD kSlowWriteMs = 20;

void Trace(const std::string& text) {
  OutputDebugStringA(text.c_str());
}

}  // namespace

CRecorder::CRecorder(ErrorSink reportError, Clock clock, uint64_t maxRiffSize)
    : reportError_(std::move(reportError)), clock_(std::move(clock)), writer_(maxRiffSize) {}

bool CRecorder::SizeBuffers(size_t frameBytes) {
  const size_t count = std::clamp(kBufferBytes / frameBytes, kMinBuffers, kMaxBuffers);
  if (bufferBytes_ == frameBytes && buffers_.size() == count) return true;
  buffers_.clear();
  bufferBytes_ = 0;
  try {
    free_.reserve(count);
    queue_.resize(count);
    while (buffers_.size() < count) {
      tevrin::image::AlignedPixels buffer = tevrin::image::AllocateAlignedPixels(frameBytes);
      if (!buffer) break;
      buffers_.push_back(std::move(buffer));
    }
  } catch (const std::bad_alloc&) {
  }
  if (buffers_.size() < count) {
    buffers_.clear();
    return false;
  }
  bufferBytes_ = frameBytes;
  return true;
}

int CRecorder::Start(const char* path, int durationMs, const RecordingFormat& format) {
  thread_.Join();  // a recording that ended by itself
  writer_.SetFormat(format.width, format.height, format.bitCount);
  if (writer_.FrameBytes() == 0 || !SizeBuffers(writer_.FrameBytes())) return TEVRIN_ERROR_BUFFER;
  writer_.SetRate(tevrin::files::kAviOpeningRate);
  if (!writer_.Open(path)) return TEVRIN_ERROR_TEXT_OR_FILE;
  format_ = format;
  durationMs_ = durationMs;
  recorded_ = 0;
  dropped_ = 0;
  {
    std::lock_guard hold(lock_);
    free_.clear();
    for (int i = 0; i < static_cast<int>(buffers_.size()); ++i) free_.push_back(i);
    queueHead_ = queued_ = 0;
    started_ = false;
    converting_ = false;
    accepting_ = true;
  }
  active_ = true;
  // Frames wait for this thread in a few buffers only: on a busy machine a
  // normal-priority writer falls behind and frames go unrecorded (above
  // normal, not real time, for the reason the acquisition thread gives).
  if (thread_.Start([this] { Run(); }, THREAD_PRIORITY_ABOVE_NORMAL)) return 0;
  {
    std::lock_guard hold(lock_);
    accepting_ = false;
  }
  active_ = false;
  writer_.Reset();
  return TEVRIN_ERROR_THREAD_START;
}

void CRecorder::OnFrame(const CDibImage& output) {
  const DWORD now = clock_();
  const tevrin::files::StillImage image{output.Width(), output.Height(), output.BitCount(), output.Stride(),
                                        output.Bits()};
  int buffer = -1;
  {
    std::lock_guard hold(lock_);
    if (!accepting_) return;
    const bool convertible =
        image.width == format_.width && image.height == format_.height && tevrin::files::IsWritable(image);
    if (!started_) {
      started_ = true;
      startTime_ = now;
    }
    // The frame that passes the end still belongs to the recording.
    if (now - startTime_ > static_cast<DWORD>(durationMs_)) EndInputLocked(now);
    if (convertible && !free_.empty()) {
      buffer = free_.back();
      free_.pop_back();
      converting_ = true;
    }
  }
  if (buffer < 0) {
    ++dropped_;
    OutputDebugStringA("[instance:trace] recording: no frame buffer free (the disk is behind); frame dropped");
    wake_.notify_one();
    return;
  }
  tevrin::files::ConvertToAviFrame(image, format_.significantBits, buffers_[buffer].get());
  {
    std::lock_guard hold(lock_);
    queue_[(queueHead_ + queued_++) % queue_.size()] = buffer;
    converting_ = false;
  }
  wake_.notify_one();
}

void CRecorder::EndInputLocked(DWORD now) {
  if (!accepting_) return;
  accepting_ = false;
  endTime_ = now;
}

void CRecorder::EndInput() {
  {
    std::lock_guard hold(lock_);
    EndInputLocked(clock_());
  }
  wake_.notify_all();
}

void CRecorder::Stop() {
  EndInput();
  thread_.Join();
}

int CRecorder::NextFrame() {
  std::unique_lock hold(lock_);
  wake_.wait(hold, [this] { return queued_ > 0 || (!accepting_ && !converting_); });
  if (queued_ == 0) return -1;
  const int buffer = queue_[queueHead_];
  queueHead_ = (queueHead_ + 1) % queue_.size();
  --queued_;
  return buffer;
}

void CRecorder::ReturnBuffer(int buffer, bool written) {
  ++(written ? recorded_ : dropped_);
  std::lock_guard hold(lock_);
  free_.push_back(buffer);
}

void CRecorder::Run() {
  const char* failure = nullptr;
  DWORD failedAt = 0;
  for (int buffer = NextFrame(); buffer >= 0; buffer = NextFrame()) {
    if (failure) {
      ReturnBuffer(buffer, false);
      continue;
    }
    const DWORD before = clock_();
    const CAviWriter::AddResult result = writer_.AddFrame(buffers_[buffer].get());
    if (const DWORD took = clock_() - before; took >= kSlowWriteMs) {
      Trace("[instance:debug] recording: a frame took " + std::to_string(took) + " ms to write");
    }
    switch (result) {
      case CAviWriter::AddResult::kAdded:
        ReturnBuffer(buffer, true);
        continue;
      case CAviWriter::AddResult::kFileFull:
        failure = "the file has reached the largest size its 32-bit fields can describe";
        break;
      case CAviWriter::AddResult::kWriteFailed:
        failure = "a write to the file failed";
        break;
    }
    failedAt = clock_();
    ReturnBuffer(buffer, false);
    std::lock_guard hold(lock_);
    EndInputLocked(failedAt);
  }
  FinishFile(failure, failedAt);
  active_ = false;
}

// The rate is what was recorded over the time it took, as frames per second x 100.
void CRecorder::FinishFile(const char* failure, DWORD failedAt) {
  DWORD start = 0, end = 0;
  bool started = false;
  {
    std::lock_guard hold(lock_);
    started = started_;
    start = startTime_;
    end = failure ? failedAt : endTime_;
  }
  const uint64_t frames = writer_.FrameCount();
  const DWORD elapsed = end - start;
  if (started && frames > 0 && elapsed > 0) {
    writer_.SetRate(static_cast<uint32_t>(std::min<uint64_t>(frames * kRatePerMs / elapsed, UINT32_MAX)));
  }
  const bool finished = writer_.Finish();
  if (!failure && finished) return;
  Trace(std::string("[instance:warn] recording ended early: ") +
        (failure ? failure : "the file could not be finished") +
        (finished ? "; the frames written so far are kept" : "; the file was removed"));
  reportError_(TEVRIN_ERROR_TEXT_OR_FILE);
}
