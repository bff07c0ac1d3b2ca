// Windows for tests: each has a Recorder that keeps every message its
// procedure gets and may answer some of them itself.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tevrin::test {

struct Received {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD threadId;
  std::string text;  // WM_DEVICECHANGE: the interface path, copied inside the procedure
};

class Recorder {
 public:
  // Answers a message instead of DefWindowProcA when it returns a value.
  std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> reply;

  void Record(const Received& received);
  std::vector<Received> All();
  std::vector<UINT> Messages();

 private:
  std::mutex mutex_;
  std::vector<Received> received_;
};

// The class name every recording window uses; registered on first use.
const char* RecordingClassName();

// Creates a recording window on the calling thread; the recorder must outlive it.
HWND CreateRecordingWindow(Recorder& recorder, HWND parent = nullptr, DWORD style = 0, int id = 0,
                           const char* title = "recording");

// Runs every message waiting for the calling thread, sent and posted.
void PumpPending();

}  // namespace tevrin::test
