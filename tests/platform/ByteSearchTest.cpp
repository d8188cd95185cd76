#include "platform/ByteSearch.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Each edge of a text searched 16 bytes at a time: the first and the last place an occurrence may
// start, in a whole block and in the bytes after the last one, a text no longer than the pattern.
TEST(ByteSearch, FindsTheFirstOccurrenceFromWhereItIsAsked) {
  const std::string text = std::string(40, 'x') + "ab" + std::string(16, 'x') + "ab";
  EXPECT_EQ(bytes::Find(text, "ab"), 40u);
  EXPECT_EQ(bytes::Find(text, "ab", 41), 58u);
  EXPECT_EQ(bytes::Find(text, "xa"), 39u);
  EXPECT_EQ(bytes::Find(text, "ab", 59), std::string::npos);
  EXPECT_EQ(bytes::Find("ab", "ab"), 0u);
  EXPECT_EQ(bytes::Find("a", "ab"), std::string::npos);
  for (size_t at = 0; at < 39; ++at) EXPECT_EQ(bytes::FindByte(text.data() + at, 39 - at, 'a'), 39 - at) << at;
  for (size_t at = 0; at < 40; ++at) EXPECT_EQ(bytes::FindByte(text.data() + at, 41 - at, 'a'), 40 - at) << at;
  for (size_t at = 0; at < 16; ++at) EXPECT_EQ(bytes::FindByte(text.data() + 40 - at, 16, 'a'), at) << at;
}

}  // namespace
