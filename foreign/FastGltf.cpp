#include "FastGltf.h"

#include <assimp/material.h>
#include <assimp/scene.h>
#include <assimp/texture.h>
#include <assimp/types.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "ConvertScene.h"
#include "FastReading.h"
#include "MeshObjects.h"
#include "import3ds/SceneGeometry.h"

// The reader follows the library's glTF reading step by step where that decides what the scene
// holds: the library reads the file's objects lazily, as the scene's nodes reach them (children
// before their node's mesh, a mesh's materials as its primitives name them, a material's textures
// in a fixed order), and numbers materials and images held in the file in that order; it adds a
// default material after the file's own; it makes an object of every node a node reaches, again
// for a node reached twice. Where the library would fail on a file, or the two could part ways,
// the reader declines it with the reason, and the library reads it.

namespace {

using Json = nlohmann::ordered_json;

// Why the reader leaves a file to the library: thrown where that is found, caught at the top.
struct Declined {
    std::string why;
};

[[noreturn]] void Decline(std::string why) {
    throw Declined{std::move(why)};
}

std::string Quoted(const char* key) {
    return std::string("\"") + key + "\"";
}

// ---- JSON ----------------------------------------------------------------------------------

// The deepest nesting of the JSON taken; a glTF file needs a few levels.
constexpr int kMostJsonDepth = 64;

// The JSON text parsed as the library's parser sees it: the text ends at its first zero byte
// (writers pad the chunk with them); a byte order mark, or a key twice in one object, which the
// two parsers would take differently, is not taken.
Json ParseJson(std::string& text) {
    const size_t zero = text.find('\0');
    if (zero != std::string::npos) text.resize(zero);
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) Decline("its JSON starts with a byte order mark");
    std::vector<std::unordered_set<std::string>> keys;
    const auto check = [&keys](int depth, Json::parse_event_t event, Json& parsed) {
        if (depth > kMostJsonDepth) Decline("its JSON nests too deeply");
        if (event == Json::parse_event_t::object_start) {
            keys.emplace_back();
        } else if (event == Json::parse_event_t::object_end) {
            keys.pop_back();
        } else if (event == Json::parse_event_t::key &&
                   !keys.back().insert(parsed.get<std::string>()).second) {
            Decline("its JSON names a key twice in one object");
        }
        return true;
    };
    try {
        Json doc = Json::parse(text, check);
        if (!doc.is_object()) Decline("its JSON is not an object");
        return doc;
    } catch (const Json::exception&) {
        Decline("its JSON does not parse");
    }
}

const Json* Member(const Json& object, const char* key) {
    const auto at = object.find(key);
    return at == object.end() ? nullptr : &*at;
}

// Whether value is a whole number from 0 to 2^32 - 1 as the library's parser takes one ("-0" is
// one to it), and which.
bool AsIndex(const Json& value, uint32_t& out) {
    if (value.is_number_unsigned()) {
        const uint64_t number = value.get<uint64_t>();
        if (number > UINT32_MAX) return false;
        out = static_cast<uint32_t>(number);
        return true;
    }
    if (value.is_number_integer() && value.get<int64_t>() == 0) {
        out = 0;
        return true;
    }
    return false;
}

uint32_t IndexValue(const Json& value, const char* key) {
    uint32_t index = 0;
    if (!AsIndex(value, index)) Decline(Quoted(key) + " is not a whole number");
    return index;
}

std::optional<uint32_t> IndexMember(const Json& object, const char* key) {
    const Json* value = Member(object, key);
    if (!value) return std::nullopt;
    return IndexValue(*value, key);
}

// A byte offset, length or stride: the library reads them as signed 32-bit numbers.
uint64_t SizeMember(const Json& object, const char* key, uint64_t otherwise) {
    const std::optional<uint32_t> value = IndexMember(object, key);
    if (!value) return otherwise;
    if (*value > INT32_MAX) Decline(Quoted(key) + " is too large");
    return *value;
}

float Number(const Json& value, const char* key) {
    if (!value.is_number()) Decline(Quoted(key) + " is not a number");
    return static_cast<float>(value.get<double>());
}

std::optional<float> NumberMember(const Json& object, const char* key) {
    const Json* value = Member(object, key);
    if (!value) return std::nullopt;
    return Number(*value, key);
}

template <size_t N>
bool NumbersMember(const Json& object, const char* key, float (&out)[N]) {
    const Json* value = Member(object, key);
    if (!value) return false;
    if (!value->is_array() || value->size() != N)
        Decline(Quoted(key) + " is not " + std::to_string(N) + " numbers");
    for (size_t i = 0; i < N; ++i)
        out[i] = Number((*value)[i], key);
    return true;
}

const Json* ObjectMember(const Json& object, const char* key) {
    const Json* value = Member(object, key);
    if (value && !value->is_object()) Decline(Quoted(key) + " is not an object");
    return value;
}

const Json* ArrayMember(const Json& object, const char* key) {
    const Json* value = Member(object, key);
    if (value && !value->is_array()) Decline(Quoted(key) + " is not an array");
    return value;
}

const std::string* StringMember(const Json& object, const char* key) {
    const Json* value = Member(object, key);
    if (!value) return nullptr;
    if (!value->is_string()) Decline(Quoted(key) + " is not a string");
    return &value->get_ref<const std::string&>();
}

// A name or a file name as the reader keeps it: the library keeps at most 1,023 bytes of one and
// ends it at a zero byte, so neither is taken.
std::optional<std::string> TextMember(const Json& object, const char* key) {
    const std::string* text = StringMember(object, key);
    if (!text) return std::nullopt;
    if (text->size() >= 1000 || text->find('\0') != std::string::npos)
        Decline(Quoted(key) + " is too long or holds a zero byte");
    return *text;
}

// ---- Data URIs -------------------------------------------------------------------------------

int Sextet(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

// The bytes of a data URI: only base64 with a short header is taken (the library keeps the
// header's offsets in single bytes and reads other characters as 'A').
std::vector<unsigned char> DataUriBytes(const std::string& uri) {
    const size_t comma = uri.find(',');
    if (comma == std::string::npos || comma > 100) Decline("a data URI's header is not short");
    bool base64 = false;
    size_t at = uri.find(';', 5);
    while (at < comma) {
        const size_t end = std::min(uri.find(';', at + 1), comma);
        const std::string parameter = uri.substr(at + 1, end - at - 1);
        if (parameter == "base64")
            base64 = true;
        else if (parameter.compare(0, 8, "charset=") != 0)
            Decline("a data URI has a parameter the reader does not know");
        at = end;
    }
    if (!base64) Decline("a data URI is not base64");
    const char* text = uri.data() + comma + 1;
    size_t length = uri.size() - comma - 1;
    if (length == 0 || length % 4 != 0) Decline("a data URI's base64 is empty or cut short");
    for (int k = 0; k < 2 && text[length - 1] == '='; ++k)
        --length;
    std::vector<unsigned char> bytes;
    bytes.reserve(length / 4 * 3 + 2);
    uint32_t bits = 0;
    int held = 0;
    for (size_t i = 0; i < length; ++i) {
        const int sextet = Sextet(text[i]);
        if (sextet < 0) Decline("a data URI's base64 holds other characters");
        bits = (bits << 6) | static_cast<uint32_t>(sextet);
        held += 6;
        if (held >= 8) {
            held -= 8;
            bytes.push_back(static_cast<unsigned char>(bits >> held));
        }
    }
    return bytes;
}

bool IsDataUri(const std::string& uri) {
    return uri.compare(0, 5, "data:") == 0;
}

// ---- Bytes -----------------------------------------------------------------------------------

// Files are read in pieces, each telling the progress.
constexpr uint64_t kReadPiece = uint64_t{4} << 20;

std::unique_ptr<unsigned char[]> ReadBytes(ByteSource& source, uint64_t size) {
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[std::max<uint64_t>(size, 1)]);
    for (uint64_t done = 0; done < size;) {
        const uint64_t piece = std::min(kReadPiece, size - done);
        if (!source.Read(bytes.get() + done, piece)) Decline("it could not be read");
        done += piece;
    }
    return bytes;
}

uint32_t U32At(const unsigned char* at) {
    uint32_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// What a file holds: its JSON and, for a .glb, its binary chunk (none when the header's length
// ends before it, as the library reads it).
struct GltfText {
    std::string json;
    std::unique_ptr<unsigned char[]> body;
    uint64_t bodySize = 0;
};

constexpr uint32_t kJsonChunk = 0x4E4F534A;
constexpr uint32_t kBinaryChunk = 0x004E4942;

GltfText ReadGlb(ByteSource& source, uint64_t size) {
    unsigned char head[20];
    if (size < sizeof head || !source.Read(head, sizeof head))
        Decline("it is too short for a binary glTF");
    if (std::memcmp(head, "glTF", 4) != 0) Decline("it is not a binary glTF");
    if (U32At(head + 4) != 2) Decline("its binary glTF version is not 2");
    const uint32_t declared = U32At(head + 8), jsonSize = U32At(head + 12);
    if (U32At(head + 16) != kJsonChunk) Decline("its first chunk is not JSON");
    if (jsonSize > size - sizeof head) Decline("its JSON chunk runs past its end");
    if (jsonSize < 2) Decline("its JSON chunk is empty");
    GltfText text;
    text.json.resize(jsonSize);
    if (!source.Read(text.json.data(), jsonSize)) Decline("it could not be read");
    const uint32_t padding = (4 - jsonSize % 4) % 4;
    const uint64_t bodyAt = uint64_t{sizeof head} + jsonSize + padding + 8;
    if (declared < bodyAt) return text;
    unsigned char chunk[8];
    if (bodyAt > size || !source.Read(chunk, padding) || !source.Read(chunk, sizeof chunk))
        Decline("its binary chunk runs past its end");
    if (U32At(chunk + 4) != kBinaryChunk) Decline("its second chunk is not binary");
    text.bodySize = U32At(chunk);
    if (text.bodySize > size - bodyAt) Decline("its binary chunk runs past its end");
    text.body = ReadBytes(source, text.bodySize);
    return text;
}

// ---- What the file holds, as the library reads it ------------------------------------------

struct Buffer {
    std::unique_ptr<unsigned char[]> bytes;  // null when it holds nothing
    uint64_t size = 0;
};

struct View {
    uint32_t buffer = 0;
    uint64_t offset = 0, length = 0, stride = 0;
};

enum ComponentType : uint32_t {
    kByte = 5120,
    kUnsignedByte = 5121,
    kShort = 5122,
    kUnsignedShort = 5123,
    kUnsignedInt = 5125,
    kFloat = 5126,
};

struct Accessor {
    uint32_t view = 0;
    uint32_t count = 0;
    uint32_t componentType = kByte;
    uint32_t components = 1;
    uint64_t elementSize = 1, stride = 1;
    const unsigned char* first = nullptr;  // the first element's bytes

    const unsigned char* At(uint32_t i) const { return first + i * stride; }
    bool Is(uint32_t type, uint32_t n) const { return componentType == type && components == n; }
};

struct Image {
    std::string name, uri;                 // the uri of an image beside the file
    const unsigned char* bytes = nullptr;  // an image file held in the file: in a buffer,
    size_t size = 0;                       // or in decoded
    std::vector<unsigned char> decoded;    // a data URI's bytes
    int32_t embedded = -1;                 // its number among the images the file holds
};

constexpr uint32_t kRepeat = 10497, kClampToEdge = 33071, kMirroredRepeat = 33648;

struct Texture {
    int32_t image = -1;
    uint32_t wrapS = kRepeat;
};

// A material as the library's conversion gives it.
struct Material {
    std::string name;
    float diffuse[4] = {1, 1, 1, 1};
    float opacity = 1;
    bool hasSpecular = false;
    float specular[3] = {1, 1, 1};
    float shininess = 0;      // the library's Phong exponent, from the roughness
    int32_t diffuseMap = -1;  // the texture whose image maps the diffuse colour
};

// A primitive's accessors by attribute and set.
struct PrimitiveSource {
    int32_t indices = -1;
    int32_t material = -1;  // -1: the library's default material
    std::vector<uint32_t> positions, normals, tangents, texcoords, colors, joints, jointMatrices,
        weights;
};

struct Camera {
    std::string name;
    aiVector3D position;
    float horizontalFov = 0, aspect = 0;
};

struct Node {
    std::string name;
    aiMatrix4x4 transform;
    std::vector<uint32_t> children;
    int32_t mesh = -1, camera = -1;
    bool hasTranslation = false;
    aiVector3D translation;
};

// A node as the library makes it for each path from the scene's roots.
struct Instance {
    int32_t node = -1;  // -1 for the root the library adds above two or more
    int32_t parent = -1;
    std::vector<uint32_t> children;
};

// The triangles of one primitive as the library keeps them once identical vertices are joined.
struct Primitive {
    uint32_t material = 0;
    std::vector<MeshPoint> points;
    std::vector<SceneUv> uvs;        // empty without a first set of mapping coordinates
    std::vector<MeshPoint> normals;  // empty without normals
    std::vector<uint32_t> corners;
};

// The library's objects of one kind, in the order it meets them: their file index gives their
// place, or -1 while unread, or kReading while they are read.
template <class T>
struct Dictionary {
    static constexpr int32_t kReading = -2;
    const Json* array = nullptr;
    const char* name = "";
    std::vector<int32_t> place;
    std::vector<T> items;

    void Attach(const Json& doc, const char* key) {
        name = key;
        array = ArrayMember(doc, key);
        place.assign(array ? array->size() : 0, -1);
    }
    // The entry at index, checked as the library checks what it reads of every entry.
    const Json& Entry(uint32_t index) const {
        if (!array || index >= array->size())
            Decline(std::string("it names an entry of ") + Quoted(name) + " that is not there");
        const Json& entry = (*array)[index];
        if (!entry.is_object())
            Decline(std::string("an entry of ") + Quoted(name) + " is not an object");
        TextMember(entry, "name");
        ObjectMember(entry, "extensions");
        ObjectMember(entry, "extras");
        return entry;
    }
    // The place of the entry at index once it is read.
    std::optional<uint32_t> Placed(uint32_t index) const {
        if (index < place.size() && place[index] >= 0) return static_cast<uint32_t>(place[index]);
        return std::nullopt;
    }
    uint32_t Add(uint32_t index, T item) {
        place[index] = static_cast<int32_t>(items.size());
        items.push_back(std::move(item));
        return static_cast<uint32_t>(items.size() - 1);
    }
};

// The deepest node hierarchy and the most node paths taken: a hierarchy that names a node from
// many places makes an object for every path.
constexpr int kMostNodeDepth = 1000;
constexpr size_t kMostInstances = size_t{1} << 20;

struct Attributes;

class GltfAsset {
public:
    // folder: where the files the file names lie, or null for a file in memory.
    GltfAsset(Json doc, bool binary, const std::string* folder, GltfText& text)
        : m_doc(std::move(doc)), m_binary(binary), m_folder(folder) {
        m_shown = text.json.size() + text.bodySize;
        if (binary) {
            Buffer body;
            body.size = text.bodySize;
            if (text.bodySize > 0) body.bytes = std::move(text.body);
            m_buffers.items.push_back(std::move(body));
        }
    }

    void Load();
    std::vector<Primitive> JoinPrimitives(uint32_t mesh);
    // A primitive's corners read and its attributes checked, as joining them needs.
    Primitive PreparePrimitive(const PrimitiveSource& source, const Accessor*& positions,
                               Attributes& attributes) const;
    const Node* NodeOf(const Instance& instance) const {
        return instance.node >= 0 ? &m_nodes.items[static_cast<size_t>(instance.node)] : nullptr;
    }

    Dictionary<Buffer> m_buffers;
    Dictionary<View> m_views;
    Dictionary<Accessor> m_accessors;
    Dictionary<Image> m_images;
    Dictionary<Texture> m_textures;
    Dictionary<uint32_t> m_samplers;  // wrapS
    Dictionary<Material> m_materials;
    Dictionary<std::vector<PrimitiveSource>> m_meshes;
    Dictionary<Camera> m_cameras;
    Dictionary<Node> m_nodes;
    std::vector<Instance> m_instances;  // the first is the root
    size_t m_embeddedImages = 0;
    uint64_t m_shown = 0;  // the bytes of the JSON and of the buffers read

private:
    void CheckWhole();
    uint32_t RetrieveBuffer(uint32_t index);
    uint32_t RetrieveView(uint32_t index);
    uint32_t RetrieveAccessor(uint32_t index);
    uint32_t RetrieveImage(uint32_t index);
    uint32_t RetrieveSampler(uint32_t index);
    uint32_t RetrieveTexture(uint32_t index);
    int32_t TextureInfo(const Json& owner, const char* key);
    uint32_t RetrieveMaterial(uint32_t index);
    uint32_t RetrieveMesh(uint32_t index);
    uint32_t RetrieveCamera(uint32_t index);
    uint32_t RetrieveNode(uint32_t index, int depth);
    uint32_t Import(uint32_t node, int32_t parent, int depth);
    void CheckRepetition() const;

    Json m_doc;
    bool m_binary;
    const std::string* m_folder;
    std::set<std::string> m_used;  // extensionsUsed
};

// What the library checks of the whole document, and what the reader does not take.
void GltfAsset::CheckWhole() {
    std::string version = m_binary ? "2" : "";
    if (const Json* asset = ObjectMember(m_doc, "asset")) {
        if (const std::string* given = StringMember(*asset, "version")) version = *given;
        ObjectMember(*asset, "profile");
    }
    if (version.empty() || version[0] != '2') Decline("its glTF version is not 2");
    std::set<std::string> required;
    for (auto [key, names] :
         {std::pair{"extensionsUsed", &m_used}, {"extensionsRequired", &required}})
        if (const Json* list = ArrayMember(m_doc, key))
            for (const Json& name : *list)
                if (name.is_string()) names->insert(name.get<std::string>());
    for (const char* compression : {"KHR_draco_mesh_compression", "EXT_meshopt_compression"})
        if (m_used.count(compression) || required.count(compression))
            Decline("its meshes are compressed");
    if (m_used.count("KHR_lights_punctual")) Decline("it has lights");
    if (m_used.count("KHR_texture_transform")) Decline("it has texture transforms");
    if (const Json* extensions = ObjectMember(m_doc, "extensions"))
        if (const Json* lights = ObjectMember(*extensions, "KHR_lights_punctual"))
            ArrayMember(*lights, "lights");
    for (const char* key : {"skins", "animations"}) {
        const Json* list = ArrayMember(m_doc, key);
        if (list && !list->empty()) Decline(std::string("it has ") + key);
    }
    m_buffers.Attach(m_doc, "buffers");
    m_views.Attach(m_doc, "bufferViews");
    m_accessors.Attach(m_doc, "accessors");
    m_images.Attach(m_doc, "images");
    m_textures.Attach(m_doc, "textures");
    m_samplers.Attach(m_doc, "samplers");
    m_materials.Attach(m_doc, "materials");
    m_meshes.Attach(m_doc, "meshes");
    m_cameras.Attach(m_doc, "cameras");
    m_nodes.Attach(m_doc, "nodes");
}

uint32_t GltfAsset::RetrieveBuffer(uint32_t index) {
    // The binary chunk is the first buffer, whatever the JSON says of it.
    if (m_binary && index == 0) return 0;
    if (const std::optional<uint32_t> placed = m_buffers.Placed(index)) return *placed;
    const Json& entry = m_buffers.Entry(index);
    Buffer buffer;
    buffer.size = SizeMember(entry, "byteLength", 0);
    const std::string* uri = StringMember(entry, "uri");
    if (!uri) {
        if (buffer.size > 0) Decline("a buffer has no URI");
    } else if (IsDataUri(*uri)) {
        std::vector<unsigned char> bytes = DataUriBytes(*uri);
        if (buffer.size > 0 && bytes.size() != buffer.size)
            Decline("a buffer's data URI is not as long as the buffer");
        buffer.size = bytes.size();
        buffer.bytes.reset(new unsigned char[bytes.size()]);
        std::memcpy(buffer.bytes.get(), bytes.data(), bytes.size());
    } else if (buffer.size > 0) {
        if (!m_folder) Decline("it names other files");
        FileByteSource file(*m_folder + *uri);
        if (!file.Open()) Decline("a buffer's file could not be read");
        if (buffer.size > file.Size()) Decline("a buffer is longer than its file");
        buffer.bytes = ReadBytes(file, buffer.size);
    }
    m_shown += buffer.size;
    return m_buffers.Add(index, std::move(buffer));
}

uint32_t GltfAsset::RetrieveView(uint32_t index) {
    if (const std::optional<uint32_t> placed = m_views.Placed(index)) return *placed;
    const Json& entry = m_views.Entry(index);
    View view;
    const std::optional<uint32_t> buffer = IndexMember(entry, "buffer");
    if (!buffer) Decline("a buffer view names no buffer");
    view.buffer = RetrieveBuffer(*buffer);
    view.offset = SizeMember(entry, "byteOffset", 0);
    view.length = SizeMember(entry, "byteLength", 0);
    view.stride = SizeMember(entry, "byteStride", 0);
    if (view.offset + view.length > m_buffers.items[view.buffer].size)
        Decline("a buffer view reaches past its buffer");
    return m_views.Add(index, view);
}

uint32_t GltfAsset::RetrieveAccessor(uint32_t index) {
    if (const std::optional<uint32_t> placed = m_accessors.Placed(index)) return *placed;
    const Json& entry = m_accessors.Entry(index);
    Accessor accessor;
    const std::optional<uint32_t> viewIndex = IndexMember(entry, "bufferView");
    if (!viewIndex) Decline("an accessor has no buffer view");
    if (Member(entry, "sparse")) Decline("it has sparse accessors");
    accessor.view = RetrieveView(*viewIndex);
    const uint64_t offset = SizeMember(entry, "byteOffset", 0);
    accessor.componentType = IndexMember(entry, "componentType").value_or(kByte);
    uint64_t componentSize = 0;
    switch (accessor.componentType) {
        case kByte:
        case kUnsignedByte:
            componentSize = 1;
            break;
        case kShort:
        case kUnsignedShort:
            componentSize = 2;
            break;
        case kUnsignedInt:
        case kFloat:
            componentSize = 4;
            break;
        default:
            Decline("an accessor's component type is unknown");
    }
    const std::optional<uint32_t> count = IndexMember(entry, "count");
    if (!count) Decline("an accessor has no count");
    accessor.count = *count;
    static const std::pair<const char*, uint32_t> kTypes[] = {
        {"SCALAR", 1}, {"VEC2", 2}, {"VEC3", 3}, {"VEC4", 4},
        {"MAT2", 4},   {"MAT3", 9}, {"MAT4", 16}};
    if (const std::string* type = StringMember(entry, "type")) {
        const auto* found = std::find_if(std::begin(kTypes), std::end(kTypes),
                                         [type](const auto& t) { return *type == t.first; });
        if (found == std::end(kTypes)) Decline("an accessor's type is unknown");
        accessor.components = found->second;
    }
    const View& view = m_views.items[accessor.view];
    accessor.elementSize = componentSize * accessor.components;
    accessor.stride = view.stride ? view.stride : accessor.elementSize;
    if (accessor.stride < accessor.elementSize)
        Decline("a buffer view's stride is shorter than its accessor's elements");
    if (accessor.count > 0) {
        const Buffer& buffer = m_buffers.items[view.buffer];
        if (!buffer.bytes) Decline("an accessor's buffer holds nothing");
        if (offset + (accessor.count - 1) * accessor.stride + accessor.elementSize > view.length)
            Decline("an accessor reaches past its buffer view");
        accessor.first = buffer.bytes.get() + view.offset + offset;
    }
    return m_accessors.Add(index, accessor);
}

uint32_t GltfAsset::RetrieveImage(uint32_t index) {
    if (const std::optional<uint32_t> placed = m_images.Placed(index)) return *placed;
    const Json& entry = m_images.Entry(index);
    Image image;
    image.name = TextMember(entry, "name").value_or("");
    if (const std::string* uri = StringMember(entry, "uri")) {
        if (IsDataUri(*uri)) {
            image.decoded = DataUriBytes(*uri);
            image.bytes = image.decoded.data();
            image.size = image.decoded.size();
        } else {
            image.uri = TextMember(entry, "uri").value_or("");
        }
    } else if (const std::optional<uint32_t> viewIndex = IndexMember(entry, "bufferView")) {
        const View view = m_views.items[RetrieveView(*viewIndex)];
        const std::string* type = StringMember(entry, "mimeType");
        if (!type || type->empty()) Decline("an image in the file has no media type");
        const Buffer& buffer = m_buffers.items[view.buffer];
        if (view.length == 0 || !buffer.bytes) Decline("an image in the file is empty");
        image.bytes = buffer.bytes.get() + view.offset;
        image.size = view.length;
    } else {
        Decline("an image has neither a URI nor a buffer view");
    }
    if (image.uri.empty() && image.size == 0) Decline("an image is empty");
    if (image.size > 0) image.embedded = static_cast<int32_t>(m_embeddedImages++);
    return m_images.Add(index, std::move(image));
}

uint32_t GltfAsset::RetrieveSampler(uint32_t index) {
    if (const std::optional<uint32_t> placed = m_samplers.Placed(index)) return *placed;
    const Json& entry = m_samplers.Entry(index);
    for (const char* key : {"magFilter", "minFilter", "wrapT"})
        IndexMember(entry, key);
    return m_samplers.Add(index, IndexMember(entry, "wrapS").value_or(kRepeat));
}

uint32_t GltfAsset::RetrieveTexture(uint32_t index) {
    if (const std::optional<uint32_t> placed = m_textures.Placed(index)) return *placed;
    const Json& entry = m_textures.Entry(index);
    Texture texture;
    if (const std::optional<uint32_t> source = IndexMember(entry, "source"))
        texture.image = static_cast<int32_t>(RetrieveImage(*source));
    if (const std::optional<uint32_t> sampler = IndexMember(entry, "sampler"))
        texture.wrapS = m_samplers.items[RetrieveSampler(*sampler)];
    return m_textures.Add(index, texture);
}

// A material's reference to a texture (its base colour texture and the like): the texture it
// reads, or -1 when it names none.
int32_t GltfAsset::TextureInfo(const Json& owner, const char* key) {
    const Json* info = ObjectMember(owner, key);
    if (!info) return -1;
    IndexMember(*info, "texCoord");
    NumberMember(*info, "scale");
    NumberMember(*info, "strength");
    const std::optional<uint32_t> index = IndexMember(*info, "index");
    return index ? static_cast<int32_t>(RetrieveTexture(*index)) : -1;
}

uint32_t GltfAsset::RetrieveMaterial(uint32_t index) {
    if (const std::optional<uint32_t> placed = m_materials.Placed(index)) return *placed;
    const Json& entry = m_materials.Entry(index);
    Material material;
    material.name = TextMember(entry, "name").value_or("");
    float roughness = 1;
    int32_t baseMap = -1;
    if (const Json* pbr = ObjectMember(entry, "pbrMetallicRoughness")) {
        NumbersMember(*pbr, "baseColorFactor", material.diffuse);
        baseMap = TextureInfo(*pbr, "baseColorTexture");
        TextureInfo(*pbr, "metallicRoughnessTexture");
        NumberMember(*pbr, "metallicFactor");
        roughness = NumberMember(*pbr, "roughnessFactor").value_or(1.0f);
    }
    for (const char* key : {"normalTexture", "occlusionTexture", "emissiveTexture"})
        TextureInfo(entry, key);
    float emissive[3];
    NumbersMember(entry, "emissiveFactor", emissive);
    NumberMember(entry, "alphaCutoff");
    StringMember(entry, "alphaMode");
    if (const Json* sided = Member(entry, "doubleSided"); sided && !sided->is_boolean())
        Decline("\"doubleSided\" is not true or false");
    const auto hasMap = [this](int32_t texture) {
        return texture >= 0 && m_textures.items[static_cast<size_t>(texture)].image >= 0;
    };
    material.opacity = material.diffuse[3];
    float shininess = 1 - roughness;
    shininess *= shininess * 1000;
    material.shininess = shininess;
    if (hasMap(baseMap)) material.diffuseMap = baseMap;
    const Json* extensions = ObjectMember(entry, "extensions");
    const auto extension = [&](const char* name) -> const Json* {
        return extensions && m_used.count(name) ? ObjectMember(*extensions, name) : nullptr;
    };
    if (const Json* sg = extension("KHR_materials_pbrSpecularGlossiness")) {
        float diffuse[4] = {1, 1, 1, 1};
        NumbersMember(*sg, "diffuseFactor", diffuse);
        std::copy(diffuse, diffuse + 4, material.diffuse);
        const int32_t diffuseMap = TextureInfo(*sg, "diffuseTexture");
        if (hasMap(diffuseMap)) material.diffuseMap = diffuseMap;
        TextureInfo(*sg, "specularGlossinessTexture");
        material.hasSpecular = true;
        NumbersMember(*sg, "specularFactor", material.specular);
        material.shininess = NumberMember(*sg, "glossinessFactor").value_or(1.0f) * 1000.0f;
    }
    // Extensions whose textures the library reads, and so numbers their images, without any of
    // them changing the material as the conversion takes it.
    static const std::pair<const char*, std::vector<const char*>> kOtherMaps[] = {
        {"KHR_materials_sheen", {"sheenColorTexture", "sheenRoughnessTexture"}},
        {"KHR_materials_clearcoat",
         {"clearcoatTexture", "clearcoatRoughnessTexture", "clearcoatNormalTexture"}},
        {"KHR_materials_transmission", {"transmissionTexture"}},
        {"KHR_materials_volume", {"thicknessTexture"}},
    };
    for (const auto& [name, keys] : kOtherMaps)
        if (const Json* other = extension(name))
            for (const char* key : keys)
                TextureInfo(*other, key);
    if (extensions) ObjectMember(*extensions, "KHR_materials_unlit");
    return m_materials.Add(index, std::move(material));
}

// The sets of one kind of attribute, by their names' prefixes, in the library's order of looking.
struct Semantic {
    const char* prefix;
    std::vector<uint32_t> PrimitiveSource::*sets;
};
constexpr Semantic kSemantics[] = {
    {"POSITION", &PrimitiveSource::positions},
    {"NORMAL", &PrimitiveSource::normals},
    {"TANGENT", &PrimitiveSource::tangents},
    {"TEXCOORD", &PrimitiveSource::texcoords},
    {"COLOR", &PrimitiveSource::colors},
    {"JOINTS", &PrimitiveSource::joints},
    {"JOINTMATRIX", &PrimitiveSource::jointMatrices},
    {"WEIGHTS", &PrimitiveSource::weights},
};

const Json kNone = Json::object();

uint32_t GltfAsset::RetrieveMesh(uint32_t index) {
    if (const std::optional<uint32_t> placed = m_meshes.Placed(index)) return *placed;
    const Json& entry = m_meshes.Entry(index);
    std::vector<PrimitiveSource> primitives;
    if (const Json* list = ArrayMember(entry, "primitives")) {
        for (const Json& primitive : *list) {
            if (!primitive.is_object()) Decline("a primitive is not an object");
            if (IndexMember(primitive, "mode").value_or(4) != 4)
                Decline("it has points, lines, strips or fans");
            const Json* targets = ArrayMember(primitive, "targets");
            if (targets && !targets->empty()) Decline("it has morph targets");
            PrimitiveSource source;
            if (const std::optional<uint32_t> indices = IndexMember(primitive, "indices"))
                source.indices = static_cast<int32_t>(RetrieveAccessor(*indices));
            if (const std::optional<uint32_t> material = IndexMember(primitive, "material"))
                source.material = static_cast<int32_t>(RetrieveMaterial(*material));
            const Json* given = ObjectMember(primitive, "attributes");
            const Json& attributes = given ? *given : kNone;
            for (auto at = attributes.begin(); at != attributes.end(); ++at) {
                const std::string& name = at.key();
                const Json& value = at.value();
                uint32_t accessor = 0;
                if (!AsIndex(value, accessor)) continue;  // the library passes such over
                const Semantic* semantic = std::find_if(
                    std::begin(kSemantics), std::end(kSemantics), [&name](const Semantic& s) {
                        return name.compare(0, std::strlen(s.prefix), s.prefix) == 0;
                    });
                if (semantic == std::end(kSemantics)) continue;
                const std::string set = name.substr(std::strlen(semantic->prefix));
                size_t number = 0;
                if (!set.empty()) {
                    if (set.size() < 2 || set.size() > 4 || set[0] != '_' ||
                        set.find_first_not_of("0123456789", 1) != std::string::npos)
                        Decline("an attribute's name is not one the reader knows");
                    number = std::stoul(set.substr(1));
                }
                std::vector<uint32_t>& sets = source.*(semantic->sets);
                if (sets.size() != number)
                    Decline("an attribute's sets do not start at 0 and go on");
                sets.push_back(RetrieveAccessor(accessor));
            }
            primitives.push_back(std::move(source));
        }
    }
    ArrayMember(entry, "weights");
    return m_meshes.Add(index, std::move(primitives));
}

uint32_t GltfAsset::RetrieveCamera(uint32_t index) {
    if (const std::optional<uint32_t> placed = m_cameras.Placed(index)) return *placed;
    const Json& entry = m_cameras.Entry(index);
    const std::string type = TextMember(entry, "type").value_or("perspective");
    if (type != "perspective" && type != "orthographic") Decline("a camera's type is unknown");
    const Json* parameters = ObjectMember(entry, type.c_str());
    if (!parameters) Decline("a camera has no parameters");
    NumberMember(*parameters, "zfar");
    NumberMember(*parameters, "znear");
    Camera camera;
    if (type == "perspective") {
        camera.aspect = NumberMember(*parameters, "aspectRatio").value_or(0.f);
        const float yfov = NumberMember(*parameters, "yfov").value_or(3.1415f / 2.f);
        camera.horizontalFov = yfov * ((camera.aspect == 0.f) ? 1.f : camera.aspect);
    } else {
        const float xmag = NumberMember(*parameters, "xmag").value_or(1.f);
        const float ymag = NumberMember(*parameters, "ymag").value_or(1.f);
        camera.horizontalFov = 0.0;
        camera.aspect = 1.0f;
        if (0.f != ymag) camera.aspect = xmag / ymag;
    }
    return m_cameras.Add(index, std::move(camera));
}

uint32_t GltfAsset::RetrieveNode(uint32_t index, int depth) {
    if (const std::optional<uint32_t> placed = m_nodes.Placed(index)) return *placed;
    if (depth > kMostNodeDepth) Decline("its nodes nest too deeply");
    const Json& entry = m_nodes.Entry(index);
    if (m_nodes.place[index] == Dictionary<Node>::kReading) Decline("a node is its own ancestor");
    m_nodes.place[index] = Dictionary<Node>::kReading;
    Node node;
    node.name = TextMember(entry, "name").value_or("");
    if (node.name.empty()) node.name = "nodes[" + std::to_string(index) + "]";
    if (const Json* children = ArrayMember(entry, "children"))
        for (const Json& child : *children)
            node.children.push_back(RetrieveNode(IndexValue(child, "children"), depth + 1));
    float m[16];
    if (NumbersMember(entry, "matrix", m)) {
        // The file's columns are the library's rows.
        node.transform = aiMatrix4x4(m[0], m[4], m[8], m[12], m[1], m[5], m[9], m[13], m[2], m[6],
                                     m[10], m[14], m[3], m[7], m[11], m[15]);
    } else {
        float t[3], r[4], s[3];
        node.hasTranslation = NumbersMember(entry, "translation", t);
        const bool rotated = NumbersMember(entry, "rotation", r);
        const bool scaled = NumbersMember(entry, "scale", s);
        // Composed as the library composes them, product by product.
        if (node.hasTranslation) {
            node.translation = aiVector3D(t[0], t[1], t[2]);
            aiMatrix4x4 translation;
            aiMatrix4x4::Translation(node.translation, translation);
            node.transform = node.transform * translation;
        }
        if (rotated)
            node.transform =
                node.transform * aiMatrix4x4(aiQuaternion(r[3], r[0], r[1], r[2]).GetMatrix());
        if (scaled) {
            aiMatrix4x4 scaling;
            aiMatrix4x4::Scaling(aiVector3D(s[0], s[1], s[2]), scaling);
            node.transform = node.transform * scaling;
        }
    }
    if (const std::optional<uint32_t> mesh = IndexMember(entry, "mesh"))
        node.mesh = static_cast<int32_t>(RetrieveMesh(*mesh));
    if (Member(entry, "skin")) Decline("it has skins");
    if (const std::optional<uint32_t> camera = IndexMember(entry, "camera"))
        node.camera = static_cast<int32_t>(RetrieveCamera(*camera));
    return m_nodes.Add(index, std::move(node));
}

// The library's node for one path to a node, with its children's; cameras take the name (and,
// where it has one, the translation) of the last node that names them.
uint32_t GltfAsset::Import(uint32_t nodeIndex, int32_t parent, int depth) {
    if (m_instances.size() >= kMostInstances || depth > kMostNodeDepth)
        Decline("its nodes are reached along too many paths");
    const uint32_t at = static_cast<uint32_t>(m_instances.size());
    const Node& node = m_nodes.items[nodeIndex];
    Instance instance;
    instance.node = static_cast<int32_t>(nodeIndex);
    instance.parent = parent;
    m_instances.push_back(std::move(instance));
    for (uint32_t child : node.children) {
        const uint32_t made = Import(child, static_cast<int32_t>(at), depth + 1);
        m_instances[at].children.push_back(made);
    }
    if (node.camera >= 0) {
        Camera& camera = m_cameras.items[static_cast<size_t>(node.camera)];
        camera.name = node.name;
        if (node.hasTranslation) camera.position = node.translation;
    }
    return at;
}

void GltfAsset::Load() {
    CheckWhole();
    const Json* scenes = ArrayMember(m_doc, "scenes");
    const uint32_t chosen = IndexMember(m_doc, "scene").value_or(0);
    if (!scenes || chosen >= scenes->size()) Decline("it has no scene to show");
    if (scenes->size() > 1) Decline("it holds more than one scene");
    const Json& scene = (*scenes)[chosen];
    if (!scene.is_object()) Decline("its scene is not an object");
    TextMember(scene, "name");
    ObjectMember(scene, "extensions");
    ObjectMember(scene, "extras");
    std::vector<uint32_t> roots;
    if (const Json* nodes = ArrayMember(scene, "nodes"))
        for (const Json& node : *nodes)
            roots.push_back(RetrieveNode(IndexValue(node, "nodes"), 0));
    if (roots.size() == 1) {
        Import(roots[0], -1, 0);
    } else {
        m_instances.emplace_back();
        for (uint32_t node : roots) {
            const uint32_t made = Import(node, 0, 1);
            m_instances[0].children.push_back(made);
        }
    }
    CheckRepetition();
    // All the scene reaches is read: the document (with any data URIs) is let go.
    for (const Json** array :
         {&m_buffers.array, &m_views.array, &m_accessors.array, &m_images.array, &m_textures.array,
          &m_samplers.array, &m_materials.array, &m_meshes.array, &m_cameras.array, &m_nodes.array})
        *array = nullptr;
    m_doc = Json();
}

// Primitives may share their data and nodes their meshes: the vertices and triangles all of them
// make are bounded by what the file holds, with room for a few million over. A file that repeats
// its data more is not taken, so that a small file cannot ask for any memory it likes.
void GltfAsset::CheckRepetition() const {
    const uint64_t most = m_shown + (uint64_t{1} << 22);
    std::vector<uint64_t> sizes;
    uint64_t joining = 0;
    for (const std::vector<PrimitiveSource>& mesh : m_meshes.items) {
        uint64_t size = 0;
        for (const PrimitiveSource& primitive : mesh) {
            const uint64_t vertices =
                primitive.positions.empty() ? 0 : m_accessors.items[primitive.positions[0]].count;
            const uint64_t corners =
                primitive.indices >= 0
                    ? m_accessors.items[static_cast<size_t>(primitive.indices)].count
                    : vertices;
            size += vertices + corners;
        }
        sizes.push_back(size);
        joining += size;
    }
    uint64_t made = 0;
    for (const Instance& instance : m_instances)
        if (const Node* node = NodeOf(instance); node && node->mesh >= 0)
            made += sizes[static_cast<size_t>(node->mesh)];
    if (joining > most || made > most) Decline("it repeats its meshes more than the reader takes");
}

// ---- Joining vertices ------------------------------------------------------------------------

// What the library joins vertices by besides their position, each within 1e-5: the normal, the
// first mapping coordinates (flipped as it flips them), the tangent and the bitangent it makes
// of them; zero where a primitive has none.
struct NoAttributes {
    static bool Near(const NoAttributes&, const NoAttributes&) { return true; }
};
struct NormalUv {
    MeshPoint normal, uv;
    static bool Near(const NormalUv& a, const NormalUv& b) {
        return NearForLibrary(a.normal, b.normal) && NearForLibrary(a.uv, b.uv);
    }
};
struct AllAttributes {
    MeshPoint normal, uv, tangent, bitangent;
    static bool Near(const AllAttributes& a, const AllAttributes& b) {
        return NearForLibrary(a.normal, b.normal) && NearForLibrary(a.uv, b.uv) &&
               NearForLibrary(a.tangent, b.tangent) && NearForLibrary(a.bitangent, b.bitangent);
    }
};

// The attributes of one primitive that the joining compares.
struct Attributes {
    const Accessor* normals = nullptr;
    const Accessor* uvs = nullptr;
    const Accessor* tangents = nullptr;

    MeshPoint Normal(uint32_t v) const { return Vector(normals, v); }
    MeshPoint Uv(uint32_t v) const {
        if (!uvs) return {};
        float uv[2];
        std::memcpy(uv, uvs->At(v), sizeof uv);
        return {uv[0], 1 - uv[1], 0};
    }
    static MeshPoint Vector(const Accessor* accessor, uint32_t v) {
        if (!accessor) return {};
        float xyz[3];
        std::memcpy(xyz, accessor->At(v), sizeof xyz);
        return {xyz[0], xyz[1], xyz[2]};
    }
    void Get(uint32_t, NoAttributes&) const {}
    void Get(uint32_t v, NormalUv& to) const { to = {Normal(v), Uv(v)}; }
    void Get(uint32_t v, AllAttributes& to) const {
        to.normal = Normal(v);
        to.uv = Uv(v);
        if (!tangents) return;
        float t[4];
        std::memcpy(t, tangents->At(v), sizeof t);
        const aiVector3D n(to.normal.x, to.normal.y, to.normal.z), xyz(t[0], t[1], t[2]);
        const aiVector3D bitangent = (n ^ xyz) * t[3];
        to.tangent = {t[0], t[1], t[2]};
        to.bitangent = {bitangent.x, bitangent.y, bitangent.z};
    }
};

MeshPoint UvOf(const NoAttributes&) {
    return {};
}
template <class Joined>
MeshPoint UvOf(const Joined& attributes) {
    return attributes.uv;
}
MeshPoint NormalOf(const NoAttributes&) {
    return {};
}
template <class Joined>
MeshPoint NormalOf(const Joined& attributes) {
    return attributes.normal;
}

// Joins the vertices corners use, in the order of the vertices as the library does, and turns
// corners into indices of the joined vertices. After each batch, joined(bound, joiner, indices)
// is told that the vertices below bound are joined, each used one v to indices[v] of the joiner.
struct NoBatchWatch {
    template <class Joiner>
    void operator()(uint32_t, const Joiner&, const std::vector<uint32_t>&) const {}
};
template <class Joined, class Watch = NoBatchWatch>
void JoinVertices(const Accessor& positions, const Attributes& attributes, Primitive& out,
                  Watch joinedUpTo = Watch()) {
    const uint32_t count = positions.count;
    std::vector<uint8_t> used(count, 0);
    for (uint32_t corner : out.corners)
        used[corner] = 1;
    LibraryJoiner<Joined> joiner(count);
    std::vector<uint32_t> joined(count, 0);
    // A batch of vertices is read and hashed, while the batch before is joined.
    struct Candidate : JoinCandidate<Joined> {
        uint32_t vertex;
    };
    constexpr uint32_t kBatch = 1 << 16;
    const auto prepare = [&](size_t batch, std::vector<Candidate>& candidates) {
        candidates.clear();
        const uint32_t from = static_cast<uint32_t>(batch) * kBatch;
        const uint32_t to = std::min(count - from, kBatch) + from;
        for (uint32_t v = from; v < to; ++v) {
            if (!used[v]) continue;
            Candidate candidate{};
            candidate.vertex = v;
            float xyz[3];
            std::memcpy(xyz, positions.At(v), sizeof xyz);
            candidate.point = {xyz[0], xyz[1], xyz[2]};
            if (!Finite(candidate.point)) Decline("a coordinate is not a number");
            candidate.bucket = joiner.BucketOf(candidate.point);
            attributes.Get(v, candidate.attributes);
            candidates.push_back(candidate);
        }
        return true;
    };
    uint32_t bound = 0;
    const auto join = [&](const std::vector<Candidate>& candidates) {
        JoinAll(joiner, candidates,
                [&](size_t c, uint32_t index) { joined[candidates[c].vertex] = index; });
        bound = std::min(count - bound, kBatch) + bound;
        joinedUpTo(bound, joiner, joined);
    };
    JoinPreparedAhead<Candidate>((size_t{count} + kBatch - 1) / kBatch, prepare, join);
    std::vector<uint8_t>().swap(used);
    for (uint32_t& corner : out.corners)
        corner = joined[corner];
    std::vector<uint32_t>().swap(joined);
    if (attributes.uvs) {
        out.uvs.reserve(joiner.Count());
        for (uint32_t v = 0; v < joiner.Count(); ++v) {
            const MeshPoint uv = UvOf(joiner.AttributesOf(v));
            out.uvs.push_back(SceneUv{uv.x, uv.y});
        }
    }
    if (attributes.normals) {
        out.normals.reserve(joiner.Count());
        for (uint32_t v = 0; v < joiner.Count(); ++v)
            out.normals.push_back(NormalOf(joiner.AttributesOf(v)));
    }
    out.points = joiner.TakePoints();
}

// The first corners.size() indices of an accessor of unsigned bytes, shorts or ints.
template <class T>
void ReadIndicesOf(const Accessor& indices, std::vector<uint32_t>& corners) {
    for (uint32_t i = 0; i < corners.size(); ++i) {
        T index;
        std::memcpy(&index, indices.At(i), sizeof index);
        corners[i] = index;
    }
}
void ReadIndices(const Accessor& indices, std::vector<uint32_t>& corners) {
    if (indices.componentType == kUnsignedByte)
        ReadIndicesOf<uint8_t>(indices, corners);
    else if (indices.componentType == kUnsignedShort)
        ReadIndicesOf<uint16_t>(indices, corners);
    else
        ReadIndicesOf<uint32_t>(indices, corners);
}

// Whether the library takes an accessor's elements into an array of elements of target bytes
// without failing: it wants them no larger, and count times the stride within the view.
void CheckExtractable(const Accessor& accessor, const View& view, uint64_t target) {
    if (accessor.elementSize > target || uint64_t{accessor.count} * accessor.stride > view.length)
        Decline("an accessor's elements do not fit the library's reading of them");
}

// Joins a prepared primitive's vertices by the attributes it has.
void JoinPrepared(const Accessor& positions, const Attributes& attributes, Primitive& primitive) {
    if (attributes.tangents)
        JoinVertices<AllAttributes>(positions, attributes, primitive);
    else if (attributes.normals || attributes.uvs)
        JoinVertices<NormalUv>(positions, attributes, primitive);
    else
        JoinVertices<NoAttributes>(positions, attributes, primitive);
}

std::vector<Primitive> GltfAsset::JoinPrimitives(uint32_t mesh) {
    std::vector<Primitive> joined;
    for (const PrimitiveSource& source : m_meshes.items[mesh]) {
        const Accessor* positions = nullptr;
        Attributes attributes;
        Primitive primitive = PreparePrimitive(source, positions, attributes);
        JoinPrepared(*positions, attributes, primitive);
        joined.push_back(std::move(primitive));
    }
    return joined;
}

Primitive GltfAsset::PreparePrimitive(const PrimitiveSource& source, const Accessor*& positionsOut,
                                      Attributes& attributes) const {
    {
        const auto accessor = [this](uint32_t index) -> const Accessor& {
            return m_accessors.items[index];
        };
        const auto extractable = [&](const Accessor& a, uint64_t target) {
            CheckExtractable(a, m_views.items[a.view], target);
        };
        if (source.positions.empty()) Decline("a primitive has no positions");
        const Accessor& positions = accessor(source.positions[0]);
        if (!positions.Is(kFloat, 3)) Decline("its positions are not floats");
        extractable(positions, 12);
        const uint32_t count = positions.count;
        positionsOut = &positions;
        if (!source.normals.empty() && accessor(source.normals[0]).count == count) {
            attributes.normals = &accessor(source.normals[0]);
            if (!attributes.normals->Is(kFloat, 3)) Decline("its normals are not floats");
            extractable(*attributes.normals, 12);
            if (!source.tangents.empty() && accessor(source.tangents[0]).count == count) {
                attributes.tangents = &accessor(source.tangents[0]);
                if (!attributes.tangents->Is(kFloat, 4)) Decline("its tangents are not floats");
                extractable(*attributes.tangents, 16);
            }
        }
        for (size_t set = 0; set < std::min<size_t>(source.texcoords.size(), 8); ++set) {
            const Accessor& uvs = accessor(source.texcoords[set]);
            if (uvs.count != count) continue;
            extractable(uvs, 12);
            if (set > 0) continue;
            if (!uvs.Is(kFloat, 2)) Decline("its mapping coordinates are not floats");
            attributes.uvs = &uvs;
        }
        for (size_t set = 0; set < std::min<size_t>(source.colors.size(), 8); ++set) {
            const Accessor& colors = accessor(source.colors[set]);
            if (colors.count != count) continue;
            const uint32_t type = colors.componentType;
            if (type == kFloat || type == kUnsignedByte || type == kUnsignedShort)
                extractable(colors, type == kFloat ? 16 : type == kUnsignedShort ? 8 : 4);
        }

        Primitive primitive;
        primitive.material = static_cast<uint32_t>(
            source.material >= 0 ? source.material
                                 : static_cast<int32_t>(m_materials.items.size()));
        if (source.indices >= 0) {
            const Accessor& indices = accessor(static_cast<uint32_t>(source.indices));
            if (indices.components != 1 ||
                (indices.componentType != kUnsignedByte &&
                 indices.componentType != kUnsignedShort && indices.componentType != kUnsignedInt))
                Decline("its indices are not whole numbers");
            primitive.corners.resize(indices.count - indices.count % 3);
            ReadIndices(indices, primitive.corners);
            for (uint32_t index : primitive.corners)
                if (index >= count) Decline("an index names a vertex that is not there");
        } else {
            primitive.corners.resize(count - count % 3);
            for (uint32_t i = 0; i < primitive.corners.size(); ++i)
                primitive.corners[i] = i;
        }
        if (primitive.corners.empty()) Decline("a primitive has no triangles");
        return primitive;
    }
}

// ---- The scene, as the conversion makes it of the library's ----------------------------------

// The materials as the library's reading makes them, with the images held in the file, turned
// into the scene's by the conversion itself.
void AddMaterials(const GltfAsset& asset, Scene& scene, std::vector<std::string>& report) {
    aiScene source;
    const std::vector<Material>& materials = asset.m_materials.items;
    source.mNumMaterials = static_cast<unsigned>(materials.size() + 1);
    source.mMaterials = new aiMaterial*[source.mNumMaterials]();
    const Material fallback;
    for (size_t i = 0; i < source.mNumMaterials; ++i) {
        const Material& from = i < materials.size() ? materials[i] : fallback;
        aiMaterial* to = source.mMaterials[i] = new aiMaterial();
        if (!from.name.empty()) {
            const aiString name(from.name);
            to->AddProperty(&name, AI_MATKEY_NAME);
        }
        const aiColor4D diffuse(from.diffuse[0], from.diffuse[1], from.diffuse[2], from.diffuse[3]);
        to->AddProperty(&diffuse, 1, AI_MATKEY_COLOR_DIFFUSE);
        if (from.hasSpecular) {
            const aiColor4D specular(from.specular[0], from.specular[1], from.specular[2], 1.0f);
            to->AddProperty(&specular, 1, AI_MATKEY_COLOR_SPECULAR);
        }
        to->AddProperty(&from.shininess, 1, AI_MATKEY_SHININESS);
        to->AddProperty(&from.opacity, 1, AI_MATKEY_OPACITY);
        if (from.diffuseMap < 0) continue;
        const Texture& texture = asset.m_textures.items[static_cast<size_t>(from.diffuseMap)];
        const Image& image = asset.m_images.items[static_cast<size_t>(texture.image)];
        const aiString file(image.embedded >= 0 ? "*" + std::to_string(image.embedded) : image.uri);
        to->AddProperty(&file, AI_MATKEY_TEXTURE_DIFFUSE(0));
        const int mode = texture.wrapS == kMirroredRepeat ? aiTextureMapMode_Mirror
                         : texture.wrapS == kClampToEdge  ? aiTextureMapMode_Clamp
                                                          : aiTextureMapMode_Wrap;
        to->AddProperty(&mode, 1, AI_MATKEY_MAPPINGMODE_U_DIFFUSE(0));
    }
    // The images held in the file, as the library numbers them. The conversion only reads them
    // (and copies what it keeps), so they stay where they are and are taken back before the
    // library's scene would free them.
    source.mNumTextures = static_cast<unsigned>(asset.m_embeddedImages);
    source.mTextures = new aiTexture*[source.mNumTextures]();
    struct Lent {
        aiScene& scene;
        ~Lent() {
            for (unsigned i = 0; i < scene.mNumTextures; ++i)
                if (scene.mTextures[i]) scene.mTextures[i]->pcData = nullptr;
        }
    } lent{source};
    for (const Image& image : asset.m_images.items) {
        if (image.embedded < 0) continue;
        aiTexture* texture = source.mTextures[image.embedded] = new aiTexture();
        texture->mFilename = aiString(image.name);
        texture->mWidth = static_cast<unsigned>(image.size);
        texture->pcData = reinterpret_cast<aiTexel*>(const_cast<unsigned char*>(image.bytes));
    }
    ConvertMaterials(source, scene, report);
}

// The rotation that takes glTF's up, +Y, to +Z: (x, y, z) -> (x, -z, y).
const aiMatrix4x4 kTurnToZ = TurnToZ(UpAxis::PlusY);

// Calls visit(instance, node or null, the transform from the root) for each node instance, depth
// first and children in their order, as the library walks them.
template <class Visit>
void ForEachPlacedInstance(const GltfAsset& asset, Visit visit) {
    std::vector<std::pair<uint32_t, aiMatrix4x4>> stack{{0, aiMatrix4x4()}};
    while (!stack.empty()) {
        const auto [at, parent] = stack.back();
        stack.pop_back();
        const Instance& instance = asset.m_instances[at];
        const Node* node = asset.NodeOf(instance);
        const aiMatrix4x4 chain = node ? parent * node->transform : parent;
        visit(instance, node, chain);
        for (size_t c = instance.children.size(); c-- > 0;)
            stack.emplace_back(instance.children[c], chain);
    }
}

// Each node's primitives merged into objects, depth first and children in their order, with the
// node's transform from the root baked into the vertices.
void AddNodeObjects(GltfAsset& asset, std::vector<std::vector<Primitive>>& meshes, Scene& scene,
                    std::vector<std::string>& report) {
    // How many nodes still use each mesh: the last one takes its lists.
    std::vector<size_t> usesLeft(meshes.size(), 0);
    for (const Instance& instance : asset.m_instances)
        if (const Node* node = asset.NodeOf(instance); node && node->mesh >= 0)
            ++usesLeft[static_cast<size_t>(node->mesh)];
    UniqueNames names;
    ForEachPlacedInstance(asset, [&](const Instance&, const Node* node, const aiMatrix4x4& chain) {
        if (node && node->mesh >= 0 && !meshes[static_cast<size_t>(node->mesh)].empty()) {
            std::vector<Primitive>& primitives = meshes[static_cast<size_t>(node->mesh)];
            const bool last = --usesLeft[static_cast<size_t>(node->mesh)] == 0;
            const bool anyUvs = std::any_of(primitives.begin(), primitives.end(),
                                            [](const Primitive& p) { return !p.uvs.empty(); });
            const bool anyNormals =
                std::any_of(primitives.begin(), primitives.end(),
                            [](const Primitive& p) { return !p.normals.empty(); });
            const aiMatrix4x4 global = kTurnToZ * chain;
            const aiMatrix3x3 normalTurn = aiMatrix3x3(global).Inverse().Transpose();
            const bool mirrored = global.Determinant() < 0;
            MergedMesh merged;
            for (Primitive& primitive : primitives) {
                const uint32_t base = static_cast<uint32_t>(merged.points.size());
                const size_t triangles = primitive.corners.size() / 3;
                // The first primitive of the last node to use the mesh takes its lists.
                const bool take = last && base == 0;
                if (take && !mirrored) {
                    merged.corners = std::move(primitive.corners);
                } else {
                    merged.corners.reserve(merged.corners.size() + primitive.corners.size());
                    for (size_t t = 0; t < triangles; ++t) {
                        const uint32_t* corner = &primitive.corners[3 * t];
                        merged.corners.push_back(base + corner[0]);
                        merged.corners.push_back(base + corner[mirrored ? 2 : 1]);
                        merged.corners.push_back(base + corner[mirrored ? 1 : 2]);
                    }
                }
                merged.materials.insert(merged.materials.end(), triangles, primitive.material);
                if (take) {
                    merged.points = std::move(primitive.points);
                    for (MeshPoint& p : merged.points) {
                        const aiVector3D q = PlacedPoint(chain, UpAxis::PlusY, {p.x, p.y, p.z});
                        p = {q.x, q.y, q.z};
                    }
                } else {
                    merged.points.reserve(merged.points.size() + primitive.points.size());
                    for (const MeshPoint& p : primitive.points) {
                        const aiVector3D q = PlacedPoint(chain, UpAxis::PlusY, {p.x, p.y, p.z});
                        merged.points.push_back({q.x, q.y, q.z});
                    }
                }
                if (anyNormals) {
                    merged.normals.reserve(merged.points.size());
                    for (const MeshPoint& n : primitive.normals) {
                        const aiVector3D q = normalTurn * aiVector3D(n.x, n.y, n.z);
                        merged.normals.push_back({q.x, q.y, q.z});
                    }
                    merged.normals.resize(merged.points.size());
                }
                if (!anyUvs) continue;
                if (primitive.uvs.empty())
                    merged.uvs.resize(merged.uvs.size() + merged.points.size() - base);
                else
                    merged.uvs.insert(merged.uvs.end(), primitive.uvs.begin(), primitive.uvs.end());
            }
            if (last) std::vector<Primitive>().swap(primitives);
            AddObjects(
                merged,
                names.Take(node->name, "Object " + std::to_string(scene.m_objects.size() + 1)),
                scene, report);
        }
    });
}

// The first node of a name, looked for depth first from the root, as the library finds a
// camera's node.
const Instance* FindInstance(const GltfAsset& asset, const std::string& name) {
    std::vector<uint32_t> stack{0};
    while (!stack.empty()) {
        const Instance& instance = asset.m_instances[stack.back()];
        stack.pop_back();
        const Node* node = asset.NodeOf(instance);
        if ((node ? node->name : "ROOT") == name) return &instance;
        for (size_t c = instance.children.size(); c-- > 0;)
            stack.push_back(instance.children[c]);
    }
    return nullptr;
}

// The cameras aim at the centre of the scene's bounds where it has objects.
void AddCameras(const GltfAsset& asset, Scene& scene, bool objects) {
    aiVector3D center;
    if (objects) {
        const SceneSettings& s = scene.m_settings;
        center = aiVector3D((s.minX + s.maxX) / 2, (s.minY + s.maxY) / 2, (s.minZ + s.maxZ) / 2);
    }
    for (const Camera& from : asset.m_cameras.items) {
        aiMatrix4x4 global;
        for (const Instance* at = FindInstance(asset, from.name); at;
             at = at->parent >= 0 ? &asset.m_instances[static_cast<size_t>(at->parent)] : nullptr)
            if (const Node* node = asset.NodeOf(*at)) global = node->transform * global;
        global = kTurnToZ * global;
        scene.m_cameras.push_back(ConvertCamera(from.name, global, from.position,
                                                aiVector3D(0.f, 0.f, -1.f), from.horizontalFov,
                                                from.aspect, center));
    }
}

// Announces scene, its materials in, with bounds and the cameras aimed at their centre.
void AnnounceWithCameras(const GltfAsset& asset, const Scene& scene, const SceneSettings& bounds) {
    Scene announced = SceneWithoutObjects(scene);
    SceneSettings& s = announced.m_settings;
    s.minX = bounds.minX, s.maxX = bounds.maxX;
    s.minY = bounds.minY, s.maxY = bounds.maxY;
    s.minZ = bounds.minZ, s.maxZ = bounds.maxZ;
    AddCameras(asset, announced, true);
    AnnounceScene(announced);
}

// Announces the scene AddNodeObjects and AddCameras will make of scene, its materials in: the
// bounds of every node's triangles where they are placed, and the cameras aimed at their centre.
// Nothing where the nodes have no triangles or a point is not a number.
void AnnounceNodeScene(const GltfAsset& asset, const std::vector<std::vector<Primitive>>& meshes,
                       const Scene& scene) {
    SceneSettings bounds;
    MakeBoundsEmpty(bounds);
    bool any = false, finite = true;
    ForEachPlacedInstance(asset, [&](const Instance&, const Node* node, const aiMatrix4x4& chain) {
        if (node && node->mesh >= 0 && finite)
            for (const Primitive& primitive : meshes[static_cast<size_t>(node->mesh)]) {
                std::vector<MeshPoint> placed;
                placed.reserve(primitive.points.size());
                for (const MeshPoint& p : primitive.points) {
                    const aiVector3D q = PlacedPoint(chain, UpAxis::PlusY, {p.x, p.y, p.z});
                    placed.push_back({q.x, q.y, q.z});
                }
                const size_t triangles = primitive.corners.size() / 3;
                finite = finite && WidenByTriangles(placed, primitive.corners, triangles, bounds);
                any |= triangles > 0;
            }
    });
    if (any && finite) AnnounceWithCameras(asset, scene, bounds);
}

// The one node instance with triangles, where its mesh has one primitive: such a model is read
// so that its objects go on to the program as its vertices are joined.
struct OnlyMesh {
    const Node* node = nullptr;
    uint32_t mesh = 0;
    aiMatrix4x4 chain;
};
std::optional<OnlyMesh> OnlyMeshOf(const GltfAsset& asset) {
    std::optional<OnlyMesh> only;
    size_t withMeshes = 0;
    ForEachPlacedInstance(asset, [&](const Instance&, const Node* node, const aiMatrix4x4& chain) {
        if (!node || node->mesh < 0 ||
            asset.m_meshes.items[static_cast<size_t>(node->mesh)].empty())
            return;
        ++withMeshes;
        only = OnlyMesh{node, static_cast<uint32_t>(node->mesh), chain};
    });
    if (withMeshes != 1 || asset.m_meshes.items[only->mesh].size() != 1) return std::nullopt;
    return only;
}

// AddMaterials, AnnounceNodeScene and AddNodeObjects for the only mesh, its primitive prepared:
// the scene announced, then its triangles cut into objects as soon as their vertices are joined.
// False, having changed nothing, where the primitive has mapping coordinates (its objects would not
// go ahead) or a placed point is not a number (AddObjects drops triangles).
bool StreamOnlyMesh(GltfAsset& asset, const OnlyMesh& only, Primitive& primitive,
                    const Accessor& positions, const Attributes& attributes, Scene& scene,
                    std::vector<std::string>& report) {
    if (attributes.uvs || attributes.tangents) return false;
    const size_t triangles = primitive.corners.size() / 3;
    SceneSettings bounds;
    MakeBoundsEmpty(bounds);
    {
        std::vector<uint8_t> used(positions.count, 0);
        for (uint32_t corner : primitive.corners)
            used[corner] = 1;
        for (uint32_t v = 0; v < positions.count; ++v) {
            if (!used[v]) continue;
            float xyz[3];
            std::memcpy(xyz, positions.At(v), sizeof xyz);
            const aiVector3D q = PlacedPoint(only.chain, UpAxis::PlusY, {xyz[0], xyz[1], xyz[2]});
            if (!Finite(MeshPoint{xyz[0], xyz[1], xyz[2]}) || !WidenBy({q.x, q.y, q.z}, bounds))
                return false;
        }
    }
    AddMaterials(asset, scene, report);
    AnnounceWithCameras(asset, scene, bounds);

    const aiMatrix4x4 global = kTurnToZ * only.chain;
    const aiMatrix3x3 normalTurn = aiMatrix3x3(global).Inverse().Transpose();
    const bool mirrored = global.Determinant() < 0;
    UniqueNames names;
    ObjectCutter cutter(names.Take(only.node->name, "Object 1"), scene, triangles, positions.count);
    MergedMesh merged;
    size_t ready = 0;  // the triangles whose corners are all joined
    const auto joinedUpTo = [&](uint32_t bound, const auto& joiner,
                                const std::vector<uint32_t>& joined) {
        const std::vector<MeshPoint>& points = joiner.Points();
        for (size_t v = merged.points.size(); v < points.size(); ++v) {
            const MeshPoint& p = points[v];
            const aiVector3D q = PlacedPoint(only.chain, UpAxis::PlusY, {p.x, p.y, p.z});
            merged.points.push_back({q.x, q.y, q.z});
            if (!attributes.normals) continue;
            const MeshPoint n = NormalOf(joiner.AttributesOf(static_cast<uint32_t>(v)));
            const aiVector3D turned = normalTurn * aiVector3D(n.x, n.y, n.z);
            merged.normals.push_back({turned.x, turned.y, turned.z});
        }
        for (; ready < triangles; ++ready) {
            const uint32_t* corner = &primitive.corners[3 * ready];
            if (corner[0] >= bound || corner[1] >= bound || corner[2] >= bound) break;
            merged.corners.push_back(joined[corner[0]]);
            merged.corners.push_back(joined[corner[mirrored ? 2 : 1]]);
            merged.corners.push_back(joined[corner[mirrored ? 1 : 2]]);
            merged.materials.push_back(primitive.material);
        }
        cutter.Cut(merged, merged.points, ready);
    };
    if (attributes.normals)
        JoinVertices<NormalUv>(positions, attributes, primitive, joinedUpTo);
    else
        JoinVertices<NoAttributes>(positions, attributes, primitive, joinedUpTo);
    cutter.Finish(merged, merged.points.size(), report);
    return true;
}

// Reads text (and a .glb's binary chunk) into scene, or declines with why.
bool ReadGltfText(GltfText& text, bool binary, const std::string* folder, Scene& scene,
                  std::vector<std::string>& report, std::string& why) {
    try {
        GltfAsset asset(ParseJson(text.json), binary, folder, text);
        std::string().swap(text.json);
        asset.Load();
        bool anyTriangles = false;
        for (const Instance& instance : asset.m_instances)
            if (const Node* node = asset.NodeOf(instance); node && node->mesh >= 0)
                anyTriangles |= !asset.m_meshes.items[static_cast<size_t>(node->mesh)].empty();
        if (!anyTriangles && asset.m_cameras.items.empty()) Decline("it holds no triangles");
        // Where the program is told the scene before its objects, a model of one mesh goes on
        // as its vertices are joined.
        const std::optional<OnlyMesh> only = AnnouncingScenes() ? OnlyMeshOf(asset) : std::nullopt;
        std::vector<std::vector<Primitive>> meshes;
        for (uint32_t mesh = 0; mesh < asset.m_meshes.items.size(); ++mesh)
            meshes.push_back(only && mesh == only->mesh ? std::vector<Primitive>()
                                                        : asset.JoinPrimitives(mesh));
        bool streamed = false;
        if (only) {
            const Accessor* positions = nullptr;
            Attributes attributes;
            Primitive primitive =
                asset.PreparePrimitive(asset.m_meshes.items[only->mesh][0], positions, attributes);
            streamed =
                StreamOnlyMesh(asset, *only, primitive, *positions, attributes, scene, report);
            if (!streamed) {
                JoinPrepared(*positions, attributes, primitive);
                meshes[only->mesh].push_back(std::move(primitive));
            }
        }
        if (!streamed) AddMaterials(asset, scene, report);
        // What the primitives and images read is let go before the objects are made.
        for (Buffer& buffer : asset.m_buffers.items)
            buffer.bytes.reset();
        if (!streamed) {
            if (AnnouncingScenes()) AnnounceNodeScene(asset, meshes, scene);
            AddNodeObjects(asset, meshes, scene, report);
        }
        ComputeSceneBounds(scene);
        AddCameras(asset, scene, !scene.m_objects.empty());
        scene.CountScene();
        return true;
    } catch (const Declined& declined) {
        why = declined.why;
        return false;
    } catch (const Json::exception&) {
        why = "its JSON holds a value of the wrong kind";
        return false;
    }
}

// The folder the library looks for the files a file names in: up to its path's last slash.
std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

// The file's name's ending in lower case, as the library's choice of reading goes by it.
std::string ExtensionOf(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    std::string extension = dot == std::string::npos ? "" : path.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

}  // namespace

bool ReadGltf(const std::string& path, Scene& scene, std::vector<std::string>& report,
              std::string& why) {
    const std::string extension = ExtensionOf(path);
    if (extension != "glb" && extension != "gltf") {
        why = "its name ends neither in .gltf nor in .glb";
        return false;
    }
    FileByteSource file(path);
    if (!file.Open()) {
        why = "it could not be read";
        return false;
    }
    const std::string folder = FolderOf(path);
    GltfText text;
    try {
        if (file.Size() >= (uint64_t{1} << 32)) Decline("it is larger than 4 GiB");
        if (extension == "glb") {
            text = ReadGlb(file, file.Size());
        } else {
            // Read without telling the progress, which the buffers' files tell.
            if (file.Size() < 2) Decline("it is too short for a glTF");
            std::ifstream in(path, std::ios::binary);
            text.json.resize(file.Size());
            if (!in.read(text.json.data(), static_cast<std::streamsize>(text.json.size())))
                Decline("it could not be read");
            if (text.json.compare(0, 4, "glTF") == 0) Decline("it is a binary glTF named .gltf");
        }
    } catch (const Declined& declined) {
        why = declined.why;
        return false;
    }
    return ReadGltfText(text, extension == "glb", &folder, scene, report, why);
}

bool ReadGltf(const unsigned char* bytes, size_t size, Scene& scene,
              std::vector<std::string>& report, std::string& why) {
    MemoryByteSource memory(bytes, size);
    GltfText text;
    try {
        text = ReadGlb(memory, size);
    } catch (const Declined& declined) {
        why = declined.why;
        return false;
    }
    return ReadGltfText(text, true, nullptr, scene, report, why);
}
