#include <gtest/gtest.h>

#include "common/dual_string.h"
#include "common/host_text.h"
#include "support/test_text.h"

TEST(DualString, SetWideFillsBothHalvesAndAssignCopiesThem) {
  DualString a = FilledDualString(0xCC);
  ASSERT_EQ(1, DualStringSetWide(&a, u"C:\\models\\cruiser.sod"));
  EXPECT_EQ(u"C:\\models\\cruiser.sod", WideOf(a));
  EXPECT_EQ("C:\\models\\cruiser.sod", NarrowOf(a));

  DualString b = FilledDualString(0x55);
  ASSERT_EQ(1, DualStringAssign(&b, &a));
  EXPECT_EQ(WideOf(a), WideOf(b));
  EXPECT_EQ(NarrowOf(a), NarrowOf(b));

  ASSERT_EQ(1, DualStringClear(&b));
  EXPECT_EQ(0, b.wide[0]);
  EXPECT_EQ(0, b.narrow[0]);
}

TEST(DualString, AssignToItselfChangesNothing) {
  DualString a;
  DualStringSetWide(&a, u"hull");
  DualString before = a;
  EXPECT_EQ(1, DualStringAssign(&a, &a));
  EXPECT_EQ(0, memcmp(&a, &before, sizeof a));
}

TEST(DualString, NullArgumentsAnswerZero) {
  DualString a;
  EXPECT_EQ(0, DualStringClear(nullptr));
  EXPECT_EQ(0, DualStringSetWide(nullptr, u"x"));
  EXPECT_EQ(0, DualStringSetWide(&a, nullptr));
  EXPECT_EQ(0, DualStringAssign(nullptr, &a));
  EXPECT_EQ(0, DualStringAssign(&a, nullptr));
}

TEST(DualString, TooLongTextIsCutAndBothHalvesStayTerminated) {
  std::u16string longText(400, u'x');
  DualString a = FilledDualString(0xCC);
  DualStringSetWide(&a, longText.c_str());
  EXPECT_EQ(std::u16string(259, u'x'), WideOf(a));
  EXPECT_EQ(std::string(259, 'x'), NarrowOf(a));
}

TEST(DualString, AssignCutsASourceWithoutTerminator) {
  DualString source = FilledDualString('a');  // no terminator anywhere
  DualString target = FilledDualString(0xCC);
  DualStringAssign(&target, &source);
  EXPECT_EQ(259u, std::string(target.narrow).size());
  EXPECT_EQ(259u, std::u16string(target.wide).size());
}

TEST(DualString, NarrowHalfOfLatinText) {
  DualString a;
  DualStringSetWide(&a, u"Schiff_\u00e9");
  EXPECT_EQ("Schiff_\xe9", NarrowOf(a));
  DualString b;
  DualStringSetNarrow(&b, "Schiff_\xe9");
  EXPECT_EQ(u"Schiff_\u00e9", WideOf(b));
}

TEST(DualString, TextOutsideTheRuntimeConversionStillGetsADefinedNarrowHalf) {
  DualString a = FilledDualString(0xCC);
  DualStringSetWide(&a, u"ship\u4e00hull");
  EXPECT_EQ(u"ship\u4e00hull", WideOf(a));
  EXPECT_EQ("ship?hull", NarrowOf(a));
}

TEST(HostText, CopiesComeFromTheirContextFields) {
  HostContext context = {};
  DualStringSetWide(&context.filePath, u"D:\\ships\\a.sod");
  DualStringSetWide(&context.hostName, u"Modeller");
  DualStringSetWide(&context.hostVersion, u"7.1");
  DualString out;
  char16_t* wide = CopyHostFilePath(&context, &out);
  ASSERT_EQ(out.wide, wide);
  EXPECT_EQ(u"D:\\ships\\a.sod", WideOf(out));
  EXPECT_EQ(reinterpret_cast<char*>(wide) + 520, out.narrow);
  CopyHostTextA(&context, &out);
  EXPECT_EQ("Modeller", NarrowOf(out));
  CopyHostTextB(&context, &out);
  EXPECT_EQ("7.1", NarrowOf(out));
  EXPECT_EQ(nullptr, CopyHostTextA(nullptr, &out));
  EXPECT_EQ(nullptr, CopyHostTextB(&context, nullptr));
  // Copying a field onto itself leaves it as it is.
  EXPECT_EQ(context.filePath.wide, CopyHostFilePath(&context, &context.filePath));
  EXPECT_EQ(u"D:\\ships\\a.sod", WideOf(context.filePath));
}

TEST(HostText, ErrorTextGetsBothHalves) {
  HostContext context = {};
  SetErrorText(&context, u"Could not open file for reading.");
  EXPECT_EQ(u"Could not open file for reading.", WideOf(context.errorText));
  EXPECT_EQ("Could not open file for reading.", NarrowOf(context.errorText));
}
