// bench_floor IN.dxf OUT.dxf
//
// The floor for reading and writing a drawing: the least work any DXF round
// trip has to do. It reads the file in one read, splits it into lines, parses
// each group code, splits the tags into records (a record starts at group
// code 0; each is kept as a byte range of the buffer, as a lossless reader
// would) and writes the records back. What the program does beyond this is
// the price of its database; bench/run.sh reports each timing as a ratio to
// this one.

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool ReadWholeFile(const char* path, std::string* out) {
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  bool ok = std::fseek(f, 0, SEEK_END) == 0;
  long size = ok ? std::ftell(f) : -1;
  ok = ok && size >= 0 && std::fseek(f, 0, SEEK_SET) == 0;
  if (ok) {
    out->resize(static_cast<size_t>(size));
    ok = std::fread(out->data(), 1, out->size(), f) == out->size();
  }
  std::fclose(f);
  return ok;
}

// Cuts lines off the front of a buffer; a line keeps its ending (LF or CRLF).
class LineCutter {
 public:
  explicit LineCutter(std::string_view text) : text_(text) {}
  bool Next(std::string_view* line) {
    if (pos_ >= text_.size()) return false;
    const void* nl = std::memchr(text_.data() + pos_, '\n', text_.size() - pos_);
    size_t end = nl ? static_cast<const char*>(nl) - text_.data() + 1 : text_.size();
    *line = text_.substr(pos_, end - pos_);
    pos_ = end;
    return true;
  }
  size_t pos() const { return pos_; }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

std::string_view Trimmed(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
    line.remove_suffix(1);
  while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bench_floor IN.dxf OUT.dxf\n");
    return 2;
  }
  std::string text;
  if (!ReadWholeFile(argv[1], &text)) {
    std::fprintf(stderr, "bench_floor: cannot read %s\n", argv[1]);
    return 1;
  }

  // Record start offsets; whatever precedes the first record is kept too.
  std::vector<uint64_t> records{0};
  LineCutter lines(text);
  std::string_view code_line, value_line;
  size_t line_number = 0, tags = 0, zero_codes = 0;
  while (true) {
    size_t tag_start = lines.pos();
    if (!lines.Next(&code_line)) break;
    ++line_number;
    std::string_view code_text = Trimmed(code_line);
    int code = 0;
    auto [end, error] =
        std::from_chars(code_text.data(), code_text.data() + code_text.size(), code);
    if (error != std::errc() || end != code_text.data() + code_text.size()) {
      std::fprintf(stderr, "%s:%zu: group code expected, got \"%.*s\"\n", argv[1], line_number,
                   static_cast<int>(code_text.size()), code_text.data());
      return 1;
    }
    if (!lines.Next(&value_line)) {
      std::fprintf(stderr, "%s:%zu: group code %d: value expected, got end of file\n", argv[1],
                   line_number, code);
      return 1;
    }
    ++line_number;
    ++tags;
    if (code == 0) ++zero_codes;
    if (code == 0 && tag_start != 0) records.push_back(tag_start);
  }
  records.push_back(text.size());

  std::FILE* out = std::fopen(argv[2], "wb");
  if (!out) {
    std::fprintf(stderr, "bench_floor: cannot write %s\n", argv[2]);
    return 1;
  }
  bool ok = true;
  for (size_t i = 0; ok && i + 1 < records.size(); ++i) {
    size_t size = records[i + 1] - records[i];
    ok = std::fwrite(text.data() + records[i], 1, size, out) == size;
  }
  ok = std::fclose(out) == 0 && ok;
  if (!ok) {
    std::fprintf(stderr, "bench_floor: writing %s failed\n", argv[2]);
    return 1;
  }
  std::fprintf(stderr, "%zu lines, %zu tags, %zu records\n", line_number, tags, zero_codes);
  return 0;
}
