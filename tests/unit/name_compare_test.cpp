#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "common/marker_records.h"
#include "common/name_compare.h"

TEST(NameCompare, CaseIsIgnoredAndUnderscoreSortsBeforeLetters) {
  EXPECT_EQ(0, CompareTextNoCase("HP_A", "hp_a"));
  EXPECT_LT(CompareTextNoCase("hp_", "hpa"), 0);
  EXPECT_LT(CompareTextNoCase("HP_A", "hp_b"), 0);
  EXPECT_GT(CompareTextNoCase("hp_c", "HP_B"), 0);
  EXPECT_LT(CompareTextNoCase("hp", "hp0"), 0);
  // Bytes above 127 compare unsigned and are not folded.
  EXPECT_GT(CompareTextNoCase("\xc4", "z"), 0);
}

TEST(NameCompare, SortsMarkerRecordsByName) {
  MarkerRecord records[3] = {};
  std::strcpy(records[0].name, "hp_b");
  std::strcpy(records[1].name, "HP_A");
  std::strcpy(records[2].name, "hp_c");
  qsort(records, 3, sizeof(MarkerRecord), CompareNamesNoCase);
  EXPECT_STREQ("HP_A", records[0].name);
  EXPECT_STREQ("hp_b", records[1].name);
  EXPECT_STREQ("hp_c", records[2].name);
}

TEST(NameCompare, LowerCaseFoldsOnlyAsciiLetters) {
  char text[] = "SCREWS_\xc4Z1";
  LowerCaseAscii(text);
  EXPECT_STREQ("screws_\xc4z1", text);
}
