#include "view/FaceRuns.h"

FaceRuns MakeFaceRuns(const SceneObject& o) {
    FaceRuns made;
    const size_t meshCount = o.meshes.size();
    if (o.faceGroups.empty()) {
        made.runs.push_back({0, meshCount, -1});
        return made;
    }
    std::vector<bool> placed(meshCount, false);
    made.order.reserve(meshCount);
    for (size_t g = 0; g < o.faceGroups.size(); ++g) {
        const size_t first = made.order.size();
        for (uint32_t face : o.faceGroups[g].faces) {
            if (face >= meshCount || placed[face]) continue;
            placed[face] = true;
            made.order.push_back(face);
        }
        if (made.order.size() > first)
            made.runs.push_back({first, made.order.size() - first, static_cast<int>(g)});
    }
    const size_t first = made.order.size();
    for (size_t face = 0; face < meshCount; ++face)
        if (!placed[face]) made.order.push_back(static_cast<uint32_t>(face));
    if (made.order.size() > first) made.runs.push_back({first, made.order.size() - first, -1});
    return made;
}

const FaceRuns& FaceRunCache::For(size_t index, const SceneObject& o) {
    if (index >= m_entries.size()) m_entries.resize(index + 1);
    Entry& entry = m_entries[index];
    if (entry.revision == o.revision) return entry.runs;
    entry.runs = MakeFaceRuns(o);
    entry.runs.generation = m_nextGeneration++;
    entry.revision = o.revision;
    return entry.runs;
}

MaterialNames::MaterialNames(const Scene& scene) {
    for (size_t i = 0; i < scene.m_materialNames.size(); ++i)
        m_index[scene.m_materialNames[i]] = static_cast<int32_t>(i);
}

int32_t MaterialNames::IndexOf(const std::string& name) const {
    const auto found = m_index.find(name);
    return found == m_index.end() ? -1 : found->second;
}
