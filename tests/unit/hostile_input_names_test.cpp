// Names and texts of hostile lengths and characters on every road they travel: SOD
// strings read into the model and built into the scene and the side files, host
// material names written into SOD files and read back, side text record names, and
// the host's own texts in side file headers. Every field keeps what fits its
// contract, nothing runs past a buffer (the sanitizer build checks), and whatever is
// kept still binds, sorts and reads back.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/host_text.h"
#include "common/text_lists.h"
#include "export/export_checks.h"
#include "import/scene_builder.h"
#include "interface/host_layout.h"
#include "interface/host_text.h"
#include "platform/file_system.h"
#include "sidetext/side_text.h"
#include "support/operation_fixture.h"
#include "support/written_sod.h"

using namespace fixture;

namespace {

constexpr size_t kKeptName = 127;  // a SOD name as the reader keeps it

// Lengths of names the tests try: around the 127 kept of a SOD string and the 255 of
// a side text name, a long one and the longest a SOD string can say.
const size_t kNameLengths[] = {127, 128, 255, 256, 10000, 65535};

std::string Name(const std::string& start, char fill, size_t length) {
  return start + std::string(length - start.size(), fill);
}

std::string Kept(const std::string& name) { return name.substr(0, kKeptName); }

// A SOD 1.93 file whose every string is `length` bytes long: the material, the mesh
// node and its texture, a hardpoint, and an emitter with its identifier.
std::string SodWithNamesOf(size_t length) {
  sodtest::SodFileSpec s;
  s.versionBits = sodtest::kV193;
  s.materials = {sodtest::Material(Name("mat", 'a', length))};
  s.nodes = {sodtest::NullNode("root")};
  s.nodes.push_back(sodtest::MeshNode(Name("mesh", 'm', length), {Name("mat", 'a', length)}, Name("tex", 't', length)));
  s.nodes.push_back(sodtest::NullNode(Name("hp", 'h', length)));
  s.nodes.push_back(sodtest::EmitterNode(Name("em", 'e', length), Name("id", 'i', length)));
  return sodtest::BuildSod(s);
}

// The record lines of a side file, without its five lines of head.
std::vector<std::string> RecordLines(const std::string& file) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (int line = 0; start < file.size(); ++line) {
    size_t end = file.find('\n', start);
    if (end == std::string::npos) end = file.size();
    if (line >= 5) lines.push_back(file.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace

TEST(HostileInputNames, SodStringsOfEveryLengthReadBuiltAndExtracted) {
  for (size_t length : kNameLengths) {
    SCOPED_TRACE(length);
    StateGuard guard;
    TempDir dir;
    dir.Write("ship.sod", SodWithNamesOf(length));
    host::HostScene scene;
    scene.SetFilePath(dir.Wide("ship.sod"));
    ASSERT_EQ(1, RunOperation(PLUGIN_OP_READ, scene));
    ASSERT_EQ(1, ExtractHardpoints(&importedModel, ContextOf(scene)));
    ASSERT_EQ(1, ExtractEmitters(&importedModel, ContextOf(scene)));
    for (int32_t i = 0; i < importedModel.nodeCount; ++i) importedModel.nodes[i].selected = 1;
    importOptions.convertHardpoints = 1;
    importOptions.convertEmitters = 1;
    ASSERT_EQ(1, BuildScene(&importedModel, ContextOf(scene)));

    // The material, bound to the mesh's group by its kept name, with its texture.
    ASSERT_EQ(1, scene.MaterialCount());
    EXPECT_EQ(Kept(Name("mat", 'a', length)), layout::NarrowField(scene.Material(0), layout::kMaterialName));
    const uint8_t* map = scene.MaterialMap(0, 0);
    ASSERT_NE(nullptr, map);
    EXPECT_EQ(dir.Wide("") + host::FromAnsi(Kept(Name("tex", 't', length)) + ".tga"),
              layout::WideField(map, layout::kMapPath));
    // One part for the group, named after its material, then the two markers.
    ASSERT_EQ(3, scene.PartCount());
    EXPECT_EQ(Kept(Name("mat", 'a', length)), scene.PartNarrowName(0));
    EXPECT_EQ(Kept(Name("hp", 'h', length)), scene.PartNarrowName(1));
    EXPECT_EQ(Kept(Name("em", 'e', length)), scene.PartNarrowName(2));
    EXPECT_EQ(3 + 4 + 4, scene.VertexCount());
    // The side files carry the kept names.
    const std::vector<std::string> hardpoints = RecordLines(dir.Read("ship_hps.txt"));
    ASSERT_EQ(1u, hardpoints.size());
    EXPECT_EQ(0u, hardpoints[0].find(Kept(Name("hp", 'h', length)) + "  1.000000 "));
    const std::vector<std::string> emitters = RecordLines(dir.Read("ship_ems.txt"));
    ASSERT_EQ(1u, emitters.size());
    EXPECT_EQ(0u, emitters[0].find(Kept(Name("em", 'e', length)) + "  " + Kept(Name("id", 'i', length)) + "  1.0"));
  }
}

namespace {

// How a host may hand over a material name: as its field holds it (at most 259
// characters and the end), or filling the whole field without an end, as a host
// that cuts a name of 10,000 characters to the field would.
struct HostNameCase {
  size_t length;
  bool terminated;
};

const HostNameCase kHostNames[] = {{127, true}, {128, true},  {255, true},   {256, true},
                                   {259, true}, {260, false}, {10000, false}};

void PutMaterialName(host::HostScene& scene, int material, const std::string& name, bool terminated) {
  HostMaterial& m = ContextOf(scene)->materials[material];
  for (size_t i = 0; i < kDualStringUnits; ++i) {
    const bool inside = i < name.size() && (terminated ? i + 1 < kDualStringUnits : true);
    m.name.narrow[i] = inside ? name[i] : 0;
    m.name.wide[i] = inside ? static_cast<unsigned char>(name[i]) : 0;
  }
}

}  // namespace

// A material name goes into the material entry and the face group whole, as far as
// the field holds it, and into the mesh node's name cut to 127; read back, the reader
// keeps 127 of each, and the group still finds its material.
TEST(HostileInputNames, HostMaterialNamesWrittenAndReadBack) {
  for (const HostNameCase& c : kHostNames) {
    SCOPED_TRACE(c.length);
    StateGuard guard;
    TempDir dir;
    host::HostScene scene;
    BuildExportScene(scene);
    scene.Triangulate();
    const std::string name = Name("hull_", 'x', c.length);
    PutMaterialName(scene, 0, name, c.terminated);
    const std::string held = name.substr(0, kDualStringUnits - 1);  // what the field gives
    scene.SetFilePath(dir.Wide("ship.sod"));
    ASSERT_EQ(1, RunOperation(PLUGIN_OP_WRITE, scene));
    const WrittenSod sod = ParseWrittenSod(dir.Read("ship.sod"));
    ASSERT_TRUE(sod.complete);
    EXPECT_EQ(held, sod.materials.at(0).name);
    EXPECT_EQ(Kept(held), sod.nodes.at(1).name);
    EXPECT_EQ(held, sod.nodes.at(1).groupMaterial);

    // The export check reads no further than the field either.
    currentContext = ContextOf(scene);
    char found[kReservedNameBytes];
    PutMaterialName(scene, 2, Name("hp_", 'y', c.length), c.terminated);
    EXPECT_EQ(0, FindReservedMaterialName(found));
    EXPECT_EQ(Name("hp_", 'y', c.length).substr(0, kDualStringUnits - 1), std::string(found));

    host::HostScene back;
    back.SetFilePath(dir.Wide("ship.sod"));
    ASSERT_EQ(1, RunOperation(PLUGIN_OP_READ, back));
    for (int32_t i = 0; i < importedModel.nodeCount; ++i) importedModel.nodes[i].selected = 1;
    ASSERT_EQ(1, BuildScene(&importedModel, ContextOf(back)));
    const FaceGroup& group = importedModel.nodes[1].groups[0];
    EXPECT_EQ(Kept(held), std::string(group.materialName));
    EXPECT_EQ(Kept(held), layout::NarrowField(back.Material(group.materialIndex), layout::kMaterialName));
  }
}

// A record name of 10,000 characters spans twenty line pieces, none of which makes a
// record; the records before and after it load as usual.
TEST(HostileInputNames, SideTextRecordNamesOfTenThousandCharacters) {
  const std::string rows = "  1 0 0  0 1 0  0 0 1  4 5 6\n";
  const std::string huge(10000, 'n');
  const struct {
    const char* kind;
    std::string text;
    int32_t (*read)(FILE*);
    std::vector<std::string> names;
  } cases[] = {
      {"hardpoints", "hp_a" + rows + huge + rows + "hp_b" + rows, ReadHardpointFile, {"hp_a", "hp_b"}},
      {"sprites", huge + rows + "light" + rows, ReadSpriteFile, {"light"}},
      {"emitters", "em_a  glow" + rows + "em_b  " + huge + rows + huge + "  glow" + rows, ReadEmitterFile, {"em_a"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    StateGuard guard;
    TempDir dir;
    dir.Write("side.txt", c.text);
    FILE* file = OpenFileWide(dir.Wide("side.txt").c_str(), "rb");
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(1, c.read(file));
    fclose(file);
    std::vector<std::string> names;
    for (int32_t i = 0; i < textHardpointCount; ++i) names.push_back(textHardpoints[i].name);
    for (int32_t i = 0; i < textSpriteCount; ++i) names.push_back(textSprites[i].name);
    for (int32_t i = 0; i < textEmitterCount; ++i) names.push_back(textEmitters[i].name);
    EXPECT_EQ(c.names, names);
  }
}

// The host's name and version are printed as their narrow halves hold them: up to 259
// characters each, characters outside the code page as the host converted them, and
// a field without an end no further than the field.
TEST(HostileInputNames, HostTextsInTheSideFileHeader) {
  const struct {
    const char* what;
    std::u16string name, version;
    bool terminated;
  } cases[] = {
      {"longest", std::u16string(259, u'N'), std::u16string(259, u'V'), true},
      {"outside the code page", u"\u5efa\u6a21\u5668", u"\u7248 2", true},
      {"without an end", std::u16string(300, u'N'), std::u16string(300, u'V'), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    StateGuard guard;
    TempDir dir;
    dir.Write("ship.sod", ModelSod());
    host::HostScene scene;
    scene.SetFilePath(dir.Wide("ship.sod"));
    scene.SetHostTexts(c.name, c.version);
    HostContext* context = ContextOf(scene);
    if (!c.terminated) {
      for (DualString* field : {&context->hostName, &context->hostVersion}) {
        std::fill(field->wide, field->wide + kDualStringUnits, field == &context->hostName ? u'N' : u'V');
        std::fill(field->narrow, field->narrow + kDualStringUnits, field == &context->hostName ? 'N' : 'V');
      }
    }
    ASSERT_EQ(1, RunOperation(PLUGIN_OP_READ, scene));
    ASSERT_EQ(1, ExtractSprites(&importedModel, context));
    const std::string file = dir.Read("ship_sps.txt");
    const std::string name = host::ToAnsi(c.name).substr(0, kDualStringUnits - 1);
    const std::string version = host::ToAnsi(c.version).substr(0, kDualStringUnits - 1);
    EXPECT_EQ("# ST Armada SOD sprites extracted by " + name + " " + version + ".\r\n# num_sprites: 2\r\n",
              file.substr(0, file.find("\r\n\r\n") + 2));
  }
}

// A material named in characters the narrow code page lacks is written as the host's
// narrow half has it, in the entry, the node and the group alike.
TEST(HostileInputNames, HostMaterialNamesOutsideTheNarrowCodePage) {
  StateGuard guard;
  TempDir dir;
  host::HostScene scene;
  BuildExportScene(scene);
  scene.Triangulate();
  const std::u16string wide = u"Schiff_\u6a21\u578b_\u00e9";
  PutMaterialName(scene, 1, "", true);
  DualStringSetWide(&ContextOf(scene)->materials[1].name, wide.c_str());
  const std::string narrow = ContextOf(scene)->materials[1].name.narrow;
  EXPECT_EQ(host::ToAnsi(wide), narrow);
  scene.SetFilePath(dir.Wide("ship.sod"));
  ASSERT_EQ(1, RunOperation(PLUGIN_OP_WRITE, scene));
  const WrittenSod sod = ParseWrittenSod(dir.Read("ship.sod"));
  ASSERT_TRUE(sod.complete);
  EXPECT_EQ(narrow, sod.materials.at(1).name);
  EXPECT_EQ(narrow, sod.nodes.at(2).name);
  EXPECT_EQ(narrow, sod.nodes.at(2).groupMaterial);
}
