// The byte layout of the scene file's bulk lists, vertices, triangles and texture coordinates, and
// the loops that move them: the reader and the writer share one definition of each record, so that
// they cannot drift apart. A large scene has millions of these records.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "scene/ByteOrder.h"
#include "scene/OutputStream.h"
#include "scene/SceneRecords.h"

// x, y, z, nx, ny, nz: six floats.
struct VertexLayout {
    using Record = SceneVertex;
    static constexpr size_t kSize = 24;

    static void Store(uint8_t* p, const SceneVertex& v) {
        StoreF32(p, v.x);
        StoreF32(p + 4, v.y);
        StoreF32(p + 8, v.z);
        StoreF32(p + 12, v.nx);
        StoreF32(p + 16, v.ny);
        StoreF32(p + 20, v.nz);
    }
    static SceneVertex Load(const uint8_t* p) {
        return SceneVertex{LoadF32(p),      LoadF32(p + 4),  LoadF32(p + 8),
                           LoadF32(p + 12), LoadF32(p + 16), LoadF32(p + 20)};
    }
};

// The corners a, b, c as 16-bit indices, the face normal nx, ny, nz as floats, then the flags.
struct TriangleLayout {
    using Record = SceneMesh;
    static constexpr size_t kSize = 20;

    static void Store(uint8_t* p, const SceneMesh& m) {
        StoreU16(p, m.a);
        StoreU16(p + 2, m.b);
        StoreU16(p + 4, m.c);
        StoreF32(p + 6, m.nx);
        StoreF32(p + 10, m.ny);
        StoreF32(p + 14, m.nz);
        StoreU16(p + 18, m.flags);
    }
    static SceneMesh Load(const uint8_t* p) {
        SceneMesh m;
        m.a = LoadU16(p);
        m.b = LoadU16(p + 2);
        m.c = LoadU16(p + 4);
        m.nx = LoadF32(p + 6);
        m.ny = LoadF32(p + 10);
        m.nz = LoadF32(p + 14);
        m.flags = LoadU16(p + 18);
        return m;
    }
};

// Writes the records in blocks of 2048 through a buffer on the stack: one stream write per
// block rather than one per field.
template <class Layout, class Records>
void WriteRecords(OutputStream& out, const Records& records) {
    constexpr size_t kBlock = 2048;
    uint8_t buffer[kBlock * Layout::kSize];
    for (size_t i = 0; i < records.size(); i += kBlock) {
        const size_t n = std::min(kBlock, records.size() - i);
        for (size_t k = 0; k < n; ++k)
            Layout::Store(buffer + k * Layout::kSize, records[i + k]);
        out.Write(buffer, n * Layout::kSize);
    }
}

// Decodes count records from bytes into out and returns how many keep accepted. A rejected
// record is overwritten by the next one, so the kept ones end up packed at the front in order,
// without a branch per record.
template <class Layout, class Keep>
size_t LoadRecords(const uint8_t* bytes, size_t count, typename Layout::Record* out, Keep keep) {
    size_t kept = 0;
    for (size_t i = 0; i < count; ++i, bytes += Layout::kSize) {
        out[kept] = Layout::Load(bytes);
        kept += static_cast<size_t>(keep(out[kept]));
    }
    return kept;
}

// u, v: two floats, in the extension block.
struct UvLayout {
    using Record = SceneUv;
    static constexpr size_t kSize = 8;

    static void Store(uint8_t* p, const SceneUv& t) {
        StoreF32(p, t.u);
        StoreF32(p + 4, t.v);
    }
    static SceneUv Load(const uint8_t* p) { return SceneUv{LoadF32(p), LoadF32(p + 4)}; }
};
