// Files crafted to make a reader spend far more time or memory than their size suggests, for the
// tests of the readers' bounds, the fuzz seeds and make_hostile_files. Each is small on disk and,
// read without bounds, takes gigabytes or minutes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scene/ByteOrder.h"
#include "scene/OutputStream.h"
#include "scene/SceneFile.h"
#include "tools/Chunk3ds.h"

namespace hostile {

// The 16 bytes before the editor chunk: the main chunk's header (its length set by Finish) and a
// version chunk, then the editor chunk's header.
inline void Begin3ds(ChunkWriter& w) {
    w.Open(chunk::kMain);
    w.Open(chunk::kVersion);
    w.U32(3);
    w.Close();
    w.Open(chunk::kEditor);
}

inline std::vector<uint8_t> Finish3ds(ChunkWriter& w) {
    w.Close();  // the editor chunk
    w.Close();  // the main chunk
    return w.Take();
}

// objectCount named objects whose mesh chunks claim to run to the end of the file, followed by
// one vertex list of vertexCount vertices: every mesh runs on through the objects after it and
// reads that same list. Each object takes 18 bytes (a 5-letter name), three chunk headers' worth,
// so that the meshes see the objects after them as whole chunk headers to enter.
inline std::vector<uint8_t> OverlappingMeshes(size_t objectCount, uint16_t vertexCount) {
    ChunkWriter w;
    w.Reserve(32 + objectCount * 18 + size_t{vertexCount} * 12);
    Begin3ds(w);
    for (size_t i = 0; i < objectCount; ++i) {
        // The named object's length covers its mesh header, so that the walk of the editor chunk
        // goes on to the next object.
        w.Open(chunk::kNamedObject);
        // A name without zero bytes whose last three make a small chunk length.
        w.Name(std::string(5, '\x01'));
        w.U16(chunk::kTriangleMesh);
        w.U32(0xFFFFFFFFu);
        w.Close();
    }
    w.Open(chunk::kVertexList);
    w.U16(vertexCount);
    for (uint16_t v = 0; v < vertexCount; ++v) {
        w.F32(static_cast<float>(v));
        w.F32(1.0f);
        w.F32(2.0f);
    }
    w.Close();
    return Finish3ds(w);
}

// One object whose mesh holds listCount vertex lists of one vertex each, then listCount face
// lists of one face each: appending each list by copying the ones before takes quadratic time.
inline std::vector<uint8_t> ManySmallLists(size_t listCount) {
    ChunkWriter w;
    w.Reserve(64 + listCount * 36);
    Begin3ds(w);
    w.Open(chunk::kNamedObject);
    w.Name("Lists");
    w.Open(chunk::kTriangleMesh);
    for (size_t i = 0; i < listCount; ++i) {
        w.Open(chunk::kVertexList);
        w.U16(1);
        w.F32(static_cast<float>(i % 1000));
        w.F32(static_cast<float>(i / 1000));
        w.F32(0.0f);
        w.Close();
    }
    for (size_t i = 0; i < listCount; ++i) {
        w.Open(chunk::kFaceList);
        w.U16(1);
        const uint16_t first = static_cast<uint16_t>(i % 65533);
        for (uint16_t corner : {first, uint16_t(first + 1), uint16_t(first + 2), uint16_t(7)})
            w.U16(corner);
        w.Close();
    }
    w.Close();
    w.Close();
    return Finish3ds(w);
}

// materialCount materials named "m", then one object whose mesh holds groupCount material groups
// naming "m": looking each group's material up by scanning all materials takes their product.
inline std::vector<uint8_t> ManyMaterialGroups(size_t materialCount, size_t groupCount) {
    ChunkWriter w;
    w.Reserve(64 + materialCount * 14 + groupCount * 10);
    Begin3ds(w);
    for (size_t i = 0; i < materialCount; ++i) {
        w.Open(chunk::kMaterial);
        w.Open(chunk::kMaterialName);
        w.Name("m");
        w.Close();
        w.Close();
    }
    w.Open(chunk::kNamedObject);
    w.Name("Groups");
    w.Open(chunk::kTriangleMesh);
    for (size_t i = 0; i < groupCount; ++i) {
        w.Open(chunk::kFaceMaterial);
        w.Name("m");
        w.U16(0);
        w.Close();
    }
    w.Close();
    w.Close();
    return Finish3ds(w);
}

// The start of a scene file whose list of material names claims 2^31 - 1 names; zero bytes up to
// the file's size make each of them an empty name. Only the start is returned: the rest are zero
// bytes, best made by extending the file (a sparse file on disk).
inline std::vector<uint8_t> EmptyNamesSceneStart() {
    std::vector<uint8_t> bytes;
    OutputStream out(bytes);
    WriteScene(out, Scene());
    // An empty scene ends with its five list counts: materials, names, lights, cameras, objects.
    bytes.resize(bytes.size() - 12);
    StoreU32(bytes.data() + bytes.size() - 4, 0x7FFFFFFFu);
    return bytes;
}

// The whole scene file of empty names, size bytes long.
inline std::vector<uint8_t> EmptyNamesScene(size_t size) {
    std::vector<uint8_t> bytes = EmptyNamesSceneStart();
    if (bytes.size() < size) bytes.resize(size, 0);
    return bytes;
}

}  // namespace hostile
