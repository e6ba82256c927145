#include <gtest/gtest.h>

#include "common/text_conversion.h"
#include "common/wide_text.h"

TEST(TextConversion, AnsiCodePageRoundTrip) {
  // Windows-1252: e acute, the euro sign and a curly quote.
  const char narrow[] = "caf\xe9 \x80 \x93q\x94";
  char16_t wide[64];
  NarrowToWide(narrow, wide, 64);
  EXPECT_EQ(std::u16string(u"caf\u00e9 \u20ac \u201cq\u201d"), std::u16string(wide));
  char back[64];
  WideToNarrow(wide, back, 64);
  EXPECT_STREQ(narrow, back);
}

TEST(TextConversion, TargetTooSmallIsCutAndTerminated) {
  char16_t wide[5];
  for (char16_t& c : wide) c = u'#';
  NarrowToWide("abcdefgh", wide, 5);
  EXPECT_EQ(std::u16string(u"abcd"), std::u16string(wide));
  char narrow[4];
  WideToNarrow(u"abcdefgh", narrow, 4);
  EXPECT_STREQ("abc", narrow);
}

TEST(TextConversion, UnmappableUnitsBecomeQuestionMarks) {
  char narrow[16];
  WideToNarrow(u"a\u4e00b", narrow, 16);
  EXPECT_STREQ("a?b", narrow);
}

TEST(TextConversion, NullArgumentsDoNothing) {
  char16_t wide[4] = {u'x', 0, 0, 0};
  NarrowToWide(nullptr, wide, 4);
  NarrowToWide("a", nullptr, 4);
  EXPECT_EQ(u'x', wide[0]);
}

TEST(WideText, FormatKnowsItsConversions) {
  char16_t out[128];
  FormatWide(out, 128, "SOD file version not supported: %.2f\n", 2.0);
  EXPECT_EQ(std::u16string(u"SOD file version not supported: 2.00\n"), std::u16string(out));
  FormatWide(out, 128, "%d vertices, %s, 100%%", -65536, u"n\u00e4me");
  EXPECT_EQ(std::u16string(u"-65536 vertices, n\u00e4me, 100%"), std::u16string(out));
  FormatWide(out, 8, "%d", 123456789);
  EXPECT_EQ(std::u16string(u"1234567"), std::u16string(out));
}

TEST(WideText, AppendRefusesWhatDoesNotFit) {
  char16_t out[6] = u"abc";
  EXPECT_EQ(1, WideAppend(out, 6, u"de"));
  EXPECT_EQ(0, WideAppend(out, 6, u"f"));
  EXPECT_EQ(std::u16string(u"abcde"), std::u16string(out));
}
