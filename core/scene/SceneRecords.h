// The plain records of a scene: objects with their vertices and triangles, materials, lights,
// cameras, the scene-wide settings and the statistics. Records carry no behaviour; the readers
// and editors keep their invariants (see Scene.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "scene/BulkMemory.h"
#include "scene/Matrix4.h"
#include "scene/UpAxis.h"

// A colour of three bytes, 0..255 each.
struct RGB8 {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    friend bool operator==(const RGB8& a, const RGB8& b) {
        return a.red == b.red && a.green == b.green && a.blue == b.blue;
    }
    friend bool operator!=(const RGB8& a, const RGB8& b) { return !(a == b); }
};

// One point of an object with its vertex normal (0, 0, 0 when the faces around it cancel out).
struct SceneVertex {
    float x = 0, y = 0, z = 0;
    float nx = 0, ny = 0, nz = 0;
};

// One triangle ("Mesh" in the user interface): corner indices into the owning object's
// vertices, the 3DS face flags (kept and saved only) and the unit face normal.
struct SceneMesh {
    uint16_t a = 0, b = 0, c = 0;
    uint16_t flags = 0;
    float nx = 0, ny = 0, nz = 0;
};

// One vertex's texture coordinates.
struct SceneUv {
    float u = 0, v = 0;
};

// An object's lists: the bulk of a scene's memory.
using VertexList = std::vector<SceneVertex, BulkAllocator<SceneVertex>>;
using MeshList = std::vector<SceneMesh, BulkAllocator<SceneMesh>>;
using UvList = std::vector<SceneUv, BulkAllocator<SceneUv>>;

// Triangles of an object drawn in a material of their own: the material's name and the
// triangles' indices into the object's meshes, each triangle in at most one group of its object.
struct FaceGroup {
    std::string material;
    std::vector<uint32_t> faces;
};

// A material's first texture map: the image's file name as the file gives it, and how the image
// lies on the faces. Tiling flags are the 3D Studio bits, kept as they are: 0x0001 decal, 0x0002
// mirror, 0x0010 no tiling, others as the file has them.
struct TextureMap {
    std::string fileName;   // never empty
    float strength = 1.0f;  // 0..1: how much of the image shows
    uint16_t tiling = 0;
    float uScale = 1.0f, vScale = 1.0f;
    float uOffset = 0.0f, vOffset = 0.0f;
    float rotation = 0.0f;  // degrees
    // The image the model held inside itself: an index into the scene's m_images. -1 when the
    // image is a file beside the scene file.
    int32_t embeddedImage = -1;
};

// What tells image files apart: their length and two 64-bit hashes of every byte.
struct ImageHash {
    uint64_t size = 0;
    uint64_t first = 0, second = 0;

    friend bool operator==(const ImageHash& a, const ImageHash& b) {
        return a.size == b.size && a.first == b.first && a.second == b.second;
    }
    friend bool operator<(const ImageHash& a, const ImageHash& b) {
        if (a.size != b.size) return a.size < b.size;
        return a.first != b.first ? a.first < b.first : a.second < b.second;
    }
};

// An image file (PNG, JPEG, ...) a model held inside itself, kept once in the scene however many
// maps show it.
struct SceneImage {
    std::vector<uint8_t> bytes;  // never empty
    ImageHash hash;              // of the bytes
};

struct SceneMaterial {
    RGB8 ambient;
    RGB8 diffuse;
    RGB8 specular;
    float shininess = 0;
    float transparency = 0;  // the alpha of all three colours: 1.0 is opaque
    std::string name;
    std::optional<TextureMap> textureMap;  // none: drawn in its colours only
};

struct SceneLight {
    float x = 0, y = 0, z = 0;
    float color[3] = {0, 0, 0};  // red, green, blue in 0..1: what the view lights with
    RGB8 color24;                // the same colour as bytes, where it is known
    int32_t on = 0;
    std::string name;
};

struct SceneCamera {
    float posX = 0, posY = 0, posZ = 0;
    float targetX = 0, targetY = 0, targetZ = 0;
    float lens = 0;
    float roll = 0;  // stored and saved only
    std::string name;
};

// A further placement of an object's mesh, as a 3D Studio keyframer places one: the object drawn
// again, in its own materials, under matrix. A copy is not a record of its own: it is neither
// listed nor edited.
struct PlacedCopy {
    std::string name;  // the keyframer node's instance name, else its own
    Matrix4 matrix{};  // where the copy's vertices are taken from the object's
};

// A number that names one state of an object's vertices, triangles, texture coordinates,
// smoothing masks, face groups and material. Every object made takes a new one, and so does every
// change to those: a cache made for an object knows it still fits by an equal revision, however
// the memory under the lists was reused. Never 0 and never given twice in a process.
uint64_t NewObjectRevision();

struct SceneObject {
    int32_t vertexCount = 0;  // equals vertices.size()
    int32_t meshCount = 0;    // equals meshes.size()
    int32_t smooth = 1;       // 1 smooth shading, 0 flat
    VertexList vertices;
    MeshList meshes;
    std::string name;
    std::string materialName = "Default";
    float maxX = 0, maxY = 0, maxZ = 0;
    float minX = 0, minY = 0, minZ = 0;
    float centerX = 0, centerY = 0, centerZ = 0;
    int32_t materialIndex = -1;  // -1: the view's built-in grey material
    std::string note;
    RGB8 noteColor;
    int32_t noteX = 0, noteY = 0;  // top-left of the label, view client pixels
    // Kept only when its faces use two or more materials; triangles in no group are drawn in
    // the object's material. Empty: the whole object is in its material.
    std::vector<FaceGroup> faceGroups;
    UvList uvs;  // one per vertex, or empty: no texture coordinates
    // One smoothing-group mask per triangle, or empty: the object has none. A triangle is
    // smoothed only with the triangles at each corner's vertex that share a bit of its mask;
    // with mask 0 it is flat.
    std::vector<uint32_t> smoothingGroups;
    std::vector<PlacedCopy> copies;  // drawn besides the object itself
    // Hidden by the user: not drawn, picked, framed or thumbnailed, still listed and edited.
    bool hidden = false;
    // Of what the caches are made from; a copy of the object keeps it, as it is the same state.
    uint64_t revision = NewObjectRevision();
};

// The fields of a Windows LOGFONT, kept exactly so that scene files keep them; the view turns
// them into a drawable font.
struct LogFont {
    static constexpr size_t kMaxFaceName = 31;

    int32_t lfHeight = 0;  // negative: character height in pixels
    int32_t lfWidth = 0;
    int32_t lfEscapement = 0;
    int32_t lfOrientation = 0;
    int32_t lfWeight = 0;  // 100..900, 700 bold
    uint8_t lfItalic = 0;
    uint8_t lfUnderline = 0;
    uint8_t lfStrikeOut = 0;
    uint8_t lfCharSet = 0;
    uint8_t lfOutPrecision = 0;
    uint8_t lfClipPrecision = 0;
    uint8_t lfQuality = 0;
    uint8_t lfPitchAndFamily = 0;
    std::string lfFaceName;  // at most kMaxFaceName bytes, no zero byte

    // The label font a new scene starts with.
    static LogFont DefaultLabelFont();

    friend bool operator==(const LogFont& a, const LogFont& b);
    friend bool operator!=(const LogFont& a, const LogFont& b) { return !(a == b); }
};

struct SceneStatistics {
    int32_t meshes = 0;
    int32_t vertices = 0;
    int32_t objects = 0;
    int32_t materials = 0;
    int32_t lights = 0;
    int32_t cameras = 0;
};

struct SceneSettings {
    int32_t currentObject = -1;  // index into the objects, -1 none
    int32_t currentCamera = -1;  // index into the cameras, -1 none
    RGB8 background{127, 127, 127};
    uint8_t reservedBytes[3] = {0, 0, 0};  // kept, saved and loaded only
    int32_t reservedWords[3] = {0, 0, 0};  // kept, saved and loaded only
    float maxX = 100.0f, minX = -100.0f;
    float maxY = 100.0f, minY = -100.0f;
    float maxZ = 100.0f, minZ = -100.0f;
    LogFont textFont = LogFont::DefaultLabelFont();
    float rotX = 0, rotY = 0, rotZ = 0;  // degrees
    float dragX = 0, dragY = 0;          // summed mouse drags, pixels
    // The model's axis the user stood up, for models whose format does not say which way is up:
    // the view turns the scene about its bounds' centre so that it points up. Kept in the
    // extension block, not in the settings' own bytes.
    UpAxis upAxis = UpAxis::PlusZ;
};
