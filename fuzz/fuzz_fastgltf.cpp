// libFuzzer entry for the import child's own glTF reader, on binary .glb files.
#include "FastGltf.h"
#include "FastReaderFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzFastReader(ReadGltf, data, size);
}
