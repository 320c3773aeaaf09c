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
    if (m_replaced) Release();
    for (size_t i = objectCount; i < m_entries.size(); ++i)
        ReleaseEntry(m_entries[i]);
    m_entries.resize(objectCount);
}

void ObjectBuffers::EndObjects() {
    m_arrays.End();
}

GLuint ObjectBuffers::Buffer(Entry& entry, const SceneObject& o, Kind kind, const FaceRuns* runs,
                             const std::vector<CornerNormal>* cornerNormals) {
    if (entry.buffers[kind] != 0 || entry.failed[kind]) return entry.buffers[kind];
    const VertexList& v = o.vertices;
    const MeshList& meshes = o.meshes;
    GLuint buffer = 0;
    switch (kind) {
        case kVertices:
            buffer = m_arrays.Upload(GL_ARRAY_BUFFER, v.data(), v.size() * sizeof(SceneVertex));
            break;
        case kPoints: {
            // Each corner where it first comes. A point drawn again lands on the same pixel at the
            // same depth, which the depth test (less) turns away, so leaving the repeats out
            // changes no pixel.
            std::vector<uint16_t> firsts;
            std::vector<bool> seen(v.size(), false);
            for (const SceneMesh& m : meshes)
                for (uint16_t i : {m.a, m.b, m.c}) {
                    if (seen[i]) continue;
                    seen[i] = true;
                    firsts.push_back(i);
                }
            entry.points = static_cast<GLsizei>(firsts.size());
            buffer = m_arrays.Upload(GL_ELEMENT_ARRAY_BUFFER, firsts.data(),
                                     firsts.size() * sizeof(uint16_t));
            break;
        }
        case kLines: {
            // The loop a, b, c, a as its three edges, in the order the loop draws them.
            std::vector<uint16_t> ends;
            ends.reserve(meshes.size() * 6);
            for (const SceneMesh& m : meshes)
                ends.insert(ends.end(), {m.a, m.b, m.b, m.c, m.c, m.a});
            buffer = m_arrays.Upload(GL_ELEMENT_ARRAY_BUFFER, ends.data(),
                                     ends.size() * sizeof(uint16_t));
            break;
        }
        case kSmooth:
        case kFlat: {
            // Every corner on its own, with its vertex normal (smooth) or the face normal (flat),
            // as Begin/End sends them. Three corners a triangle make these the largest blocks a
            // frame asks for: bulk lists, so that they come in huge pages.
            // Where the object's smoothing groups give its corners normals of their own, those.
            const bool ownNormals = kind == kSmooth && cornerNormals && !cornerNormals->empty();
            VertexList corners;
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
                            kind == kSmooth ? at : SceneVertex{at.x, at.y, at.z, m.nx, m.ny, m.nz});
                    }
                }
            }
            buffer = m_arrays.Upload(GL_ARRAY_BUFFER, corners.data(),
                                     corners.size() * sizeof(SceneVertex));
            break;
        }
        case kTexCoords: {
            // The corners' texture coordinates in the same order.
            std::vector<SceneUv> corners;
            corners.reserve(meshes.size() * 3);
            for (size_t p = 0; p < meshes.size(); ++p) {
                const SceneMesh& m = meshes[runs->Triangle(p)];
                for (uint16_t i : {m.a, m.b, m.c})
                    corners.push_back(o.uvs[i]);
            }
            buffer =
                m_arrays.Upload(GL_ARRAY_BUFFER, corners.data(), corners.size() * sizeof(SceneUv));
            break;
        }
        case kSmoothIndices: {
            // The corners as indices into the object's vertices, in the order of the runs.
            std::vector<uint16_t> corners;
            corners.reserve(meshes.size() * 3);
            for (size_t p = 0; p < meshes.size(); ++p) {
                const SceneMesh& m = meshes[runs->Triangle(p)];
                corners.insert(corners.end(), {m.a, m.b, m.c});
            }
            buffer = m_arrays.Upload(GL_ELEMENT_ARRAY_BUFFER, corners.data(),
                                     corners.size() * sizeof(uint16_t));
            break;
        }
        case kVertexTexCoords:
            buffer = m_arrays.Upload(GL_ARRAY_BUFFER, o.uvs.data(), v.size() * sizeof(SceneUv));
            break;
        case kKinds:
            break;
    }
    entry.buffers[kind] = buffer;
    entry.failed[kind] = buffer == 0;
    return buffer;
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
        return DrawIndexedRun(*entry, o, runs, run, textured);
    const GLuint corners =
        Buffer(*entry, o, shape == ObjectShape::Flat ? kFlat : kSmooth, &runs, &cornerNormals);
    const GLuint texCoords = corners != 0 && textured ? Buffer(*entry, o, kTexCoords, &runs) : 0;
    if (corners == 0 || (textured && texCoords == 0)) return false;
    SetLitArrays(corners, textured ? texCoords : 0);
    m_gl.DrawArrays(GL_TRIANGLES, static_cast<GLint>(run.first * 3),
                    static_cast<GLsizei>(run.count * 3));
    return true;
}

void ObjectBuffers::SetLitArrays(GLuint vertices, GLuint texCoords) {
    m_arrays.Set(true, true, texCoords != 0);
    if (texCoords != 0) {
        m_gl.BindBuffer(GL_ARRAY_BUFFER, texCoords);
        m_gl.TexCoordPointer(kTexCoordStride, 0);
    }
    m_gl.BindBuffer(GL_ARRAY_BUFFER, vertices);
    m_gl.VertexPointer(kVertexStride, 0);
    m_gl.NormalPointer(kVertexStride, kNormalOffset);
}

bool ObjectBuffers::DrawIndexedRun(Entry& entry, const SceneObject& o, const FaceRuns& runs,
                                   const FaceRun& run, bool textured) {
    const GLuint vertices = Buffer(entry, o, kVertices);
    const GLuint indices = vertices != 0 ? Buffer(entry, o, kSmoothIndices, &runs) : 0;
    const GLuint texCoords = indices != 0 && textured ? Buffer(entry, o, kVertexTexCoords) : 0;
    if (indices == 0 || (textured && texCoords == 0)) return false;
    SetLitArrays(vertices, textured ? texCoords : 0);
    m_gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices);
    m_gl.DrawElements(GL_TRIANGLES, static_cast<GLsizei>(run.count * 3),
                      run.first * 3 * sizeof(uint16_t));
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
    const GLuint vertices = Buffer(*entry, o, kVertices);
    const GLuint indices =
        vertices != 0 ? Buffer(*entry, o, shape == ObjectShape::Lines ? kLines : kPoints) : 0;
    if (indices == 0) return false;
    m_arrays.Set(true, false);
    m_gl.BindBuffer(GL_ARRAY_BUFFER, vertices);
    m_gl.VertexPointer(kVertexStride, 0);
    m_gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices);
    if (shape == ObjectShape::Points)
        m_gl.DrawElements(GL_POINTS, entry->points, 0);
    else
        m_gl.DrawElements(GL_LINES, cornerCount * 2, 0);
    return true;
}
