// libFuzzer entry for the 3DS reader: any bytes must import without harm and leave a scene that
// keeps its invariants. The main chunk's length is set to the input's size first: the reader
// refuses any other length, so mutations that change the size would all stop at the header.
// The same bytes read again with a listener, as `zemvora --check` reads them, give the same
// scene, and every note they give points into the file and can be printed. run.sh bounds each
// input's memory and time.
#include <cstdint>
#include <cstdlib>
#include <vector>

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    if (size >= 6) StoreU32(bytes.data() + 2, static_cast<uint32_t>(size));
    InputStream in(bytes.data(), bytes.size());
    Scene scene;
    const Read3dsResult result = Read3DS(in, scene);
    if (!SceneRuleBroken(scene).empty()) std::abort();

    InputStream again(bytes.data(), bytes.size());
    Scene heard;
    NotePrinter printer(size);
    if (Read3DS(again, heard, &printer) != result) std::abort();
    if (heard.m_objects.size() != scene.m_objects.size() ||
        heard.m_materials.size() != scene.m_materials.size() ||
        heard.m_lights.size() != scene.m_lights.size() ||
        heard.m_cameras.size() != scene.m_cameras.size())
        std::abort();
    for (size_t i = 0; i < scene.m_objects.size(); ++i) {
        const SceneObject& a = heard.m_objects[i];
        const SceneObject& b = scene.m_objects[i];
        if (a.meshes.size() != b.meshes.size() || a.vertices.size() != b.vertices.size() ||
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
