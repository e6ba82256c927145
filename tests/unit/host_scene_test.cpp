// The reference host's scene and the plug-in agree on every record: what the host
// writes through its own layout, the plug-in's records read, and the reverse.
#include <gtest/gtest.h>

#include "interface/host_layout.h"
#include "interface/host_scene.h"
#include "plugin/host_records.h"

TEST(HostScene, ContextFieldsSeenThroughThePluginRecords) {
  host::HostScene scene;
  scene.SetFilePath(u"C:\\ships\\a.sod");
  scene.SetHostTexts(u"Modeller", u"9");
  int m = scene.AddMaterial(u"hull", {0.1f, 0.2f, 0.3f, 1}, {0.4f, 0.5f, 0.6f, 1}, {0.7f, 0.8f, 0.9f, 1}, 12.0f, 5);
  scene.SetMaterialMap(m, 0, 1, u"C:\\maps\\hull.tga");
  scene.AddVertex({1, 2, 3});
  scene.AddTexCoord(0.25f, 0.75f);
  int set = scene.AddPolygonSet();
  host::FaceSpec face;
  face.materialIndex = m;
  face.partIndex = 0;
  face.vertices = {0, 0, 0};
  face.texCoords = {0, 0, 0};
  scene.AddFace(set, face);

  const HostContext* c = static_cast<const HostContext*>(scene.Context());
  EXPECT_EQ(u"C:\\ships\\a.sod", std::u16string(c->filePath.wide));
  EXPECT_STREQ("Modeller", c->hostName.narrow);
  EXPECT_STREQ("9", c->hostVersion.narrow);
  ASSERT_EQ(1, c->materialCount);
  EXPECT_STREQ("hull", c->materials[0].name.narrow);
  EXPECT_EQ(0.2f, c->materials[0].diffuse[1]);
  EXPECT_EQ(0.4f, c->materials[0].ambient[0]);
  EXPECT_EQ(0.9f, c->materials[0].specular[2]);
  EXPECT_EQ(12.0f, c->materials[0].specularPower);
  EXPECT_EQ(5, c->materials[0].useCount);
  HostMap* map = c->materials[0].methods->FindMap(&c->materials[0], 0);
  ASSERT_NE(nullptr, map);
  EXPECT_EQ(1, map->mapKind);
  EXPECT_EQ(u"C:\\maps\\hull.tga", std::u16string(map->path.wide));
  EXPECT_EQ(nullptr, c->materials[0].methods->FindMap(&c->materials[0], 2));
  ASSERT_EQ(1, c->vertexCount);
  EXPECT_EQ(3.0f, c->vertices[0].position[2]);
  EXPECT_EQ(0.75f, c->texCoordTable->entries[0].v);
  ASSERT_EQ(1, c->polygonSetCount);
  ASSERT_EQ(1, c->polygonSets[0].faceCount);
  const HostFace& f = c->polygonSets[0].faces[0];
  EXPECT_EQ(3, f.cornerCount);
  EXPECT_EQ(0, f.materialIndex);
  EXPECT_EQ(0, f.faceTexCoords->indices[2]);
  EXPECT_EQ(0.25f, f.faceTexCoords->corners[1].u);
  EXPECT_NE(nullptr, f.exportScratch);
}

TEST(HostScene, ServicesBuildTheSceneTheWayTheImportCallsThem) {
  host::HostScene scene;
  HostContext* c = static_cast<HostContext*>(scene.Context());
  HostServices* s = c->services;
  DualString name;
  DualStringSetWide(&name, u"steel");
  HostMaterial* material = s->CreateMaterial(c, &name);
  ASSERT_NE(nullptr, material);
  material->diffuse[0] = 0.5f;
  HostMap* map = material->methods->AcquireMap(material, 0, 1);
  ASSERT_NE(nullptr, map);
  DualStringSetWide(&map->path, u"C:\\m\\steel.tga");
  map->mapFlags |= 1;
  ASSERT_NE(0, s->AllocateVertices(c, 4));
  c->vertices[3].position[0] = 7.0f;
  ASSERT_NE(nullptr, s->CreatePart(c, &name, -1));
  HostPolygonSet* set = s->CreatePolygonSet(c);
  ASSERT_NE(nullptr, set);
  ASSERT_NE(0, set->methods->AllocTriangles(set, 2));
  set->faces[1].vertexIndices[2] = 3;
  HostPolygonSet* quad = s->CreatePolygonSet(c);
  ASSERT_NE(0, quad->methods->AllocPolygons(quad, 1));
  ASSERT_NE(nullptr, quad->methods->SetCornerCount(quad, 0, 4));
  s->FinishBuild(c, 1);

  EXPECT_EQ(1, scene.MaterialCount());
  EXPECT_EQ(0.5f, layout::Get<float>(scene.Material(0), layout::kMaterialDiffuse));
  EXPECT_EQ(u"C:\\m\\steel.tga", layout::WideField(scene.MaterialMap(0, 0), layout::kMapPath));
  EXPECT_EQ(7.0f, scene.Vertex(3).x);
  EXPECT_EQ(1, scene.PartCount());
  EXPECT_EQ(u"steel", scene.PartName(0));
  EXPECT_EQ(2, scene.PolygonSetCount());
  EXPECT_EQ(3, layout::Get<int32_t>(scene.Face(0, 1), layout::kFaceCornerCount));
  EXPECT_EQ(4, layout::Get<int32_t>(scene.Face(1, 0), layout::kFaceCornerCount));
  EXPECT_TRUE(scene.Finished());
  EXPECT_TRUE(scene.Traps().empty());
}

TEST(HostScene, TriangulateFansPolygons) {
  host::HostScene scene;
  for (int i = 0; i < 5; ++i) scene.AddVertex({static_cast<float>(i), 0, 0});
  for (int i = 0; i < 5; ++i) scene.AddTexCoord(static_cast<float>(i) / 4, 0);
  int set = scene.AddPolygonSet();
  host::FaceSpec pentagon;
  pentagon.materialIndex = 0;
  pentagon.vertices = {0, 1, 2, 3, 4};
  pentagon.texCoords = {0, 1, 2, 3, 4};
  scene.AddFace(set, pentagon);
  HostContext* c = static_cast<HostContext*>(scene.Context());
  ASSERT_EQ(1, c->services->Triangulate(c));
  ASSERT_EQ(3, c->polygonSets[0].faceCount);
  const HostFace& last = c->polygonSets[0].faces[2];
  EXPECT_EQ(3, last.cornerCount);
  EXPECT_EQ(0, last.vertexIndices[0]);
  EXPECT_EQ(3, last.vertexIndices[1]);
  EXPECT_EQ(4, last.vertexIndices[2]);
  EXPECT_EQ(1.0f, last.faceTexCoords->corners[2].u);
}

TEST(HostScene, InjectedFailuresAndTraps) {
  host::HostScene scene;
  scene.FailService("CreateMaterial", 2);
  HostContext* c = static_cast<HostContext*>(scene.Context());
  DualString name;
  DualStringSetWide(&name, u"m");
  EXPECT_NE(nullptr, c->services->CreateMaterial(c, &name));
  EXPECT_EQ(nullptr, c->services->CreateMaterial(c, &name));
  EXPECT_NE(nullptr, c->services->CreateMaterial(c, &name));
  scene.FailCallNumber(4);
  EXPECT_EQ(0, c->services->AllocateVertices(c, 3));
  EXPECT_EQ(4, scene.CallCount());

  typedef void* (*AnyEntry)(void*, void*, void*, void*);
  layout::GetPointer<AnyEntry>(c->services.get(), 40 * layout::kPointerBytes)(c, nullptr, nullptr, nullptr);
  ASSERT_EQ(1u, scene.Traps().size());
  EXPECT_EQ("service 40", scene.Traps()[0]);
}
