// ParseBuffer: one pass over the text that checks every tag and cuts the text
// into records, without allocating per tag.

#include <cstdint>
#include <cstring>

#include "dxf/binary_dxf.h"
#include "dxf/document.h"
#include "dxf/error_text.h"
#include "dxf/tag.h"
#include "dxf/tag_index.h"
#include "dxf/text_case.h"
#include "dxf/text_lines.h"

namespace dxf {
namespace {

constexpr int kMinCode = -5;
constexpr int kMaxCode = 1071;

enum class CodeCheck { kOk, kNotANumber, kOutOfRange };

// A code line: blanks, an optional minus sign, digits, blanks.
CodeCheck ParseCodeLine(std::string_view line, int* code) {
  std::string_view text = TrimBlanks(line);
  bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty()) return CodeCheck::kNotANumber;
  long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return CodeCheck::kNotANumber;
    if (value <= kMaxCode) value = value * 10 + (c - '0');
  }
  if (negative) value = -value;
  if (value < kMinCode || value > kMaxCode) return CodeCheck::kOutOfRange;
  *code = static_cast<int>(value);
  return CodeCheck::kOk;
}

// What the value of a group code must be: DXF fixes a type for each code.
enum class NumberKind : uint8_t { kNone, kReal, kInteger };

struct NumberKinds {
  NumberKind of[kMaxCode - kMinCode + 1] = {};
  NumberKinds() {
    for (int code = kMinCode; code <= kMaxCode; ++code) {
      NumberKind& kind = of[code - kMinCode];
      switch (TypeOfCode(code)) {
        case ValueType::kDouble:
          kind = NumberKind::kReal;
          break;
        case ValueType::kInt16:
        case ValueType::kInt32:
        case ValueType::kInt64:
        case ValueType::kBool:
          kind = NumberKind::kInteger;
          break;
        default:
          break;
      }
    }
  }
};
const NumberKinds kNumberKinds;

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Whether value reads as a finite real number, as ParseDouble reads it. Most
// values are plain decimals ("12.5", "-0.25") of a few digits without
// blanks: those are taken at a glance (300 digits cannot overflow); anything
// else is left to ParseDouble. This runs for every real of a drawing.
bool IsRealText(std::string_view value) {
  const char* p = value.data();
  const char* end = p + value.size();
  if (p < end && *p == '-') ++p;
  const char* digits = p;
  while (p < end && IsDigit(*p)) ++p;
  size_t count = static_cast<size_t>(p - digits);
  if (p < end && *p == '.') {
    const char* fraction = ++p;
    while (p < end && IsDigit(*p)) ++p;
    count += static_cast<size_t>(p - fraction);
  }
  if (p == end && count > 0 && count <= 300) return true;
  return ParseDouble(value).has_value();
}

// Whether value reads as a whole number that fits in 64 bits, as ParseInt
// reads it.
bool IsIntegerText(std::string_view value) {
  const char* p = value.data();
  const char* end = p + value.size();
  while (p < end && IsBlank(*p)) ++p;
  if (p < end && *p == '-') ++p;
  const char* digits = p;
  while (p < end && IsDigit(*p)) ++p;
  size_t count = static_cast<size_t>(p - digits);
  while (p < end && IsBlank(*p)) ++p;
  if (p == end && count > 0 && count <= 18) return true;
  return ParseInt(value).has_value();
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

class RecordSplitter {
 public:
  RecordSplitter(RawFile* out, Error* err) : out_(out), err_(err), text_(out->buffer) {}

  bool Run() {
    if (text_.empty()) return Fail(0, -1, "the file is empty");
    // A UTF-8 byte-order mark stays with the text before the first record
    // and is written back with it.
    if (text_.starts_with(kByteOrderMark)) pos_ = kByteOrderMark.size();
    DetectStyle();
    const void* nul = std::memchr(text_.data(), '\0', text_.size());
    first_nul_ = nul ? static_cast<const char*>(nul) : text_.data() + text_.size();
    out_->records.reserve(text_.size() / 512 + 16);
    // Most files have a tag in every nine or ten bytes, and the index takes
    // a byte a tag: reserved (what is not used is never touched), so that
    // it rarely moves.
    out_->tag_index.reserve(text_.size() / 7);

    while (pos_ < text_.size()) {
      size_t tag_start = pos_;
      size_t code_line_no = line_;
      std::string_view code_line = NextLine(text_, &pos_);
      ++line_;
      int code = 0;
      switch (ParseCodeLine(code_line, &code)) {
        case CodeCheck::kOk:
          break;
        case CodeCheck::kNotANumber:
          return Fail(code_line_no, -1, "expected a group code, found " + QuoteFound(code_line));
        case CodeCheck::kOutOfRange:
          return Fail(code_line_no, -1,
                      "expected a group code from -5 to 1071, found " + QuoteFound(code_line));
      }
      if (pos_ >= text_.size())
        return Fail(line_, code, "expected a value line, found end of file");
      size_t value_line_no = line_;
      size_t value_start = pos_;
      std::string_view value = NextLine(text_, &pos_);
      ++line_;
      if (first_nul_ < value.data() + value.size()) {
        return Fail(value_line_no, code, "expected a text line, found a NUL byte");
      }
      if (code == 0) {
        if (!OnRecordStart(tag_start, code_line_no, TrimBlanks(value))) return false;
        if (done_) {
          index_.Close();
          return true;
        }
      } else if (!OnTag(code_line_no, code, value)) {
        return false;
      }
      if (record_open_) {
        size_t code_end = value_start - tag_start - code_line.size();
        index_.Add(code_line, code_end, value, pos_ - value_start - value.size());
      }
    }
    if (where_ == Where::kSectionName || where_ == Where::kInSection) {
      return Fail(line_, -1, "expected ENDSEC, found end of file");
    }
    return Fail(line_, -1, "expected EOF, found end of file");
  }

 private:
  enum class Where { kBeforeFirst, kOutside, kSectionName, kInSection };

  bool Fail(size_t line, int code, std::string message) {
    *err_ = MakeError(out_->name, line, code, std::move(message));
    return false;
  }

  // The first line tells the line ending; the first code line tells whether
  // codes are right-aligned ("  0") or not ("0"). Tags the program adds are
  // written the same way.
  void DetectStyle() {
    size_t nl = text_.find('\n');
    bool crlf = nl != std::string_view::npos && nl > 0 && text_[nl - 1] == '\r';
    out_->style.line_ending = crlf ? LineEnding::kCrLf : LineEnding::kLf;
    out_->style.right_aligned_codes = pos_ < text_.size() && text_[pos_] == ' ';
  }

  void StartRecord(size_t at, size_t line) {
    if (record_open_) {
      out_->records.push_back(RawRecord{text_.substr(record_start_, at - record_start_),
                                        record_line_, index_.Finish()});
    } else {
      out_->leading = text_.substr(0, at);
    }
    index_.Start();
    record_open_ = true;
    record_start_ = at;
    record_line_ = static_cast<uint32_t>(line);
  }

  bool OnRecordStart(size_t at, size_t line, std::string_view type) {
    switch (where_) {
      case Where::kBeforeFirst:
      case Where::kOutside:
        if (type == "SECTION") {
          StartRecord(at, line);
          where_ = Where::kSectionName;
          return true;
        }
        if (type == "EOF") {
          StartRecord(at, line);
          StartRecord(pos_, line_);  // closes the EOF record
          out_->trailing = text_.substr(pos_);
          done_ = true;
          return true;
        }
        return Fail(line, 0, "expected SECTION or EOF, found " + QuoteFound(type));
      case Where::kSectionName:
        return Fail(
            line, 0,
            "expected the section name (group code 2) after SECTION, found " + QuoteFound(type));
      case Where::kInSection:
        if (type == "SECTION" || type == "EOF") {
          return Fail(
              line, 0,
              "expected ENDSEC before " + std::string(type) + ", found " + std::string(type));
        }
        if (type == "ENDSEC") {
          where_ = Where::kOutside;
          in_header_ = false;
        }
        StartRecord(at, line);
        return true;
    }
    return true;
  }

  bool OnTag(size_t line, int code, std::string_view value) {
    switch (where_) {
      case Where::kBeforeFirst:
        // Comments may precede the first section; nothing else may.
        if (code == 999) return true;
        return Fail(line, code, "expected SECTION, found a tag outside any section");
      case Where::kSectionName:
        if (code != 2) {
          return Fail(
              line, code,
              "expected the section name (group code 2) after SECTION, found " + QuoteFound(value));
        }
        in_header_ = EqualNoCase(TrimBlanks(value), "HEADER");
        where_ = Where::kInSection;
        return true;
      case Where::kInSection:
        if (in_header_) NoteHeaderTag(code, value);
        return CheckNumber(line + 1, code, value);
      case Where::kOutside:
        // Tags after ENDSEC (comments) stay with the ENDSEC record.
        return true;
    }
    return true;
  }

  // A value whose group code fixes a number must be one: a coordinate that
  // does not read would otherwise be left out of every move and scale.
  bool CheckNumber(size_t line, int code, std::string_view value) {
    switch (kNumberKinds.of[code - kMinCode]) {
      case NumberKind::kNone:
        return true;
      case NumberKind::kReal:
        if (IsRealText(value)) return true;
        return Fail(line, code, "expected a real number, found " + QuoteFound(value));
      case NumberKind::kInteger:
        if (IsIntegerText(value)) return true;
        return Fail(line, code, "expected an integer, found " + QuoteFound(value));
    }
    return true;
  }

  // $ACADVER and $DWGCODEPAGE decide how the file's texts are encoded.
  void NoteHeaderTag(int code, std::string_view value) {
    if (code == 9) {
      header_var_ = TrimBlanks(value);
    } else if (code == 1 && EqualNoCase(header_var_, "$ACADVER")) {
      out_->version = std::string(TrimBlanks(value));
    } else if (code == 3 && EqualNoCase(header_var_, "$DWGCODEPAGE")) {
      out_->codepage = std::string(TrimBlanks(value));
    }
  }

  RawFile* out_;
  Error* err_;
  TagIndexBuilder index_{&out_->tag_index};
  std::string_view text_;
  const char* first_nul_ = nullptr;
  size_t pos_ = 0;
  size_t line_ = 1;  // number of the line at pos_
  Where where_ = Where::kBeforeFirst;
  bool in_header_ = false;
  bool done_ = false;
  std::string_view header_var_;
  bool record_open_ = false;
  size_t record_start_ = 0;
  uint32_t record_line_ = 0;
};

}  // namespace

bool ParseBuffer(std::string buffer, const std::string& name, RawFile* out, Error* err) {
  *out = RawFile();
  out->name = name;
  if (IsBinaryDxf(buffer)) {
    std::string ascii;
    if (!ConvertBinaryDxf(buffer, name, &ascii, err)) return false;
    buffer = std::move(ascii);
    out->was_binary = true;
  }
  // Records are views into the buffer; a short string would live inside the
  // RawFile and its views would dangle once the RawFile moves.
  if (buffer.capacity() < 64) buffer.reserve(64);
  // Lines ended by a lone CR, as some old programs write them: read as LF
  // lines; the drawing writes them back as CR. A file with any LF keeps its
  // CRs as they are (then the line ending is LF or CR LF).
  if (std::memchr(buffer.data(), '\n', buffer.size()) == nullptr &&
      std::memchr(buffer.data(), '\r', buffer.size()) != nullptr) {
    for (char& c : buffer)
      if (c == '\r') c = '\n';
    out->cr_line_ends = true;
  }
  out->buffer = std::move(buffer);
  out->version = "AC1009";
  if (!RecordSplitter(out, err).Run()) {
    out->records.clear();
    out->tag_index.clear();
    return false;
  }
  if (out->version.empty()) out->version = "AC1009";
  return true;
}

}  // namespace dxf
