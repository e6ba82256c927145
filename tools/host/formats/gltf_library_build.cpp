// The glTF loader's implementation and the image codecs it and the host use,
// compiled once into the host in both builds.
#define TINYGLTF_IMPLEMENTATION
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <tiny_gltf.h>
