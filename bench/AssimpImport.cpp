// Assimp's 3DS loader computes vertex normals from the smoothing groups by itself and keeps
// three vertices per triangle; GenSmoothNormals then finds normals present and does nothing,
// and GenBoundingBoxes adds the per-mesh bounds that our reader computes too.
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <assimp/version.h>
#include <assimp/Importer.hpp>

#include "bench/OtherImporters.h"

namespace {
constexpr unsigned kFlags = aiProcess_GenSmoothNormals | aiProcess_GenBoundingBoxes;
}

bool ImportWithAssimp(const std::string& path, ChildNumbers& numbers) {
    // Left allocated on purpose, see OtherImporters.h.
    Assimp::Importer* importer = new Assimp::Importer;
    const aiScene* scene = importer->ReadFile(path, kFlags);
    if (!scene) return false;
    int64_t vertices = 0, triangles = 0;
    for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
        vertices += scene->mMeshes[i]->mNumVertices;
        triangles += scene->mMeshes[i]->mNumFaces;
    }
    numbers[0] = scene->mNumMeshes;
    numbers[1] = vertices;
    numbers[2] = triangles;
    return true;
}

std::string AssimpFlagsText() {
    return "aiProcess_GenSmoothNormals | aiProcess_GenBoundingBoxes";
}

std::string AssimpVersionText() {
    return std::to_string(aiGetVersionMajor()) + "." + std::to_string(aiGetVersionMinor()) + "." +
           std::to_string(aiGetVersionPatch());
}
