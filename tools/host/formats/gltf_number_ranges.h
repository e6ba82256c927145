// The integers of a glTF document that the glTF library narrows on its way in: byte
// lengths, offsets, strides, counts and component types become size_t (32 bits in the
// WebAssembly build), indices become int. A larger value would reach the reader cut to
// its low bits, differently in each build. Each is checked here as the value the file
// holds, before the library sees it.
#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

namespace host {

// The most a byte length, offset, stride or element count can be: the bytes a glTF
// file or one of its buffers holds at most (4 GiB - 1), which size_t holds in every build.
constexpr uint64_t kGltfMaxSize = 0xFFFFFFFFu;

// True when every such integer of the document (outside extras and extensions) lies in
// what the library holds it as: sizes in 0..kGltfMaxSize, indices and the integers of
// sparse accessors in int. Else false with the first one out of range, as
// "<path> is <value>, more than the <limit> the reader takes here" (or "less than").
bool GltfNumbersInRange(const nlohmann::json& root, std::string* error);

}  // namespace host
