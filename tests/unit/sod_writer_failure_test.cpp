// A failed or refused write never leaves a damaged file: the target keeps its old
// contents, no temporary file stays behind, every buffer is freed and the text lists
// are released; refusals explain themselves in errorText.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/host_text.h"
#include "common/wide_text.h"
#include "sod/mesh_writer.h"
#include "support/export_fixture.h"
#include "support/written_sod.h"

namespace {

const char kOldContents[] = "the file that was there before";

// A small scene with a textured material and two faces.
void BuildSmallScene(host::HostScene& scene) {
  int m = AddPlainMaterial(scene, u"hull", 1);
  scene.SetMaterialMap(m, 0, 1, u"C:\\maps\\hull.tga");
  for (int i = 0; i < 4; ++i) scene.AddVertex({static_cast<float>(i), 1, 2});
  for (int i = 0; i < 4; ++i) scene.AddTexCoord(static_cast<float>(i) / 4, 0.5f);
  int set = scene.AddPolygonSet();
  AddTriangle(scene, set, m, {0, 1, 2}, {0, 1, 2});
  AddTriangle(scene, set, m, {0, 2, 3}, {0, 2, 3});
}

// Loaded records as the side text readers would leave them; with a missing path the
// driver keeps them and writes them.
void FillMarkerLists(int32_t hardpoints) {
  textHardpoints = static_cast<HardpointRecord*>(AllocZeroed(static_cast<size_t>(hardpoints), sizeof(HardpointRecord)));
  for (int32_t i = 0; i < hardpoints; ++i)
    textHardpoints[i] = MarkerWithRows<HardpointRecord>("hp" + std::to_string(i), 1);
  textHardpointCount = hardpoints;
  textEmitters = static_cast<EmitterRecord*>(AllocZeroed(1, sizeof(EmitterRecord)));
  textEmitters[0] = MarkerWithRows<EmitterRecord>("exhaust", 2);
  std::memcpy(textEmitters[0].emitterName, "smoke", 6);
  textEmitterCount = 1;
  textSprites = static_cast<SpriteRecord*>(AllocZeroed(1, sizeof(SpriteRecord)));
  textSprites[0] = MarkerWithRows<SpriteRecord>("light", 3);
  textSpriteCount = 1;
}

void TickAllGroups() {
  exportOptions.useHardpointFile = 1;
  exportOptions.useEmitterFile = 1;
  exportOptions.useSpriteFile = 1;
}

bool ListsReleased() {
  return textHardpoints == nullptr && textHardpointCount == 0 && textEmitters == nullptr && textEmitterCount == 0 &&
         textSprites == nullptr && textSpriteCount == 0;
}

}  // namespace

TEST(SodWriterFailure, WriteFallingShortAtEveryByteKeepsTheOldFile) {
  for (int32_t game : {kGameArmada1, kGameArmada2}) {
    ExportStateGuard guard;
    TempDir dir;
    host::HostScene scene;
    BuildSmallScene(scene);
    exportOptions.gameVersion = game;
    TickAllGroups();
    FillMarkerLists(2);
    ASSERT_EQ(1, WriteSceneTo(scene, dir, "whole.sod"));
    EXPECT_TRUE(ListsReleased());
    const std::string whole = dir.Read("whole.sod");
    ASSERT_TRUE(ParseWrittenSod(whole).complete);
    ASSERT_EQ(9u, ParseWrittenSod(whole).nodes.size());
    dir.Write("ship.sod", kOldContents);
    for (size_t budget = 0; budget < whole.size(); ++budget) {
      FillMarkerLists(2);
      SetWriteFailureAfter(static_cast<int64_t>(budget));
      ASSERT_EQ(0, WriteSceneTo(scene, dir, "ship.sod")) << "budget " << budget;
      SetWriteFailureAfter(-1);
      ASSERT_EQ(kOldContents, dir.Read("ship.sod")) << "budget " << budget;
      ASSERT_EQ(2u, dir.Count()) << "a temporary file was left at budget " << budget;
      ASSERT_TRUE(ListsReleased());
    }
    SetWriteFailureAfter(static_cast<int64_t>(whole.size()));
    FillMarkerLists(2);
    EXPECT_EQ(1, WriteSceneTo(scene, dir, "ship.sod"));
    EXPECT_EQ(whole, dir.Read("ship.sod"));
  }
}

TEST(SodWriterFailure, AllocationFailingAtEachCallKeepsTheOldFile) {
  ExportStateGuard guard;
  TempDir dir;
  host::HostScene scene;
  BuildSmallScene(scene);
  dir.Write("ship.sod", kOldContents);
  dir.Write("hps.txt", "hp01 1 0 0 0 1 0 0 0 1 0 0 0\nhp02 1 0 0 0 1 0 0 0 1 5 0 0\n");
  exportOptions.useHardpointFile = 1;
  std::u16string hardpoints = dir.Wide("hps.txt");
  std::copy(hardpoints.c_str(), hardpoints.c_str() + hardpoints.size() + 1, exportOptions.hardpointFilePath);
  for (long nth = 1;; ++nth) {
    ASSERT_LT(nth, 100) << "the write never got through";
    dir.Write("ship.sod", kOldContents);
    long before = AllocationsMade();
    SetAllocationFailure(nth);
    int32_t result = WriteSceneTo(scene, dir, "ship.sod");
    SetAllocationFailure(0);
    EXPECT_TRUE(ListsReleased());
    if (AllocationsMade() - before < nth) {
      EXPECT_EQ(1, result);
      WrittenSod sod = ParseWrittenSod(dir.Read("ship.sod"));
      EXPECT_TRUE(sod.complete);
      EXPECT_EQ(5u, sod.nodes.size());
      break;
    }
    // A list that could not be loaded only loses its markers; other failures stop.
    if (result == 1) continue;
    EXPECT_EQ(kOldContents, dir.Read("ship.sod")) << "allocation " << nth;
    EXPECT_EQ(2u, dir.Count());
  }
}

TEST(SodWriterFailure, TargetThatCannotBeWrittenOrReplaced) {
  ExportStateGuard guard;
  TempDir dir;
  std::filesystem::create_directories(dir.File("taken.sod"));
  for (const char* target : {"no such directory/ship.sod", "taken.sod"}) {
    SCOPED_TRACE(target);
    host::HostScene scene;
    BuildSmallScene(scene);
    FillMarkerLists(1);
    EXPECT_EQ(0, WriteSceneTo(scene, dir, target));
    EXPECT_EQ(u"Could not open file for writing.", scene.ErrorTextWide());
    EXPECT_EQ("Could not open file for writing.", scene.ErrorTextNarrow());
    EXPECT_TRUE(ListsReleased());
    EXPECT_EQ(1u, dir.Count());
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("taken.sod")));
  }
}

TEST(SodWriterFailure, NodeCountAboveTheFormatLimitIsRefused) {
  ExportStateGuard guard;
  TempDir dir;
  host::HostScene scene;
  exportOptions.useHardpointFile = 1;
  // Root, group and 65533 hardpoints: 65535 nodes fit exactly.
  FillMarkerLists(65533);
  exportOptions.useEmitterFile = 0;
  exportOptions.useSpriteFile = 0;
  ASSERT_EQ(1, WriteSceneTo(scene, dir, "full.sod"));
  WrittenSod full = ParseWrittenSod(dir.Read("full.sod"));
  EXPECT_TRUE(full.complete);
  EXPECT_EQ(65535, full.nodeCount);

  dir.Write("ship.sod", kOldContents);
  FillMarkerLists(65534);
  EXPECT_EQ(0, WriteSceneTo(scene, dir, "ship.sod"));
  EXPECT_EQ(u"The SOD file format does not support more than\n65535 nodes.\n\nnodes found: 65536\n",
            scene.ErrorTextWide());
  EXPECT_EQ("The SOD file format does not support more than\n65535 nodes.\n\nnodes found: 65536\n",
            scene.ErrorTextNarrow());
  EXPECT_EQ(kOldContents, dir.Read("ship.sod"));
  EXPECT_EQ(2u, dir.Count());
  EXPECT_TRUE(ListsReleased());
}

namespace {

// Meshes at the format's limits and one past them: `faces` triangles over the same
// three vertices, or triangles over `vertices` distinct vertices (the last one
// closing on the first vertices).
void Faces(host::HostScene& scene, int faces) {
  for (int i = 0; i < 3; ++i) scene.AddVertex({static_cast<float>(i), 0, 0});
  scene.AddTexCoord(0, 0);
  int set = scene.AddPolygonSet();
  for (int f = 0; f < faces; ++f) AddTriangle(scene, set, 0, {0, 1, 2}, {0, 0, 0});
}

void Vertices(host::HostScene& scene, int vertices) {
  for (int i = 0; i < vertices; ++i) scene.AddVertex({static_cast<float>(i), 0, 0});
  scene.AddTexCoord(0, 0);
  int set = scene.AddPolygonSet();
  for (int f = 0; 3 * f < vertices; ++f)
    AddTriangle(scene, set, 0, {3 * f % vertices, (3 * f + 1) % vertices, (3 * f + 2) % vertices}, {0, 0, 0});
}

void MostFaces(host::HostScene& scene) { Faces(scene, 65535); }
void TooManyFaces(host::HostScene& scene) { Faces(scene, 65536); }
void MostVertices(host::HostScene& scene) { Vertices(scene, 65535); }
void TooManyVertices(host::HostScene& scene) { Vertices(scene, 65536); }

void FaceWithCorners(host::HostScene& scene, int corners) {
  for (int i = 0; i < 4; ++i) scene.AddVertex({static_cast<float>(i), 0, 0});
  scene.AddTexCoord(0, 0);
  int set = scene.AddPolygonSet();
  AddTriangle(scene, set, 0, {0, 1, 2}, {0, 0, 0});
  host::FaceSpec face;
  face.materialIndex = 0;
  for (int c = 0; c < corners; ++c) {
    face.vertices.push_back(c);
    face.texCoords.push_back(0);
  }
  scene.AddFace(set, face);
}

void QuadFace(host::HostScene& scene) { FaceWithCorners(scene, 4); }
void EdgeFace(host::HostScene& scene) { FaceWithCorners(scene, 2); }

void VertexOutsideTheArray(host::HostScene& scene) {
  for (int i = 0; i < 3; ++i) scene.AddVertex({static_cast<float>(i), 0, 0});
  scene.AddTexCoord(0, 0);
  int set = scene.AddPolygonSet();
  AddTriangle(scene, set, 0, {0, 1, 3}, {0, 0, 0});
}

struct RefusalCase {
  const char* what;
  void (*build)(host::HostScene&);
  const char16_t* message;         // null: the mesh fits and is written
  size_t vertices = 0, faces = 0;  // of the written mesh
};

const RefusalCase kRefusals[] = {
    {"65535 faces", MostFaces, nullptr, 3, 65535},
    {"65535 vertices", MostVertices, nullptr, 65535, 21845},
    {"65536 faces", TooManyFaces,
     u"The SOD file format does not support more than\n65535 faces in one mesh.\n\nmaterial: plate\nfaces found: "
     u"65536\n"},
    {"65536 vertices", TooManyVertices,
     u"The SOD file format does not support more than\n65535 vertices in one mesh.\n\nmaterial: plate\nvertices "
     u"found: 65536\n"},
    {"quad", QuadFace, u"Only triangles can be written to a SOD file.\n\nmaterial: plate\n"},
    {"edge", EdgeFace, u"Only triangles can be written to a SOD file.\n\nmaterial: plate\n"},
    {"vertex index", VertexOutsideTheArray,
     u"A face of the scene refers to geometry that does not exist.\n\nmaterial: plate\n"},
};

}  // namespace

TEST(SodWriterFailure, MeshesAtTheLimitsAreWrittenAndOthersRefusedBeforeWriting) {
  for (const RefusalCase& c : kRefusals) {
    SCOPED_TRACE(c.what);
    ExportStateGuard guard;
    TempDir dir;
    host::HostScene scene;
    AddPlainMaterial(scene, u"first", 1);
    AddPlainMaterial(scene, u"plate", 1);
    // The refused material is the second one: the first mesh would be written first.
    c.build(scene);
    HostContext* context = ContextOf(scene);
    for (int32_t set = 0; set < context->polygonSetCount; ++set) {
      for (int32_t f = 0; f < context->polygonSets[set].faceCount; ++f)
        context->polygonSets[set].faces[f].materialIndex = 1;
    }
    dir.Write("ship.sod", kOldContents);
    const int32_t result = WriteSceneTo(scene, dir, "ship.sod");
    if (c.message == nullptr) {
      EXPECT_EQ(1, result);
      WrittenSod sod = ParseWrittenSod(dir.Read("ship.sod"));
      ASSERT_TRUE(sod.complete);
      ASSERT_EQ(3u, sod.nodes.size());
      EXPECT_EQ(c.vertices, sod.nodes[2].vertices.size());
      EXPECT_EQ(c.faces, sod.nodes[2].faces.size());
      continue;
    }
    EXPECT_EQ(0, result);
    EXPECT_EQ(std::u16string(c.message), scene.ErrorTextWide());
    EXPECT_EQ(kOldContents, dir.Read("ship.sod"));
    EXPECT_EQ(1u, dir.Count());

    // The mesh writer refuses on its own as well, before appending a byte.
    SetErrorText(context, u"");
    MaterialFaces grouped{};
    ASSERT_EQ(1, GroupFacesByMaterial(context, &grouped));
    const FaceList faces = FacesOfMaterial(grouped, 1);
    MeshWorkspace workspace;
    ASSERT_EQ(1, MeshWorkspaceCreate(&workspace, faces.count));
    ByteBuffer out = ByteBufferEmpty();
    EXPECT_EQ(0, WriteMeshNode(&out, context, 1, faces, &workspace));
    EXPECT_EQ(0u, out.size);
    EXPECT_EQ(std::u16string(c.message), scene.ErrorTextWide());
    ByteBufferFree(&out);
    MeshWorkspaceFree(&workspace);
    MaterialFacesFree(&grouped);
  }
}

TEST(SodWriterFailure, MissingArguments) {
  ExportStateGuard guard;
  EXPECT_EQ(0, WriteSodFile(nullptr));
  EXPECT_EQ(0, WriteSodStream(nullptr));
  EXPECT_EQ(0, WriteRootNode(nullptr));
  EXPECT_EQ(0, WriteSodString(nullptr, "x"));
  host::HostScene scene;
  AddPlainMaterial(scene, u"m", 1);
  const FaceList none{nullptr, 0};
  MeshWorkspace workspace;
  ASSERT_EQ(1, MeshWorkspaceCreate(&workspace, 0));
  EXPECT_EQ(0, WriteMeshNode(nullptr, ContextOf(scene), 0, none, &workspace));
  ByteBuffer out = ByteBufferEmpty();
  EXPECT_EQ(0, WriteSodString(&out, nullptr));
  EXPECT_EQ(0, WriteMeshNode(&out, nullptr, 0, none, &workspace));
  EXPECT_EQ(0, WriteMeshNode(&out, ContextOf(scene), 0, none, nullptr));
  EXPECT_EQ(0, WriteMeshNode(&out, ContextOf(scene), 0, none, &workspace));  // a scene without vertices
  EXPECT_EQ(0u, out.size);
  ByteBufferFree(&out);
  MeshWorkspaceFree(&workspace);
}

TEST(SodWriterFailure, StringsTooLongForTheirCountAreRefused) {
  ByteBuffer out = ByteBufferEmpty();
  std::string fits(65535, 'a');
  std::string tooLong(65536, 'b');
  EXPECT_EQ(1, WriteSodString(&out, ""));
  EXPECT_EQ(1, WriteSodString(&out, "ab"));
  EXPECT_EQ(0, WriteSodString(&out, tooLong.c_str()));
  EXPECT_EQ(1, WriteSodString(&out, fits.c_str()));
  std::string bytes(reinterpret_cast<const char*>(out.data), out.size);
  ByteBufferFree(&out);
  ASSERT_EQ(2u + 4u + 2u + 65535u, bytes.size());
  EXPECT_EQ(std::string("\0\0\2\0ab\xFF\xFF", 8), bytes.substr(0, 8));
}
