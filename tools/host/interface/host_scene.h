// The reference host's scene: a real, in-memory implementation of every host service
// the plug-in uses, behind the records of host_layout.h. A HostScene owns one
// operation context with its service table; materials (with texture maps), one vertex
// array, a texture coordinate table, named parts and polygon sets with their faces.
//
// Any service or method can be told to fail at a given call, for failure tests, and
// every entry of the tables that the plug-in has no business calling is a trap that
// reports the call.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace host {

struct Vec3 {
  float x, y, z;
};

struct Colour {
  float r, g, b, a;
};

// One face as the host's own editing makes it (for scenes built from files).
struct FaceSpec {
  int materialIndex = -1;
  int partIndex = 0;
  std::vector<int32_t> vertices;
  std::vector<int32_t> texCoords;  // indices into the texture coordinate table, one per corner
};

class HostScene {
 public:
  HostScene();
  ~HostScene();
  HostScene(const HostScene&) = delete;
  HostScene& operator=(const HostScene&) = delete;

  // The operation context to hand to the plug-in.
  void* Context() { return context_.data(); }

  void SetFilePath(const std::u16string& path);
  void SetHostTexts(const std::u16string& name, const std::u16string& version);
  void SetOwnerWindow(void* window) { ownerWindow_ = window; }
  std::u16string ErrorTextWide() const;
  std::string ErrorTextNarrow() const;

  // Building a scene as the host's own editing does.
  int AddMaterial(const std::u16string& name, Colour diffuse, Colour ambient, Colour specular, float power,
                  int32_t useCount);
  void SetMaterialMap(int material, int mapIndex, int32_t kind, const std::u16string& path);
  int AddVertex(Vec3 position);
  int AddTexCoord(float u, float v);
  int AddPolygonSet();
  int AddFace(int polygonSet, const FaceSpec& face);
  int AddPart(const std::u16string& name);
  // Gives every corner's texture coordinate record an entry of its own in the table
  // and points the corner's index at it, as the host's editing takes over a scene that
  // a plug-in built (an import fills the records, an export reads the table).
  void TableCornerTexCoords();

  // Reading the scene back.
  int MaterialCount() const;
  uint8_t* Material(int index);
  // The map of a material with the given index, or null.
  uint8_t* MaterialMap(int material, int mapIndex);
  int VertexCount() const;
  Vec3 Vertex(int index) const;
  int TexCoordCount() const { return static_cast<int>(texCoords_.size() / 16); }
  int PartCount() const;
  std::u16string PartName(int index) const { return parts_[static_cast<size_t>(index)].wide; }
  std::string PartNarrowName(int index) const { return parts_[static_cast<size_t>(index)].narrow; }
  int PolygonSetCount() const;
  uint8_t* PolygonSet(int index);
  int FaceCount(int polygonSet);
  uint8_t* Face(int polygonSet, int face);
  bool Finished() const { return finished_; }

  // Failure injection: the nth call (1 = the first) of the named service or method
  // fails; FailCallNumber makes the nth call of any of them fail.
  void FailService(const std::string& name, long nth);
  void FailCallNumber(long nth) { failCallNumber_ = nth; }
  long CallCount() const { return callCount_; }
  const std::vector<std::string>& CallLog() const { return callLog_; }
  // Calls of entries that are not part of the interface.
  const std::vector<std::string>& Traps() const { return traps_; }

  // Entry points the service tables lead to (public for the table thunks).
  bool Enter(const char* name);
  void* GetOwnerWindow() { return ownerWindow_; }
  int32_t Triangulate();
  int32_t AllocateVertices(int32_t count);
  uint8_t* CreateMaterial(const uint8_t* name);
  void* CreatePart(const uint8_t* name);
  uint8_t* CreatePolygonSet();
  uint8_t* AcquireMap(uint8_t* material, int32_t mapIndex);
  uint8_t* FindMap(uint8_t* material, int32_t mapIndex);
  int32_t AllocFaces(uint8_t* set, int32_t count, int32_t corners);
  void* SetCornerCount(uint8_t* set, int32_t face, int32_t corners);
  void Trap(const std::string& what);
  void MarkFinished() { finished_ = true; }

  // The scene owning a context, material or polygon set handed back by the plug-in.
  static HostScene* FromContext(const void* context);
  static HostScene* FromMaterial(const void* material);
  static HostScene* FromPolygonSet(const void* set);

 private:
  struct Corners;
  struct FaceStorage;
  struct Part {
    std::u16string wide;
    std::string narrow;
  };

  // The context's counts and pointers, and each polygon set's, after the scene grew.
  void Repoint();
  void RepointContext();
  void RepointSet(int index);
  int MaterialIndexOf(const uint8_t* material) const;
  int SetIndexOf(const uint8_t* set) const;
  void ResizeCorners(int set, int face, int corners);

  std::vector<uint8_t> context_;
  std::array<uint64_t, 160> services_;
  std::array<uint64_t, 16> materialMethods_;
  std::array<uint64_t, 16> setMethods_;
  std::vector<uint8_t> materials_;
  std::vector<std::array<std::unique_ptr<std::vector<uint8_t>>, 4>> maps_;
  std::vector<uint8_t> vertices_;
  std::vector<uint8_t> texCoords_;
  std::vector<uint8_t> texCoordTable_;
  std::vector<Part> parts_;
  std::vector<uint64_t> partRecords_;
  std::vector<uint8_t> sets_;
  std::vector<std::unique_ptr<FaceStorage>> faces_;
  void* ownerWindow_ = nullptr;
  bool finished_ = false;
  long callCount_ = 0;
  long failCallNumber_ = 0;
  std::vector<std::pair<std::string, long>> failures_;
  std::vector<std::pair<std::string, long>> calls_;
  std::vector<std::string> callLog_;
  std::vector<std::string> traps_;
};

}  // namespace host
