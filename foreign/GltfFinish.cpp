#include "GltfFinish.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

using Json = nlohmann::ordered_json;

namespace {

constexpr uint32_t kGlbMagic = 0x46546C67;  // "glTF"
constexpr uint32_t kJsonChunk = 0x4E4F534A;
constexpr uint32_t kBinChunk = 0x004E4942;

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
    uint32_t v = 0;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

void PutU32(std::vector<uint8_t>& b, uint32_t v) {
    const auto* p = reinterpret_cast<const uint8_t*>(&v);
    b.insert(b.end(), p, p + 4);
}

// The rotation that turns the camera's own axes (looking down -Z, up +Y) to look from eye at
// target with +Z up, as a quaternion x, y, z, w.
std::array<double, 4> LookRotation(const SceneCamera& c) {
    double look[3] = {c.targetX - c.posX, c.targetY - c.posY, c.targetZ - c.posZ};
    double length = std::sqrt(look[0] * look[0] + look[1] * look[1] + look[2] * look[2]);
    if (!(length > 0)) return {0, 0, 0, 1};
    for (double& v : look)
        v /= length;
    double right[3] = {look[1], -look[0], 0};  // look x (0, 0, 1)
    length = std::hypot(right[0], right[1]);
    if (length < 1e-9) right[0] = 1, right[1] = 0, length = 1;
    right[0] /= length, right[1] /= length;
    const double up[3] = {right[1] * look[2] - right[2] * look[1],
                          right[2] * look[0] - right[0] * look[2],
                          right[0] * look[1] - right[1] * look[0]};
    // Columns: right, up, -look.
    const double m[3][3] = {
        {right[0], up[0], -look[0]}, {right[1], up[1], -look[1]}, {right[2], up[2], -look[2]}};
    const double trace = m[0][0] + m[1][1] + m[2][2];
    std::array<double, 4> q{};
    if (trace > 0) {
        const double s = std::sqrt(trace + 1) * 2;
        q = {(m[2][1] - m[1][2]) / s, (m[0][2] - m[2][0]) / s, (m[1][0] - m[0][1]) / s, s / 4};
    } else if (m[0][0] > m[1][1] && m[0][0] > m[2][2]) {
        const double s = std::sqrt(1 + m[0][0] - m[1][1] - m[2][2]) * 2;
        q = {s / 4, (m[0][1] + m[1][0]) / s, (m[0][2] + m[2][0]) / s, (m[2][1] - m[1][2]) / s};
    } else if (m[1][1] > m[2][2]) {
        const double s = std::sqrt(1 + m[1][1] - m[0][0] - m[2][2]) * 2;
        q = {(m[0][1] + m[1][0]) / s, s / 4, (m[1][2] + m[2][1]) / s, (m[0][2] - m[2][0]) / s};
    } else {
        const double s = std::sqrt(1 + m[2][2] - m[0][0] - m[1][1]) * 2;
        q = {(m[0][2] + m[2][0]) / s, (m[1][2] + m[2][1]) / s, s / 4, (m[1][0] - m[0][1]) / s};
    }
    return q;
}

// The notes, lights and cameras.
void Finish(Json& gltf, const Scene& scene) {
    // The root node holds the turn to +Y; objects, lights and cameras go beneath it. It is
    // found by its index, as adding nodes moves the nodes in memory.
    size_t root = SIZE_MAX;
    if (gltf.contains("scenes") && !gltf["scenes"].empty() && gltf["scenes"][0].contains("nodes") &&
        !gltf["scenes"][0]["nodes"].empty()) {
        const size_t index = gltf["scenes"][0]["nodes"][0].get<size_t>();
        if (gltf.contains("nodes") && index < gltf["nodes"].size()) root = index;
    }
    if (root == SIZE_MAX) return;
    {
        // The objects' nodes come first, in the objects' order, each followed by its copies.
        size_t child = 0;
        const Json children = gltf["nodes"][root].value("children", Json::array());
        for (const SceneObject& o : scene.m_objects) {
            if (o.meshes.empty()) continue;
            // A note that only repeats the object's name (as a 3D Studio file's are) says
            // nothing its node's name does not.
            if (child < children.size() && !o.note.empty() && o.note != o.name)
                gltf["nodes"][children[child].get<size_t>()]["extras"]["note"] = o.note;
            child += 1 + o.copies.size();
        }
    }
    const auto addNode = [&](Json node) {
        gltf["nodes"].push_back(std::move(node));
        gltf["nodes"][root]["children"].push_back(gltf["nodes"].size() - 1);
    };
    if (!scene.m_lights.empty()) {
        Json lights = Json::array();
        for (const SceneLight& l : scene.m_lights) {
            lights.push_back({{"name", l.name},
                              {"type", "point"},
                              {"color", {l.color[0], l.color[1], l.color[2]}},
                              {"intensity", 1.0}});
            addNode({{"name", l.name},
                     {"translation", {l.x, l.y, l.z}},
                     {"extensions", {{"KHR_lights_punctual", {{"light", lights.size() - 1}}}}}});
        }
        gltf["extensions"]["KHR_lights_punctual"]["lights"] = lights;
        gltf["extensionsUsed"].push_back("KHR_lights_punctual");
    }
    if (!scene.m_cameras.empty()) {
        for (const SceneCamera& c : scene.m_cameras) {
            const double yfov = 2 * std::atan(20.0 / (c.lens > 0 ? c.lens : 50.0));
            gltf["cameras"].push_back(
                {{"name", c.name},
                 {"type", "perspective"},
                 {"perspective", {{"yfov", yfov}, {"znear", 1.0}, {"zfar", 100000.0}}}});
            const std::array<double, 4> q = LookRotation(c);
            addNode({{"name", c.name},
                     {"camera", gltf["cameras"].size() - 1},
                     {"translation", {c.posX, c.posY, c.posZ}},
                     {"rotation", {q[0], q[1], q[2], q[3]}}});
        }
    }
}

// glTF allows no empty list where the writer leaves one, nor a buffer of no bytes.
void RemoveEmpty(Json& gltf) {
    if (gltf.contains("buffers"))
        for (size_t b = gltf["buffers"].size(); b-- > 0;)
            if (gltf["buffers"][b].value("byteLength", 0) == 0 && !gltf.contains("bufferViews"))
                gltf["buffers"].erase(b);
    for (auto it = gltf.begin(); it != gltf.end();)
        it = it->is_array() && it->empty() ? gltf.erase(it) : std::next(it);
}

}  // namespace

bool FinishGltf(const std::string& path, const Scene& scene, std::string& why) {
    why = "the written file is not a glTF file";
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> head(20);
    in.read(reinterpret_cast<char*>(head.data()), 20);
    const bool glb = in.gcount() == 20 && U32At(head, 0) == kGlbMagic;
    in.clear();
    in.seekg(0, std::ios::end);
    const uint64_t size = static_cast<uint64_t>(in.tellg());
    // Only the JSON is read: a binary file's buffer is copied as it is, in blocks.
    uint64_t jsonAt = 0, jsonLength = size;
    if (glb) {
        jsonAt = 20;
        jsonLength = U32At(head, 12);
        if (U32At(head, 16) != kJsonChunk || jsonLength > size - 20) return false;
    }
    std::string text(static_cast<size_t>(jsonLength), '\0');
    in.seekg(static_cast<std::streamoff>(jsonAt));
    if (!in.read(text.data(), static_cast<std::streamsize>(text.size()))) return false;
    Json gltf = Json::parse(text, nullptr, false);
    if (gltf.is_discarded() || !gltf.is_object()) return false;
    // A text file's buffer of no bytes names a file of no bytes beside it, which goes too.
    std::string emptyBuffer;
    if (!glb && gltf.contains("buffers") && gltf["buffers"].size() == 1 &&
        gltf["buffers"][0].value("byteLength", 0) == 0)
        emptyBuffer = gltf["buffers"][0].value("uri", "");
    const Json before = gltf;
    Finish(gltf, scene);
    RemoveEmpty(gltf);
    if (gltf == before) return true;
    text = gltf.dump();

    const std::string written = path + ".finished";
    std::ofstream out(written, std::ios::binary | std::ios::trunc);
    if (glb) {
        while (text.size() % 4)
            text += ' ';
        // The binary chunk stays when the buffer does.
        const uint64_t binAt = 20 + jsonLength;
        uint64_t rest = 0;
        if (gltf.contains("buffers") && binAt + 8 <= size) rest = size - binAt;
        std::vector<uint8_t> header;
        PutU32(header, kGlbMagic);
        PutU32(header, 2);
        PutU32(header, static_cast<uint32_t>(12 + 8 + text.size() + rest));
        PutU32(header, static_cast<uint32_t>(text.size()));
        PutU32(header, kJsonChunk);
        out.write(reinterpret_cast<const char*>(header.data()), 20);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        in.seekg(static_cast<std::streamoff>(binAt));
        std::vector<char> block(1 << 20);
        while (rest > 0 && in) {
            const auto n = static_cast<std::streamsize>(std::min<uint64_t>(rest, block.size()));
            in.read(block.data(), n);
            out.write(block.data(), in.gcount());
            rest -= static_cast<uint64_t>(in.gcount());
        }
        if (rest) return false;
    } else {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    out.close();
    std::error_code error;
    if (!out || (std::filesystem::rename(written, path, error), error)) {
        why = "the file could not be written";
        return false;
    }
    if (!emptyBuffer.empty() && emptyBuffer.find('/') == std::string::npos)
        std::filesystem::remove(std::filesystem::path(path).parent_path() / emptyBuffer, error);
    return true;
}
