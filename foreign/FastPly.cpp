#include "FastPly.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>

#include "FastReading.h"
#include "MeshObjects.h"

namespace {

// The source read through a buffer of its own, so that the header's lines and the data's small
// values cost no call each.
class BufferedBytes {
public:
    explicit BufferedBytes(ByteSource& source, uint64_t size) : m_source(source), m_left(size) {}

    // The next line of the header without its end ("\n" or "\r\n", which sets crlf); nothing
    // past kLongestLine.
    std::optional<std::string> Line(bool* crlf) {
        std::string line;
        for (;;) {
            unsigned char c;
            if (!Read(&c, 1) || line.size() > kLongestLine) return std::nullopt;
            if (c == '\n') break;
            line.push_back(static_cast<char>(c));
        }
        *crlf = !line.empty() && line.back() == '\r';
        if (*crlf) line.pop_back();
        return line;
    }
    bool Read(void* to, size_t size) {
        auto* out = static_cast<unsigned char*>(to);
        while (size > 0) {
            if (m_at == m_buffer.size() && !Fill()) return false;
            const size_t n = std::min(size, m_buffer.size() - m_at);
            std::memcpy(out, m_buffer.data() + m_at, n);
            m_at += n;
            out += n;
            size -= n;
        }
        return true;
    }
    uint64_t Left() const { return m_left + (m_buffer.size() - m_at); }
    // The next n bytes (n at most kPiece) in one piece, without reading past them; null when
    // the source ends first. Skip(n) then passes over them.
    const unsigned char* Peek(size_t n) {
        if (m_buffer.size() - m_at < n) {
            m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<ptrdiff_t>(m_at));
            m_at = 0;
            const size_t more = static_cast<size_t>(std::min<uint64_t>(kPiece, m_left));
            const size_t had = m_buffer.size();
            m_buffer.resize(had + more);
            if (more > 0 && !m_source.Read(m_buffer.data() + had, more)) return nullptr;
            m_left -= more;
            if (m_buffer.size() < n) return nullptr;
        }
        return m_buffer.data() + m_at;
    }
    void Skip(size_t n) { m_at += n; }

private:
    static constexpr size_t kLongestLine = 4096;
    static constexpr size_t kPiece = 1 << 20;

    bool Fill() {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(kPiece, m_left));
        if (n == 0) return false;
        m_buffer.resize(n);
        if (!m_source.Read(m_buffer.data(), n)) return false;
        m_left -= n;
        m_at = 0;
        return true;
    }

    ByteSource& m_source;
    uint64_t m_left;
    std::vector<unsigned char> m_buffer;
    size_t m_at = 0;
};

enum class Type { Int8, UInt8, Int16, UInt16, Int32, UInt32, Float32, Float64 };

std::optional<Type> TypeNamed(const std::string& name) {
    if (name == "char" || name == "int8") return Type::Int8;
    if (name == "uchar" || name == "uint8") return Type::UInt8;
    if (name == "short" || name == "int16") return Type::Int16;
    if (name == "ushort" || name == "uint16") return Type::UInt16;
    if (name == "int" || name == "int32") return Type::Int32;
    if (name == "uint" || name == "uint32") return Type::UInt32;
    if (name == "float" || name == "float32") return Type::Float32;
    if (name == "double" || name == "float64") return Type::Float64;
    return std::nullopt;
}

size_t SizeOf(Type type) {
    switch (type) {
        case Type::Int8:
        case Type::UInt8:
            return 1;
        case Type::Int16:
        case Type::UInt16:
            return 2;
        case Type::Int32:
        case Type::UInt32:
        case Type::Float32:
            return 4;
        case Type::Float64:
            return 8;
    }
    return 1;
}

bool IsInteger(Type type) {
    return type != Type::Float32 && type != Type::Float64;
}

// A value of type T in the file's byte order.
template <class T, bool Big>
T Load(const unsigned char* at) {
    unsigned char bytes[sizeof(T)];
    for (size_t k = 0; k < sizeof(T); ++k)
        bytes[k] = at[Big ? sizeof(T) - 1 - k : k];
    T value;
    std::memcpy(&value, bytes, sizeof(T));
    return value;
}
// T read and converted to R, as the library converts its values.
template <class R, class T, bool Big>
R LoadAs(const unsigned char* at) {
    return static_cast<R>(Load<T, Big>(at));
}
template <class R>
using Loader = R (*)(const unsigned char*);

template <class R, bool Big>
Loader<R> LoaderOf(Type type) {
    switch (type) {
        case Type::Int8:
            return LoadAs<R, int8_t, Big>;
        case Type::UInt8:
            return LoadAs<R, uint8_t, Big>;
        case Type::Int16:
            return LoadAs<R, int16_t, Big>;
        case Type::UInt16:
            return LoadAs<R, uint16_t, Big>;
        case Type::Int32:
            return LoadAs<R, int32_t, Big>;
        case Type::UInt32:
            return LoadAs<R, uint32_t, Big>;
        case Type::Float32:
            return LoadAs<R, float, Big>;
        case Type::Float64:
            return LoadAs<R, double, Big>;
    }
    return LoadAs<R, float, Big>;
}

// The loader of a value of type in the file's byte order, as a float for coordinates or an
// integer for counts and indices (of integer types only: the caller checks).
template <class R>
Loader<R> LoaderOf(Type type, bool bigEndian) {
    return bigEndian ? LoaderOf<R, true>(type) : LoaderOf<R, false>(type);
}

struct Property {
    std::string name;
    Type type = Type::Float32;
    bool list = false;
    Type countType = Type::UInt8;
};

struct Element {
    std::string name;
    uint64_t count = 0;
    std::vector<Property> properties;
};

// Where the vertex element's values the library uses lie: property indices, or -1.
struct VertexLayout {
    int position[3] = {-1, -1, -1};
    int normal[3] = {-1, -1, -1};
    int uv[2] = {-1, -1};
};

// The header: the elements in their order. False with why when this reader does not take it.
bool ReadHeader(BufferedBytes& in, bool& bigEndian, bool& ascii, std::vector<Element>& elements,
                std::string& texture, std::string& why) {
    bool crlf = false;
    const std::optional<std::string> magic = in.Line(&crlf);
    if (!magic || magic->size() < 3 || std::tolower((*magic)[0]) != 'p' ||
        std::tolower((*magic)[1]) != 'l' || std::tolower((*magic)[2]) != 'y') {
        why = "it does not begin as a PLY file";
        return false;
    }
    for (;;) {
        const std::optional<std::string> line = in.Line(&crlf);
        if (!line) {
            why = "its header does not end";
            return false;
        }
        // "comment TextureFile NAME" names the image of the default material: the last one.
        if (line->rfind("comment", 0) == 0) {
            const size_t at = line->find_first_not_of(" \t", 7);
            if (at != std::string::npos && at > 7 && line->compare(at, 11, "TextureFile") == 0 &&
                at + 11 < line->size() && (*line)[at + 11] == ' ') {
                if (crlf) {
                    why = "its texture comment ends in a carriage return";
                    return false;
                }
                const size_t name = line->find_first_not_of(" \t", at + 11);
                texture = name == std::string::npos ? "" : line->substr(name);
            }
            continue;
        }
        std::vector<std::string> words;
        for (size_t at = 0; at < line->size();) {
            const size_t end = line->find_first_of(" \t", at);
            const size_t stop = end == std::string::npos ? line->size() : end;
            if (stop > at) words.push_back(line->substr(at, stop - at));
            at = stop + 1;
        }
        if (words.empty() || words[0] == "obj_info") continue;
        if (words[0] == "end_header") break;
        if (words[0] == "format" && words.size() >= 2) {
            ascii = words[1] == "ascii";
            if (!ascii && words[1] != "binary_little_endian" && words[1] != "binary_big_endian") {
                why = "its format is not one this reader knows";
                return false;
            }
            bigEndian = words[1] == "binary_big_endian";
        } else if (words[0] == "element" && words.size() == 3) {
            Element element;
            element.name = words[1];
            const char* first = words[2].data();
            char* end = nullptr;
            element.count = std::strtoull(first, &end, 10);
            if (end != first + words[2].size() || words[2][0] == '-') {
                why = "an element's count is not a number";
                return false;
            }
            elements.push_back(std::move(element));
        } else if (words[0] == "property" && !elements.empty()) {
            Property property;
            const bool list = words.size() == 5 && words[1] == "list";
            if (!list && words.size() != 3) {
                why = "a property line is not one this reader knows";
                return false;
            }
            const std::optional<Type> type = TypeNamed(words[list ? 3 : 1]);
            const std::optional<Type> count = list ? TypeNamed(words[2]) : Type::UInt8;
            if (!type || !count) {
                why = "a property's type is not one this reader knows";
                return false;
            }
            property.name = words[list ? 4 : 2];
            property.type = *type;
            property.list = list;
            property.countType = *count;
            elements.back().properties.push_back(property);
        } else {
            why = "its header has a line this reader does not know";
            return false;
        }
    }
    if (elements.size() != 2 || elements[0].name != "vertex" || elements[1].name != "face") {
        why = "it holds other elements than vertices followed by faces";
        return false;
    }
    return true;
}

// Where the library finds a vertex's position, normal and coordinates; false with why for a
// vertex this reader does not take.
bool FindVertexLayout(const Element& vertex, VertexLayout& layout, std::string& why) {
    for (size_t p = 0; p < vertex.properties.size(); ++p) {
        const Property& property = vertex.properties[p];
        const std::string& name = property.name;
        const int index = static_cast<int>(p);
        if (property.list) {
            why = "its vertices hold lists";
            return false;
        }
        for (const char* colour : {"red", "green", "blue", "alpha", "r", "g", "b"})
            if (name == colour) {
                why = "its vertices have colours";
                return false;
            }
        int* slot = nullptr;
        if (name == "x") slot = &layout.position[0];
        if (name == "y") slot = &layout.position[1];
        if (name == "z") slot = &layout.position[2];
        if (name == "nx") slot = &layout.normal[0];
        if (name == "ny") slot = &layout.normal[1];
        if (name == "nz") slot = &layout.normal[2];
        if (name == "u" || name == "s" || name == "tx" || name == "texture_u") slot = &layout.uv[0];
        if (name == "v" || name == "t" || name == "ty" || name == "texture_v") slot = &layout.uv[1];
        if (!slot) continue;  // a property the library does not read
        if (*slot >= 0) {
            why = "a vertex property is named twice";
            return false;
        }
        *slot = index;
    }
    const auto all = [](const int* slots, int n) {
        return std::all_of(slots, slots + n, [](int s) { return s >= 0; });
    };
    const auto none = [](const int* slots, int n) {
        return std::all_of(slots, slots + n, [](int s) { return s < 0; });
    };
    if (!all(layout.position, 3)) {
        why = "its vertices lack a coordinate";
        return false;
    }
    if (!all(layout.normal, 3) && !none(layout.normal, 3)) {
        why = "its vertices have part of a normal";
        return false;
    }
    if (!all(layout.uv, 2) && !none(layout.uv, 2)) {
        why = "its vertices have half of their mapping coordinates";
        return false;
    }
    return true;
}

// A vertex's normal and mapping coordinates, which the library joins vertices by.
struct VertexAttributes {
    MeshPoint normal;
    MeshPoint uv;  // u, v, 0
    static bool Near(const VertexAttributes& a, const VertexAttributes& b) {
        return NearForLibrary(a.normal, b.normal) && NearForLibrary(a.uv, b.uv);
    }
};
using PlyJoiner = LibraryJoiner<VertexAttributes>;

// One value of a text PLY's line as the library reads it, appended to out as the binary
// little-endian value of its type; false for a word the library would read otherwise (a sign it
// passes over, a value its type cannot hold, not a number).
bool AppendTextValue(const char*& at, const char* end, Type type, std::vector<unsigned char>& out) {
    while (at < end && IsSpace(*at))
        ++at;
    if (at == end) return false;
    const auto put = [&out](const auto value) {
        unsigned char bytes[sizeof value];
        std::memcpy(bytes, &value, sizeof value);
        out.insert(out.end(), bytes, bytes + sizeof value);
    };
    const char* next = at;
    if (type == Type::Float32 || type == Type::Float64) {
        if (!((*at >= '0' && *at <= '9') || *at == '-')) return false;
        float single = 0;
        double twice = 0;
        const auto result = type == Type::Float32 ? std::from_chars(at, end, single)
                                                  : std::from_chars(at, end, twice);
        if (result.ec != std::errc()) return false;
        next = result.ptr;
        type == Type::Float32 ? put(single) : put(twice);
    } else {
        int64_t value = 0;
        const bool negative = *at == '-';
        if (negative && !(type == Type::Int8 || type == Type::Int16 || type == Type::Int32))
            return false;
        if (negative) ++next;
        const char* digits = next;
        while (next < end && *next >= '0' && *next <= '9' && next - digits < 11)
            value = value * 10 + (*next++ - '0');
        if (next == digits) return false;
        if (negative) value = -value;
        const auto within = [value](int64_t low, int64_t high) {
            return value >= low && value <= high;
        };
        switch (type) {
            case Type::Int8:
                if (!within(INT8_MIN, INT8_MAX)) return false;
                put(static_cast<int8_t>(value));
                break;
            case Type::UInt8:
                if (!within(0, UINT8_MAX)) return false;
                put(static_cast<uint8_t>(value));
                break;
            case Type::Int16:
                if (!within(INT16_MIN, INT16_MAX)) return false;
                put(static_cast<int16_t>(value));
                break;
            case Type::UInt16:
                if (!within(0, UINT16_MAX)) return false;
                put(static_cast<uint16_t>(value));
                break;
            case Type::Int32:
                if (!within(INT32_MIN, INT32_MAX)) return false;
                put(static_cast<int32_t>(value));
                break;
            default:
                if (!within(0, UINT32_MAX)) return false;
                put(static_cast<uint32_t>(value));
                break;
        }
    }
    if (next < end && !IsSpace(*next)) return false;
    at = next;
    return true;
}

// The elements of a text PLY, one instance a line as the library reads them, written out as the
// binary little-endian file would hold them, so that the one reading of the records serves both.
bool TranscodeTextBody(BufferedBytes& in, const std::vector<Element>& elements,
                       std::vector<unsigned char>& out, std::string& why) {
    for (const Element& element : elements)
        for (uint64_t i = 0; i < element.count; ++i) {
            bool crlf = false;
            const std::optional<std::string> line = in.Line(&crlf);
            if (!line) {
                why = "it ends before its elements do";
                return false;
            }
            const char* at = line->data();
            const char* const end = at + line->size();
            if (OnlySpaces(at, end)) {
                why = "a line of its elements is empty";
                return false;
            }
            for (const Property& property : element.properties) {
                const size_t countAt = out.size();
                if (!AppendTextValue(at, end, property.list ? property.countType : property.type,
                                     out)) {
                    why = "a value is not written as the library reads it";
                    return false;
                }
                if (!property.list) continue;
                const Loader<int64_t> count = LoaderOf<int64_t>(property.countType, false);
                for (int64_t k = count(out.data() + countAt); k > 0; --k)
                    if (!AppendTextValue(at, end, property.type, out)) {
                        why = "a value is not written as the library reads it";
                        return false;
                    }
            }
            if (!OnlySpaces(at, end)) {
                why = "a line of its elements holds more than its values";
                return false;
            }
        }
    return true;
}

bool ReadPlyFrom(ByteSource& source, uint64_t size, Scene& scene, std::vector<std::string>& report,
                 std::string& why) {
    BufferedBytes file(source, size);
    bool bigEndian = false, ascii = false;
    std::vector<Element> elements;
    std::string texture;
    if (!ReadHeader(file, bigEndian, ascii, elements, texture, why)) return false;
    const Element& vertexElement = elements[0];
    const Element& faceElement = elements[1];
    VertexLayout layout;
    if (!FindVertexLayout(vertexElement, layout, why)) return false;
    if (faceElement.properties.size() != 1 || !faceElement.properties[0].list ||
        (faceElement.properties[0].name != "vertex_indices" &&
         faceElement.properties[0].name != "vertex_index") ||
        !IsInteger(faceElement.properties[0].type) ||
        !IsInteger(faceElement.properties[0].countType)) {
        why = "its faces carry more than a list of their corners";
        return false;
    }
    if (vertexElement.count == 0 || faceElement.count == 0) {
        why = "it holds no vertices or no faces";
        return false;
    }
    // A text file's elements are read as the binary file would hold them.
    std::vector<unsigned char> transcoded;
    if (ascii) {
        // Every instance takes a line of two bytes at least.
        if (vertexElement.count + faceElement.count > file.Left() / 2) {
            why = "it ends before its elements do";
            return false;
        }
        if (!TranscodeTextBody(file, elements, transcoded, why)) return false;
    }
    MemoryByteSource transcodedSource(transcoded.data(), transcoded.size());
    BufferedBytes binary(transcodedSource, transcoded.size());
    BufferedBytes& in = ascii ? binary : file;
    // Every vertex and face takes at least a byte: counts the file cannot hold are refused
    // before anything is allocated for them.
    std::vector<size_t> offsets;  // of each property in a record
    size_t vertexBytes = 0;
    for (const Property& property : vertexElement.properties) {
        offsets.push_back(vertexBytes);
        vertexBytes += SizeOf(property.type);
    }
    if (vertexElement.count > in.Left() / std::max<size_t>(vertexBytes, 1) ||
        faceElement.count > in.Left() || vertexElement.count > UINT32_MAX) {
        why = "it ends before its elements do";
        return false;
    }
    const size_t vertexCount = static_cast<size_t>(vertexElement.count);
    const bool hasNormals = layout.normal[0] >= 0, hasUvs = layout.uv[0] >= 0;

    std::vector<MeshPoint> positions(vertexCount);
    std::vector<VertexAttributes> attributes(hasNormals || hasUvs ? vertexCount : 0);
    // Each value the library reads, where it lies in a record and how it is loaded.
    struct Field {
        size_t offset;
        Loader<float> load;
    };
    const auto field = [&](int property) {
        const size_t p = static_cast<size_t>(property);
        return Field{offsets[p], LoaderOf<float>(vertexElement.properties[p].type, bigEndian)};
    };
    const Field position[3] = {field(layout.position[0]), field(layout.position[1]),
                               field(layout.position[2])};
    Field normal[3] = {}, mapping[2] = {};
    if (hasNormals)
        for (int k = 0; k < 3; ++k)
            normal[k] = field(layout.normal[k]);
    if (hasUvs)
        for (int k = 0; k < 2; ++k)
            mapping[k] = field(layout.uv[k]);
    const auto at = [](const unsigned char* record, const Field& f) {
        return f.load(record + f.offset);
    };
    // The records a piece at a time.
    const size_t perPiece =
        std::max<size_t>(1, (size_t{1} << 20) / std::max<size_t>(vertexBytes, 1));
    std::vector<unsigned char> piece(perPiece * std::max<size_t>(vertexBytes, 1));
    for (size_t first = 0; first < vertexCount; first += perPiece) {
        const size_t n = std::min(perPiece, vertexCount - first);
        if (!in.Read(piece.data(), n * vertexBytes)) {
            why = "it ends before its elements do";
            return false;
        }
        for (size_t k = 0; k < n; ++k) {
            const unsigned char* record = piece.data() + k * vertexBytes;
            const size_t v = first + k;
            positions[v] = AsTransformed(at(record, position[0]), at(record, position[1]),
                                         at(record, position[2]));
            if (!Finite(positions[v])) {
                why = "a coordinate is not a number";
                return false;
            }
            if (attributes.empty()) continue;
            if (hasNormals)
                attributes[v].normal = {at(record, normal[0]), at(record, normal[1]),
                                        at(record, normal[2])};
            if (hasUvs) attributes[v].uv = {at(record, mapping[0]), at(record, mapping[1]), 0};
            if (!(Finite(attributes[v].normal) && Finite(attributes[v].uv))) {
                why = "a normal or mapping coordinate is not a number";
                return false;
            }
        }
    }

    // The faces, quads split as the library splits them.
    const Property& list = faceElement.properties[0];
    const size_t countBytes = SizeOf(list.countType), indexBytes = SizeOf(list.type);
    std::vector<uint32_t> corners;
    corners.reserve(static_cast<size_t>(std::min<uint64_t>(faceElement.count, in.Left())) * 3);
    const Loader<int64_t> loadCount = LoaderOf<int64_t>(list.countType, bigEndian);
    const Loader<int64_t> loadIndex = LoaderOf<int64_t>(list.type, bigEndian);
    for (uint64_t f = 0; f < faceElement.count; ++f) {
        const unsigned char* count = in.Peek(countBytes);
        if (!count) {
            why = "it ends before its elements do";
            return false;
        }
        const int64_t n = loadCount(count);
        in.Skip(countBytes);
        if (n != 3 && n != 4) {
            why = "a face has fewer than three or more than four corners";
            return false;
        }
        const unsigned char* indices = in.Peek(static_cast<size_t>(n) * indexBytes);
        if (!indices) {
            why = "it ends before its elements do";
            return false;
        }
        uint32_t face[4];
        for (int64_t k = 0; k < n; ++k) {
            const int64_t index = loadIndex(indices + static_cast<size_t>(k) * indexBytes);
            if (index < 0 || static_cast<uint64_t>(index) >= vertexCount) {
                why = "a face names a vertex that is not there";
                return false;
            }
            face[k] = static_cast<uint32_t>(index);
        }
        in.Skip(static_cast<size_t>(n) * indexBytes);
        if (n == 3) {
            corners.insert(corners.end(), {face[0], face[1], face[2]});
        } else {
            const MeshPoint quad[4] = {positions[face[0]], positions[face[1]], positions[face[2]],
                                       positions[face[3]]};
            const int s = QuadStart(quad);
            corners.insert(corners.end(), {face[s], face[(s + 1) % 4], face[(s + 2) % 4]});
            corners.insert(corners.end(), {face[s], face[(s + 2) % 4], face[(s + 3) % 4]});
        }
    }

    // Identical vertices joined in the order of the vertices, those no face uses left out.
    std::vector<uint32_t> joined(vertexCount, UINT32_MAX);
    for (uint32_t corner : corners)
        joined[corner] = 0;
    PlyJoiner joiner(vertexCount);
    struct Candidate : JoinCandidate<VertexAttributes> {
        uint32_t vertex;
    };
    constexpr size_t kBatch = 1 << 16;
    const auto prepare = [&](size_t index, std::vector<Candidate>& batch) {
        batch.clear();
        const size_t from = index * kBatch;
        for (size_t v = from; v < std::min(vertexCount, from + kBatch); ++v) {
            if (joined[v] == UINT32_MAX) continue;
            batch.push_back({{positions[v], attributes.empty() ? VertexAttributes{} : attributes[v],
                              joiner.BucketOf(positions[v])},
                             static_cast<uint32_t>(v)});
        }
        return true;
    };
    JoinPreparedAhead<Candidate>(
        (vertexCount + kBatch - 1) / kBatch, prepare, [&](const std::vector<Candidate>& batch) {
            JoinAll(joiner, batch,
                    [&](size_t c, uint32_t index) { joined[batch[c].vertex] = index; });
        });
    std::vector<MeshPoint>().swap(positions);
    std::vector<VertexAttributes>().swap(attributes);

    MergedMesh merged;
    if (hasUvs) {
        merged.uvs.reserve(joiner.Count());
        for (uint32_t u = 0; u < joiner.Count(); ++u) {
            const MeshPoint& uv = joiner.AttributesOf(u).uv;
            merged.uvs.push_back(SceneUv{uv.x, uv.y});
        }
    }
    if (hasNormals) {
        merged.normals.reserve(joiner.Count());
        for (uint32_t u = 0; u < joiner.Count(); ++u)
            merged.normals.push_back(joiner.AttributesOf(u).normal);
    }
    merged.points = joiner.TakePoints();
    merged.corners.reserve(corners.size());
    for (uint32_t corner : corners)
        merged.corners.push_back(joined[corner]);
    std::vector<uint32_t>().swap(corners);
    std::vector<uint32_t>().swap(joined);

    SceneMaterial material;
    material.name = "Material 1";
    material.diffuse = material.ambient = material.specular = RGB8{255, 255, 255};
    material.transparency = 1.0f;
    if (!texture.empty()) {
        TextureMap map;
        map.fileName = texture;
        material.textureMap = std::move(map);
    }
    FinishFastScene(merged, std::move(material), scene, report);
    return true;
}

}  // namespace

bool ReadPly(const std::string& path, Scene& scene, std::vector<std::string>& report,
             std::string& why) {
    return ReadFastFromFile(path, ReadPlyFrom, scene, report, why);
}

bool ReadPly(const unsigned char* bytes, size_t size, Scene& scene,
             std::vector<std::string>& report, std::string& why) {
    MemoryByteSource memory(bytes, size);
    return ReadPlyFrom(memory, size, scene, report, why);
}
