// Length-prefixed strings of the scene file: a byte length below 255; else 255 and a 16-bit
// length below 65534; else 255, 65535 and a 32-bit length. On reading, 255 followed by 65534
// marks UTF-16LE text, which is converted to UTF-8: its length in 16-bit units follows in the
// same forms.
#pragma once

#include <string>

#include "scene/InputStream.h"
#include "scene/OutputStream.h"

void WriteArchiveString(OutputStream& out, const std::string& text);

// False when the stream ends before the whole string (nothing is allocated beyond what the
// stream still holds).
bool ReadArchiveString(InputStream& in, std::string& text);

// UTF-16LE code units to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16LeToUtf8(const uint8_t* data, size_t units);
