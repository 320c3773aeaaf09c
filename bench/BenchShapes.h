// The kinds of triangle meshes the benchmark scene is made of, shaped like what modelling
// programs export: displaced terrain grids, smooth lathe surfaces with a texture seam, and
// faceted lathe surfaces whose bands each have their own vertices and a smoothing group other
// than their neighbours'. Each mesh is built around the origin; all jitter comes from the given
// seed, so output repeats.
#pragma once

#include <cstdint>
#include <vector>

struct BenchMesh {
    struct Point {
        float x, y, z;
    };
    struct Texel {
        float u, v;
    };
    struct Face {
        uint16_t a, b, c, flags;  // flags: the 3DS edge visibility bits
    };

    std::vector<Point> points;
    std::vector<Texel> texels;  // one per point
    std::vector<Face> faces;
    std::vector<uint32_t> smoothing;  // one group mask per face
};

// A (cols + 1) x (rows + 1) grid of welded vertices, size units square, lifted into hills.
BenchMesh DisplacedGrid(int cols, int rows, float size, uint32_t seed);

// A vase-like surface of revolution about z: (segments + 1) x (rings + 1) welded vertices, the
// first and last column doubled along the texture seam. One smoothing group.
BenchMesh SmoothLathe(int segments, int rings, float radius, float height, uint32_t seed);

// A column of bands, each band a ring of quads with its own 2 x (segments + 1) vertices and a
// smoothing group other than its neighbours' (the 32 groups repeat). With capped, one more vertex
// closes the top with a fan of segments triangles.
BenchMesh BandedLathe(int segments, int bands, float radius, float height, bool capped);

// Moves every point by (dx, dy, dz).
void Translate(BenchMesh& mesh, float dx, float dy, float dz);
