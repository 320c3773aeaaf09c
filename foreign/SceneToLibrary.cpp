#include "SceneToLibrary.h"

#include <assimp/material.h>
#include <assimp/scene.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <unordered_map>

#include "images/MapImageLookup.h"
#include "scene/ImageTable.h"
#include "view/FaceRuns.h"
#include "view/SmoothingNormals.h"
#include "view/TextureMapping.h"

namespace {

// Moves owned pointers into an array the library's scene frees.
template <class T>
T** ArrayOf(std::vector<T*>& items, unsigned& count) {
    count = static_cast<unsigned>(items.size());
    if (items.empty()) return nullptr;
    T** array = new T*[items.size()];
    std::copy(items.begin(), items.end(), array);
    items.clear();
    return array;
}

// A unit normal: n made unit, else the face's normal, else up. A vertex whose faces cancel out
// and a face of no area have none of their own, and the formats want one of unit length.
aiVector3D UnitNormal(const aiVector3D& n, const SceneMesh& face) {
    for (const aiVector3D& candidate : {n, aiVector3D(face.nx, face.ny, face.nz)}) {
        const float length = candidate.Length();
        if (length > 1e-6f && std::isfinite(length)) return candidate / length;
    }
    return aiVector3D(0, 0, 1);
}

// The node a light or camera hangs from: the library places them by their node, named alike.
aiNode* NodeAt(const std::string& name, float x, float y, float z) {
    auto* node = new aiNode(name);
    node->mTransformation = aiMatrix4x4(1, 0, 0, x, 0, 1, 0, y, 0, 0, 1, z, 0, 0, 0, 1);
    return node;
}

aiColor3D ColorOf(const RGB8& c) {
    return aiColor3D(c.red / 255.0f, c.green / 255.0f, c.blue / 255.0f);
}

std::string Plural(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::vector<uint8_t> ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

class Converter {
public:
    Converter(const Scene& scene, const ExportFormat& format, const std::string& imageBase)
        : m_scene(scene), m_format(format), m_imageBase(imageBase), m_names(scene) {}

    LibraryScene Convert() {
        LibraryScene out;
        out.scene = std::make_unique<aiScene>();
        aiScene& s = *out.scene;
        s.mRootNode = new aiNode("Zemvora scene");
        // +Z up turned to +Y: (x, y, z) becomes (x, z, -y).
        if (m_format.upIsY)
            s.mRootNode->mTransformation =
                aiMatrix4x4(1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1);
        for (size_t i = 0; i < m_scene.m_materials.size(); ++i)
            m_materials.push_back(Material(m_scene.m_materials[i]));
        std::vector<aiNode*> children;
        for (const SceneObject& o : m_scene.m_objects)
            AddObject(o, children);
        // The library's glTF writer has no lights or cameras: they are added to its file after.
        const bool gltf = m_format.exporterId == "glb2" || m_format.exporterId == "gltf2";
        if (m_format.lights && !gltf) AddLights(s, children);
        if (m_format.cameras && !gltf) AddCameras(s, children);
        Note(m_scene.m_lights.size(), !m_format.lights, "light", "lights");
        Note(m_scene.m_cameras.size(), !m_format.cameras, "camera", "cameras");
        if (!m_format.materials && !m_scene.m_materials.empty())
            m_leftOut.push_back(Plural(m_scene.m_materials.size(), "material", "materials") +
                                " left out: " + m_format.name + " keeps none");
        // The library's exporters expect a material, even for a scene without one.
        if (m_materials.empty()) m_materials.push_back(DefaultMaterial());
        s.mMaterials = ArrayOf(m_materials, s.mNumMaterials);
        s.mMeshes = ArrayOf(m_meshes, s.mNumMeshes);
        s.mTextures = ArrayOf(m_textures, s.mNumTextures);
        s.mRootNode->mChildren = ArrayOf(children, s.mRootNode->mNumChildren);
        for (unsigned c = 0; c < s.mRootNode->mNumChildren; ++c)
            s.mRootNode->mChildren[c]->mParent = s.mRootNode;
        out.images = std::move(m_images);
        out.leftOut = std::move(m_leftOut);
        return out;
    }

private:
    void Note(size_t count, bool left, const char* one, const char* many) {
        if (count && left)
            m_leftOut.push_back(Plural(count, one, many) + " left out: " + m_format.name +
                                " keeps none");
    }

    aiMaterial* DefaultMaterial() {
        SceneMaterial grey;
        grey.name = "Default";
        grey.diffuse = grey.ambient = RGB8{128, 128, 128};
        grey.specular = RGB8{179, 179, 179};
        grey.shininess = 0.8f;
        grey.transparency = 1;
        return Material(grey);
    }

    aiMaterial* Material(const SceneMaterial& m) {
        auto* material = new aiMaterial;
        const aiString name(m.name);
        material->AddProperty(&name, AI_MATKEY_NAME);
        const aiColor3D diffuse = ColorOf(m.diffuse), ambient = ColorOf(m.ambient),
                        specular = ColorOf(m.specular);
        material->AddProperty(&diffuse, 1, AI_MATKEY_COLOR_DIFFUSE);
        material->AddProperty(&ambient, 1, AI_MATKEY_COLOR_AMBIENT);
        material->AddProperty(&specular, 1, AI_MATKEY_COLOR_SPECULAR);
        // Our shininess is OpenGL's exponent over 128.
        const float shininess = m.shininess * 128.0f;
        material->AddProperty(&shininess, 1, AI_MATKEY_SHININESS);
        const float opacity = m.transparency;
        material->AddProperty(&opacity, 1, AI_MATKEY_OPACITY);
        const int twoSided = 1;
        material->AddProperty(&twoSided, 1, AI_MATKEY_TWOSIDED);
        if (m.textureMap && m_format.materials) {
            const std::string image = ImageOf(*m.textureMap);
            if (!image.empty()) {
                const aiString path(image);
                material->AddProperty(&path, AI_MATKEY_TEXTURE_DIFFUSE(0));
            }
        }
        return material;
    }

    // The name the written file gives a map's image: "*N" for one held inside it, else the
    // image's file name beside it. Empty when the image is not found.
    std::string ImageOf(const TextureMap& map) {
        const SceneImage* embedded = EmbeddedImageOf(m_scene, map);
        std::vector<uint8_t> bytes = embedded ? embedded->bytes : std::vector<uint8_t>();
        std::string found;
        if (bytes.empty()) {
            const std::optional<std::string> path = FindMapImage(m_imageBase, map.fileName);
            if (!path) {
                m_leftOut.push_back("texture image " + FileNameOf(map.fileName) +
                                    " left out: not found beside the scene");
                return "";
            }
            found = *path;
        }
        if (!m_format.embedsImages) {
            if (found.empty()) {
                m_leftOut.push_back("texture image " + FileNameOf(map.fileName) +
                                    " left out: it is held inside the scene");
                return "";
            }
            const std::string name = FileNameOf(found);
            if (m_imageNames.emplace(name, found).second) m_images.emplace_back(found, name);
            return name;
        }
        // An image the scene holds is written once, however many maps show it.
        const std::string key =
            found.empty() ? "held image " + std::to_string(map.embeddedImage) : found;
        const auto known = m_embedded.find(key);
        if (known != m_embedded.end()) return known->second;
        if (bytes.empty()) bytes = ReadWhole(found);
        // glTF holds PNG and JPEG images only.
        const bool png = bytes.size() > 3 && bytes[0] == 0x89 && bytes[1] == 'P';
        const bool jpeg = bytes.size() > 3 && bytes[0] == 0xFF && bytes[1] == 0xD8;
        if (!png && !jpeg) {
            m_leftOut.push_back("texture image " + FileNameOf(map.fileName) +
                                " left out: " + m_format.name + " holds PNG and JPEG images only");
            return "";
        }
        auto* texture = new aiTexture;
        texture->mWidth = static_cast<unsigned>(bytes.size());
        texture->mHeight = 0;
        std::strncpy(texture->achFormatHint, png ? "png" : "jpg",
                     sizeof texture->achFormatHint - 1);
        // The library frees the bytes as texels.
        texture->pcData = new aiTexel[(bytes.size() + sizeof(aiTexel) - 1) / sizeof(aiTexel)];
        std::memcpy(texture->pcData, bytes.data(), bytes.size());
        const std::string name = "*" + std::to_string(m_textures.size());
        m_textures.push_back(texture);
        m_embedded.emplace(key, name);
        return name;
    }

    unsigned MaterialIndexOf(int32_t index) {
        if (index >= 0 && static_cast<size_t>(index) < m_scene.m_materials.size())
            return static_cast<unsigned>(index);
        if (m_default < 0) {
            m_default = static_cast<int>(m_materials.size());
            m_materials.push_back(DefaultMaterial());
        }
        return static_cast<unsigned>(m_default);
    }

    void AddObject(const SceneObject& o, std::vector<aiNode*>& children) {
        if (o.meshes.empty()) return;
        const std::vector<CornerNormal> corners =
            o.smooth ? SmoothingCornerNormals(o) : std::vector<CornerNormal>();
        // Each triangle's material, the object's unless a face group gives one.
        std::vector<int32_t> materialOf(o.meshes.size(), o.materialIndex);
        for (const FaceGroup& group : o.faceGroups)
            for (uint32_t face : group.faces)
                if (face < materialOf.size()) materialOf[face] = m_names.IndexOf(group.material);
        std::map<int32_t, std::vector<uint32_t>> byMaterial;
        std::vector<int32_t> order;
        for (uint32_t t = 0; t < o.meshes.size(); ++t) {
            auto& faces = byMaterial[materialOf[t]];
            if (faces.empty()) order.push_back(materialOf[t]);
            faces.push_back(t);
        }
        auto* node = new aiNode(o.name);
        std::vector<unsigned> meshIndices;
        for (int32_t material : order) {
            meshIndices.push_back(static_cast<unsigned>(m_meshes.size()));
            m_meshes.push_back(Mesh(o, byMaterial[material], material, corners));
        }
        const auto setMeshes = [&meshIndices](aiNode* n) {
            n->mNumMeshes = static_cast<unsigned>(meshIndices.size());
            n->mMeshes = new unsigned[meshIndices.size()];
            std::copy(meshIndices.begin(), meshIndices.end(), n->mMeshes);
        };
        setMeshes(node);
        children.push_back(node);
        for (const PlacedCopy& copy : o.copies) {
            auto* placed = new aiNode(copy.name);
            const Matrix4& m = copy.matrix;
            placed->mTransformation =
                aiMatrix4x4(m[0], m[4], m[8], m[12], m[1], m[5], m[9], m[13], m[2], m[6], m[10],
                            m[14], m[3], m[7], m[11], m[15]);
            setMeshes(placed);
            children.push_back(placed);
        }
    }

    aiMesh* Mesh(const SceneObject& o, const std::vector<uint32_t>& faces, int32_t material,
                 const std::vector<CornerNormal>& corners) {
        auto* mesh = new aiMesh;
        mesh->mName = o.name;
        mesh->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
        mesh->mMaterialIndex = MaterialIndexOf(material);
        const SceneMaterial* sceneMaterial =
            material >= 0 && static_cast<size_t>(material) < m_scene.m_materials.size()
                ? &m_scene.m_materials[static_cast<size_t>(material)]
                : nullptr;
        const bool uvs = !o.uvs.empty() && o.uvs.size() == o.vertices.size();
        std::array<float, 16> uvMatrix{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        if (sceneMaterial && sceneMaterial->textureMap)
            uvMatrix = TextureMatrix(*sceneMaterial->textureMap);
        // A corner is a vertex of its own where its normal is not its vertex's.
        const bool perCorner = !o.smooth || !corners.empty();
        // The mesh's vertex of each corner: one per object vertex, or, where a corner's normal
        // is its own, one per vertex and normal, found along a chain from the object vertex.
        constexpr unsigned kNone = UINT32_MAX;
        std::vector<unsigned> first(o.vertices.size(), kNone), next;
        std::vector<aiVector3D> points, normals, coords;
        mesh->mNumFaces = static_cast<unsigned>(faces.size());
        mesh->mFaces = new aiFace[faces.size()];
        for (size_t f = 0; f < faces.size(); ++f) {
            const SceneMesh& t = o.meshes[faces[f]];
            aiFace& face = mesh->mFaces[f];
            face.mNumIndices = 3;
            face.mIndices = new unsigned[3];
            const uint16_t vertices[3] = {t.a, t.b, t.c};
            for (int k = 0; k < 3; ++k) {
                const SceneVertex& v = o.vertices[vertices[k]];
                aiVector3D normal(v.nx, v.ny, v.nz);
                if (!o.smooth) {
                    normal = aiVector3D(t.nx, t.ny, t.nz);
                } else if (!corners.empty()) {
                    const CornerNormal& c = corners[3 * size_t{faces[f]} + k];
                    normal = aiVector3D(c.nx, c.ny, c.nz);
                }
                normal = UnitNormal(normal, t);
                unsigned at = first[vertices[k]];
                while (perCorner && at != kNone && normals[at] != normal)
                    at = next[at];
                if (at == kNone) {
                    at = static_cast<unsigned>(points.size());
                    next.push_back(first[vertices[k]]);
                    first[vertices[k]] = at;
                    points.emplace_back(v.x, v.y, v.z);
                    normals.push_back(normal);
                    if (uvs) {
                        const SceneUv& uv = o.uvs[vertices[k]];
                        coords.emplace_back(uvMatrix[0] * uv.u + uvMatrix[4] * uv.v + uvMatrix[12],
                                            uvMatrix[1] * uv.u + uvMatrix[5] * uv.v + uvMatrix[13],
                                            0.0f);
                    }
                }
                face.mIndices[k] = at;
            }
        }
        mesh->mNumVertices = static_cast<unsigned>(points.size());
        mesh->mVertices = new aiVector3D[points.size()];
        std::copy(points.begin(), points.end(), mesh->mVertices);
        mesh->mNormals = new aiVector3D[normals.size()];
        std::copy(normals.begin(), normals.end(), mesh->mNormals);
        if (uvs) {
            mesh->mTextureCoords[0] = new aiVector3D[coords.size()];
            std::copy(coords.begin(), coords.end(), mesh->mTextureCoords[0]);
            mesh->mNumUVComponents[0] = 2;
        }
        return mesh;
    }

    void AddLights(aiScene& s, std::vector<aiNode*>& children) {
        std::vector<aiLight*> lights;
        for (const SceneLight& l : m_scene.m_lights) {
            auto* light = new aiLight;
            light->mName = l.name;
            light->mType = aiLightSource_POINT;
            const aiColor3D color(l.color[0], l.color[1], l.color[2]);
            light->mColorDiffuse = light->mColorSpecular = color;
            light->mAttenuationConstant = 1;
            children.push_back(NodeAt(l.name, l.x, l.y, l.z));
            lights.push_back(light);
        }
        s.mLights = ArrayOf(lights, s.mNumLights);
    }

    void AddCameras(aiScene& s, std::vector<aiNode*>& children) {
        std::vector<aiCamera*> cameras;
        for (const SceneCamera& c : m_scene.m_cameras) {
            auto* camera = new aiCamera;
            camera->mName = c.name;
            camera->mPosition = aiVector3D(0, 0, 0);
            aiVector3D look(c.targetX - c.posX, c.targetY - c.posY, c.targetZ - c.posZ);
            camera->mLookAt = look.Length() > 0 ? look.Normalize() : aiVector3D(0, 1, 0);
            camera->mUp = aiVector3D(0, 0, 1);
            // The lens gives the vertical angle; the picture is square.
            const float fov = 2.0f * std::atan(20.0f / (c.lens > 0 ? c.lens : 50.0f));
            camera->mHorizontalFOV = fov / 2;
            camera->mAspect = 1;
            children.push_back(NodeAt(c.name, c.posX, c.posY, c.posZ));
            cameras.push_back(camera);
        }
        s.mCameras = ArrayOf(cameras, s.mNumCameras);
    }

    const Scene& m_scene;
    const ExportFormat& m_format;
    const std::string& m_imageBase;
    MaterialNames m_names;
    std::vector<aiMaterial*> m_materials;
    std::vector<aiMesh*> m_meshes;
    std::vector<aiTexture*> m_textures;
    int m_default = -1;
    std::map<std::string, std::string> m_imageNames;  // beside the file: its name, where found
    std::map<std::string, std::string> m_embedded;    // inside the file: where found, its name
    std::vector<std::pair<std::string, std::string>> m_images;
    std::vector<std::string> m_leftOut;
};

}  // namespace

LibraryScene SceneToLibrary(const Scene& scene, const ExportFormat& format,
                            const std::string& imageBase) {
    return Converter(scene, format, imageBase).Convert();
}
