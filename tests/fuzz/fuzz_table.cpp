// Arbitrary bytes served as the SMBIOS table through the whole run: the value
// stored must be what the plain model says.
#include <vector>

#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/plain_model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    standin::Reset({.instances = {std::vector<std::uint8_t>(data, data + size)}});
    Require(RunQuietly() == 0, "exit status 0");
    Require(StoredRotate() == PlainModelRotateValue(data, size), "stored value matches the plain model");
    Require(standin::CurrentBalance() == standin::Balance{}, "everything released");
    return 0;
}
