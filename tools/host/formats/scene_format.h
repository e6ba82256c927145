// The scene files of the reference host, side by side behind one small interface.
//
// A scene document is what such a file holds: the host's scene (materials with their
// maps, one vertex array, texture coordinates, named parts and polygon sets) and the
// game's markers (hardpoints, emitters and sprites), which the plug-in itself keeps in
// side text files. Every format reads into and writes from a document; the commands
// move documents between the plug-in and the files.
//
// Axes. The plug-in builds the host's scene with the model's x axis mirrored; the
// interchange formats (glTF, OBJ) take the host's positions as they stand, which
// puts a ship upright (+Y up), nose towards +Z, in glTF's right-handed frame. The
// mirror reverses the turning sense of every face, so these formats write each
// polygon's corners in reverse order (the first corner stays first: a, b, c becomes
// a, c, b) and their readers reverse them back. A marker's transform is the SOD
// file's own (rows R0, R1, R2 and position T, row vectors); in the interchange
// formats it is the same transform with the x axis mirrored on both sides, so every
// value is kept exactly up to its sign.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "interface/host_scene.h"

namespace host {

// A hardpoint, emitter or sprite: what the side text files hold of it.
struct Marker {
  std::string name;         // UTF-8
  std::string emitterName;  // UTF-8; emitters only
  float rows[4][3] = {};    // R0, R1, R2, T, each x y z, as the SOD file stores them
};

struct MarkerLists {
  std::vector<Marker> hardpoints;
  std::vector<Marker> emitters;
  std::vector<Marker> sprites;
};

// An image a file brought with it, for a material's texture.
struct TextureImage {
  std::string name;              // the texture's name in the SOD file (a file title, no extension)
  std::vector<uint8_t> encoded;  // the image file's bytes (PNG, JPEG, ...); empty when not available
  std::string mimeType;          // "image/png", "image/jpeg", or empty when unknown
};

struct SceneDocument {
  HostScene scene;
  MarkerLists markers;
  // Where a material's texture file is looked for when writing (its map's file name
  // in this folder); empty: beside the map's own path.
  std::u16string textureFolder;
  std::vector<TextureImage> images;  // filled by readers of formats that carry images
  std::vector<std::string> warnings;
};

// One file format. A null entry means the format cannot do that.
struct SceneFormat {
  const char* name;
  // Fills an empty document from the file; false with a reason.
  bool (*read)(const std::u16string& path, SceneDocument* document, std::string* error);
  // Writes the document to the file (and its companions: an MTL library, a .bin
  // buffer, images); false with a reason, leaving no half-written file.
  bool (*write)(SceneDocument& document, const std::u16string& path, std::string* error);
};

// Reads or writes a document in the format of the path's extension; false with a
// reason, also for an extension that no format reads or writes.
bool ReadSceneDocument(const std::u16string& path, SceneDocument* document, std::string* error);
bool WriteSceneDocument(SceneDocument& document, const std::u16string& path, std::string* error);

// The format of a path by its extension, case-insensitive (.gltf, .glb, .obj, .json,
// .txt for side text files), or null.
const SceneFormat* SceneFormatOf(const std::u16string& path);

}  // namespace host
