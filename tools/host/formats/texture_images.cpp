#include "formats/texture_images.h"

#include <fstream>
#include <iterator>
#include <memory>

#include <stb_image.h>
#include <stb_image_write.h>

#include "interface/host_layout.h"
#include "interface/host_scene.h"
#include "interface/host_text.h"
#include "interface/temp_folder.h"

namespace host {

namespace fs = std::filesystem;

namespace {

// Larger images are refused before they are decoded: no game texture comes near it.
constexpr long long kMostPixels = 8192LL * 8192LL;
constexpr uintmax_t kMostFileBytes = 256u << 20;

struct Pixels {
  int width = 0, height = 0, channels = 0;
  std::unique_ptr<stbi_uc, void (*)(void*)> data{nullptr, stbi_image_free};
};

bool Decode(const std::vector<uint8_t>& bytes, Pixels* pixels, std::string* error) {
  int width = 0, height = 0, channels = 0;
  if (bytes.empty() || bytes.size() > kMostFileBytes ||
      !stbi_info_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height, &channels)) {
    *error = "not an image the host can read";
    return false;
  }
  if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > kMostPixels) {
    *error = "an image of " + std::to_string(width) + " x " + std::to_string(height) + " pixels is too large";
    return false;
  }
  // Grey images are widened to RGB, as the game's textures are colour images.
  int wanted = channels == 2 || channels == 4 ? 4 : 3;
  pixels->data.reset(stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &pixels->width,
                                           &pixels->height, &pixels->channels, wanted));
  pixels->channels = wanted;
  if (!pixels->data) {
    *error = std::string("cannot decode the image: ") + stbi_failure_reason();
    return false;
  }
  return true;
}

void Append(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<uint8_t>*>(context);
  out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

bool ReadFile(const fs::path& file, std::vector<uint8_t>* bytes, std::string* error) {
  std::error_code failure;
  uintmax_t size = fs::file_size(file, failure);
  std::ifstream in(file, std::ios::binary);
  if (failure || !in || size > kMostFileBytes) {
    *error = "cannot read " + file.u8string();
    return false;
  }
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

}  // namespace

bool PngOfImageFile(const fs::path& file, std::vector<uint8_t>* png, std::string* error) {
  std::vector<uint8_t> bytes;
  Pixels pixels;
  if (!ReadFile(file, &bytes, error)) return false;
  if (!Decode(bytes, &pixels, error)) {
    *error = file.u8string() + ": " + *error;
    return false;
  }
  png->clear();
  if (!stbi_write_png_to_func(Append, png, pixels.width, pixels.height, pixels.channels, pixels.data.get(),
                              pixels.width * pixels.channels)) {
    *error = "cannot encode " + file.u8string() + " as PNG";
    return false;
  }
  return true;
}

bool CheckTgaFile(const fs::path& file, std::string* error) {
  std::vector<uint8_t> bytes;
  if (!ReadFile(file, &bytes, error)) return false;
  // Byte 1: colour map type 0 or 1; byte 2: image type 1, 2, 3, or 9, 10, 11 run-length.
  constexpr size_t kHeaderBytes = 18;
  const bool tga = bytes.size() >= kHeaderBytes && bytes[1] <= 1 && (bytes[2] & ~8u) >= 1 && (bytes[2] & ~8u) <= 3;
  if (!tga) {
    *error = "not a TGA image";
    return false;
  }
  // An uncompressed image must hold all its pixels (the decoder would pad a cut one).
  auto word = [&](size_t at) { return static_cast<uint64_t>(bytes[at] | bytes[at + 1] << 8); };
  const uint64_t mapBytes = bytes[1] ? word(5) * ((bytes[7] + 7u) / 8u) : 0;
  const uint64_t pixelBytes = word(12) * word(14) * ((bytes[16] + 7u) / 8u);
  if ((bytes[2] & 8u) == 0 && kHeaderBytes + bytes[0] + mapBytes + pixelBytes > bytes.size()) {
    *error = "the image is cut short";
    return false;
  }
  Pixels pixels;
  return Decode(bytes, &pixels, error);
}

bool WriteTgaOfImage(const std::vector<uint8_t>& encoded, const fs::path& target, std::string* error) {
  Pixels pixels;
  if (!Decode(encoded, &pixels, error)) {
    *error = target.filename().u8string() + ": " + *error;
    return false;
  }
  std::vector<uint8_t> tga;
  stbi_write_tga_with_rle = 0;
  if (!stbi_write_tga_to_func(Append, &tga, pixels.width, pixels.height, pixels.channels, pixels.data.get())) {
    *error = "cannot encode " + target.u8string();
    return false;
  }
  return WriteWholeFile(target, tga.data(), tga.size(), error);
}

fs::path MaterialTextureFile(HostScene& scene, int material, int map, const std::u16string& folder) {
  const uint8_t* bytes = scene.MaterialMap(material, map);
  if (bytes == nullptr || (layout::Get<uint32_t>(bytes, layout::kMapFlags) & 1u) == 0) return fs::path();
  fs::path file(layout::WideField(bytes, layout::kMapPath));
  if (file.filename() == fs::path(u"NULL")) return fs::path();
  return TextureFileIn(file, folder);
}

fs::path TextureFileIn(const fs::path& file, const std::u16string& folder) {
  const fs::path named = folder.empty() ? file : fs::path(folder) / file.filename();
  std::error_code missing;
  if (fs::exists(named, missing)) return named;
  const fs::path inGame = FindInFolder(GameTextureFolder(named.parent_path()), file.filename().u8string());
  return inGame.empty() ? named : inGame;
}

fs::path FindInFolder(const fs::path& folder, const std::string& name) {
  std::error_code failure;
  if (folder.empty()) return {};
  const fs::path exact = folder / fs::u8path(name);
  if (fs::exists(exact, failure)) return exact;
  const std::string wanted = LowerAscii(name);
  for (fs::directory_iterator it(folder, failure); !failure && it != fs::directory_iterator(); it.increment(failure)) {
    if (LowerAscii(it->path().filename().u8string()) == wanted) return it->path();
  }
  return {};
}

fs::path GameTextureFolder(const fs::path& sodFolder) {
  if (LowerAscii(sodFolder.filename().u8string()) != "sod") return {};
  return FindInFolder(FindInFolder(sodFolder.parent_path(), "Textures"), "RGB");
}

}  // namespace host
