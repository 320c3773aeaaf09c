#include "import3ds/ImportReporter.h"

#include "import3ds/ChunkIds.h"

namespace {

constexpr uint64_t kHeaderSize = 6;

}  // namespace

void ImportReporter::Note(ImportFinding what, uint64_t offset, uint16_t id, const std::string& name,
                          uint64_t value, uint64_t other, uint64_t count,
                          const std::string& detail) {
    ImportNote note;
    note.what = what;
    note.offset = offset;
    note.chunkId = id;
    note.name = name;
    note.value = value;
    note.other = other;
    note.count = count;
    note.detail = detail;
    m_listener.Found(note);
}

bool ImportReporter::HeaderCutOff(uint64_t offset) const {
    return offset >= m_in.Size() || m_in.Size() - offset < kHeaderSize;
}

void ImportReporter::Editor(uint64_t offset, uint32_t length) {
    m_editorEnd = offset + length;
    CheckLength(offset, chunk::kEditor, length, m_in.Size());
}

void ImportReporter::TopChunk(uint64_t offset, uint16_t id, uint32_t length, bool read) {
    // Chunks after the editor chunk are walked too; their parent is the main chunk.
    CheckLength(offset, id, length, offset < m_editorEnd ? m_editorEnd : m_in.Size());
    if (!read) Skipped(offset, id);
    m_topEnd = offset + length;
}

void ImportReporter::ObjectChunk(uint64_t offset, uint16_t id, uint32_t length) {
    CheckLength(offset, id, length, m_topEnd);
}

void ImportReporter::CheckLength(uint64_t offset, uint16_t id, uint32_t length,
                                 uint64_t parentEnd) {
    if (offset + length > parentEnd)
        Note(ImportFinding::ChunkPastParent, offset, id, "", parentEnd, 0, length);
}

void ImportReporter::Skipped(uint64_t offset, uint16_t id) {
    Note(ImportFinding::SkippedChunk, offset, id, "");
}

void ImportReporter::UnknownMeshChunk(uint64_t offset, uint16_t id, const std::string& mesh) {
    // A chunk beyond the mesh was named already; that it was entered follows from it.
    if (offset == m_lastAfterParent) return;
    Note(ImportFinding::UnknownMeshChunk, offset, id, mesh);
}

void ImportReporter::WalkEnded(uint64_t offset) {
    if (offset >= m_in.Size()) return;  // the walk reached the end of the file
    if (HeaderCutOff(offset))
        Note(ImportFinding::HeaderCutShort, offset, 0, "", m_in.Size() - offset);
    else
        Note(ImportFinding::BadChunkLength, offset, 0, "");
}

void ImportReporter::MeshChunk(uint64_t offset, uint16_t id, uint32_t length, uint64_t meshEnd,
                               const std::string& mesh) {
    if (offset < meshEnd) {
        CheckLength(offset, id, length, meshEnd);
        return;
    }
    m_lastAfterParent = offset;
    if (id == chunk::kVertexList || id == chunk::kFaceList || id == chunk::kFaceMaterial)
        Note(ImportFinding::ChunkAfterParent, offset, id, mesh, meshEnd, 0, length);
}

void ImportReporter::MeshEnded(uint64_t offset, uint64_t meshEnd, const std::string& mesh) {
    if (offset >= meshEnd && HeaderCutOff(offset)) return;
    // A skipped chunk's length may have taken the walk past the end of the file.
    if (offset > m_in.Size()) offset = m_in.Size();
    if (HeaderCutOff(offset))
        Note(ImportFinding::MeshCutShort, offset, chunk::kTriangleMesh, mesh);
    else
        Note(ImportFinding::BadChunkLength, offset, 0, mesh);
}

void ImportReporter::ListCutShort(uint64_t offset, uint16_t id, const std::string& owner) {
    if (offset == m_lastCutShort) return;
    m_lastCutShort = offset;
    Note(ImportFinding::ListCutShort, offset, id, owner);
}

void ImportReporter::RecordCutShort(uint64_t offset, uint16_t id, const std::string& name) {
    Note(ImportFinding::RecordCutShort, offset, id, name);
}

void ImportReporter::EmptyNamedObject(uint64_t offset, uint16_t firstChunk,
                                      const std::string& name) {
    Note(ImportFinding::EmptyNamedObject, offset, firstChunk, name);
}

void ImportReporter::MaterialName(uint64_t offset, const std::string& name) {
    const auto [it, added] = m_materialOffsets.emplace(name, offset);
    if (added) return;
    Note(ImportFinding::MaterialReplaced, offset, chunk::kMaterial, name, it->second);
    it->second = offset;
}

void ImportReporter::MaterialGroup(uint64_t offset, const std::string& name) {
    if (m_materialOffsets.count(name) == 0)
        Note(ImportFinding::UnknownMaterial, offset, chunk::kFaceMaterial, name);
}

void ImportReporter::Light(uint64_t offset, const std::string& name, size_t lightCount) {
    constexpr size_t kLitLights = 8;
    if (lightCount > kLitLights)
        Note(ImportFinding::LightNotLit, offset, chunk::kLight, name, lightCount);
}

void ImportReporter::FaceList(size_t firstIndex, uint64_t dataOffset) {
    m_faceLists.push_back({firstIndex, dataOffset});
}

void ImportReporter::DroppedTriangles(const SceneObject& object) {
    constexpr uint64_t kFaceSize = 8;
    const size_t vertexCount = object.vertices.size();
    size_t list = 0;
    for (size_t i = 0; i < object.meshes.size(); ++i) {
        while (list + 1 < m_faceLists.size() && m_faceLists[list + 1].firstIndex <= i)
            ++list;
        const SceneMesh& m = object.meshes[i];
        const uint16_t corners[3] = {m.a, m.b, m.c};
        for (uint16_t corner : corners) {
            if (corner < vertexCount) continue;
            const FaceListStart& start = m_faceLists[list];
            const uint64_t offset = start.dataOffset + (i - start.firstIndex) * kFaceSize;
            Note(ImportFinding::TriangleDropped, offset, chunk::kFaceList, object.name, i, corner,
                 vertexCount);
            break;
        }
    }
    m_faceLists.clear();
}

void ImportReporter::MapPassedOver(uint64_t offset, uint16_t mapId, uint32_t length,
                                   const std::string& material) {
    Note(ImportFinding::MapPassedOver, offset, mapId, material, 0, 0, 0,
         MapFileName(offset, length));
}

std::string ImportReporter::MapFileName(uint64_t offset, uint32_t length) {
    const uint64_t end = offset + length;
    for (uint64_t pos = offset + kHeaderSize; pos < end;) {
        m_in.Seek(pos);
        uint16_t id;
        uint32_t chunkLength;
        if (!m_budget.Look(kHeaderSize) || !m_in.ReadU16(id) || !m_in.ReadU32(chunkLength) ||
            chunkLength < kHeaderSize)
            break;
        if (id == chunk::kMapFileName) {
            std::string name;
            const bool read = m_in.ReadCString(name);
            if (!m_budget.Look(m_in.Tell() - pos) || !read || m_in.Tell() > pos + chunkLength)
                break;
            return name;
        }
        pos += chunkLength;
    }
    return std::string();
}

void ImportReporter::MapDamaged(uint64_t offset, uint16_t mapId, const std::string& material) {
    Note(ImportFinding::MapDamaged, offset, mapId, material);
}

void ImportReporter::UvCountMismatch(uint64_t offset, const std::string& mesh, size_t pairs,
                                     size_t vertices) {
    Note(ImportFinding::UvCountMismatch, offset, chunk::kMappingCoords, mesh, pairs, 0, vertices);
}

void ImportReporter::VerticesNotFinite(uint64_t offset, const std::string& mesh, size_t notFinite,
                                       size_t vertices) {
    Note(ImportFinding::VerticesNotFinite, offset, chunk::kVertexList, mesh, notFinite, 0,
         vertices);
}

void ImportReporter::SmoothingMismatch(uint64_t offset, const std::string& mesh, uint64_t masks,
                                       size_t faces) {
    Note(ImportFinding::SmoothingMismatch, offset, chunk::kSmoothGroups, mesh, masks, 0, faces);
}

void ImportReporter::TrackDamaged(uint64_t offset, uint16_t track, const std::string& node) {
    Note(ImportFinding::TrackDamaged, offset, track, node);
}

void ImportReporter::NodePassedOver(uint64_t offset, const std::string& node, NodeFault why) {
    Note(ImportFinding::NodePassedOver, offset, chunk::kObjectNode, node,
         static_cast<uint64_t>(why));
}

void ImportReporter::PlacedCopies(uint64_t offset, const std::string& object, size_t copies) {
    Note(ImportFinding::PlacedCopies, offset, chunk::kObjectNode, object, 0, 0, copies);
}

void ImportReporter::GroupFaceOutside(uint64_t offset, const std::string& mesh,
                                      const std::string& material, uint32_t face, size_t faces) {
    Note(ImportFinding::GroupFaceOutside, offset, chunk::kFaceMaterial, mesh, face, 0, faces,
         material);
}
