// The OBJ loader's implementation, compiled into the host where the system offers no
// built library of it (the Windows build); elsewhere the host links the system's.
#ifdef KVELTAR_BUILD_OBJ_LOADER
#define TINYOBJLOADER_IMPLEMENTATION
#include <tiny_obj_loader.h>
#endif
