// The OBJ loader's implementation, compiled into the host in both builds.
#define TINYOBJLOADER_IMPLEMENTATION
#include <tiny_obj_loader.h>
