// The program's own glTF reader gives the scene the Open Asset Import Library's reading gives,
// byte for byte in the dump, on the test models and on files written here in the shapes
// exporters write; every file it does not read as the library does, or that contradicts itself,
// goes to the library with the reason.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <nlohmann/json.hpp>

#include "FastGltf.h"
#include "tests/FastReaderCompare.h"
#include "tests/TestFiles.h"

using namespace testfiles;
using fastreaders::ExpectTheLibrarysScene;
using Json = nlohmann::ordered_json;

namespace {

const std::string kModels = std::string(ZEMVORA_TESTDATA_DIR) + "/models/gltf/";

// A glTF file put together here: its JSON and the bytes of its one buffer.
struct Gltf {
    Json json = {{"asset", {{"version", "2.0"}}}};
    std::vector<uint8_t> bin;

    // Appends bytes as a buffer view, on a four-byte boundary; its index.
    int View(const void* data, size_t size, int stride = 0) {
        bin.resize((bin.size() + 3) & ~size_t{3});
        Json view = {{"buffer", 0}, {"byteOffset", bin.size()}, {"byteLength", size}};
        if (stride) view["byteStride"] = stride;
        bin.insert(bin.end(), static_cast<const uint8_t*>(data),
                   static_cast<const uint8_t*>(data) + size);
        return Add("bufferViews", view);
    }
    template <class T>
    int Accessor(const std::vector<T>& values, int componentType, const char* type, size_t count) {
        return Add("accessors", {{"bufferView", View(values.data(), values.size() * sizeof(T))},
                                 {"componentType", componentType},
                                 {"count", count},
                                 {"type", type}});
    }
    int Add(const char* list, Json entry) {
        json[list].push_back(std::move(entry));
        return static_cast<int>(json[list].size() - 1);
    }
    void Glb(const std::string& path) const {
        Json copy = json;
        copy["buffers"][0]["byteLength"] = bin.size();
        std::string text = copy.dump();
        text.resize((text.size() + 3) & ~size_t{3}, ' ');
        std::vector<uint8_t> body = bin;
        body.resize((body.size() + 3) & ~size_t{3}, 0);
        const uint32_t head[5] = {0x46546C67, 2, uint32_t(28 + text.size() + body.size()),
                                  uint32_t(text.size()), 0x4E4F534A};
        const uint32_t chunk[2] = {uint32_t(body.size()), 0x004E4942};
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(head), sizeof head).write(text.data(), text.size());
        out.write(reinterpret_cast<const char*>(chunk), sizeof chunk);
        out.write(reinterpret_cast<const char*>(body.data()), body.size());
    }
    // A .gltf whose buffer is the file uri beside it, or a data URI when uri is empty.
    void Text(const std::string& path, const std::string& uri) const {
        Json copy = json;
        copy["buffers"][0]["byteLength"] = bin.size();
        copy["buffers"][0]["uri"] =
            uri.empty() ? "data:application/octet-stream;base64," + Base64(bin) : uri;
        if (!uri.empty()) WriteBytes(fs::path(path).parent_path() / uri, bin);
        std::ofstream(path) << copy.dump(2);
    }
    static std::string Base64(const std::vector<uint8_t>& bytes) {
        const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        std::string text;
        for (size_t i = 0; i < bytes.size(); i += 3) {
            const size_t left = std::min<size_t>(3, bytes.size() - i);
            uint32_t bits = 0;
            for (size_t k = 0; k < 3; ++k)
                bits = bits << 8 | (k < left ? bytes[i + k] : 0);
            for (size_t k = 0; k < 4; ++k)
                text += k <= left ? alphabet[(bits >> (18 - 6 * k)) & 63] : '=';
        }
        return text;
    }
};

constexpr int kU8 = 5121, kU16 = 5123, kU32 = 5125, kFloat = 5126;

// A scene of the shapes exporters write: a node hierarchy with matrices and translations,
// rotations and scales, one mirrored; a box used by two nodes; a mesh of two primitives in two
// materials, one indexed with bytes, one without indices or material; a bumpy grid too large for
// one object, indexed with 32 bits, with minus zeros; vertices at one position whose normals,
// mapping coordinates and tangents are within 1e-5 or beyond, interleaved in one view; materials
// named and unnamed, met in another order than the file's, one unused; a base colour image held
// in the file and one named beside it; a perspective and an orthographic camera; two nodes of one
// name; positions 2e-6 apart, which the library joins as its hash map's buckets fall.
Gltf Showcase(const std::vector<uint8_t>& png) {
    Gltf g;
    g.json["buffers"] = {{{"byteLength", 0}}};
    // The box: 24 vertices, four to a face, with normals and mapping coordinates.
    std::vector<float> boxPoints, boxNormals, boxUvs;
    std::vector<uint16_t> boxIndices;
    for (int face = 0; face < 6; ++face) {
        const int axis = face / 2;
        const float sign = face % 2 ? -1.0f : 1.0f;
        for (int k = 0; k < 4; ++k) {
            float p[3];
            p[axis] = sign * 0.5f;
            p[(axis + 1) % 3] = (k == 1 || k == 2) ? 0.5f : -0.5f;
            p[(axis + 2) % 3] = k >= 2 ? 0.5f : -0.5f;
            boxPoints.insert(boxPoints.end(), p, p + 3);
            for (int c = 0; c < 3; ++c)
                boxNormals.push_back(c == axis ? sign : 0.0f);
            boxUvs.insert(boxUvs.end(), {k == 1 || k == 2 ? 1.0f : 0.0f, k >= 2 ? 0.25f : 0.75f});
        }
        for (int k : {0, 1, 2, 0, 2, 3})
            boxIndices.push_back(uint16_t(face * 4 + k));
    }
    const int box =
        g.Add("meshes", {{"name", "Box"},
                         {"primitives",
                          {{{"attributes",
                             {{"POSITION", g.Accessor(boxPoints, kFloat, "VEC3", 24)},
                              {"NORMAL", g.Accessor(boxNormals, kFloat, "VEC3", 24)},
                              {"TEXCOORD_0", g.Accessor(boxUvs, kFloat, "VEC2", 24)}}},
                            {"indices", g.Accessor(boxIndices, kU16, "SCALAR", boxIndices.size())},
                            {"material", 2}}}}});
    // Two primitives: a quad by byte indices and a triangle list without indices or material.
    const std::vector<float> quad = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    const std::vector<uint8_t> quadIndices = {0, 1, 2, 0, 2, 3};
    const std::vector<float> list = {0, 0, 1, 1, 0, 1, 0, 1, 1, 1, 0, 1, 1, 1, 1, 0, 1, 1, 5, 5, 5};
    const int two = g.Add(
        "meshes", {{"primitives",
                    {{{"attributes", {{"POSITION", g.Accessor(quad, kFloat, "VEC3", 4)}}},
                      {"indices", g.Accessor(quadIndices, kU8, "SCALAR", 6)},
                      {"material", 0}},
                     // Six vertices and a seventh left over, which the library drops.
                     {{"attributes", {{"POSITION", g.Accessor(list, kFloat, "VEC3", 7)}}}}}}});
    // The grid: 300 x 300 squares.
    std::vector<float> gridPoints;
    std::vector<uint32_t> gridIndices;
    const int n = 301;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            gridPoints.insert(gridPoints.end(), {i * 0.01f, j == 0 ? -0.0f : j * 0.01f,
                                                 0.05f * ((7 * i + 13 * j) % 17) / 17});
    for (int i = 0; i + 1 < n; ++i)
        for (int j = 0; j + 1 < n; ++j) {
            const uint32_t a = uint32_t(i * n + j), b = a + 1, c = a + n, d = c + 1;
            gridIndices.insert(gridIndices.end(), {a, c, d, a, d, b});
        }
    const int grid = g.Add(
        "meshes", {{"primitives",
                    {{{"attributes", {{"POSITION", g.Accessor(gridPoints, kFloat, "VEC3", n * n)}}},
                      {"indices", g.Accessor(gridIndices, kU32, "SCALAR", gridIndices.size())},
                      {"material", 3}}}}});
    // Six vertices, position, normal, tangent and mapping coordinates interleaved: three at
    // the origin whose normals lie within 1e-5 of one another, two at one position whose mapping
    // coordinates do not, one of them with its bitangent turned.
    std::vector<float> mixed;
    for (int k = 0; k < 6; ++k)
        mixed.insert(mixed.end(), {k == 3 || k == 4 ? 1.0f : 0.0f, k == 5 ? 1.0f : 0.0f, 0, 0, 0,
                                   1 + (k < 3 ? 4e-6f * k : 0.0f), 1, 0, 0, k == 4 ? -1.0f : 1.0f,
                                   k == 4 ? 0.501f : 0.5f, 0.5f});
    const std::vector<uint32_t> mixedIndices = {0, 3, 5, 1, 4, 5, 2, 3, 5};
    const int mixedView = g.View(mixed.data(), mixed.size() * 4, 48);
    const auto interleaved = [&](size_t offset, const char* type) {
        return g.Add("accessors", {{"bufferView", mixedView},
                                   {"byteOffset", offset},
                                   {"componentType", kFloat},
                                   {"count", 6},
                                   {"type", type}});
    };
    const int joined = g.Add("meshes", {{"primitives",
                                         {{{"attributes",
                                            {{"POSITION", interleaved(0, "VEC3")},
                                             {"NORMAL", interleaved(12, "VEC3")},
                                             {"TANGENT", interleaved(24, "VEC4")},
                                             {"TEXCOORD_0", interleaved(40, "VEC2")}}},
                                           {"indices", g.Accessor(mixedIndices, kU32, "SCALAR", 9)},
                                           {"material", 1}}}}});
    // Forty primitives of two triangles, each with two vertices 2e-6 apart: the library joins
    // such a pair only where the two fall in one bucket of its hash map.
    std::vector<float> nearPoints;
    for (int k = 0; k < 40; ++k) {
        const float x = k * 0.37f, y = k * 0.11f;
        nearPoints.insert(nearPoints.end(), {x, y, 0, x + 2e-6f, y, 0, x + 1, y, 0, x, y + 1, 0});
    }
    const std::vector<uint8_t> nearIndices = {0, 2, 3, 1, 3, 2};
    const int nearView = g.View(nearPoints.data(), nearPoints.size() * 4);
    const int nearIndex = g.Accessor(nearIndices, kU8, "SCALAR", 6);
    Json nearPrimitives = Json::array();
    for (int k = 0; k < 40; ++k)
        nearPrimitives.push_back({{"attributes",
                                   {{"POSITION", g.Add("accessors", {{"bufferView", nearView},
                                                                     {"byteOffset", 48 * k},
                                                                     {"componentType", kFloat},
                                                                     {"count", 4},
                                                                     {"type", "VEC3"}})}}},
                                  {"indices", nearIndex}});
    const int near = g.Add("meshes", {{"primitives", nearPrimitives}});
    const int image = g.View(png.data(), png.size());
    g.json["images"] = {{{"uri", "maps/wood.png"}},
                        {{"bufferView", image}, {"mimeType", "image/png"}, {"name", "logo.png"}},
                        {{"bufferView", image}, {"mimeType", "image/png"}}};
    g.json["samplers"] = {{{"wrapS", 33071}}, {{"wrapS", 33648}}};
    g.json["textures"] = {
        {{"source", 0}, {"sampler", 1}}, {{"source", 1}, {"sampler", 0}}, {{"source", 2}}};
    g.json["materials"] = {
        {{"name", "Quad"}, {"pbrMetallicRoughness", {{"baseColorFactor", {0.2, 0.4, 0.6, 0.5}}}}},
        {{"name", "Wood"},
         {"pbrMetallicRoughness",
          {{"baseColorTexture", {{"index", 0}}}, {"roughnessFactor", 0.3}}}},
        {{"pbrMetallicRoughness", {{"baseColorTexture", {{"index", 2}}}}},
         {"normalTexture", {{"index", 1}}}},
        {{"name", "Quad"}, {"pbrMetallicRoughness", {{"metallicFactor", 0.0}}}},
        {{"name", "Unused"}}};
    const float half = std::sqrt(0.5f);
    g.json["nodes"] = {{{"name", "Root"},
                        {"children", {1, 2, 4, 5, 6, 8}},
                        {"matrix", {1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0.5, 0, -2, 1}}},
                       {{"name", "Twin"},
                        {"mesh", box},
                        {"translation", {1, 2, 3}},
                        {"rotation", {0, half, 0, half}},
                        {"scale", {2, 1, 0.5}}},
                       {{"name", "Twin"}, {"mesh", box}, {"scale", {-1, 1, 1}}, {"children", {3}}},
                       {{"mesh", two}, {"translation", {0, 0, 4}}},
                       {{"name", "Lens"}, {"camera", 1}, {"translation", {0, 1, 10}}},
                       {{"name", "Grid"}, {"mesh", grid}, {"children", {7}}},
                       {{"name", "Top"},
                        {"camera", 0},
                        {"matrix", {1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0, 20, 0, 1}}},
                       {{"name", "Mixed"}, {"mesh", joined}, {"rotation", {0.5, 0.5, 0.5, 0.5}}},
                       {{"name", "Near"}, {"mesh", near}}};
    g.json["cameras"] = {
        {{"type", "orthographic"}, {"orthographic", {{"xmag", 8}, {"ymag", 6}}}},
        {{"type", "perspective"}, {"perspective", {{"yfov", 0.8}, {"aspectRatio", 1.5}}}}};
    g.json["scenes"] = {{{"nodes", {0}}}};
    return g;
}

}  // namespace

TEST(FastGltf, EveryFileGivesTheLibrarysScene) {
    TempDir dir;
    const Gltf scene = Showcase(ReadBytes(kModels + "CesiumLogoFlat.png"));
    scene.Glb(dir.File("scene.glb"));
    scene.Text(dir.File("scene.gltf"), "scene.bin");
    scene.Text(dir.File("inline.gltf"), "");
    // Two roots under the library's own, a material of the specular-glossiness extension.
    Gltf roots = scene;
    roots.json["scenes"][0]["nodes"] = {5, 3, 1};
    roots.json["extensionsUsed"] = {"KHR_materials_pbrSpecularGlossiness"};
    roots.json["materials"][3]["extensions"]["KHR_materials_pbrSpecularGlossiness"] = {
        {"diffuseFactor", {0.1, 0.9, 0.3, 0.7}},
        {"specularFactor", {0.5, 0.5, 0.0}},
        {"glossinessFactor", 0.1}};
    // A file beside it named as the image held in the file is, which the library takes for it.
    roots.json["images"][0]["uri"] = "other/logo.png";
    roots.Glb(dir.File("roots.glb"));
    // The grid alone, mirrored and turned, with a camera below it: a model of one mesh of one
    // primitive, more vertices than one batch of joining, which the child cuts into objects as
    // its vertices are joined; once without normals and once with.
    Gltf alone = scene;
    alone.json["scenes"][0]["nodes"] = {5};
    alone.json["nodes"][0]["children"] = {1, 2, 6, 8};
    alone.json["nodes"][5]["children"] = {4};
    alone.json["nodes"][5]["scale"] = {-1, 1, 1};
    alone.json["nodes"][5]["rotation"] = {0, 0.6, 0, 0.8};
    alone.Glb(dir.File("alone.glb"));
    const size_t gridVertices = 301 * 301;
    std::vector<float> normals;
    for (size_t v = 0; v < gridVertices; ++v)
        normals.insert(normals.end(), {0.1f * float(v % 7), 1.0f, 0.05f * float(v % 3)});
    const int gridMesh = alone.json["nodes"][5]["mesh"];
    alone.json["meshes"][gridMesh]["primitives"][0]["attributes"]["NORMAL"] =
        alone.Accessor(normals, kFloat, "VEC3", gridVertices);
    alone.Glb(dir.File("alone-normals.glb"));

    for (const std::string& path :
         {kModels + "BoxTextured.gltf", kModels + "BoxTexturedBinary.glb", dir.File("scene.glb"),
          dir.File("scene.gltf"), dir.File("inline.gltf"), dir.File("roots.glb"),
          dir.File("alone.glb"), dir.File("alone-normals.glb")})
        ExpectTheLibrarysScene(path, nullptr, ReadGltf);
}

TEST(FastGltf, EveryFileItDoesNotReadAsTheLibraryGoesToTheLibrary) {
    TempDir dir;
    const Gltf scene = Showcase(ReadBytes(kModels + "CesiumLogoFlat.png"));
    struct Case {
        const char* name;
        std::function<void(Gltf&)> change;
        const char* declined;
    };
    const auto accessor = [](Gltf& g, int index) -> Json& { return g.json["accessors"][index]; };
    const Case cases[] = {
        {"offset.glb", [&](Gltf& g) { accessor(g, 0)["byteOffset"] = 8; },
         "an accessor reaches past its buffer view"},
        {"count.glb", [&](Gltf& g) { accessor(g, 3)["count"] = 400; },
         "an accessor reaches past its buffer view"},
        {"stride.glb", [](Gltf& g) { g.json["bufferViews"][0]["byteStride"] = 8; },
         "a buffer view's stride is shorter than its accessor's elements"},
        {"view.glb", [](Gltf& g) { g.json["bufferViews"][1]["byteLength"] = 1 << 30; },
         "a buffer view reaches past its buffer"},
        {"index.glb",
         [](Gltf& g) { g.bin[g.json["bufferViews"][3]["byteOffset"].get<size_t>() + 2] = 24; },
         "an index names a vertex that is not there"},
        {"lines.glb", [](Gltf& g) { g.json["meshes"][1]["primitives"][1]["mode"] = 1; },
         "it has points, lines, strips or fans"},
        {"sparse.glb",
         [&](Gltf& g) {
             accessor(g, 4)["sparse"] = {{"count", 1}};
         },
         "it has sparse accessors"},
        {"draco.glb",
         [](Gltf& g) { g.json["extensionsRequired"] = {"KHR_draco_mesh_compression"}; },
         "its meshes are compressed"},
        {"lights.glb", [](Gltf& g) { g.json["extensionsUsed"] = {"KHR_lights_punctual"}; },
         "it has lights"},
        {"transform.glb", [](Gltf& g) { g.json["extensionsUsed"] = {"KHR_texture_transform"}; },
         "it has texture transforms"},
        {"skins.glb",
         [](Gltf& g) {
             g.json["skins"] = {{{"joints", {1}}}};
         },
         "it has skins"},
        {"animations.glb", [](Gltf& g) { g.json["animations"] = {Json::object()}; },
         "it has animations"},
        {"targets.glb",
         [](Gltf& g) {
             g.json["meshes"][2]["primitives"][0]["targets"] = {{{"POSITION", 4}}};
         },
         "it has morph targets"},
        {"scenes.glb", [](Gltf& g) { g.json["scenes"].push_back(g.json["scenes"][0]); },
         "it holds more than one scene"},
        {"quantized.glb", [&](Gltf& g) { accessor(g, 0)["componentType"] = kU16; },
         "its positions are not floats"},
        {"cycle.glb", [](Gltf& g) { g.json["nodes"][3]["children"] = {2}; },
         "a node is its own ancestor"},
        {"gap.glb",
         [](Gltf& g) {
             Json& attributes = g.json["meshes"][0]["primitives"][0]["attributes"];
             attributes["TEXCOORD_1"] = attributes["TEXCOORD_0"];
             attributes.erase("TEXCOORD_0");
         },
         "an attribute's sets do not start at 0 and go on"},
        {"missing.glb", [](Gltf& g) { g.json["nodes"][0]["children"].push_back(40); },
         "it names an entry of \"nodes\" that is not there"},
        {"type.glb", [](Gltf& g) { g.json["nodes"][1]["mesh"] = "0"; },
         "\"mesh\" is not a whole number"},
        {"version.glb", [](Gltf& g) { g.json["asset"]["version"] = "1.0"; },
         "its glTF version is not 2"},
        {"empty.glb", [](Gltf& g) { g.json["scenes"][0]["nodes"] = Json::array(); },
         "it holds no triangles"},
        // Twelve levels of nodes naming the next twice, the last the grid: 4,096 grids.
        {"repeated.glb",
         [](Gltf& g) {
             for (int level = 0; level < 12; ++level)
                 g.Add("nodes",
                       {{"children", {g.json["nodes"].size() + 1, g.json["nodes"].size() + 1}}});
             g.Add("nodes", {{"mesh", 2}});
             g.json["scenes"][0]["nodes"] = {g.json["nodes"].size() - 13};
         },
         "it repeats its meshes more than the reader takes"},
    };
    for (const Case& c : cases) {
        Gltf changed = scene;
        c.change(changed);
        changed.Glb(dir.File(c.name));
        ExpectTheLibrarysScene(dir.File(c.name), c.declined, ReadGltf);
    }

    // Broken containers and text.
    scene.Glb(dir.File("cut.glb"));
    fs::resize_file(dir.File("cut.glb"), fs::file_size(dir.File("cut.glb")) - 5);
    std::vector<uint8_t> bytes = ReadBytes(dir.File("cut.glb"));
    bytes[15] = 0x7F;  // a JSON chunk longer than the file
    WriteBytes(dir.File("long.glb"), bytes);
    std::ofstream(dir.File("twice.gltf")) << R"({"asset": {"version": "2.0"}, "scene": 0,
        "scene": 0, "scenes": [{"nodes": []}]})";
    std::ofstream(dir.File("broken.gltf")) << R"({"asset": {"version": "2.0"}, "scenes": [)";
    scene.Text(dir.File("gone.gltf"), "gone.bin");
    fs::remove(dir.File("gone.bin"));
    fs::copy_file(dir.File("cut.glb"), dir.File("binary.gltf"));
    const std::pair<std::string, const char*> files[] = {
        {"cut.glb", "its binary chunk runs past its end"},
        {"long.glb", "its JSON chunk runs past its end"},
        {"twice.gltf", "its JSON names a key twice in one object"},
        {"broken.gltf", "its JSON does not parse"},
        {"gone.gltf", "a buffer's file could not be read"},
        {"binary.gltf", "it is a binary glTF named .gltf"},
    };
    for (const auto& [name, declined] : files)
        ExpectTheLibrarysScene(dir.File(name), declined, ReadGltf);
}
