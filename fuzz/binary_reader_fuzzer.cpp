// The binary DXF reader: the fuzzer's bytes follow the 22-byte sentinel, so
// that every input is taken as binary DXF. Conversion either fails with an
// error naming the input or gives ASCII text that loads like any file.
#include "dxf/binary_dxf.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(dxf::kBinarySentinel);
  bytes.append(reinterpret_cast<const char*>(data), size);
  std::unique_ptr<host::Drawing> drawing =
      fuzz::LoadBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), "fuzz.dxf");
  if (drawing) (void)drawing->WriteToString();
  return 0;
}
