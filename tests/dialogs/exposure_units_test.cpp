// How the analog page shows an exposure time in seconds.
#include <gtest/gtest.h>

#include "dialogs/ExposureUnits.h"

namespace {

struct Shown {
  double seconds;
  const char* unit;
  const char* text;
};

TEST(ExposureUnits, EachTimeShowsInItsOwnUnit) {
  const Shown cases[] = {
      {2.0, "sec", "2"},           {1.0, "ms", "1000"},      {0.0015, "ms", "1.500"},
      {0.00002, "μs", "20"},       {0.0000000005, "ns", "0.500"}, {0.0000012, "μs", "1.200"},
      {1.000002, "sec", "1.000002"},
  };
  for (const Shown& c : cases) {
    const ExposureUnit unit = UnitOf(c.seconds);
    EXPECT_STREQ(UnitLabel(unit), c.unit) << c.seconds;
    EXPECT_EQ(FormatInUnit(c.seconds, unit), c.text) << c.seconds;
  }
}

TEST(ExposureUnits, RangeLabelShowsEachEndInItsUnit) {
  EXPECT_EQ(RangeLabel(0.00002, 2.0), "range: 20μs - 2sec");
}

}  // namespace
