// The ring container and the handle registry built on it.
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "api/SdkChain.h"

namespace {

class TestRing : public CTRing<int> {
 public:
  int HeadValue() { return Head() ? Head()->data : -1; }
  // Values from the head forward, once round the ring, checking the back links.
  std::vector<int> Walk() {
    std::vector<int> values;
    Node* node = Head();
    if (!node) return values;
    do {
      values.push_back(node->data);
      EXPECT_EQ(node->next->prev, node);
      node = node->next;
    } while (node != Head());
    return values;
  }
};

TEST(Ring, InsertLinksBeforeTheHeadAndBecomesIt) {
  TestRing ring;
  ring.Insert(1);
  EXPECT_EQ(ring.Walk(), std::vector<int>({1}));
  ring.Insert(2);
  ring.Insert(3);
  EXPECT_EQ(ring.Walk(), std::vector<int>({3, 2, 1}));
  EXPECT_EQ(ring.Count(), 3);
}

TEST(Ring, FindRotatesTheHeadWithoutReordering) {
  TestRing ring;
  for (int value : {1, 2, 3}) ring.Insert(value);
  ASSERT_NE(ring.Find(1), nullptr);
  EXPECT_EQ(ring.HeadValue(), 1);
  EXPECT_EQ(ring.Walk(), std::vector<int>({1, 3, 2}));
  EXPECT_EQ(ring.Find(9), nullptr);
  EXPECT_EQ(ring.HeadValue(), 2);  // the last node compared
  EXPECT_EQ(ring.Count(), 3);
  ASSERT_NE(ring.Find(3), nullptr);
  EXPECT_EQ(ring.Find(3)->data, 3);
}

TEST(Ring, RemoveMakesTheSuccessorTheHead) {
  TestRing ring;
  for (int value : {1, 2, 3}) ring.Insert(value);
  EXPECT_EQ(ring.Remove(2), 1);
  EXPECT_EQ(ring.HeadValue(), 1);
  EXPECT_EQ(ring.Walk(), std::vector<int>({1, 3}));
  EXPECT_EQ(ring.Remove(2), 0);
  EXPECT_EQ(ring.Remove(1), 1);
  EXPECT_EQ(ring.Remove(3), 1);
  EXPECT_EQ(ring.HeadValue(), -1);
  EXPECT_EQ(ring.Count(), 0);
  EXPECT_EQ(ring.Find(3), nullptr);
  ring.Insert(4);
  EXPECT_EQ(ring.Walk(), std::vector<int>({4}));
}

TEST(SdkChain, CreateFindRelease) {
  CSdkChain chain;
  const std::int32_t a = chain.Create();
  const std::int32_t b = chain.Create();
  const std::int32_t c = chain.Create();
  ASSERT_TRUE(a && b && c);
  EXPECT_EQ(chain.Count(), 3);
  CTevrin* middle = chain.FindInstance(b).get();
  ASSERT_NE(middle, nullptr);
  auto released = chain.Release(b);
  EXPECT_EQ(released.get(), middle);
  EXPECT_EQ(chain.Release(b), nullptr);
  EXPECT_EQ(chain.FindInstance(b), nullptr);
  EXPECT_NE(chain.FindInstance(a), nullptr);
  EXPECT_NE(chain.FindInstance(c), nullptr);
  EXPECT_EQ(chain.Count(), 2);
  chain.Release(a);
  chain.Release(c);
}

TEST(SdkChain, EntryWithoutInstanceIsUnknown) {
  CSdkChain chain;
  chain.Insert(CSDKDATA{1234, nullptr});
  EXPECT_EQ(chain.FindInstance(1234), nullptr);
}

// The first draw for the next handle is predictable after srand(); a live
// entry holding exactly that value forces a second draw.
TEST(SdkChain, NeverHandsOutALiveHandle) {
  CSdkChain chain;
  int forcedRedraws = 0;
  for (int attempt = 0; attempt < 20; ++attempt) {
    std::srand(77);
    const int firstDraw = std::rand();
    const int secondDraw = std::rand();
    const int thirdDraw = std::rand();
    std::srand(77);
    const DWORD tick = GetTickCount();
    const auto predicted = static_cast<std::int32_t>(tick + static_cast<std::uint32_t>(firstDraw) +
                                                     static_cast<std::uint32_t>(chain.Count() + 1));
    chain.Insert(CSDKDATA{predicted, nullptr});
    const std::int32_t handle = chain.Create();
    const int nextDraw = std::rand();
    EXPECT_NE(handle, predicted);
    EXPECT_NE(handle, 0);
    if (GetTickCount() == tick) {
      EXPECT_EQ(nextDraw, thirdDraw) << "the colliding draw was not repeated";
      ++forcedRedraws;
    } else {
      EXPECT_TRUE(nextDraw == secondDraw || nextDraw == thirdDraw);
    }
    chain.Release(handle);
    chain.Remove(predicted);
  }
  EXPECT_GT(forcedRedraws, 0);
}

}  // namespace
