// Once the tables of the current settings exist, a frame through every
// filter allocates nothing: the program counts the allocations made while
// ProcessFrame runs.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "image/ProcessFrame.h"
#include "support/Frames.h"
#include "support/SensorMasks.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<int> allocations{0};

}  // namespace

// The replacements hand out malloc's memory; GCC cannot see that the two pair.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(size_t size) {
  if (counting) ++allocations;
  if (void* memory = std::malloc(size ? size : 1)) return memory;
  throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
  std::free(memory);
}

void operator delete(void* memory, size_t) noexcept {
  std::free(memory);
}

namespace {

using tevrin::test::Fill;
using tevrin::test::ModeImages;
using tevrin::test::NeutralSettings;

TEST(FilterAllocation, AFrameThroughEveryFilterAllocatesNothingOnceTheTablesExist) {
  tevrin::test::SensorMasks masks;
  for (int mode = 0; mode <= 5; ++mode) {
    SCOPED_TRACE(mode);
    ModeImages frames(64, 48);
    ImageSettings settings = NeutralSettings(0);
    settings.hue = 30;
    settings.saturation = 40;
    settings.gamma = 150;
    settings.contrast = 20;
    settings.sharpness = 12;
    settings.brightness = 30;
    tevrin::image::FrameJob job = frames.Job(settings, mode);
    job.masks = &masks;
    job.rawFilters = {true, true, {}};
    Fill(frames.Raw(mode), [](int x, int y) { return (x * 7 + y * 13) % 200; });
    tevrin::image::ProcessFrame(job);
    allocations = 0;
    counting = true;
    tevrin::image::ProcessFrame(job);
    counting = false;
    EXPECT_EQ(allocations, 0);
  }
}

}  // namespace
