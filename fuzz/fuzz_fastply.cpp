// libFuzzer entry for the import child's own PLY reader.
#include "FastPly.h"
#include "FastReaderFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzFastReader(ReadPly, data, size);
}
