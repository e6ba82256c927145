// The chained weld gives exactly the table and the corner indices of the literal
// search, on random scenes full of shared corners, signed zeros, NaNs and infinities.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "common/memory.h"
#include "support/weld_oracle.h"

namespace {

struct RandomScene {
  std::vector<std::array<float, 3>> positions;  // one per host vertex
  std::vector<ExportVertex> corners;
};

float PickValue(std::mt19937& random, const std::vector<float>& pool) {
  return pool[std::uniform_int_distribution<size_t>(0, pool.size() - 1)(random)];
}

RandomScene MakeScene(uint32_t seed) {
  std::mt19937 random(seed);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const std::vector<float> uvs = {0.0f, -0.0f, 0.5f, 1.0f, 1.00001f, nan, inf, -inf, 0.25f};
  const std::vector<float> coordinates = {0.0f, -0.0f, 1.0f, 1.00005f, -3.5f, 1e30f, nan, inf};
  RandomScene scene;
  int vertices = std::uniform_int_distribution<int>(1, 60)(random);
  for (int v = 0; v < vertices; ++v) {
    bool odd = std::uniform_int_distribution<int>(0, 9)(random) == 0;
    std::array<float, 3> p{};
    for (float& c : p) c = odd ? PickValue(random, coordinates) : std::uniform_real_distribution<float>(-2, 2)(random);
    scene.positions.push_back(p);
  }
  int corners = 3 * std::uniform_int_distribution<int>(0, 400)(random);
  for (int i = 0; i < corners; ++i) {
    ExportVertex corner;
    std::memset(&corner, 0, sizeof corner);
    corner.hostVertex = std::uniform_int_distribution<int>(0, vertices - 1)(random);
    for (int k = 0; k < 3; ++k)
      corner.position[k] = scene.positions[static_cast<size_t>(corner.hostVertex)][static_cast<size_t>(k)];
    corner.texCoord.u = PickValue(random, uvs);
    corner.texCoord.v = PickValue(random, uvs);
    scene.corners.push_back(corner);
  }
  return scene;
}

}  // namespace

TEST(VertexWeld, SameTableAndIndicesAsTheLiteralSearch) {
  // One table serves every scene in turn, as it serves the meshes of a file.
  VertexWeld weld;
  ASSERT_EQ(1, VertexWeldCreate(&weld, 3 * 400, 0));
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    RandomScene scene = MakeScene(seed);
    uint32_t capacity = static_cast<uint32_t>(scene.corners.size());
    ASSERT_EQ(1, VertexWeldReset(&weld, capacity, static_cast<uint32_t>(scene.positions.size())));
    std::vector<ExportVertex> literal(capacity + 1);
    uint32_t literalCount = 0;
    for (size_t i = 0; i < scene.corners.size(); ++i) {
      uint32_t expected = LiteralWeldAdd(literal.data(), &literalCount, scene.corners[i]);
      uint32_t chained =
          VertexWeldAdd(&weld, scene.corners[i].hostVertex, scene.corners[i].position, scene.corners[i].texCoord);
      ASSERT_EQ(expected, chained) << "seed " << seed << " corner " << i;
    }
    ASSERT_EQ(literalCount, weld.count) << "seed " << seed;
    EXPECT_EQ(0, std::memcmp(literal.data(), weld.vertices, sizeof(ExportVertex) * literalCount)) << "seed " << seed;
  }
  EXPECT_EQ(0, VertexWeldReset(&weld, 3 * 400 + 1, 60));  // more than it was made for
  VertexWeldFree(&weld);
}

TEST(VertexWeld, FullTableAndFailedAllocation) {
  VertexWeld weld;
  ASSERT_EQ(1, VertexWeldCreate(&weld, 1, 2));
  ExportVertex a;
  std::memset(&a, 0, sizeof a);
  ExportVertex b = a;
  b.hostVertex = 1;
  EXPECT_EQ(0u, VertexWeldAdd(&weld, a.hostVertex, a.position, a.texCoord));
  EXPECT_EQ(0u, VertexWeldAdd(&weld, a.hostVertex, a.position, a.texCoord));
  EXPECT_EQ(kVertexWeldFull, VertexWeldAdd(&weld, b.hostVertex, b.position, b.texCoord));
  b.hostVertex = 2;  // not a host vertex the table was made for
  ASSERT_EQ(1, VertexWeldReset(&weld, 1, 2));
  EXPECT_EQ(kVertexWeldFull, VertexWeldAdd(&weld, b.hostVertex, b.position, b.texCoord));
  EXPECT_EQ(0u, weld.count);
  VertexWeldFree(&weld);
  VertexWeldFree(&weld);

  for (long nth : {1L, 2L, 3L, 4L}) {
    SetAllocationFailure(nth);
    EXPECT_EQ(0, VertexWeldCreate(&weld, 100, 10));
    SetAllocationFailure(0);
    EXPECT_EQ(nullptr, weld.vertices);
    EXPECT_EQ(nullptr, weld.first);
  }
  EXPECT_EQ(0, VertexWeldCreate(&weld, kVertexWeldMaxCapacity + 1, 1));
  ASSERT_EQ(1, VertexWeldCreate(&weld, 0, 1));
  EXPECT_EQ(kVertexWeldFull, VertexWeldAdd(&weld, a.hostVertex, a.position, a.texCoord));
  VertexWeldFree(&weld);
}
