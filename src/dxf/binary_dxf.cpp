#include "dxf/binary_dxf.h"

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "dxf/error_text.h"
#include "dxf/tag.h"

namespace dxf {
namespace {

// R12 binary files write group codes in one byte (255 escapes a two-byte
// code); later versions always use two bytes. The first tag is "0 SECTION",
// so a zero byte right after the leading zero means two-byte codes; the
// $ACADVER value decides when the file starts otherwise.
bool UsesTwoByteCodes(std::string_view data) {
  if (data.size() > 23 && data[22] == '\0') return data[23] == '\0';
  size_t at = data.substr(0, 1024).find("$ACADVER");
  if (at == std::string_view::npos) return false;
  size_t value = at + 10;  // "$ACADVER\0" plus the first byte of the next code
  if (value < data.size() && data[value] != 'A') ++value;
  // A file that ends inside the variable has no version to go by.
  if (value >= data.size()) return false;
  return data.substr(value, 6) > "AC1009";
}

class BinaryConverter {
 public:
  BinaryConverter(std::string_view data, const std::string& name, std::string* out, Error* err)
      : data_(data), name_(name), out_(out), err_(err) {}

  bool Run() {
    bool two_byte = UsesTwoByteCodes(data_);
    pos_ = kBinarySentinel.size();
    out_->clear();
    out_->reserve(data_.size() * 2);
    while (pos_ < data_.size()) {
      size_t tag_offset = pos_;
      int code = 0;
      if (!ReadCode(two_byte, &code)) return false;
      if (code < -5 || code > 1071) {
        return Fail(-1, "expected a group code at byte " + std::to_string(tag_offset) + ", found " +
                            std::to_string(code));
      }
      value_.clear();
      if (!ReadValue(code)) return false;
      char code_text[16];
      int n = std::snprintf(code_text, sizeof code_text, "%3d\r\n", code);
      out_->append(code_text, n);
      out_->append(value_);
      out_->append("\r\n");
      if (code == 0 && value_ == "EOF") break;
    }
    return true;
  }

 private:
  bool Fail(int code, std::string message) {
    *err_ = MakeError(name_, 0, code, std::move(message));
    return false;
  }

  bool Need(size_t bytes, int code, const char* what) {
    if (data_.size() - pos_ >= bytes) return true;
    return Fail(code, std::string("expected ") + what + " at byte " + std::to_string(pos_) +
                          ", found end of file");
  }

  uint64_t ReadLittleEndian(size_t bytes) {
    uint64_t value = 0;
    for (size_t i = 0; i < bytes; ++i) {
      value |= uint64_t(static_cast<unsigned char>(data_[pos_ + i])) << (8 * i);
    }
    pos_ += bytes;
    return value;
  }

  bool ReadCode(bool two_byte, int* code) {
    if (two_byte) {
      if (!Need(2, -1, "a two-byte group code")) return false;
      *code = static_cast<int16_t>(ReadLittleEndian(2));
      return true;
    }
    *code = static_cast<unsigned char>(data_[pos_++]);
    if (*code == 255) {
      if (!Need(2, -1, "a two-byte group code after the escape byte 255")) return false;
      *code = static_cast<int16_t>(ReadLittleEndian(2));
    }
    return true;
  }

  bool ReadValue(int code) {
    switch (TypeOfCode(code)) {
      case ValueType::kBinary: {
        if (!Need(1, code, "the length of a binary chunk")) return false;
        size_t length = static_cast<unsigned char>(data_[pos_++]);
        if (!Need(length, code, "the bytes of a binary chunk")) return false;
        static const char kHex[] = "0123456789ABCDEF";
        for (size_t i = 0; i < length; ++i) {
          unsigned char c = static_cast<unsigned char>(data_[pos_ + i]);
          value_ += kHex[c >> 4];
          value_ += kHex[c & 15];
        }
        pos_ += length;
        return true;
      }
      case ValueType::kDouble:
        if (!Need(8, code, "8 bytes of a real number")) return false;
        value_ = FormatDouble(std::bit_cast<double>(ReadLittleEndian(8)));
        return true;
      case ValueType::kInt16:
        if (!Need(2, code, "2 bytes of an integer")) return false;
        value_ = FormatInt(static_cast<int16_t>(ReadLittleEndian(2)));
        return true;
      case ValueType::kInt32:
        if (!Need(4, code, "4 bytes of an integer")) return false;
        value_ = FormatInt(static_cast<int32_t>(ReadLittleEndian(4)));
        return true;
      case ValueType::kInt64:
        if (!Need(8, code, "8 bytes of an integer")) return false;
        value_ = FormatInt(static_cast<int64_t>(ReadLittleEndian(8)));
        return true;
      case ValueType::kBool:
        if (!Need(1, code, "1 byte of a flag")) return false;
        value_ = FormatInt(static_cast<unsigned char>(data_[pos_++]));
        return true;
      case ValueType::kString:
      case ValueType::kHandle:
        break;
    }
    const char* begin = data_.data() + pos_;
    const void* nul = std::memchr(begin, '\0', data_.size() - pos_);
    if (nul == nullptr) {
      return Fail(code, "expected a zero-terminated text at byte " + std::to_string(pos_) +
                            ", found end of file");
    }
    std::string_view text(begin, static_cast<const char*>(nul) - begin);
    pos_ += text.size() + 1;
    for (char c : text) {
      if (c == '\n') {
        value_ += "^J";
      } else if (c == '\r') {
        value_ += "^M";
      } else {
        value_ += c;
      }
    }
    return true;
  }

  std::string_view data_;
  const std::string& name_;
  std::string* out_;
  Error* err_;
  size_t pos_ = 0;
  std::string value_;
};

}  // namespace

bool IsBinaryDxf(std::string_view data) {
  return data.substr(0, kBinarySentinel.size()) == kBinarySentinel;
}

bool ConvertBinaryDxf(std::string_view data, const std::string& name, std::string* ascii,
                      Error* err) {
  return BinaryConverter(data, name, ascii, err).Run();
}

}  // namespace dxf
