#include <gtest/gtest.h>

#include <cstring>

#include "devices/guid.h"

namespace pyr {
namespace {

TEST(Guid, RegistryTextAndBytes) {
  Guid g;
  ASSERT_TRUE(Guid::Parse(u"{4d36e968-e325-11ce-bfc1-08002be10318}", &g));
  EXPECT_EQ(g.ToRegistryText().ToUtf8(), "{4D36E968-E325-11CE-BFC1-08002BE10318}");
  uint8_t bytes[16];
  g.ToBytes(bytes);
  // Data1..Data3 little-endian, Data4 in order.
  const uint8_t expected[16] = {0x68, 0xE9, 0x36, 0x4D, 0x25, 0xE3, 0xCE, 0x11,
                                0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18};
  EXPECT_EQ(std::memcmp(bytes, expected, 16), 0);
  EXPECT_EQ(Guid::FromBytes(bytes), g);
  EXPECT_EQ(Guid().ToRegistryText().ToUtf8(), "{00000000-0000-0000-0000-000000000000}");
  EXPECT_TRUE(Guid().IsNull());
  EXPECT_FALSE(g.IsNull());
  Guid bare;
  ASSERT_TRUE(Guid::Parse(u"4D36E968-E325-11CE-BFC1-08002BE10318", &bare));
  EXPECT_EQ(bare, g);
}

TEST(Guid, MalformedTextIsRefused) {
  const char16_t* bad[] = {u"", u"{4d36e968-e325-11ce-bfc1-08002be1031}",
                           u"{4d36e968-e325-11ce-bfc1-08002be10318", u"(4d36e968-e325-11ce-bfc1-08002be10318)",
                           u"{4d36e968+e325-11ce-bfc1-08002be10318}",
                           u"{4d36e968-e325-11ce-bfc1-08002be1031g}"};
  for (const char16_t* text : bad) {
    Guid g;
    g.data1 = 7;
    EXPECT_FALSE(Guid::Parse(text, &g)) << WideText(text).ToUtf8();
    EXPECT_EQ(g.data1, 7u);
  }
}

}  // namespace
}  // namespace pyr
