// A small writer of JSON text: objects, arrays, strings escaped as the
// format requires, numbers that every reader accepts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cli::report {

class JsonWriter {
 public:
  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }
  // The key of the next member of the object being written.
  void Key(std::string_view key);

  void String(std::string_view utf8);
  // Finite numbers in their shortest exact form; others as null, which is
  // what JSON has for them.
  void Number(double value);
  void Integer(long long value);
  void Bool(bool value);
  void Null();
  // A value that is JSON text already.
  void Raw(std::string_view json);

  const std::string& text() const { return out_; }

 private:
  void Open(char bracket);
  void Close(char bracket);
  void BeforeValue();

  std::string out_;
  std::vector<bool> first_;  // per open object or array: no member written yet
  bool after_key_ = false;
};

// The string as a JSON string literal, quotes included. Invalid UTF-8 is
// taken byte by byte as code page 1252, so that the result is valid JSON.
std::string JsonString(std::string_view text);

}  // namespace cli::report
