// Material names that would give a SOD node a name the game reserves.
#include <gtest/gtest.h>

#include "export/export_checks.h"
#include "support/export_fixture.h"

namespace {

struct NameCase {
  const char16_t* name;
  bool reserved;
};

const NameCase kNames[] = {
    {u"Damage_Plate", true}, {u"SCREWS", true},   {u"cyborg", true},    {u"Lifeboat", true}, {u"S_body", true},
    {u"hp01", true},         {u"HPturret", true}, {u"E_glow", true},    {u"c_", true},       {u"xENGINES", true},
    {u"mySensors2", true},   {u"Shields", true},  {u"targeting", true}, {u"s", false},       {u"ship_s_", false},
    {u"xhp", false},         {u"body", false},    {u"", false},         {u"h", false},       {u"d_amage", false},
};

}  // namespace

TEST(ReservedMaterialNames, EachNameAlone) {
  for (const NameCase& c : kNames) {
    ExportStateGuard guard;
    host::HostScene scene;
    AddPlainMaterial(scene, c.name, 1);
    currentContext = ContextOf(scene);
    char out[kReservedNameBytes];
    std::memset(out, '#', sizeof out);
    int32_t result = FindReservedMaterialName(out);
    std::string narrow(c.name, c.name + std::char_traits<char16_t>::length(c.name));
    EXPECT_EQ(c.reserved ? 0 : 1, result) << narrow;
    if (c.reserved) {
      EXPECT_EQ(narrow, std::string(out));
    }
  }
}

TEST(ReservedMaterialNames, FirstReservedInMaterialOrderAndNoMaterials) {
  ExportStateGuard guard;
  char out[kReservedNameBytes] = "untouched";
  EXPECT_EQ(1, FindReservedMaterialName(out));  // no operation yet
  host::HostScene scene;
  currentContext = ContextOf(scene);
  EXPECT_EQ(1, FindReservedMaterialName(out));
  EXPECT_STREQ("untouched", out);
  for (const char16_t* name : {u"hull", u"Engines", u"hp02", u"glass"}) AddPlainMaterial(scene, name, 1);
  EXPECT_EQ(0, FindReservedMaterialName(out));
  EXPECT_STREQ("Engines", out);
  EXPECT_TRUE(scene.CallLog().empty());
}
