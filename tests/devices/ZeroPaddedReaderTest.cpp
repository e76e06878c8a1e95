// The bounds-checked reader of received datagrams (platform/Endian.h).
#include <gtest/gtest.h>

#include <vector>

#include "platform/Endian.h"

namespace vela {
namespace {

TEST(ZeroPaddedReader, ReadsInsideAndZeroPastTheEnd) {
  const std::vector<uint8_t> bytes = {0x11, 0x22, 0x33, 0x44, 0x55};
  const TZeroPaddedReader in(bytes);
  EXPECT_EQ(in.Size(), 5u);
  EXPECT_EQ(in.U8(4), 0x55);
  EXPECT_EQ(in.U8(5), 0);
  EXPECT_EQ(in.LE16(0), 0x2211);
  EXPECT_EQ(in.BE16(0), 0x1122);
  EXPECT_EQ(in.LE32(1), 0x55443322u);
  EXPECT_EQ(in.BE32(1), 0x22334455u);
  EXPECT_EQ(in.LE32(3), 0x00005544u);  // straddles the end
  EXPECT_EQ(in.BE32(3), 0x44550000u);
  EXPECT_EQ(in.LE16(1000), 0);
  std::array<uint8_t, 4> out{};
  out.fill(0xEE);
  in.Copy(3, out);
  EXPECT_EQ(out, (std::array<uint8_t, 4>{0x44, 0x55, 0, 0}));
}

TEST(ZeroPaddedReader, Holds) {
  const std::vector<uint8_t> bytes(10);
  const TZeroPaddedReader in(bytes);
  struct Case {
    size_t offset, count;
    bool holds;
  };
  const Case cases[] = {{0, 10, true},  {0, 11, false}, {9, 1, true},         {10, 0, true},
                        {10, 1, false}, {11, 0, false}, {2, SIZE_MAX, false}, {SIZE_MAX, 2, false}};
  for (const Case& c : cases) EXPECT_EQ(in.Holds(c.offset, c.count), c.holds) << c.offset << "+" << c.count;
  EXPECT_FALSE(TZeroPaddedReader({}).Holds(0, 1));
}

}  // namespace
}  // namespace vela
