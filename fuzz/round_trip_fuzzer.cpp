// Load, save, load again: what the program writes must read back, and
// writing the re-read drawing must give the same bytes. An ASCII input
// that loads is written back exactly as it was read.
#include "dxf/binary_dxf.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::unique_ptr<host::Drawing> first = fuzz::LoadBytes(data, size, "fuzz.dxf");
  if (!first) return 0;
  std::string written = first->WriteToString();
  std::string input(reinterpret_cast<const char*>(data), size);
  if (!dxf::IsBinaryDxf(input) && written != input)
    fuzz::Violated("an unchanged drawing was not written back byte for byte",
                   fuzz::FirstDifference(input, written));

  dxf::RawFile file;
  dxf::Error err;
  if (!dxf::ParseBuffer(written, "written.dxf", &file, &err))
    fuzz::Violated("the written drawing does not read back", err.ToString());
  std::unique_ptr<host::Drawing> second = host::Drawing::Load(std::move(file), &err);
  if (!second) fuzz::Violated("the written drawing does not load", err.ToString());
  std::string rewritten = second->WriteToString();
  if (rewritten != written)
    fuzz::Violated("writing the re-read drawing changed it",
                   fuzz::FirstDifference(written, rewritten));
  return 0;
}
