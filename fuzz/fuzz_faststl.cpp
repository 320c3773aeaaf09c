// libFuzzer entry for the import child's own STL reader.
#include "FastReaderFuzz.h"
#include "FastStl.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzFastReader(ReadStl, data, size);
}
