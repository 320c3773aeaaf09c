// libFuzzer entry for the 3DS reader: any bytes must import without harm and leave a scene that
// keeps its invariants. The main chunk's length is set to the input's size first: the reader
// refuses any other length, so mutations that change the size would all stop at the header.
// The same bytes read again from a file, in windows of one page of which two are held (as a large
// file is read), with a listener, as `zemvora --check` reads them, give the same scene, and every
// note they give points into the file and can be printed. run.sh bounds each input's memory and
// time.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "cli/ImportCheck.h"
#include "import3ds/Read3DS.h"
#include "scene/ByteOrder.h"
#include "scene/SceneCheck.h"

namespace {

class NotePrinter final : public ImportListener {
public:
    explicit NotePrinter(uint64_t size) : m_size(size) {}
    void Found(const ImportNote& note) override {
        if (note.offset > m_size || ImportNoteLine(note).empty()) std::abort();
    }

private:
    uint64_t m_size;
};

// One file in the temporary folder for every input, removed when the fuzzer ends.
const std::string& ScratchFile() {
    static const std::string path = [] {
        char name[] = "/tmp/fuzz-read3ds-XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0) std::abort();
        close(fd);
        std::atexit([] { std::remove(ScratchFile().c_str()); });
        return std::string(name);
    }();
    return path;
}

std::unique_ptr<InputStream> FromFile(const std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(ScratchFile().c_str(), "wb");
    if (!file ||
        (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()))
        std::abort();
    std::fclose(file);
    int error = 0;
    std::unique_ptr<InputStream> in = InputStream::OpenFile(
        ScratchFile(), error, {static_cast<size_t>(sysconf(_SC_PAGESIZE)), 2});
    if (!in) std::abort();
    return in;
}

// The same number of items with the same bytes (the records have no padding).
template <class List>
bool SameItems(const List& a, const List& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof a[0]) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    if (size >= 6) StoreU32(bytes.data() + 2, static_cast<uint32_t>(size));
    InputStream in(bytes.data(), bytes.size());
    Scene scene;
    const Read3dsResult result = Read3DS(in, scene);
    if (!SceneRuleBroken(scene).empty()) std::abort();

    std::unique_ptr<InputStream> again = FromFile(bytes);
    Scene heard;
    NotePrinter printer(size);
    if (Read3DS(*again, heard, &printer) != result || again->Error() != 0) std::abort();
    if (heard.m_objects.size() != scene.m_objects.size() ||
        heard.m_materials.size() != scene.m_materials.size() ||
        heard.m_lights.size() != scene.m_lights.size() ||
        heard.m_cameras.size() != scene.m_cameras.size())
        std::abort();
    for (size_t i = 0; i < scene.m_objects.size(); ++i) {
        const SceneObject& a = scene.m_objects[i];
        const SceneObject& b = heard.m_objects[i];
        if (!SameItems(a.vertices, b.vertices) || !SameItems(a.meshes, b.meshes) ||
            a.faceGroups.size() != b.faceGroups.size() || a.uvs.size() != b.uvs.size())
            std::abort();
    }
    for (size_t i = 0; i < scene.m_materials.size(); ++i) {
        if (heard.m_materials[i].textureMap.has_value() !=
            scene.m_materials[i].textureMap.has_value())
            std::abort();
    }
    return 0;
}
