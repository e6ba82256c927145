// One mesh node per exported host material: the material's faces from every polygon
// set, their corners welded into a vertex table in which a host vertex occurs once per
// distinct texture coordinate, positions turned into the SOD axes.
#pragma once

#include <cstdint>
#include <cstdio>

// Writes the mesh node of host material `material` of currentContext's scene. 1 when
// the whole node was written; 0 for a missing stream, a scene without vertices, a
// table that cannot be allocated or a write that fell short, and 0 before writing
// anything when the mesh cannot be stored (a face without three sound corners, more
// than 65535 faces or welded vertices; the reason goes to errorText).
int WriteMeshNode(FILE* stream, int32_t material);

// The SOD position of a host position: mirrored x, turned a quarter about X.
void SodPositionOf(const float* host, float* sod);
