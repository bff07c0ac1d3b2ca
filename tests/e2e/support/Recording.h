// What the recording tests share: a camera handle on a virtual camera, a
// scratch folder, the recording counters of CameraInfo and the checks every
// recorded file must pass.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include <TevrinSdk_Halden.h>

#include "AviReader.h"

namespace tevrin::test {

class RecordingTest : public ::testing::Test {
 protected:
  // A handle on `cameras` (TEVRIN_VIRTUAL_CAMERAS syntax), without a preview
  // window and polling for frames without delay.
  void Open(const std::string& cameras);
  void TearDown() override;

  std::string PathOf(const std::string& name) const { return directory_ + "/" + name; }
  const std::string& Directory() const { return directory_; }
  CameraInfo Info() const;
  // Waits (at most 60 s) until the recording's file is finished.
  void WaitUntilFinished() const;
  // Waits (at most 60 s) until `frames` frames are in the file.
  void WaitForFrames(unsigned frames) const;
  std::vector<int> Errors() const;

  int handle_ = 0;

 private:
  std::string directory_;
};

// Reads the file and checks what holds for every finished recording: sizes,
// chunks and index agree, 24-bit frames of the given size, rate fields of
// one rate. Returns the contents.
AviContents ReadFinishedRecording(const std::string& path, int width, int height);

}  // namespace tevrin::test
