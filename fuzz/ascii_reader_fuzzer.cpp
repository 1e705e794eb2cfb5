// The ASCII DXF reader and the drawing database: any bytes either load or
// give an error that names the input; loading never crashes, hangs or
// reads outside the buffer. A loaded drawing is walked the way the host
// functions walk it.
#include <vector>

#include "fuzz_support.h"
#include "host/database/handle_check.h"

namespace {

void Walk(const host::Drawing& drawing) {
  std::vector<dxf::TagView> tags;
  for (host::EntityId id = drawing.FirstEntity(); id != host::kNoEntity;
       id = drawing.NextEntity(id)) {
    drawing.EntityTags(id, &tags);
    (void)drawing.EntityLayer(id);
    (void)drawing.FindEntityByHandle(drawing.EntityHandle(id));
  }
  for (host::ContainerId block : drawing.BlockDefinitions()) {
    for (host::EntityId id = drawing.FirstInBlock(block); id != host::kNoEntity;
         id = drawing.NextInBlock(id))
      drawing.EntityTags(id, &tags);
  }
  (void)drawing.HeaderValue("$HANDSEED");
  (void)drawing.FindTableRecord("LAYER", "0");
  host::HandleProblems handles = host::FindHandleProblems(drawing);
  if (handles.listed.size() > handles.total)
    fuzz::Violated("more handle problems listed than found");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  dxf::RawFile file;
  dxf::Error err;
  std::string buffer(reinterpret_cast<const char*>(data), size);
  if (!dxf::ParseBuffer(std::move(buffer), "fuzz.dxf", &file, &err)) {
    if (err.file != "fuzz.dxf" || err.message.empty()) fuzz::Violated("error without a text");
    return 0;
  }
  std::unique_ptr<host::Drawing> drawing = host::Drawing::Load(std::move(file), &err);
  if (!drawing) {
    if (err.file != "fuzz.dxf" || err.message.empty()) fuzz::Violated("error without a text");
    return 0;
  }
  Walk(*drawing);
  return 0;
}
