#include "scene/ArchiveString.h"

#include "scene/ByteOrder.h"

namespace {

constexpr uint16_t kWideMarker = 0xFFFE;
constexpr uint16_t kLongMarker = 0xFFFF;

// Reads a length in the narrow form; sets wide when the UTF-16 marker came first.
bool ReadLength(InputStream& in, uint64_t& length, bool& wide) {
    wide = false;
    uint8_t shortLength;
    if (!in.ReadU8(shortLength)) return false;
    if (shortLength < 0xFF) {
        length = shortLength;
        return true;
    }
    uint16_t mediumLength;
    if (!in.ReadU16(mediumLength)) return false;
    if (mediumLength == kWideMarker) {
        // The character count follows in the same form; here 65534 is a plain length.
        wide = true;
        if (!in.ReadU8(shortLength)) return false;
        if (shortLength < 0xFF) {
            length = shortLength;
            return true;
        }
        if (!in.ReadU16(mediumLength)) return false;
    }
    if (mediumLength != kLongMarker) {
        length = mediumLength;
        return true;
    }
    uint32_t longLength;
    if (!in.ReadU32(longLength)) return false;
    length = longLength;
    return true;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

std::string Utf16LeToUtf8(const uint8_t* data, size_t units) {
    std::string out;
    out.reserve(units);
    for (size_t i = 0; i < units; ++i) {
        uint32_t cp = LoadU16(data + 2 * i);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < units) {
            const uint32_t low = LoadU16(data + 2 * (i + 1));
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0xFFFD;
        AppendUtf8(out, cp);
    }
    return out;
}

void WriteArchiveString(OutputStream& out, const std::string& text) {
    const uint64_t length = text.size();
    if (length < 0xFF) {
        out.WriteU8(static_cast<uint8_t>(length));
    } else if (length < kWideMarker) {
        out.WriteU8(0xFF);
        out.WriteU16(static_cast<uint16_t>(length));
    } else {
        out.WriteU8(0xFF);
        out.WriteU16(kLongMarker);
        out.WriteU32(static_cast<uint32_t>(length));
    }
    out.Write(text.data(), text.size());
}

bool ReadArchiveString(InputStream& in, std::string& text) {
    uint64_t length;
    bool wide;
    if (!ReadLength(in, length, wide)) return false;
    const uint64_t bytes = wide ? 2 * length : length;
    const uint8_t* data;
    if (bytes > in.Remaining() || !in.ReadSpan(static_cast<size_t>(bytes), data)) return false;
    if (wide)
        text = Utf16LeToUtf8(data, static_cast<size_t>(length));
    else
        text.assign(reinterpret_cast<const char*>(data), static_cast<size_t>(bytes));
    return true;
}
