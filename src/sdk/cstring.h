// CString: the class library's 8-bit string, as far as the module uses it.
// Header-only so that module and host share one definition of its layout.
#pragma once

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "win32.h"

class CString {
 public:
  CString() = default;
  CString(const char* text) : s_(text ? text : "") {}
  CString(const std::string& text) : s_(text) {}
  CString(const char* text, int length) : s_(text, static_cast<size_t>(length)) {}

  int GetLength() const { return static_cast<int>(s_.size()); }
  bool IsEmpty() const { return s_.empty(); }
  void Empty() { s_.clear(); }
  operator const char*() const { return s_.c_str(); }
  const std::string& str() const { return s_; }
  char GetAt(int i) const { return s_[static_cast<size_t>(i)]; }

  CString& operator=(const char* text) {
    s_ = text ? text : "";
    return *this;
  }
  CString& operator+=(const CString& other) {
    s_ += other.s_;
    return *this;
  }
  CString& operator+=(const char* text) {
    s_ += text ? text : "";
    return *this;
  }
  CString& operator+=(char c) {
    s_ += c;
    return *this;
  }
  friend CString operator+(const CString& a, const CString& b) { return CString(a.s_ + b.s_); }
  friend CString operator+(const CString& a, const char* b) { return CString(a.s_ + (b ? b : "")); }
  friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.s_); }
  friend bool operator==(const CString& a, const CString& b) { return a.s_ == b.s_; }
  friend bool operator==(const CString& a, const char* b) { return a.s_ == (b ? b : ""); }
  friend bool operator!=(const CString& a, const CString& b) { return a.s_ != b.s_; }
  friend bool operator!=(const CString& a, const char* b) { return !(a == b); }

  int Compare(const char* other) const { return std::strcmp(s_.c_str(), other ? other : ""); }
  int CompareNoCase(const char* other) const { return strcasecmp(s_.c_str(), other ? other : ""); }
  // Index of the first occurrence of sub at or after start, -1 if none.
  int Find(const char* sub, int start = 0) const {
    if (start < 0 || static_cast<size_t>(start) > s_.size()) return -1;
    size_t pos = s_.find(sub ? sub : "", static_cast<size_t>(start));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
  }
  int Find(char c) const {
    size_t pos = s_.find(c);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
  }
  // Replaces every occurrence of from with to; returns how many were replaced.
  int Replace(const char* from, const char* to) {
    std::string f = from ? from : "", t = to ? to : "";
    if (f.empty()) return 0;
    int count = 0;
    std::string out;
    size_t pos = 0;
    for (size_t hit; (hit = s_.find(f, pos)) != std::string::npos; pos = hit + f.size()) {
      out.append(s_, pos, hit - pos);
      out += t;
      ++count;
    }
    out.append(s_, pos, std::string::npos);
    s_ = out;
    return count;
  }
  // Upper case in code page 1252: ASCII letters and the Latin-1 letters.
  void MakeUpper() {
    for (char& c : s_) {
      unsigned char u = static_cast<unsigned char>(c);
      if (u >= 'a' && u <= 'z')
        c = static_cast<char>(u - 32);
      else if (u >= 0xE0 && u <= 0xFE && u != 0xF7)
        c = static_cast<char>(u - 32);
    }
  }
  CString Left(int n) const { return CString(s_.substr(0, Clamp(n))); }
  CString Right(int n) const {
    size_t k = Clamp(n);
    return CString(s_.substr(s_.size() - k));
  }
  CString Mid(int first) const { return CString(s_.substr(Clamp(first))); }
  CString Mid(int first, int count) const {
    return CString(s_.substr(Clamp(first), static_cast<size_t>(count < 0 ? 0 : count)));
  }
  // Removes every leading character that belongs to the set.
  void TrimLeft(const char* set) {
    size_t i = 0;
    while (i < s_.size() && std::strchr(set, s_[i]) != nullptr && s_[i] != '\0') ++i;
    s_.erase(0, i);
  }
  void TrimLeft(char c) {
    size_t i = 0;
    while (i < s_.size() && s_[i] == c) ++i;
    s_.erase(0, i);
  }
  void Format(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0) std::vsnprintf(out.data(), out.size() + 1, format, args);
    va_end(args);
    s_ = out;
  }

 private:
  size_t Clamp(int n) const {
    if (n < 0) return 0;
    return static_cast<size_t>(n) > s_.size() ? s_.size() : static_cast<size_t>(n);
  }
  std::string s_;
};
