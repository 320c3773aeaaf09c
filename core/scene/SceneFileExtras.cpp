#include "scene/SceneFileExtras.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

#include "scene/ArchiveString.h"
#include "scene/CheckedReader.h"
#include "scene/ImageTable.h"
#include "scene/SceneFileLayout.h"

namespace {

constexpr uint8_t kMagic[4] = {'Z', 'M', 'V', 'X'};
// A block with the images a model held is of version 2 (its images in a table of their own, each
// once); any other is written as version 1, as it always was.
constexpr uint16_t kVersion = 2;
constexpr uint16_t kVersionWithoutImageTable = 1;
constexpr uint16_t kObjectSection = 1;
constexpr uint16_t kMaterialSection = 2;
constexpr uint16_t kImageSection = 3;  // version 1's images, one per material: read only
constexpr uint16_t kSmoothingSection = 4;
constexpr uint16_t kCopySection = 5;
constexpr uint16_t kHiddenSection = 6;
constexpr uint16_t kUpSection = 7;
constexpr uint16_t kImageTableSection = 8;
constexpr uint16_t kMapImageSection = 9;
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

bool HasSmoothingGroups(const SceneObject& o) {
    return !o.smoothingGroups.empty();
}

uint64_t SmoothingEntryBytes(const SceneObject& o) {
    return 4 + 4 + 4 * uint64_t{o.smoothingGroups.size()};
}

void WriteSmoothingEntry(OutputStream& out, const SceneObject& o) {
    out.WriteU32(static_cast<uint32_t>(o.smoothingGroups.size()));
    for (uint32_t mask : o.smoothingGroups)
        out.WriteU32(mask);
}

bool HasCopies(const SceneObject& o) {
    return !o.copies.empty();
}

uint64_t CopyEntryBytes(const SceneObject& o) {
    uint64_t bytes = 4 + 4;
    for (const PlacedCopy& c : o.copies)
        bytes += StringBytes(c.name) + 4 * uint64_t{c.matrix.size()};
    return bytes;
}

void WriteCopyEntry(OutputStream& out, const SceneObject& o) {
    out.WriteU32(static_cast<uint32_t>(o.copies.size()));
    for (const PlacedCopy& c : o.copies) {
        WriteArchiveString(out, c.name);
        for (float v : c.matrix)
            out.WriteF32(v);
    }
}

uint64_t MaterialEntryBytes(const SceneMaterial& m) {
    return 4 + StringBytes(m.textureMap->fileName) + kMapValueBytes;
}

void WriteU64(OutputStream& out, uint64_t v) {
    out.WriteU32(static_cast<uint32_t>(v));
    out.WriteU32(static_cast<uint32_t>(v >> 32));
}

// One section: the items of a list that keep extras, each written with its index. Its size is
// known before anything is written, since the block's length comes first.
template <class List, class Has, class Bytes, class Write>
class SectionWriter {
public:
    SectionWriter(uint16_t id, const List& list, Has has, Bytes bytes, Write write)
        : m_id(id), m_list(list), m_has(has), m_write(write) {
        for (const auto& item : list) {
            if (!has(item)) continue;
            ++m_count;
            m_bytes += bytes(item);
        }
    }
    // What the section adds to the block: nothing when no item keeps extras.
    uint64_t BlockBytes() const { return m_count ? kSectionHeader + m_bytes : 0; }
    void WriteTo(OutputStream& out) const {
        if (!m_count) return;
        out.WriteU16(m_id);
        WriteU64(out, m_bytes);
        out.WriteU32(m_count);
        for (size_t i = 0; i < m_list.size(); ++i) {
            if (!m_has(m_list[i])) continue;
            out.WriteU32(static_cast<uint32_t>(i));
            m_write(out, m_list[i]);
        }
    }

private:
    uint16_t m_id;
    const List& m_list;
    Has m_has;
    Write m_write;
    uint32_t m_count = 0;
    uint64_t m_bytes = 4;  // the count
};

template <class List, class Has, class Bytes, class Write>
SectionWriter<List, Has, Bytes, Write> Section(uint16_t id, const List& list, Has has, Bytes bytes,
                                               Write write) {
    return {id, list, has, bytes, write};
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

class BlockReader : public CheckedReader<Damaged> {
public:
    using CheckedReader::CheckedReader;

    // A string, counted against the budget.
    std::string Str() {
        std::string s = CheckedReader::Str();
        Keep(ReadBudget::HeapBytes(s));
        return s;
    }
    // A count of items of itemSize bytes that the rest must hold.
    uint32_t HeldCount(size_t itemSize) {
        const uint32_t n = U32();
        if (uint64_t{n} * itemSize > Remaining()) throw Damaged{};
        return n;
    }
    void ExpectEnd() const {
        if (Remaining() != 0) throw Damaged{};
    }
};

struct ObjectExtras {
    size_t index = 0;
    std::vector<FaceGroup> faceGroups;
    UvList uvs;
};

struct SmoothingExtras {
    size_t index = 0;
    std::vector<uint32_t> masks;
};

struct CopyExtras {
    size_t index = 0;
    std::vector<PlacedCopy> copies;
};

// A hidden object's entry is its index alone.
struct HiddenExtras {
    size_t index = 0;
};

struct UpExtras {
    size_t index = 0;  // always 0: the scene has one up axis
    UpAxis up = UpAxis::PlusZ;
};

UpExtras ReadUpEntry(BlockReader& r, size_t index) {
    const auto value = static_cast<int32_t>(r.U32());
    if (!IsUpAxis(value)) throw Damaged{};
    return {index, static_cast<UpAxis>(value)};
}

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

// One mask for each of the object's triangles.
SmoothingExtras ReadSmoothingEntry(BlockReader& r, const SceneObject& o, size_t index) {
    SmoothingExtras e;
    e.index = index;
    const uint32_t n = r.HeldCount(4);
    if (n != o.meshes.size() || n == 0) throw Damaged{};
    r.Keep(4 * uint64_t{n});
    const uint8_t* p = r.Span(4 * uint64_t{n});
    e.masks.resize(n);
    for (uint32_t i = 0; i < n; ++i)
        e.masks[i] = LoadU32(p + 4 * i);
    return e;
}

// At least one copy, each a name and a matrix of finite numbers.
CopyExtras ReadCopyEntry(BlockReader& r, size_t index) {
    CopyExtras e;
    e.index = index;
    const uint32_t n = r.HeldCount(1 + 4 * 16);
    if (n == 0) throw Damaged{};
    for (uint32_t i = 0; i < n; ++i) {
        r.Keep(sizeof(PlacedCopy));
        PlacedCopy copy;
        copy.name = r.Str();
        for (float& v : copy.matrix)
            v = r.F32();
        if (!IsFiniteMatrix(copy.matrix)) throw Damaged{};
        e.copies.push_back(std::move(copy));
    }
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

// A material's image: an index into the block's image table.
struct MapImageExtras {
    size_t index = 0;
    uint32_t image = 0;
};

MapImageExtras ReadMapImageEntry(BlockReader& r, size_t index) {
    return {index, r.U32()};
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
    const auto objects = Section(kObjectSection, scene.m_objects, HasObjectExtras, ObjectEntryBytes,
                                 WriteObjectEntry);
    const auto materials = Section(
        kMaterialSection, scene.m_materials,
        [](const SceneMaterial& m) { return m.textureMap.has_value(); }, MaterialEntryBytes,
        WriteMaterialEntry);
    // The images some map shows, each once, in the table's order; each map by its new index.
    std::vector<bool> used(scene.m_images.size(), false);
    for (const SceneMaterial& m : scene.m_materials)
        if (m.textureMap && EmbeddedImageOf(scene, *m.textureMap))
            used[static_cast<size_t>(m.textureMap->embeddedImage)] = true;
    std::vector<const SceneImage*> shown;
    std::vector<uint32_t> renumbered(scene.m_images.size(), 0);
    for (size_t i = 0; i < scene.m_images.size(); ++i) {
        if (!used[i]) continue;
        renumbered[i] = static_cast<uint32_t>(shown.size());
        shown.push_back(&scene.m_images[i]);
    }
    const auto images = Section(
        kImageTableSection, shown, [](const SceneImage*) { return true; },
        [](const SceneImage* image) { return 4 + 8 + uint64_t{image->bytes.size()}; },
        [](OutputStream& o, const SceneImage* image) {
            WriteU64(o, image->bytes.size());
            o.Write(image->bytes.data(), image->bytes.size());
        });
    const auto mapImages = Section(
        kMapImageSection, scene.m_materials,
        [&scene](const SceneMaterial& m) {
            return m.textureMap && EmbeddedImageOf(scene, *m.textureMap);
        },
        [](const SceneMaterial&) { return uint64_t{4 + 4}; },
        [&renumbered](OutputStream& o, const SceneMaterial& m) {
            o.WriteU32(renumbered[static_cast<size_t>(m.textureMap->embeddedImage)]);
        });
    const auto smoothing = Section(kSmoothingSection, scene.m_objects, HasSmoothingGroups,
                                   SmoothingEntryBytes, WriteSmoothingEntry);
    const auto copies =
        Section(kCopySection, scene.m_objects, HasCopies, CopyEntryBytes, WriteCopyEntry);
    const auto hidden = Section(
        kHiddenSection, scene.m_objects, [](const SceneObject& o) { return o.hidden; },
        [](const SceneObject&) { return uint64_t{4}; }, [](OutputStream&, const SceneObject&) {});
    const std::array<UpAxis, 1> ups{scene.m_settings.upAxis};
    const auto up = Section(
        kUpSection, ups, [](UpAxis a) { return a != UpAxis::PlusZ; },
        [](UpAxis) { return uint64_t{4 + 4}; },
        [](OutputStream& o, UpAxis a) { o.WriteU32(static_cast<uint32_t>(a)); });
    out.Write(kMagic, sizeof kMagic);
    out.WriteU16(shown.empty() ? kVersionWithoutImageTable : kVersion);
    WriteU64(out, objects.BlockBytes() + materials.BlockBytes() + images.BlockBytes() +
                      smoothing.BlockBytes() + copies.BlockBytes() + hidden.BlockBytes() +
                      up.BlockBytes() + mapImages.BlockBytes());
    objects.WriteTo(out);
    materials.WriteTo(out);
    images.WriteTo(out);
    // A section of its own, after the sections readers before it know: they pass it over.
    smoothing.WriteTo(out);
    copies.WriteTo(out);
    hidden.WriteTo(out);
    up.WriteTo(out);
    mapImages.WriteTo(out);
}

ReadExtrasResult ReadSceneExtras(InputStream& in, Scene& scene, ReadBudget& budget) {
    if (in.Remaining() == 0) return ReadExtrasResult::None;
    std::vector<ObjectExtras> objects;
    std::vector<MaterialExtras> materials;
    std::vector<ImageExtras> images;
    std::vector<SmoothingExtras> smoothing;
    std::vector<CopyExtras> copies;
    std::vector<HiddenExtras> hidden;
    std::vector<UpExtras> ups;
    std::vector<ImageExtras> table;
    std::vector<MapImageExtras> mapImages;
    try {
        BlockReader r(in, budget);
        if (std::memcmp(r.Span(sizeof kMagic), kMagic, sizeof kMagic) != 0) throw Damaged{};
        const uint16_t version = r.U16();
        if (version > kVersion) return ReadExtrasResult::NewerVersion;
        if (version != kVersion && version != kVersionWithoutImageTable) throw Damaged{};
        const uint64_t blockBytes = r.U64();
        InputStream block(r.Span(blockBytes), static_cast<size_t>(blockBytes));
        r.ExpectEnd();

        BlockReader b(block, budget);
        bool seenObjects = false;
        bool seenMaterials = false;
        bool seenImages = false;
        bool seenSmoothing = false;
        bool seenCopies = false;
        bool seenHidden = false;
        bool seenUp = false;
        bool seenTable = false;
        bool seenMapImages = false;
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
            } else if (id == kSmoothingSection) {
                if (seenSmoothing) throw Damaged{};
                seenSmoothing = true;
                ReadSection(s, scene.m_objects.size(), smoothing,
                            [&scene](BlockReader& rr, size_t index) {
                                return ReadSmoothingEntry(rr, scene.m_objects[index], index);
                            });
            } else if (id == kCopySection) {
                if (seenCopies) throw Damaged{};
                seenCopies = true;
                ReadSection(s, scene.m_objects.size(), copies, ReadCopyEntry);
            } else if (id == kHiddenSection) {
                if (seenHidden) throw Damaged{};
                seenHidden = true;
                ReadSection(s, scene.m_objects.size(), hidden,
                            [](BlockReader&, size_t index) { return HiddenExtras{index}; });
            } else if (id == kUpSection) {
                if (seenUp) throw Damaged{};
                seenUp = true;
                ReadSection(s, 1, ups, ReadUpEntry);
            } else if (id == kImageTableSection && version >= kVersion) {
                if (seenTable) throw Damaged{};
                seenTable = true;
                ReadSection(s, UINT32_MAX, table, ReadImageEntry);
            } else if (id == kMapImageSection && version >= kVersion) {
                if (seenMapImages) throw Damaged{};
                seenMapImages = true;
                ReadSection(s, scene.m_materials.size(), mapImages, ReadMapImageEntry);
            }
            // A section of another id belongs to a later edition of this version: passed over.
        }
        // An image belongs to a material's map: the lists rise, so each image's map is found
        // by walking the maps once.
        const auto walkMaps = [&materials](const auto& entries) {
            auto map = materials.begin();
            for (const auto& e : entries) {
                while (map != materials.end() && map->index < e.index)
                    ++map;
                if (map == materials.end() || map->index != e.index) throw Damaged{};
            }
        };
        walkMaps(images);
        walkMaps(mapImages);
        // The table is numbered from 0, and every map names an image of it.
        for (size_t k = 0; k < table.size(); ++k)
            if (table[k].index != k) throw Damaged{};
        for (const MapImageExtras& e : mapImages)
            if (e.image >= table.size()) throw Damaged{};
    } catch (const Damaged&) {
        return ReadExtrasResult::Damaged;
    }
    for (ObjectExtras& e : objects) {
        scene.m_objects[e.index].faceGroups = std::move(e.faceGroups);
        scene.m_objects[e.index].uvs = std::move(e.uvs);
    }
    for (SmoothingExtras& e : smoothing)
        scene.m_objects[e.index].smoothingGroups = std::move(e.masks);
    for (CopyExtras& e : copies)
        scene.m_objects[e.index].copies = std::move(e.copies);
    for (const HiddenExtras& e : hidden)
        scene.m_objects[e.index].hidden = true;
    for (const UpExtras& e : ups)
        scene.m_settings.upAxis = e.up;
    for (MaterialExtras& e : materials)
        scene.m_materials[e.index].textureMap = std::move(e.map);
    // Into the scene's table, each image once however many maps or entries hold it.
    for (ImageExtras& e : images)
        scene.m_materials[e.index].textureMap->embeddedImage =
            AddSceneImage(scene, std::move(e.bytes));
    std::vector<int32_t> placed;
    for (ImageExtras& e : table)
        placed.push_back(AddSceneImage(scene, std::move(e.bytes)));
    for (const MapImageExtras& e : mapImages)
        scene.m_materials[e.index].textureMap->embeddedImage = placed[e.image];
    return ReadExtrasResult::Read;
}
