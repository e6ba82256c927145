// Texture images between the game and glTF: the game's textures are TGA files beside
// the SOD file; glTF carries PNG (or JPEG) images.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace host {

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
