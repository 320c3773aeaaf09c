#include "FastReading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "import3ds/SceneGeometry.h"

namespace {

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
                     std::vector<std::string>& report) {
    merged.materials.assign(merged.corners.size() / 3, 0);
    scene.m_materialNames.push_back(material.name);
    scene.m_materials.push_back(std::move(material));
    AddObjects(merged, "Object 1", scene, report);
    ComputeSceneBounds(scene);
    scene.CountScene();
}

bool MemoryByteSource::Read(void* to, size_t size) {
    if (size > m_left) return false;
    std::memcpy(to, m_at, size);
    m_at += size;
    m_left -= size;
    return true;
}
