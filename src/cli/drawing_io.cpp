#include "cli/drawing_io.h"

#include "dxf/document.h"

namespace cli {

std::unique_ptr<host::Drawing> LoadDrawing(const std::string& path, std::string* err) {
  dxf::RawFile file;
  dxf::Error error;
  if (!dxf::ReadFile(path, &file, &error)) {
    *err = error.ToString();
    return nullptr;
  }
  std::unique_ptr<host::Drawing> drawing = host::Drawing::Load(std::move(file), &error);
  if (!drawing) *err = error.ToString();
  return drawing;
}

bool SaveDrawing(const host::Drawing& drawing, const std::string& path, std::string* err,
                 const std::string& mark) {
  dxf::OutputFile out;
  if (!out.Open(path, err)) return false;
  out.SetMark(mark);
  drawing.Write(&out);
  return out.Commit(err);
}

}  // namespace cli
