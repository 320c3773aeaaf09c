// The 3DS reader's side of the import notes: turns what the reader meets into ImportNotes for a
// listener. The reader holds one only while someone listens, so the checks here (duplicate
// material names, triangle corners) cost an import nothing; the calls are marked cold so that the
// compiler keeps them out of the reader's way.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "import3ds/ImportFindings.h"
#include "scene/InputStream.h"
#include "scene/ReadBudget.h"
#include "scene/SceneRecords.h"

class ImportReporter {
public:
    ImportReporter(ImportListener& listener, InputStream& in)
        : m_listener(listener), m_in(in), m_budget(in.Size()) {}

    // The editor chunk's header; chunks of the walk before its end belong to it.
    [[gnu::cold]] void Editor(uint64_t offset, uint32_t length);
    // A chunk of the top-level walk: checks its length against its parent and notes it skipped
    // unless the walk reads it.
    [[gnu::cold]] void TopChunk(uint64_t offset, uint16_t id, uint32_t length, bool read);
    // The chunk a named object holds, inside the top-level chunk last given.
    [[gnu::cold]] void ObjectChunk(uint64_t offset, uint16_t id, uint32_t length);
    // A chunk inside another that ends at parentEnd.
    [[gnu::cold]] void CheckLength(uint64_t offset, uint16_t id, uint32_t length,
                                   uint64_t parentEnd);
    [[gnu::cold]] void Skipped(uint64_t offset, uint16_t id);
    [[gnu::cold]] void UnknownMeshChunk(uint64_t offset, uint16_t id, const std::string& mesh);
    // A walk that ended at offset because no whole chunk header was found there: the file ends
    // inside it, or its length is too small.
    [[gnu::cold]] void WalkEnded(uint64_t offset);
    // A chunk a mesh's walk met. The walk counts the mesh's own header among its chunks, so
    // after a last face list without nested chunks it takes the header of the chunk after the
    // mesh as its own; that is noted only when the mesh reads that chunk's data.
    [[gnu::cold]] void MeshChunk(uint64_t offset, uint16_t id, uint32_t length, uint64_t meshEnd,
                                 const std::string& mesh);
    // Like WalkEnded, for a mesh whose chunks ended at offset; the end of the file right after
    // the mesh is no fault.
    [[gnu::cold]] void MeshEnded(uint64_t offset, uint64_t meshEnd, const std::string& mesh);
    [[gnu::cold]] void ListCutShort(uint64_t offset, uint16_t id, const std::string& owner);
    [[gnu::cold]] void RecordCutShort(uint64_t offset, uint16_t id, const std::string& name);
    [[gnu::cold]] void EmptyNamedObject(uint64_t offset, uint16_t firstChunk,
                                        const std::string& name);
    // A material's name: notes when it replaces an earlier material of the same name.
    [[gnu::cold]] void MaterialName(uint64_t offset, const std::string& name);
    // A material group's name: notes when no material read so far has it.
    [[gnu::cold]] void MaterialGroup(uint64_t offset, const std::string& name);
    // A light read; lightCount counts it.
    [[gnu::cold]] void Light(uint64_t offset, const std::string& name, size_t lightCount);
    // A face list whose triangles start at dataOffset and will be the object's triangles from
    // firstIndex on.
    [[gnu::cold]] void FaceList(size_t firstIndex, uint64_t dataOffset);
    // A material's map chunk that the import passes over; the note names the file it names.
    [[gnu::cold]] void MapPassedOver(uint64_t offset, uint16_t mapId, uint32_t length,
                                     const std::string& material);
    // The sub-chunk at offset ends the walk of a material's map.
    [[gnu::cold]] void MapDamaged(uint64_t offset, uint16_t mapId, const std::string& material);
    // Mapping coordinates of a mesh that are not one per vertex, and so are dropped.
    [[gnu::cold]] void UvCountMismatch(uint64_t offset, const std::string& mesh, size_t pairs,
                                       size_t vertices);
    // A vertex list some of whose vertices have a coordinate that is infinite or not a number.
    [[gnu::cold]] void VerticesNotFinite(uint64_t offset, const std::string& mesh, size_t notFinite,
                                         size_t vertices);
    // A material group's face outside the faces of its face list.
    [[gnu::cold]] void SmoothingMismatch(uint64_t offset, const std::string& mesh, uint64_t masks,
                                         size_t faces);
    [[gnu::cold]] void GroupFaceOutside(uint64_t offset, const std::string& mesh,
                                        const std::string& material, uint32_t face, size_t faces);
    // The keyframer: a track without a whole first key, a node that places nothing, the copies
    // an object's nodes place.
    [[gnu::cold]] void TrackDamaged(uint64_t offset, uint16_t track, const std::string& node);
    [[gnu::cold]] void NodePassedOver(uint64_t offset, const std::string& node, NodeFault why);
    [[gnu::cold]] void PlacedCopies(uint64_t offset, const std::string& object, size_t copies);
    // Notes each triangle of the finished mesh that will be dropped, then forgets its face lists.
    [[gnu::cold]] void DroppedTriangles(const SceneObject& object);

private:
    void Note(ImportFinding what, uint64_t offset, uint16_t id, const std::string& name,
              uint64_t value = 0, uint64_t other = 0, uint64_t count = 0,
              const std::string& detail = std::string());
    // The file name in the map chunk at offset, "" when it has none or it cannot be read. Looked
    // for on the report's own budget, so that listening changes nothing the import reads.
    std::string MapFileName(uint64_t offset, uint32_t length);
    // Whether the header at offset is cut off by the end of the file (else its length is bad).
    bool HeaderCutOff(uint64_t offset) const;

    struct FaceListStart {
        size_t firstIndex;
        uint64_t dataOffset;
    };

    ImportListener& m_listener;
    InputStream& m_in;
    ReadBudget m_budget;  // for what only the report reads
    uint64_t m_editorEnd = 0;
    uint64_t m_topEnd = 0;                    // where the top-level chunk being read ends
    uint64_t m_lastAfterParent = UINT64_MAX;  // the last chunk noted as past its parent's end
    uint64_t m_lastCutShort = UINT64_MAX;     // the last list noted as cut short: both walks of
                                              // a mesh meet its first material group
    std::unordered_map<std::string, uint64_t> m_materialOffsets;
    std::vector<FaceListStart> m_faceLists;
};
