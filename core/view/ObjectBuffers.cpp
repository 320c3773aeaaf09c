#include "view/ObjectBuffers.h"

#include <limits>

namespace {

constexpr GLsizei kVertexStride = sizeof(SceneVertex);
constexpr size_t kNormalOffset = offsetof(SceneVertex, nx);
constexpr GLsizei kTexCoordStride = sizeof(SceneUv);

// The fewest triangles a smooth run draws by indices; shorter runs send their corners as
// Begin/End does.
constexpr size_t kFewestIndexed = 64;

// Whether one draw call can count perMesh indices for each of meshCount triangles.
bool CountFits(size_t meshCount, size_t perMesh) {
    return meshCount <= static_cast<size_t>(std::numeric_limits<GLsizei>::max()) / perMesh;
}

}  // namespace

ObjectBuffers::~ObjectBuffers() {
    Release();
}

void ObjectBuffers::Forget() {
    m_entries.clear();
    m_replaced = false;
    m_arrays.Forget();
}

void ObjectBuffers::Release() {
    for (Entry& entry : m_entries)
        ReleaseEntry(entry);
    m_entries.clear();
    m_replaced = false;
}

void ObjectBuffers::ReleaseEntry(Entry& entry) {
    for (GLuint& buffer : entry.buffers) {
        if (buffer != 0) m_gl.DeleteBuffer(buffer);
        buffer = 0;
    }
}

void ObjectBuffers::BeginObjects(size_t objectCount) {
    // Lists made for one frame's calls are made again for the next.
    for (MadeLists& made : m_made)
        made.object = SIZE_MAX;
    if (m_replaced) Release();
    for (size_t i = objectCount; i < m_entries.size(); ++i)
        ReleaseEntry(m_entries[i]);
    m_entries.resize(objectCount);
}

void ObjectBuffers::EndObjects() {
    m_arrays.End();
}

ObjectBuffers::List ObjectBuffers::ListOf(size_t index, Entry& entry, const SceneObject& o,
                                          Kind kind, const FaceRuns* runs,
                                          const std::vector<CornerNormal>* cornerNormals) {
    const VertexList& v = o.vertices;
    const MeshList& meshes = o.meshes;
    MadeLists& made = m_made[kind];
    // Drawn from memory, a list made for one run of an object serves its other runs.
    const bool again = made.object == index && made.revision == entry.revision &&
                       made.generation == entry.runsGeneration;
    made.object = index, made.revision = entry.revision, made.generation = entry.runsGeneration;
    switch (kind) {
        case kVertices:
            return List{v.data(), v.size() * sizeof(SceneVertex)};
        case kPoints: {
            // Each corner where it first comes. A point drawn again lands on the same pixel at the
            // same depth, which the depth test (less) turns away, so leaving the repeats out
            // changes no pixel.
            std::vector<uint16_t>& firsts = made.indices;
            if (!again) {
                firsts.clear();
                std::vector<bool> seen(v.size(), false);
                for (const SceneMesh& m : meshes)
                    for (uint16_t i : {m.a, m.b, m.c}) {
                        if (seen[i]) continue;
                        seen[i] = true;
                        firsts.push_back(i);
                    }
            }
            entry.points = static_cast<GLsizei>(firsts.size());
            return List{firsts.data(), firsts.size() * sizeof(uint16_t)};
        }
        case kLines: {
            // The loop a, b, c, a as its three edges, in the order the loop draws them.
            std::vector<uint16_t>& ends = made.indices;
            if (!again) {
                ends.clear();
                ends.reserve(meshes.size() * 6);
                for (const SceneMesh& m : meshes)
                    ends.insert(ends.end(), {m.a, m.b, m.b, m.c, m.c, m.a});
            }
            return List{ends.data(), ends.size() * sizeof(uint16_t)};
        }
        case kSmooth:
        case kFlat: {
            // Every corner on its own, with its vertex normal (smooth) or the face normal (flat),
            // as Begin/End sends them. Three corners a triangle make these the largest blocks a
            // frame asks for: bulk lists, so that they come in huge pages.
            // Where the object's smoothing groups give its corners normals of their own, those.
            VertexList& corners = made.corners;
            if (!again) {
                const bool ownNormals = kind == kSmooth && cornerNormals && !cornerNormals->empty();
                corners.clear();
                corners.reserve(meshes.size() * 3);
                for (size_t p = 0; p < meshes.size(); ++p) {
                    const uint32_t t = runs->Triangle(p);
                    const SceneMesh& m = meshes[t];
                    const uint16_t vertex[3] = {m.a, m.b, m.c};
                    for (size_t k = 0; k < 3; ++k) {
                        const SceneVertex& at = v[vertex[k]];
                        if (ownNormals) {
                            const CornerNormal& n = (*cornerNormals)[3 * size_t{t} + k];
                            corners.push_back(SceneVertex{at.x, at.y, at.z, n.nx, n.ny, n.nz});
                        } else {
                            corners.push_back(
                                kind == kSmooth ? at
                                                : SceneVertex{at.x, at.y, at.z, m.nx, m.ny, m.nz});
                        }
                    }
                }
            }
            return List{corners.data(), corners.size() * sizeof(SceneVertex)};
        }
        case kTexCoords: {
            // The corners' texture coordinates in the same order.
            std::vector<SceneUv>& corners = made.texCoords;
            if (!again) {
                corners.clear();
                corners.reserve(meshes.size() * 3);
                for (size_t p = 0; p < meshes.size(); ++p) {
                    const SceneMesh& m = meshes[runs->Triangle(p)];
                    for (uint16_t i : {m.a, m.b, m.c})
                        corners.push_back(o.uvs[i]);
                }
            }
            return List{corners.data(), corners.size() * sizeof(SceneUv)};
        }
        case kSmoothIndices: {
            // The corners as indices into the object's vertices, in the order of the runs.
            std::vector<uint16_t>& corners = made.indices;
            if (!again) {
                corners.clear();
                corners.reserve(meshes.size() * 3);
                for (size_t p = 0; p < meshes.size(); ++p) {
                    const SceneMesh& m = meshes[runs->Triangle(p)];
                    corners.insert(corners.end(), {m.a, m.b, m.c});
                }
            }
            return List{corners.data(), corners.size() * sizeof(uint16_t)};
        }
        case kVertexTexCoords:
            return List{o.uvs.data(), v.size() * sizeof(SceneUv)};
        case kKinds:
            break;
    }
    return List{};
}

GLuint ObjectBuffers::Buffer(size_t index, Entry& entry, const SceneObject& o, Kind kind,
                             const FaceRuns* runs, const std::vector<CornerNormal>* cornerNormals) {
    if (entry.buffers[kind] != 0 || entry.failed[kind]) return entry.buffers[kind];
    const List list = ListOf(index, entry, o, kind, runs, cornerNormals);
    const GLuint buffer = m_arrays.Upload(
        IsIndexList(kind) ? GL_ELEMENT_ARRAY_BUFFER : GL_ARRAY_BUFFER, list.data, list.bytes);
    // Once in a buffer, a made list is not needed again.
    m_made[kind] = MadeLists();
    entry.buffers[kind] = buffer;
    entry.failed[kind] = buffer == 0;
    return buffer;
}

ObjectBuffers::Source ObjectBuffers::SourceOf(size_t index, Entry& entry, const SceneObject& o,
                                              Kind kind, const FaceRuns* runs,
                                              const std::vector<CornerNormal>* cornerNormals) {
    // Index lists go into buffers all the same: the driver takes longer over indices in memory
    // than it saves in copying them.
    if (!m_fromMemory || IsIndexList(kind)) {
        const GLuint buffer = Buffer(index, entry, o, kind, runs, cornerNormals);
        return Source{buffer, 0, buffer != 0};
    }
    const List list = ListOf(index, entry, o, kind, runs, cornerNormals);
    return Source{0, reinterpret_cast<size_t>(list.data), true};
}

ObjectBuffers::Entry* ObjectBuffers::EntryFor(size_t index, const SceneObject& o) {
    if (!m_gl.HasBuffers() || index >= m_entries.size()) return nullptr;
    Entry& entry = m_entries[index];
    if (entry.revision != o.revision) {
        ReleaseEntry(entry);
        entry = Entry{};
        entry.revision = o.revision;
    }
    return &entry;
}

bool ObjectBuffers::DrawRun(size_t index, const SceneObject& o, ObjectShape shape,
                            const FaceRuns& runs, const FaceRun& run, bool textured,
                            const std::vector<CornerNormal>& cornerNormals) {
    Entry* entry = EntryFor(index, o);
    if (!entry) return false;
    if (run.count == 0) return true;
    if (!CountFits(o.meshes.size(), 3)) return false;
    if (entry->runsGeneration != runs.generation) {
        // The corners lie in another order now.
        for (Kind kind : {kSmooth, kFlat, kTexCoords, kSmoothIndices}) {
            if (entry->buffers[kind] != 0) m_gl.DeleteBuffer(entry->buffers[kind]);
            entry->buffers[kind] = 0;
            entry->failed[kind] = false;
        }
        entry->runsGeneration = runs.generation;
    }
    if (shape == ObjectShape::Smooth && run.count >= kFewestIndexed && cornerNormals.empty() &&
        (!textured || o.uvs.size() >= o.vertices.size()))
        return DrawIndexedRun(index, *entry, o, runs, run, textured);
    const Source corners = SourceOf(index, *entry, o, shape == ObjectShape::Flat ? kFlat : kSmooth,
                                    &runs, &cornerNormals);
    const Source texCoords =
        corners.ok && textured ? SourceOf(index, *entry, o, kTexCoords, &runs) : Source{};
    if (!corners.ok || (textured && !texCoords.ok)) return false;
    SetLitArrays(corners, textured ? &texCoords : nullptr);
    m_gl.DrawArrays(GL_TRIANGLES, static_cast<GLint>(run.first * 3),
                    static_cast<GLsizei>(run.count * 3));
    return true;
}

void ObjectBuffers::SetLitArrays(const Source& vertices, const Source* texCoords) {
    m_arrays.Set(true, true, texCoords != nullptr);
    if (texCoords) {
        m_gl.BindBuffer(GL_ARRAY_BUFFER, texCoords->buffer);
        m_gl.TexCoordPointer(kTexCoordStride, texCoords->base);
    }
    m_gl.BindBuffer(GL_ARRAY_BUFFER, vertices.buffer);
    m_gl.VertexPointer(kVertexStride, vertices.base);
    m_gl.NormalPointer(kVertexStride, vertices.base + kNormalOffset);
}

bool ObjectBuffers::DrawIndexedRun(size_t index, Entry& entry, const SceneObject& o,
                                   const FaceRuns& runs, const FaceRun& run, bool textured) {
    const Source vertices = SourceOf(index, entry, o, kVertices);
    const Source indices =
        vertices.ok ? SourceOf(index, entry, o, kSmoothIndices, &runs) : Source{};
    const Source texCoords =
        indices.ok && textured ? SourceOf(index, entry, o, kVertexTexCoords) : Source{};
    if (!indices.ok || (textured && !texCoords.ok)) return false;
    SetLitArrays(vertices, textured ? &texCoords : nullptr);
    m_gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices.buffer);
    m_gl.DrawElements(GL_TRIANGLES, static_cast<GLsizei>(run.count * 3),
                      indices.base + run.first * 3 * sizeof(uint16_t));
    return true;
}

bool ObjectBuffers::Draw(size_t index, const SceneObject& o, ObjectShape shape) {
    Entry* entry = EntryFor(index, o);
    if (!entry) return false;
    const size_t meshCount = o.meshes.size();
    if (meshCount == 0) return true;
    if (!CountFits(meshCount, shape == ObjectShape::Lines ? 6 : 3)) return false;
    const GLsizei cornerCount = static_cast<GLsizei>(meshCount * 3);

    // Points and lines are drawn unlit: their normals would not count.
    const Source vertices = SourceOf(index, *entry, o, kVertices);
    const Source indices =
        vertices.ok ? SourceOf(index, *entry, o, shape == ObjectShape::Lines ? kLines : kPoints)
                    : Source{};
    if (!indices.ok) return false;
    m_arrays.Set(true, false);
    m_gl.BindBuffer(GL_ARRAY_BUFFER, vertices.buffer);
    m_gl.VertexPointer(kVertexStride, vertices.base);
    m_gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices.buffer);
    if (shape == ObjectShape::Points)
        m_gl.DrawElements(GL_POINTS, entry->points, indices.base);
    else
        m_gl.DrawElements(GL_LINES, cornerCount * 2, indices.base);
    return true;
}
