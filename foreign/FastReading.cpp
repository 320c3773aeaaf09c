#include "FastReading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>

#include "import3ds/SceneGeometry.h"

namespace {

constexpr float kPi = 3.14159265358979f;  // the library's AI_MATH_PI_F

std::function<void(double)>& ReadProgress() {
    static std::function<void(double)> tell;
    return tell;
}

}  // namespace

void SetReadProgress(std::function<void(double share)> tell) {
    ReadProgress() = std::move(tell);
}

FileByteSource::FileByteSource(const std::string& path)
    : m_fd(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    struct stat info {};
    m_open = m_fd >= 0 && fstat(m_fd, &info) == 0 && S_ISREG(info.st_mode);
    m_size = m_open ? static_cast<uint64_t>(info.st_size) : 0;
}

FileByteSource::~FileByteSource() {
    if (m_fd >= 0) close(m_fd);
}

bool FileByteSource::Read(void* to, size_t size) {
    if (!m_open) return false;
    auto* bytes = static_cast<unsigned char*>(to);
    while (size > 0) {
        const ssize_t got = read(m_fd, bytes, size);
        if (got <= 0) return false;
        bytes += got;
        size -= static_cast<size_t>(got);
        m_read += static_cast<uint64_t>(got);
    }
    if (ReadProgress() && m_size > 0)
        ReadProgress()(static_cast<double>(m_read) / static_cast<double>(m_size));
    return true;
}

bool FileByteSource::Peek(uint64_t past, void* to, size_t size) {
    if (!m_open || past > m_size - m_read || size > m_size - m_read - past) return false;
    auto* bytes = static_cast<unsigned char*>(to);
    auto at = static_cast<off_t>(m_read + past);
    while (size > 0) {
        const ssize_t got = pread(m_fd, bytes, size, at);
        if (got <= 0) return false;
        bytes += got, at += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

bool ReadFastFromFile(const std::string& path, FastRead read, Scene& scene,
                      std::vector<std::string>& report, std::string& why) {
    FileByteSource file(path);
    if (!file.Open()) {
        why = "it could not be read";
        return false;
    }
    return read(file, file.Size(), scene, report, why);
}

void FinishFastScene(MergedMesh& merged, SceneMaterial material, Scene& scene,
                     std::vector<std::string>& report, const std::string& name) {
    merged.materials.assign(merged.corners.size() / 3, 0);
    scene.m_materialNames.push_back(material.name);
    scene.m_materials.push_back(std::move(material));
    if (AnnouncingScenes() && !merged.materials.empty()) {
        const SceneSettings before = scene.m_settings;
        MakeBoundsEmpty(scene.m_settings);
        if (WidenByTriangles(merged.points, merged.corners, merged.materials.size(),
                             scene.m_settings))
            AnnounceScene(scene);
        else
            scene.m_settings = before;
    }
    AddObjects(merged, name, scene, report);
    ComputeSceneBounds(scene);
    scene.CountScene();
}

bool MemoryByteSource::Peek(uint64_t past, void* to, size_t size) {
    if (past > m_left || size > m_left - past) return false;
    std::memcpy(to, m_at + past, size);
    return true;
}

bool MemoryByteSource::Read(void* to, size_t size) {
    if (size > m_left) return false;
    std::memcpy(to, m_at, size);
    m_at += size;
    m_left -= size;
    return true;
}

int QuadStart(const MeshPoint* corner) {
    const auto minus = [](const MeshPoint& a, const MeshPoint& b) {
        return MeshPoint{a.x - b.x, a.y - b.y, a.z - b.z};
    };
    const auto normalised = [](MeshPoint v) {
        const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
        if (length > 0) {
            const float inverse = 1.0f / length;
            v.x *= inverse, v.y *= inverse, v.z *= inverse;
        }
        return v;
    };
    const auto dot = [](const MeshPoint& a, const MeshPoint& b) {
        return a.x * b.x + a.y * b.y + a.z * b.z;
    };
    for (int i = 0; i < 4; ++i) {
        const MeshPoint& v = corner[i];
        const MeshPoint left = normalised(minus(corner[(i + 3) % 4], v));
        const MeshPoint diagonal = normalised(minus(corner[(i + 2) % 4], v));
        const MeshPoint right = normalised(minus(corner[(i + 1) % 4], v));
        const float angle = std::acos(dot(left, diagonal)) + std::acos(dot(right, diagonal));
        if (angle > kPi) return i;
    }
    return 0;
}
