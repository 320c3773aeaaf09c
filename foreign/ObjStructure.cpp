#include "ObjStructure.h"

#include <assimp/DefaultIOSystem.h>
#include <assimp/MemoryIOWrapper.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#include <utility>

#include "ConvertScene.h"

namespace {

// The file system, except that the model's own path gives the skeleton; without libraries, no
// other file.
class SkeletonFiles final : public Assimp::DefaultIOSystem {
public:
    SkeletonFiles(std::string path, const std::string& text, bool libraries)
        : m_path(std::move(path)), m_text(text), m_libraries(libraries) {}
    bool Exists(const char* file) const override {
        return m_path == file || (m_libraries && Assimp::DefaultIOSystem::Exists(file));
    }
    Assimp::IOStream* Open(const char* file, const char* mode) override {
        if (m_path == file)
            return new Assimp::MemoryIOStream(reinterpret_cast<const uint8_t*>(m_text.data()),
                                              m_text.size(), false);
        return m_libraries ? Assimp::DefaultIOSystem::Open(file, mode) : nullptr;
    }

private:
    std::string m_path;
    const std::string& m_text;
    bool m_libraries;
};

// The run a skeleton mesh's face stands for: the x of the vertex it names, or UINT32_MAX.
uint32_t RunOf(const aiMesh& mesh, const aiFace& face, uint32_t runs) {
    if (face.mNumIndices == 0 || face.mIndices[0] >= mesh.mNumVertices) return UINT32_MAX;
    const float x = mesh.mVertices[face.mIndices[0]].x;
    if (!(x >= 1.0f && x <= static_cast<float>(runs))) return UINT32_MAX;
    const uint32_t run = static_cast<uint32_t>(x);
    return static_cast<float>(run) == x ? run - 1 : UINT32_MAX;
}

bool TakeNodes(const aiScene& source, uint32_t runs, std::vector<ObjNode>& nodes) {
    std::vector<bool> seen(runs, false);
    // Depth first, children in their order, as every other file's nodes are taken.
    std::vector<const aiNode*> stack;
    if (source.mRootNode) stack.push_back(source.mRootNode);
    while (!stack.empty()) {
        const aiNode* node = stack.back();
        stack.pop_back();
        if (!node->mTransformation.IsIdentity()) return false;
        if (node->mNumMeshes > 0) {
            ObjNode taken;
            taken.name = node->mName.C_Str();
            for (unsigned m = 0; m < node->mNumMeshes; ++m) {
                if (node->mMeshes[m] >= source.mNumMeshes) return false;
                const aiMesh& mesh = *source.mMeshes[node->mMeshes[m]];
                if (m == 0 && taken.name.empty()) taken.name = mesh.mName.C_Str();
                ObjMeshRuns meshRuns;
                meshRuns.material = mesh.mMaterialIndex;
                for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
                    const uint32_t run = RunOf(mesh, mesh.mFaces[f], runs);
                    if (run == UINT32_MAX || seen[run]) return false;
                    seen[run] = true;
                    meshRuns.runs.push_back(run);
                }
                taken.meshes.push_back(std::move(meshRuns));
            }
            nodes.push_back(std::move(taken));
        }
        for (unsigned c = node->mNumChildren; c-- > 0;)
            if (node->mChildren[c]) stack.push_back(node->mChildren[c]);
    }
    for (bool s : seen)
        if (!s) return false;
    return true;
}

}  // namespace

void ObjSkeleton::Statement(const char* line, size_t length) {
    m_statements.append(line, length);
    m_statements += '\n';
}

bool ObjSkeleton::StartRun() {
    // Each run is told by a whole number the library keeps exactly in a float.
    if (m_runs >= (1u << 24) - 1) return false;
    ++m_runs;
    m_statements += "f " + std::to_string(m_runs) + ' ' + std::to_string(m_runs) + ' ' +
                    std::to_string(m_runs) + '\n';
    return true;
}

std::string ObjSkeleton::Text() const {
    // A comment first: the library refuses a file shorter than 16 bytes.
    std::string text = "# the statements of a model without its numbers\n";
    for (uint32_t run = 1; run <= m_runs; ++run)
        text += "v " + std::to_string(run) + " 0 0\n";
    return text + m_statements;
}

bool ReadObjStructure(const std::string& path, bool libraries, const ObjSkeleton& skeleton,
                      Scene& scene, std::vector<ObjNode>& nodes, std::vector<std::string>& report,
                      std::string& why) {
    const std::string text = skeleton.Text();
    Assimp::Importer importer;
    importer.SetIOHandler(new SkeletonFiles(path, text, libraries));  // the importer owns it
    const aiScene* source = importer.ReadFile(path, 0);
    if (!source) {
        why = std::string("the library did not read its statements: ") + importer.GetErrorString();
        return false;
    }
    if (!TakeNodes(*source, skeleton.Runs(), nodes)) {
        why = "the library's objects do not hold each run of faces once";
        return false;
    }
    ConvertMaterials(*source, scene, report);
    return true;
}
