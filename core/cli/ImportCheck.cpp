#include "cli/ImportCheck.h"

#include <cinttypes>
#include <cstdio>
#include <map>
#include <ostream>

#include "childimport/ForeignImport.h"
#include "cli/CommandLine.h"
#include "cli/CommandSandbox.h"
#include "formats/FileFormats.h"
#include "images/MapImageLookup.h"
#include "import3ds/ImportFile.h"

namespace {

std::string Hex(uint64_t value, int digits) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%0*" PRIX64, digits, value);
    return text;
}

std::string Offset(uint64_t offset) {
    return "offset " + Hex(offset, 8) + ": ";
}

// What the chunks of 3D Studio files that a report names most often hold.
const char* ChunkName(uint16_t id) {
    static const struct {
        uint16_t id;
        const char* name;
    } kNames[] = {
        {0x0002, "version"},
        {0x0100, "master scale"},
        {0x1200, "background colour"},
        {0x2100, "ambient light"},
        {0x3D3D, "editor"},
        {0x3D3E, "mesh version"},
        {0x4000, "named object"},
        {0x4100, "mesh"},
        {0x4110, "vertex list"},
        {0x4111, "vertex flags"},
        {0x4120, "face list"},
        {0x4130, "material group"},
        {0x4140, "mapping coordinates"},
        {0x4150, "smoothing groups"},
        {0x4160, "local axes"},
        {0x4165, "mesh colour"},
        {0x4170, "texture information"},
        {0x4600, "light"},
        {0x4610, "spotlight"},
        {0x465B, "light multiplier"},
        {0x4700, "camera"},
        {0x4720, "camera ranges"},
        {0xA000, "material name"},
        {0xA010, "ambient colour"},
        {0xA020, "diffuse colour"},
        {0xA030, "specular colour"},
        {0xA040, "shininess"},
        {0xA041, "shininess strength"},
        {0xA050, "transparency"},
        {0xA052, "transparency falloff"},
        {0xA053, "reflection blur"},
        {0xA084, "self illumination"},
        {0xA087, "wire size"},
        {0xA100, "shading"},
        {0xA200, "texture map"},
        {0xA204, "specular map"},
        {0xA210, "opacity map"},
        {0xA220, "reflection map"},
        {0xA230, "bump map"},
        {0xA300, "map file name"},
        {0xA33A, "texture map 2"},
        {0xA33C, "shininess map"},
        {0xA33D, "self-illumination map"},
        {0xA351, "map tiling"},
        {0xAFFF, "material"},
        {0xB000, "keyframer"},
        {0xB001, "ambient node"},
        {0xB002, "object node"},
        {0xB003, "camera node"},
        {0xB004, "camera target node"},
        {0xB005, "light node"},
        {0xB006, "light target node"},
        {0xB007, "spotlight node"},
        {0xB008, "keyframer segment"},
        {0xB009, "keyframer current frame"},
        {0xB00A, "keyframer header"},
        {0xB014, "node bounding box"},
        {0xB015, "morph smoothing"},
        {0xB020, "position track"},
        {0xB021, "rotation track"},
        {0xB022, "scale track"},
        {0xB029, "hide track"},
    };
    for (const auto& n : kNames)
        if (n.id == id) return n.name;
    return nullptr;
}

std::string Id(uint16_t id) {
    const char* name = ChunkName(id);
    return "chunk " + Hex(id, 4) + (name ? std::string(" (") + name + ")" : std::string());
}

std::string Quoted(const std::string& name) {
    return "\"" + name + "\"";
}

std::string Plural(uint64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string Count(int32_t n, const char* one, const char* many) {
    return Plural(static_cast<uint64_t>(n), one, many);
}

// What a list or record chunk is, for the report.
std::string WhatIs(uint16_t id) {
    switch (id) {
        case 0x4110:
            return "vertex list";
        case 0x4120:
            return "face list";
        case 0x4130:
            return "material group";
        case 0x4140:
            return "mapping coordinates";
        case 0x4100:
            return "mesh";
        case 0x4600:
            return "light";
        case 0x4700:
            return "camera";
        case 0xAFFF:
            return "material";
        case 0xB020:
            return "position track";
        case 0xB021:
            return "rotation track";
        case 0xB022:
            return "scale track";
        case 0xA200:
            return "texture map";
        case 0x4000:
            return "named object";
        default:
            return Id(id);
    }
}

const char* NodeFaultText(uint64_t fault) {
    switch (static_cast<NodeFault>(fault)) {
        case NodeFault::NoMesh:
            return " names no mesh";
        case NodeFault::ParentLoop:
            return " is among its own parents";
        case NodeFault::AxesSingular:
            return " places a mesh whose local axes have no inverse";
        case NodeFault::NotFinite:
            return " places its copy at no finite place";
    }
    return "";
}

// Collects the notes: skipped chunks counted by id, every other note written out as it comes.
class ReportWriter final : public ImportListener {
public:
    explicit ReportWriter(std::ostream& out) : m_out(out) {}

    void Found(const ImportNote& note) override {
        if (note.what == ImportFinding::SkippedChunk) {
            Skip& skip = m_skipped[note.chunkId];
            if (skip.count++ == 0) skip.first = note.offset;
            ++m_skippedTotal;
            return;
        }
        ++m_others;
        m_out << ImportNoteLine(note) << "\n";
    }

    // One line per skipped chunk id, in the order of their first offsets.
    void WriteSkipped() {
        std::multimap<uint64_t, std::pair<uint16_t, uint64_t>> byOffset;
        for (const auto& [id, skip] : m_skipped)
            byOffset.emplace(skip.first, std::make_pair(id, skip.count));
        for (const auto& [offset, idCount] : byOffset) {
            m_out << Offset(offset) << Id(idCount.first) << " skipped";
            if (idCount.second > 1) m_out << ", " << idCount.second << " times from here on";
            m_out << "\n";
        }
    }

    uint64_t SkippedTotal() const { return m_skippedTotal; }
    uint64_t Others() const { return m_others; }

private:
    struct Skip {
        uint64_t first = 0;
        uint64_t count = 0;
    };
    std::ostream& m_out;
    std::map<uint16_t, Skip> m_skipped;
    uint64_t m_skippedTotal = 0;
    uint64_t m_others = 0;
};

}  // namespace

std::string ImportNoteLine(const ImportNote& n) {
    const std::string at = Offset(n.offset);
    switch (n.what) {
        case ImportFinding::SkippedChunk:
            return at + Id(n.chunkId) + " skipped";
        case ImportFinding::UnknownMeshChunk:
            return at + Id(n.chunkId) + " in the mesh of " + Quoted(n.name) +
                   " is not known; its contents were read as the mesh's own chunks";
        case ImportFinding::ChunkPastParent:
            return at + Id(n.chunkId) + " of " + std::to_string(n.count) +
                   " bytes runs past the end of its parent at " + Hex(n.value, 8);
        case ImportFinding::ChunkAfterParent:
            return at + WhatIs(n.chunkId) + " after the end of the mesh of " + Quoted(n.name) +
                   " at " + Hex(n.value, 8) + " was read as part of it";
        case ImportFinding::BadChunkLength:
            return at + "chunk length below 6 bytes ends the " +
                   (n.name.empty() ? std::string("walk; the rest was not read")
                                   : "mesh of " + Quoted(n.name));
        case ImportFinding::HeaderCutShort:
            return at + "chunk header cut short by the end of the file (" +
                   Plural(n.value, "byte", "bytes") + " left)";
        case ImportFinding::ListCutShort:
            return at + WhatIs(n.chunkId) + " of " + Quoted(n.name) +
                   " cut short by the end of the file; not read";
        case ImportFinding::MeshCutShort:
            return at + "mesh of " + Quoted(n.name) +
                   " cut short by the end of the file; kept as far as it was read";
        case ImportFinding::RecordCutShort:
            return at + WhatIs(n.chunkId) + (n.name.empty() ? "" : " " + Quoted(n.name)) +
                   " cut short by the end of the file; not read";
        case ImportFinding::EmptyNamedObject:
            return at + "named object " + Quoted(n.name) + " holds no mesh, light or camera" +
                   (n.chunkId ? " (its first chunk is " + Hex(n.chunkId, 4) + ")" : "");
        case ImportFinding::MaterialReplaced:
            return at + "material " + Quoted(n.name) + " replaces the one of the same name at " +
                   Hex(n.value, 8);
        case ImportFinding::UnknownMaterial:
            return at + "material group names " + Quoted(n.name) +
                   ", which no material before it has; the object is drawn in grey";
        case ImportFinding::TriangleDropped:
            return at + "triangle " + std::to_string(n.value) + " of " + Quoted(n.name) +
                   " dropped: corner " + std::to_string(n.other) + " is out of range (" +
                   Plural(n.count, "vertex", "vertices") + ")";
        case ImportFinding::LightNotLit:
            return at + "light " + Quoted(n.name) + " is light " + std::to_string(n.value) +
                   "; only the first 8 are lit";
        case ImportFinding::MapPassedOver: {
            const char* kind = ChunkName(n.chunkId);
            return at + (kind ? kind : Id(n.chunkId)) + " of material " + Quoted(n.name) +
                   (n.detail.empty() ? std::string() : " (" + Quoted(n.detail) + ")") +
                   " passed over";
        }
        case ImportFinding::MapDamaged:
            return at + "damaged chunk ends the " + WhatIs(n.chunkId) + " of material " +
                   Quoted(n.name) + "; kept as far as it was read";
        case ImportFinding::UvCountMismatch:
            return at + "mapping coordinates of " + Quoted(n.name) + ": " +
                   Plural(n.value, "pair", "pairs") + " for " +
                   Plural(n.count, "vertex", "vertices") + "; dropped";
        case ImportFinding::VerticesNotFinite:
            return at + "vertex list of " + Quoted(n.name) + ": " +
                   Plural(n.value, "vertex", "vertices") + " of " + std::to_string(n.count) +
                   " with a coordinate that is not a number; kept as read, left out of the bounds";
        case ImportFinding::SmoothingMismatch:
            return at + "smoothing groups of " + Quoted(n.name) + ": " +
                   Plural(n.value, "mask", "masks") + " for " + Plural(n.count, "face", "faces") +
                   "; passed over";
        case ImportFinding::TrackDamaged:
            return at + WhatIs(n.chunkId) + " of keyframer node " + Quoted(n.name) +
                   " holds no whole first key; passed over";
        case ImportFinding::NodePassedOver:
            return at + "keyframer node " + Quoted(n.name) + NodeFaultText(n.value) +
                   "; passed over";
        case ImportFinding::PlacedCopies:
            return at + Plural(n.count, "placed copy", "placed copies") + " of " + Quoted(n.name);
        case ImportFinding::GroupFaceOutside:
            return at + "material group " + Quoted(n.detail) + " of " + Quoted(n.name) + ": face " +
                   std::to_string(n.value) + " is not one of its face list's " +
                   std::to_string(n.count) + "; passed over";
    }
    return at + "unknown note";
}

namespace {

// The lines naming each texture image that is not beside the file; returns how many.
size_t WriteMissingImages(const Scene& scene, const std::string& path, std::ostream& out) {
    // Only whether each image is there: whether it decodes is the toolkit's to say.
    const std::vector<MissingMapImage> missing = MissingMapImages(scene, path);
    for (const MissingMapImage& image : missing) {
        std::string materials;
        for (const std::string& name : image.materials)
            materials += (materials.empty() ? "" : ", ") + Quoted(name);
        out << "texture image " << Quoted(image.fileName) << " of "
            << (image.materials.size() == 1 ? "material " : "materials ") << materials
            << " is missing: not found beside the file\n";
    }
    return missing.size();
}

std::string ReadCounts(const Scene& scene) {
    const SceneStatistics stats = CountStatistics(scene);
    return Count(stats.objects, "object", "objects") + ", " +
           Count(stats.meshes, "triangle", "triangles") + ", " +
           Count(stats.materials, "material", "materials") + ", " +
           Count(stats.lights, "light", "lights") + ", " +
           Count(stats.cameras, "camera", "cameras");
}

// A file in another format: what its conversion dropped or cut, one line each.
int RunForeignCheck(const std::string& path, std::ostream& out, std::ostream& err) {
    Scene scene;
    ConversionReport report;
    const FileOutcome outcome = ImportForeignFile(path, scene, &report);
    if (!outcome.ok) return ReportFileFailure(err, outcome);
    RestrictAfterReading(path);
    for (const std::string& line : report.lines)
        out << line << "\n";
    if (!report.sandbox.empty()) out << report.sandbox << "\n";
    const size_t missing = WriteMissingImages(scene, path, out);
    out << FileNameOf(path) << ": converted " << ReadCounts(scene) << "; "
        << Plural(report.lines.size(), "conversion note", "conversion notes");
    if (missing) out << "; " << Plural(missing, "texture image", "texture images") << " missing";
    out << "\n";
    return kExitOk;
}

// A scene file: what it holds, and the images its maps name that it does not hold and that are
// not beside it (those that were missing when it was saved).
int RunSceneFileCheck(const std::string& path, std::ostream& out, std::ostream& err) {
    Scene scene;
    const FileOutcome outcome = LoadSceneForCommandLine(path, scene, err);
    if (!outcome.ok) return ReportFileFailure(err, outcome);
    RestrictAfterReading(path);
    const size_t missing = WriteMissingImages(scene, path, out);
    out << FileNameOf(path) << ": read " << ReadCounts(scene);
    if (missing) out << "; " << Plural(missing, "texture image", "texture images") << " missing";
    out << "\n";
    return kExitOk;
}

}  // namespace

int RunImportCheck(const std::string& path, std::ostream& out, std::ostream& err) {
    if (ReaderOfFile(path) == FormatReader::ImportChild) return RunForeignCheck(path, out, err);
    if (const FileFormat* format = FormatOfFile(path);
        format && format->reader == FormatReader::SceneFile)
        return RunSceneFileCheck(path, out, err);
    Scene scene;
    ReportWriter report(out);
    const FileOutcome outcome = ImportSceneFile(path, scene, &report);
    if (!outcome.ok) return ReportFileFailure(err, outcome);
    RestrictAfterReading(path);
    report.WriteSkipped();
    const size_t missing = WriteMissingImages(scene, path, out);
    out << FileNameOf(path) << ": read " << ReadCounts(scene) << "; "
        << Plural(report.SkippedTotal(), "chunk", "chunks") << " skipped, "
        << Plural(report.Others(), "other note", "other notes");
    if (missing) out << "; " << Plural(missing, "texture image", "texture images") << " missing";
    out << "\n";
    return kExitOk;
}
