#include "ConvertScene.h"

#include <assimp/material.h>
#include <assimp/scene.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <utility>

#include "MeshObjects.h"
#include "formats/FileFormats.h"
#include "import3ds/SceneGeometry.h"
#include "scene/ImageTable.h"

namespace {

uint8_t Byte(float value) {
    if (!(value > 0.0f)) return 0;
    if (value >= 1.0f) return 255;
    return static_cast<uint8_t>(std::lround(value * 255.0f));
}

RGB8 Rgb(const aiColor4D& c) {
    return RGB8{Byte(c.r), Byte(c.g), Byte(c.b)};
}

float Clamp01(float value) {
    return value > 0.0f ? std::min(value, 1.0f) : 0.0f;
}

// The image file an embedded texture holds, when it holds one (a PNG, JPEG, ... as the library
// keeps it: mHeight 0 and mWidth bytes) within the bounds; empty otherwise, as for raw texels.
std::vector<uint8_t> EmbeddedImageBytes(const aiTexture* texture, uint64_t& total) {
    if (!texture || texture->mHeight != 0 || !texture->pcData || texture->mWidth == 0) return {};
    const uint64_t bytes = texture->mWidth;
    if (bytes > kMaxEmbeddedImageBytes || total + bytes > kMaxEmbeddedImagesBytes) return {};
    total += bytes;
    const auto* data = reinterpret_cast<const uint8_t*>(texture->pcData);
    return std::vector<uint8_t>(data, data + bytes);
}

struct Counts {
    uint64_t points = 0, lines = 0, badFaces = 0;
};

void MergeNodeMeshes(const aiScene& source, const aiNode& node, const aiMatrix4x4& chain, UpAxis up,
                     bool modelNormals, MergedMesh& merged, Counts& counts) {
    const aiMatrix4x4 global = TurnToZ(up) * chain;
    bool anyUvs = false, anyNormals = false;
    for (unsigned m = 0; m < node.mNumMeshes; ++m) {
        const unsigned index = node.mMeshes[m];
        if (index >= source.mNumMeshes) continue;
        if (source.mMeshes[index]->mTextureCoords[0]) anyUvs = true;
        if (source.mMeshes[index]->mNormals && modelNormals) anyNormals = true;
    }
    // Normals turn by the inverse transpose, which keeps them across a stretched face.
    const aiMatrix3x3 normalTurn = aiMatrix3x3(global).Inverse().Transpose();
    // A mirroring transform turns the faces inside out unless their corners turn too.
    const bool mirrored = global.Determinant() < 0;
    for (unsigned m = 0; m < node.mNumMeshes; ++m) {
        const unsigned index = node.mMeshes[m];
        if (index >= source.mNumMeshes) continue;
        const aiMesh& mesh = *source.mMeshes[index];
        const uint32_t base = static_cast<uint32_t>(merged.points.size());
        merged.corners.reserve(merged.corners.size() + 3 * size_t{mesh.mNumFaces});
        merged.materials.reserve(merged.materials.size() + mesh.mNumFaces);
        bool hasTriangles = false;
        for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
            const aiFace& face = mesh.mFaces[f];
            if (face.mNumIndices == 1) {
                ++counts.points;
                continue;
            }
            if (face.mNumIndices == 2) {
                ++counts.lines;
                continue;
            }
            if (face.mNumIndices != 3 || face.mIndices[0] >= mesh.mNumVertices ||
                face.mIndices[1] >= mesh.mNumVertices || face.mIndices[2] >= mesh.mNumVertices) {
                ++counts.badFaces;
                continue;
            }
            hasTriangles = true;
            merged.corners.push_back(base + face.mIndices[0]);
            merged.corners.push_back(base + face.mIndices[mirrored ? 2 : 1]);
            merged.corners.push_back(base + face.mIndices[mirrored ? 1 : 2]);
            merged.materials.push_back(mesh.mMaterialIndex);
        }
        if (!hasTriangles) continue;
        for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
            const aiVector3D p = PlacedPoint(chain, up, mesh.mVertices[v]);
            merged.points.push_back({p.x, p.y, p.z});
        }
        for (unsigned v = 0; anyNormals && v < mesh.mNumVertices; ++v) {
            const aiVector3D n = mesh.mNormals ? normalTurn * mesh.mNormals[v] : aiVector3D();
            merged.normals.push_back({n.x, n.y, n.z});
        }
        if (!anyUvs) continue;
        for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
            const aiVector3D* uv = mesh.mTextureCoords[0];
            merged.uvs.push_back(uv ? SceneUv{uv[v].x, uv[v].y} : SceneUv{});
        }
    }
}

void ConvertNodes(const aiScene& source, UpAxis up, bool modelNormals, Scene& scene,
                  std::vector<std::string>& report) {
    Counts counts;
    UniqueNames names;
    // Depth first, children in their order: the file's order. A stack, not recursion, so that a
    // deep hierarchy cannot run out of stack.
    std::vector<std::pair<const aiNode*, aiMatrix4x4>> stack;
    if (source.mRootNode) stack.emplace_back(source.mRootNode, aiMatrix4x4());
    while (!stack.empty()) {
        auto [node, parent] = stack.back();
        stack.pop_back();
        const aiMatrix4x4 chain = parent * node->mTransformation;
        if (node->mNumMeshes > 0) {
            MergedMesh merged;
            MergeNodeMeshes(source, *node, chain, up, modelNormals, merged, counts);
            std::string name = node->mName.C_Str();
            if (name.empty() && node->mMeshes[0] < source.mNumMeshes)
                name = source.mMeshes[node->mMeshes[0]]->mName.C_Str();
            if (!merged.materials.empty())
                AddObjects(merged,
                           names.Take(name, "Object " + std::to_string(scene.m_objects.size() + 1)),
                           scene, report);
        }
        for (unsigned c = node->mNumChildren; c-- > 0;)
            if (node->mChildren[c]) stack.emplace_back(node->mChildren[c], chain);
    }
    if (counts.points) report.push_back(std::to_string(counts.points) + " points dropped");
    if (counts.lines) report.push_back(std::to_string(counts.lines) + " lines dropped");
    if (counts.badFaces)
        report.push_back(std::to_string(counts.badFaces) +
                         " faces with a corner outside their mesh dropped");
}

// A node's transform from the root, with the turn to +Z; the turn alone when no node has the name.
aiMatrix4x4 GlobalOf(const aiScene& source, const aiString& name, const aiMatrix4x4& turn) {
    const aiNode* node = source.mRootNode ? source.mRootNode->FindNode(name) : nullptr;
    aiMatrix4x4 global;
    for (; node; node = node->mParent)
        global = node->mTransformation * global;
    return turn * global;
}

struct Sphere {
    aiVector3D center;
    float radius = 100.0f;
};

Sphere SceneSphere(const Scene& scene) {
    Sphere sphere;
    if (scene.m_objects.empty()) return sphere;
    const SceneSettings& s = scene.m_settings;
    sphere.center = aiVector3D((s.minX + s.maxX) / 2, (s.minY + s.maxY) / 2, (s.minZ + s.maxZ) / 2);
    sphere.radius =
        std::max(aiVector3D(s.maxX - s.minX, s.maxY - s.minY, s.maxZ - s.minZ).Length() / 2, 1.0f);
    return sphere;
}

void ConvertLights(const aiScene& source, const aiMatrix4x4& turn, Scene& scene,
                   std::vector<std::string>& report) {
    const Sphere sphere = SceneSphere(scene);
    int dropped = 0;
    for (unsigned i = 0; i < source.mNumLights; ++i) {
        const aiLight& from = *source.mLights[i];
        const aiMatrix4x4 global = GlobalOf(source, from.mName, turn);
        SceneLight light;
        light.name = from.mName.C_Str();
        aiVector3D position;
        if (from.mType == aiLightSource_POINT || from.mType == aiLightSource_SPOT) {
            position = global * from.mPosition;
        } else if (from.mType == aiLightSource_DIRECTIONAL) {
            // Our lights shine from their position towards the origin: far out against the
            // direction the light travels.
            aiVector3D direction = aiMatrix3x3(global) * from.mDirection;
            if (direction.Length() == 0) direction = aiVector3D(0, 0, -1);
            position = sphere.center - direction.Normalize() * (2 * sphere.radius);
        } else {
            ++dropped;
            continue;
        }
        light.x = position.x, light.y = position.y, light.z = position.z;
        // Intensities above 1 (glTF's) keep their hue at the brightest the records hold.
        const aiColor3D& c = from.mColorDiffuse;
        const float top = std::max({c.r, c.g, c.b, 1.0f});
        const float rgb[3] = {Clamp01(c.r / top), Clamp01(c.g / top), Clamp01(c.b / top)};
        for (int k = 0; k < 3; ++k)
            light.color[k] = rgb[k];
        light.color24 = RGB8{Byte(rgb[0]), Byte(rgb[1]), Byte(rgb[2])};
        light.on = 1;
        scene.m_lights.push_back(std::move(light));
    }
    if (dropped) report.push_back(std::to_string(dropped) + " ambient or area light(s) dropped");
}

void ConvertCameras(const aiScene& source, const aiMatrix4x4& turn, Scene& scene) {
    const Sphere sphere = SceneSphere(scene);
    for (unsigned i = 0; i < source.mNumCameras; ++i) {
        const aiCamera& from = *source.mCameras[i];
        scene.m_cameras.push_back(
            ConvertCamera(from.mName.C_Str(), GlobalOf(source, from.mName, turn), from.mPosition,
                          from.mLookAt, from.mHorizontalFOV, from.mAspect, sphere.center));
    }
}

}  // namespace

SceneCamera ConvertCamera(const std::string& name, const aiMatrix4x4& global,
                          const aiVector3D& position, const aiVector3D& lookAt, float horizontalFov,
                          float aspect, const aiVector3D& center) {
    constexpr float kDegree = 0.017453293f;
    SceneCamera camera;
    camera.name = name;
    const aiVector3D eye = global * position;
    aiVector3D look = aiMatrix3x3(global) * lookAt;
    if (look.Length() == 0) look = aiVector3D(0, 0, -1);
    const float distance = std::max((center - eye).Length(), 1.0f);
    const aiVector3D target = eye + look.Normalize() * distance;
    camera.posX = eye.x, camera.posY = eye.y, camera.posZ = eye.z;
    camera.targetX = target.x, camera.targetY = target.y, camera.targetZ = target.z;
    // The library's readers of COLLADA, FBX and glTF give the whole horizontal angle (its
    // documentation says half); the lens is what gives the vertical one, as the view's field of
    // view is 2 atan(20 / lens).
    float half = horizontalFov / 2;
    if (aspect > 0) half = std::atan(std::tan(half) / aspect);
    half = std::clamp(std::isfinite(half) ? half : 0.0f, 0.5f * kDegree, 85.0f * kDegree);
    camera.lens = 20.0f / std::tan(half);
    return camera;
}

void ConvertMaterials(const aiScene& source, Scene& scene, std::vector<std::string>& report) {
    UniqueNames names;
    int embedded = 0;
    uint64_t embeddedBytes = 0;
    for (unsigned i = 0; i < source.mNumMaterials; ++i) {
        const aiMaterial* from = source.mMaterials[i];
        SceneMaterial material;
        aiString name;
        if (from) from->Get(AI_MATKEY_NAME, name);
        material.name = names.Take(name.C_Str(), "Material " + std::to_string(i + 1));
        material.transparency = 1.0f;
        material.diffuse = RGB8{153, 153, 153};
        if (from) {
            aiColor4D color;
            if (from->Get(AI_MATKEY_COLOR_DIFFUSE, color) == AI_SUCCESS)
                material.diffuse = Rgb(color);
            // A file without an ambient colour (glTF) is lit as its diffuse colour.
            material.ambient = from->Get(AI_MATKEY_COLOR_AMBIENT, color) == AI_SUCCESS
                                   ? Rgb(color)
                                   : material.diffuse;
            if (from->Get(AI_MATKEY_COLOR_SPECULAR, color) == AI_SUCCESS)
                material.specular = Rgb(color);
            float value = 0;
            // The Phong exponent, 0 to OpenGL's 128, as the record's 0..1.
            if (from->Get(AI_MATKEY_SHININESS, value) == AI_SUCCESS)
                material.shininess = Clamp01(value / 128.0f);
            if (from->Get(AI_MATKEY_OPACITY, value) == AI_SUCCESS)
                material.transparency = Clamp01(value);

            aiString file;
            aiTextureMapMode modes[2] = {aiTextureMapMode_Wrap, aiTextureMapMode_Wrap};
            bool found = from->GetTexture(aiTextureType_DIFFUSE, 0, &file, nullptr, nullptr,
                                          nullptr, nullptr, modes) == AI_SUCCESS;
            if (!found)
                found = from->GetTexture(aiTextureType_BASE_COLOR, 0, &file, nullptr, nullptr,
                                         nullptr, nullptr, modes) == AI_SUCCESS;
            const aiTexture* inside =
                found && file.length > 0 ? source.GetEmbeddedTexture(file.C_Str()) : nullptr;
            std::vector<uint8_t> image = EmbeddedImageBytes(inside, embeddedBytes);
            // A name of an image inside the file ("*0") names nothing beside it; a file name
            // whose embedded copy cannot be taken is still looked for beside the file.
            if (image.empty() && file.length > 0 && file.C_Str()[0] == '*') {
                ++embedded;
            } else if (found && file.length > 0) {
                TextureMap map;
                map.fileName = file.C_Str();
                if (!image.empty()) map.embeddedImage = AddSceneImage(scene, std::move(image));
                if (modes[0] == aiTextureMapMode_Clamp || modes[0] == aiTextureMapMode_Decal)
                    map.tiling = 0x10;
                else if (modes[0] == aiTextureMapMode_Mirror) {
                    // Mirrored tiling as 3D Studio knew it fits the image twice per unit; these
                    // formats mirror at every unit.
                    map.tiling = 0x02;
                    map.uScale = map.vScale = 0.5f;
                }
                material.textureMap = std::move(map);
            }
        }
        scene.m_materialNames.push_back(material.name);
        scene.m_materials.push_back(std::move(material));
    }
    if (embedded > 0)
        report.push_back(std::to_string(embedded) +
                         " texture image(s) stored inside the file passed over (not an image "
                         "file, or too large); those materials are drawn in their colours");
}

UpAxis UpAxisOf(const aiScene& scene, const std::string& path) {
    // By the format the file holds, whatever its name, as the program's own readers take it.
    const FileFormat* format = FormatOfFile(path);
    const std::string kind = format ? format->name : "";
    if (kind == "STL" || kind == "Stanford PLY" || kind == "Object File Format" ||
        kind == "3D Manufacturing Format")
        return UpAxis::PlusZ;
    if (kind == "Autodesk FBX" && scene.mMetaData) {
        int32_t axis = 1, sign = 1;
        scene.mMetaData->Get("UpAxis", axis);
        scene.mMetaData->Get("UpAxisSign", sign);
        const bool plus = sign >= 0;
        if (axis == 0) return plus ? UpAxis::PlusX : UpAxis::MinusX;
        if (axis == 2) return plus ? UpAxis::PlusZ : UpAxis::MinusZ;
        return plus ? UpAxis::PlusY : UpAxis::MinusY;
    }
    return UpAxis::PlusY;
}

aiMatrix4x4 TurnToZ(UpAxis up) {
    // The library's matrices go row by row, OpenGL's column by column.
    const std::array<float, 16> m = UprightMatrix(up, {0, 0, 0});
    return aiMatrix4x4(m[0], m[4], m[8], m[12], m[1], m[5], m[9], m[13], m[2], m[6], m[10], m[14],
                       m[3], m[7], m[11], m[15]);
}

aiVector3D PlacedPoint(const aiMatrix4x4& chain, UpAxis up, const aiVector3D& point) {
    const aiVector3D p = chain == aiMatrix4x4() ? point : chain * point;
    const std::array<float, 3> q = TurnedUpright(up, std::array<float, 3>{p.x, p.y, p.z});
    return aiVector3D(q[0], q[1], q[2]);
}

bool KeepsModelNormals(const std::string& path) {
    const FileFormat* format = FormatOfFile(path);
    return !format || format->name != "STL";
}

void ConvertScene(const aiScene& source, UpAxis up, bool modelNormals, Scene& scene,
                  std::vector<std::string>& report) {
    const aiMatrix4x4 turn = TurnToZ(up);
    ConvertMaterials(source, scene, report);
    ConvertNodes(source, up, modelNormals, scene, report);
    ComputeSceneBounds(scene);
    ConvertLights(source, turn, scene, report);
    ConvertCameras(source, turn, scene);
    scene.CountScene();
}
