#include "view/SimplifiedBuffers.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr GLsizei kVertexStride = sizeof(SceneVertex);
constexpr size_t kNormalOffset = offsetof(SceneVertex, nx);

// Every corner on its own with its triangle's normal, as the flat mode lights them.
std::vector<SceneVertex> FlatCorners(const SimplifiedObject& copy, size_t level) {
    std::vector<SceneVertex> corners;
    const std::vector<uint16_t>& l = copy.levels[level];
    corners.reserve(l.size());
    for (size_t i = 0; i + 2 < l.size(); i += 3) {
        const SceneVertex& a = copy.vertices[l[i]];
        const SceneVertex& b = copy.vertices[l[i + 1]];
        const SceneVertex& c = copy.vertices[l[i + 2]];
        const float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
        const float vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
        float nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
        const float length = std::sqrt(nx * nx + ny * ny + nz * nz);
        if (length > 0) nx /= length, ny /= length, nz /= length;
        for (const SceneVertex* v : {&a, &b, &c})
            corners.push_back({v->x, v->y, v->z, nx, ny, nz});
    }
    return corners;
}

}  // namespace

void SimplifiedBuffers::Release() {
    for (Entry& entry : m_entries)
        ReleaseEntry(entry);
    m_entries.clear();
}

void SimplifiedBuffers::DropStale(const SimplifiedScene* copies) {
    for (size_t i = 0; i < m_entries.size(); ++i) {
        Entry& entry = m_entries[i];
        if (entry.serial != 0 && (!copies || copies->Serial(i) != entry.serial))
            ReleaseEntry(entry);
    }
}

void SimplifiedBuffers::ReleaseEntry(Entry& entry) {
    if (entry.vertices != 0) m_gl.DeleteBuffer(entry.vertices);
    for (std::vector<GLuint>* list : {&entry.triangles, &entry.lines, &entry.flat})
        for (GLuint buffer : *list)
            if (buffer != 0) m_gl.DeleteBuffer(buffer);
    entry = Entry{};
}

void SimplifiedBuffers::End() {
    m_arrays.End();
}

int64_t SimplifiedBuffers::Draw(size_t index, const SimplifiedScene& copies, int level,
                                ObjectShape shape, int run) {
    const SimplifiedObject* copy = copies.Copy(index);
    if (!copy || !m_gl.HasBuffers() || level < 0) return -1;
    if (run >= 0 &&
        (shape == ObjectShape::Points || shape == ObjectShape::Lines || copy->runEnds.empty() ||
         static_cast<size_t>(run) >= copy->runEnds.front().size()))
        return -1;
    if (index >= m_entries.size()) m_entries.resize(index + 1);
    Entry& entry = m_entries[index];
    if (entry.serial != copies.Serial(index)) {
        ReleaseEntry(entry);
        entry.serial = copies.Serial(index);
        const size_t levels = copy->levels.size();
        entry.triangles.assign(levels, 0);
        entry.lines.assign(levels, 0);
        entry.flat.assign(levels, 0);
    }
    if (entry.failed) return -1;
    const size_t l = std::min(static_cast<size_t>(level), copy->levels.size() - 1);
    const std::vector<uint16_t>& corners = copy->levels[l];
    // The corners drawn: the whole level, or one run of it.
    size_t first = 0, end = corners.size();
    if (run >= 0) {
        const std::vector<size_t>& ends = copy->runEnds[l];
        first = run == 0 ? 0 : ends[static_cast<size_t>(run) - 1];
        end = ends[static_cast<size_t>(run)];
    }
    const GLsizei count = static_cast<GLsizei>(end - first);
    GLuint* buffer = nullptr;
    if (shape == ObjectShape::Flat) {
        buffer = &entry.flat[l];
        if (*buffer == 0) {
            const std::vector<SceneVertex> flat = FlatCorners(*copy, l);
            *buffer =
                m_arrays.Upload(GL_ARRAY_BUFFER, flat.data(), flat.size() * sizeof(SceneVertex));
        }
    } else {
        if (entry.vertices == 0)
            entry.vertices = m_arrays.Upload(GL_ARRAY_BUFFER, copy->vertices.data(),
                                             copy->vertices.size() * sizeof(SceneVertex));
        buffer = shape == ObjectShape::Lines ? &entry.lines[l] : &entry.triangles[l];
        if (entry.vertices != 0 && *buffer == 0) {
            std::vector<uint16_t> ends;
            if (shape == ObjectShape::Lines) {
                ends.reserve(corners.size() * 2);
                for (size_t i = 0; i + 2 < corners.size(); i += 3)
                    ends.insert(ends.end(), {corners[i], corners[i + 1], corners[i + 1],
                                             corners[i + 2], corners[i + 2], corners[i]});
            }
            const std::vector<uint16_t>& data = shape == ObjectShape::Lines ? ends : corners;
            *buffer = m_arrays.Upload(GL_ELEMENT_ARRAY_BUFFER, data.data(),
                                      data.size() * sizeof(uint16_t));
        }
    }
    if (*buffer == 0) {
        entry.failed = true;
        return -1;
    }
    const bool lit = shape == ObjectShape::Smooth || shape == ObjectShape::Flat;
    m_arrays.Set(true, lit);
    if (shape == ObjectShape::Flat) {
        m_gl.BindBuffer(GL_ARRAY_BUFFER, *buffer);
        m_gl.VertexPointer(kVertexStride, 0);
        m_gl.NormalPointer(kVertexStride, kNormalOffset);
        m_gl.DrawArrays(GL_TRIANGLES, static_cast<GLint>(first), count);
        return count / 3;
    }
    m_gl.BindBuffer(GL_ARRAY_BUFFER, entry.vertices);
    m_gl.VertexPointer(kVertexStride, 0);
    if (lit) m_gl.NormalPointer(kVertexStride, kNormalOffset);
    m_gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, *buffer);
    switch (shape) {
        case ObjectShape::Points:
            m_gl.DrawElements(GL_POINTS, count, 0);
            break;
        case ObjectShape::Lines:
            m_gl.DrawElements(GL_LINES, count * 2, 0);
            break;
        default:
            m_gl.DrawElements(GL_TRIANGLES, count, first * sizeof(uint16_t));
            break;
    }
    return count / 3;
}
