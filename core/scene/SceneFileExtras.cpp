#include "scene/SceneFileExtras.h"

#include <cstring>
#include <utility>
#include <vector>

#include "scene/ArchiveString.h"
#include "scene/SceneFileLayout.h"

namespace {

constexpr uint8_t kMagic[4] = {'Z', 'M', 'V', 'X'};
constexpr uint16_t kVersion = 1;
constexpr uint16_t kObjectSection = 1;
constexpr uint16_t kMaterialSection = 2;
constexpr uint16_t kImageSection = 3;
constexpr uint64_t kSectionHeader = 2 + 8;
// Strength, tiling, U and V scale, U and V offset, rotation.
constexpr uint64_t kMapValueBytes = 4 + 2 + 5 * 4;

// The bytes WriteArchiveString gives a string.
uint64_t StringBytes(const std::string& s) {
    const uint64_t n = s.size();
    return n + (n < 0xFF ? 1 : n < 0xFFFE ? 3 : 7);
}

bool HasObjectExtras(const SceneObject& o) {
    return !o.faceGroups.empty() || !o.uvs.empty();
}

uint64_t ObjectEntryBytes(const SceneObject& o) {
    uint64_t bytes = 4 + 4 + 4 + UvLayout::kSize * uint64_t{o.uvs.size()};
    for (const FaceGroup& g : o.faceGroups)
        bytes += StringBytes(g.material) + 4 + 4 * uint64_t{g.faces.size()};
    return bytes;
}

uint64_t MaterialEntryBytes(const SceneMaterial& m) {
    return 4 + StringBytes(m.textureMap->fileName) + kMapValueBytes;
}

bool HasEmbeddedImage(const SceneMaterial& m) {
    return m.textureMap && !m.textureMap->embeddedImage.empty();
}

uint64_t ImageEntryBytes(const SceneMaterial& m) {
    return 4 + 8 + uint64_t{m.textureMap->embeddedImage.size()};
}

void WriteU64(OutputStream& out, uint64_t v) {
    out.WriteU32(static_cast<uint32_t>(v));
    out.WriteU32(static_cast<uint32_t>(v >> 32));
}

// The entries of one section: those list items that keep extras, each with its index.
template <class List, class Has, class Bytes>
uint64_t SectionBytes(const List& list, Has has, Bytes bytes, uint32_t& count) {
    uint64_t total = 4;
    count = 0;
    for (const auto& item : list) {
        if (!has(item)) continue;
        ++count;
        total += bytes(item);
    }
    return total;
}

void WriteObjectEntry(OutputStream& out, const SceneObject& o) {
    out.WriteU32(static_cast<uint32_t>(o.faceGroups.size()));
    for (const FaceGroup& g : o.faceGroups) {
        WriteArchiveString(out, g.material);
        out.WriteU32(static_cast<uint32_t>(g.faces.size()));
        for (uint32_t face : g.faces)
            out.WriteU32(face);
    }
    out.WriteU32(static_cast<uint32_t>(o.uvs.size()));
    WriteRecords<UvLayout>(out, o.uvs);
}

void WriteMaterialEntry(OutputStream& out, const SceneMaterial& m) {
    const TextureMap& map = *m.textureMap;
    WriteArchiveString(out, map.fileName);
    out.WriteF32(map.strength);
    out.WriteU16(map.tiling);
    for (float v : {map.uScale, map.vScale, map.uOffset, map.vOffset, map.rotation})
        out.WriteF32(v);
}

// Every read below goes through this: the first item the block cannot hold, or that breaks a
// rule of the scene, makes the whole block damaged.
struct Damaged {};

class BlockReader {
public:
    BlockReader(InputStream& in, ReadBudget& budget) : m_in(in), m_budget(budget) {}

    void Keep(uint64_t bytes) {
        if (!m_budget.Keep(bytes)) throw Damaged{};
    }
    uint16_t U16() {
        uint16_t v;
        if (!m_in.ReadU16(v)) throw Damaged{};
        return v;
    }
    uint32_t U32() {
        uint32_t v;
        if (!m_in.ReadU32(v)) throw Damaged{};
        return v;
    }
    uint64_t U64() {
        const uint64_t low = U32();
        return low | (uint64_t{U32()} << 32);
    }
    float F32() {
        float v;
        if (!m_in.ReadF32(v)) throw Damaged{};
        return v;
    }
    std::string Str() {
        std::string s;
        if (!ReadArchiveString(m_in, s)) throw Damaged{};
        Keep(ReadBudget::HeapBytes(s));
        return s;
    }
    // The next n bytes in place, n checked against what remains.
    const uint8_t* Span(uint64_t n) {
        const uint8_t* bytes;
        if (n > m_in.Remaining() || !m_in.ReadSpan(static_cast<size_t>(n), bytes)) throw Damaged{};
        return bytes;
    }
    // A count of items of itemSize bytes that the rest must hold.
    uint32_t HeldCount(size_t itemSize) {
        const uint32_t n = U32();
        if (uint64_t{n} * itemSize > m_in.Remaining()) throw Damaged{};
        return n;
    }
    void ExpectEnd() const {
        if (m_in.Remaining() != 0) throw Damaged{};
    }
    ReadBudget& Budget() { return m_budget; }

private:
    InputStream& m_in;
    ReadBudget& m_budget;
};

struct ObjectExtras {
    size_t index = 0;
    std::vector<FaceGroup> faceGroups;
    UvList uvs;
};

struct MaterialExtras {
    size_t index = 0;
    TextureMap map;
};

struct ImageExtras {
    size_t index = 0;
    std::vector<uint8_t> bytes;
};

// An entry's index: each above the one before and within the list.
size_t NextIndex(BlockReader& r, size_t listSize, bool first, size_t previous) {
    const uint32_t index = r.U32();
    if (index >= listSize || (!first && index <= previous)) throw Damaged{};
    return index;
}

ObjectExtras ReadObjectEntry(BlockReader& r, const SceneObject& o, size_t index) {
    ObjectExtras e;
    e.index = index;
    const size_t faceCount = o.meshes.size();
    std::vector<bool> grouped;
    // Each group takes at least a name's byte and a count.
    const uint32_t groupCount = r.HeldCount(1 + 4);
    if (groupCount != 0) {
        r.Keep(faceCount / 8 + 1);
        grouped.resize(faceCount);
    }
    for (uint32_t g = 0; g < groupCount; ++g) {
        FaceGroup group;
        group.material = r.Str();
        const uint32_t n = r.HeldCount(4);
        if (n == 0) throw Damaged{};
        r.Keep(sizeof(FaceGroup) + 4 * uint64_t{n});
        const uint8_t* p = r.Span(4 * uint64_t{n});
        group.faces.resize(n);
        for (uint32_t i = 0; i < n; ++i) {
            const uint32_t face = LoadU32(p + 4 * i);
            if (face >= faceCount || grouped[face]) throw Damaged{};
            grouped[face] = true;
            group.faces[i] = face;
        }
        e.faceGroups.push_back(std::move(group));
    }
    const uint32_t uvCount = r.HeldCount(UvLayout::kSize);
    if (uvCount != 0 && uvCount != o.vertices.size()) throw Damaged{};
    r.Keep(sizeof(SceneUv) * uint64_t{uvCount});
    e.uvs.resize(uvCount);
    LoadRecords<UvLayout>(r.Span(UvLayout::kSize * uint64_t{uvCount}), uvCount, e.uvs.data(),
                          [](const SceneUv&) { return true; });
    return e;
}

MaterialExtras ReadMaterialEntry(BlockReader& r, size_t index) {
    MaterialExtras e;
    e.index = index;
    e.map.fileName = r.Str();
    if (e.map.fileName.empty()) throw Damaged{};
    e.map.strength = r.F32();
    e.map.tiling = r.U16();
    for (float* v : {&e.map.uScale, &e.map.vScale, &e.map.uOffset, &e.map.vOffset, &e.map.rotation})
        *v = r.F32();
    return e;
}

ImageExtras ReadImageEntry(BlockReader& r, size_t index) {
    ImageExtras e;
    e.index = index;
    const uint64_t n = r.U64();
    if (n == 0) throw Damaged{};
    r.Keep(n);
    const uint8_t* p = r.Span(n);
    e.bytes.assign(p, p + n);
    return e;
}

// A section's entries: a count, then entries with rising indices, filling the section exactly.
template <class Entry, class ReadEntry>
void ReadSection(BlockReader& r, size_t listSize, std::vector<Entry>& entries,
                 ReadEntry readEntry) {
    const uint32_t count = r.HeldCount(4);
    for (uint32_t i = 0; i < count; ++i) {
        const size_t index =
            NextIndex(r, listSize, entries.empty(), entries.empty() ? 0 : entries.back().index);
        r.Keep(sizeof(Entry));
        entries.push_back(readEntry(r, index));
    }
    r.ExpectEnd();
}

}  // namespace

void WriteSceneExtras(OutputStream& out, const Scene& scene) {
    if (!HasSceneExtras(scene)) return;
    uint32_t objectCount = 0;
    uint32_t materialCount = 0;
    const uint64_t objectBytes =
        SectionBytes(scene.m_objects, HasObjectExtras, ObjectEntryBytes, objectCount);
    const uint64_t materialBytes = SectionBytes(
        scene.m_materials, [](const SceneMaterial& m) { return m.textureMap.has_value(); },
        MaterialEntryBytes, materialCount);
    uint32_t imageCount = 0;
    const uint64_t imageBytes =
        SectionBytes(scene.m_materials, HasEmbeddedImage, ImageEntryBytes, imageCount);
    uint64_t blockBytes = 0;
    if (objectCount) blockBytes += kSectionHeader + objectBytes;
    if (materialCount) blockBytes += kSectionHeader + materialBytes;
    if (imageCount) blockBytes += kSectionHeader + imageBytes;

    out.Write(kMagic, sizeof kMagic);
    out.WriteU16(kVersion);
    WriteU64(out, blockBytes);
    if (objectCount) {
        out.WriteU16(kObjectSection);
        WriteU64(out, objectBytes);
        out.WriteU32(objectCount);
        for (size_t i = 0; i < scene.m_objects.size(); ++i) {
            if (!HasObjectExtras(scene.m_objects[i])) continue;
            out.WriteU32(static_cast<uint32_t>(i));
            WriteObjectEntry(out, scene.m_objects[i]);
        }
    }
    if (materialCount) {
        out.WriteU16(kMaterialSection);
        WriteU64(out, materialBytes);
        out.WriteU32(materialCount);
        for (size_t i = 0; i < scene.m_materials.size(); ++i) {
            if (!scene.m_materials[i].textureMap) continue;
            out.WriteU32(static_cast<uint32_t>(i));
            WriteMaterialEntry(out, scene.m_materials[i]);
        }
    }
    if (imageCount) {
        out.WriteU16(kImageSection);
        WriteU64(out, imageBytes);
        out.WriteU32(imageCount);
        for (size_t i = 0; i < scene.m_materials.size(); ++i) {
            if (!HasEmbeddedImage(scene.m_materials[i])) continue;
            const std::vector<uint8_t>& bytes = scene.m_materials[i].textureMap->embeddedImage;
            out.WriteU32(static_cast<uint32_t>(i));
            WriteU64(out, bytes.size());
            out.Write(bytes.data(), bytes.size());
        }
    }
}

ReadExtrasResult ReadSceneExtras(InputStream& in, Scene& scene, ReadBudget& budget) {
    if (in.Remaining() == 0) return ReadExtrasResult::None;
    std::vector<ObjectExtras> objects;
    std::vector<MaterialExtras> materials;
    std::vector<ImageExtras> images;
    try {
        BlockReader r(in, budget);
        if (std::memcmp(r.Span(sizeof kMagic), kMagic, sizeof kMagic) != 0) throw Damaged{};
        const uint16_t version = r.U16();
        if (version > kVersion) return ReadExtrasResult::NewerVersion;
        if (version != kVersion) throw Damaged{};
        const uint64_t blockBytes = r.U64();
        InputStream block(r.Span(blockBytes), static_cast<size_t>(blockBytes));
        r.ExpectEnd();

        BlockReader b(block, budget);
        bool seenObjects = false;
        bool seenMaterials = false;
        bool seenImages = false;
        while (block.Remaining() > 0) {
            const uint16_t id = b.U16();
            const uint64_t bytes = b.U64();
            InputStream section(b.Span(bytes), static_cast<size_t>(bytes));
            BlockReader s(section, budget);
            if (id == kObjectSection) {
                if (seenObjects) throw Damaged{};
                seenObjects = true;
                ReadSection(s, scene.m_objects.size(), objects,
                            [&scene](BlockReader& rr, size_t index) {
                                return ReadObjectEntry(rr, scene.m_objects[index], index);
                            });
            } else if (id == kMaterialSection) {
                if (seenMaterials) throw Damaged{};
                seenMaterials = true;
                ReadSection(s, scene.m_materials.size(), materials, ReadMaterialEntry);
            } else if (id == kImageSection) {
                if (seenImages) throw Damaged{};
                seenImages = true;
                ReadSection(s, scene.m_materials.size(), images, ReadImageEntry);
            }
            // A section of another id belongs to a later edition of this version: passed over.
        }
        // An image belongs to a material's map: both lists rise, so each image's map is found
        // by walking the maps once.
        auto map = materials.begin();
        for (const ImageExtras& e : images) {
            while (map != materials.end() && map->index < e.index)
                ++map;
            if (map == materials.end() || map->index != e.index) throw Damaged{};
        }
    } catch (const Damaged&) {
        return ReadExtrasResult::Damaged;
    }
    for (ObjectExtras& e : objects) {
        scene.m_objects[e.index].faceGroups = std::move(e.faceGroups);
        scene.m_objects[e.index].uvs = std::move(e.uvs);
    }
    for (MaterialExtras& e : materials)
        scene.m_materials[e.index].textureMap = std::move(e.map);
    for (ImageExtras& e : images)
        scene.m_materials[e.index].textureMap->embeddedImage = std::move(e.bytes);
    return ReadExtrasResult::Read;
}
