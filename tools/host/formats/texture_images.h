// Texture images between the game and glTF: the game's textures are TGA files beside
// the SOD file; glTF carries PNG (or JPEG) images.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace host {

class HostScene;

// A material's main texture and its second one, by map index.
constexpr int kMainTextureMap = 0;
constexpr int kSecondTextureMap = 2;

// Where the texture file of a material's map is: the file of its path, or with a
// `folder`, the file of that name in it (see TextureFileIn). Empty for no map and for
// the name the game gives an untextured material ("NULL").
std::filesystem::path MaterialTextureFile(HostScene& scene, int material, int map, const std::u16string& folder);

// The texture `file` (a path, or with a `folder` its name in that folder); when it is
// not there and that folder is a game's "SOD" folder, the file of that name in the
// game's "Textures/RGB" folder beside it, if there is one.
std::filesystem::path TextureFileIn(const std::filesystem::path& file, const std::u16string& folder);

// `name` in `folder`, its case as the folder spells it; empty when it is not there.
std::filesystem::path FindInFolder(const std::filesystem::path& folder, const std::string& name);

// The game's own layout: SOD files in a folder "SOD", their textures in "Textures/RGB"
// beside it (any case). That folder when `sodFolder` is such a "SOD" folder and it
// exists; else empty.
std::filesystem::path GameTextureFolder(const std::filesystem::path& sodFolder);

// The PNG form of an image file (TGA or any other kind the decoder knows); false with
// a reason.
bool PngOfImageFile(const std::filesystem::path& file, std::vector<uint8_t>* png, std::string* error);

// Whether `file` is a TGA image the game can load: a TGA header (colour-mapped,
// true-colour or grey, plain or run-length) and pixels that decode in full; false
// with a reason.
bool CheckTgaFile(const std::filesystem::path& file, std::string* error);

// Writes encoded image bytes (PNG, JPEG, TGA, BMP, ...) as an uncompressed TGA file,
// in full beside the target before it takes its place; false with a reason.
bool WriteTgaOfImage(const std::vector<uint8_t>& encoded, const std::filesystem::path& target, std::string* error);

}  // namespace host
