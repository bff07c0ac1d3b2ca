// A registry database another process keeps locked: the SDK waits a little,
// works with defaults meanwhile, and never saves them over the stored values.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <chrono>
#include <cstdlib>

#include <TevrinSdk_Halden.h>

namespace {

int StoredGamma() {
  const int h = Tevrin_Initialize(nullptr);
  int ok = 0;
  const int gamma = Tevrin_GetGamma(h, &ok);
  Tevrin_Release(h);
  return gamma;
}

void StoreGamma(int gamma) {
  const int h = Tevrin_Initialize(nullptr);
  ASSERT_EQ(Tevrin_SetGamma(h, gamma), 1);
  Tevrin_Release(h);
}

TEST(HardeningRegistry, LockedDatabaseCostsSecondsAndLosesNothing) {
  ASSERT_TRUE(tevrin::virtualcam::Configure("0x3280:fast:pattern"));
  StoreGamma(120);

  // Another process's exclusive transaction keeps readers out as well.
  sqlite3* locker = nullptr;
  ASSERT_EQ(sqlite3_open(std::getenv("TEVRIN_REGISTRY"), &locker), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(locker, "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; CREATE TABLE lock(x)", nullptr,
                         nullptr, nullptr),
            SQLITE_OK);
  const auto start = std::chrono::steady_clock::now();
  const int h = Tevrin_Initialize(nullptr);
  ASSERT_NE(h, 0);
  int ok = 0;
  EXPECT_NE(Tevrin_GetGamma(h, &ok), 120) << "the defaults, until the registry can be read";
  ASSERT_EQ(Tevrin_SetGamma(h, 90), 1);
  EXPECT_EQ(Tevrin_Release(h), 1);
  // A couple of seconds of waiting, not one busy time-out per registry call.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  ASSERT_EQ(sqlite3_exec(locker, "ROLLBACK", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(locker);

  EXPECT_EQ(StoredGamma(), 120) << "the defaults were not saved over the stored value";
  StoreGamma(130);
  EXPECT_EQ(StoredGamma(), 130) << "the next save reaches the registry again";
}

}  // namespace
