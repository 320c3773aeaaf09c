// libFuzzer entry for the import child's own OBJ reader.
#include "FastObj.h"
#include "FastReaderFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzFastReader(ReadObj, data, size);
}
