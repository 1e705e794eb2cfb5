// Reading a DXF file into records, and the errors bad input gives.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dxf/tag.h"

namespace dxf {

// An error in the input: "FILE:LINE: group code N: what was expected, what
// was found". code is -1 where no group code applies (then the "group code
// N: " part is left out); line is 0 for errors that concern the whole file
// (I/O errors: "FILE: <OS error>").
struct Error {
  std::string file;
  size_t line = 0;
  int code = -1;
  std::string message;
  std::string ToString() const;
};

// A record: the text of one object from its "0" tag up to, not including,
// the next "0" tag. The header section's variables belong to the record of
// its "0 SECTION" tag; SECTION, ENDSEC, TABLE, ENDTAB, BLOCK, ENDBLK, SEQEND
// and EOF are records like any other.
struct RawRecord {
  std::string_view text;  // a view into RawFile::buffer
  uint32_t line = 0;      // line number of the record's "0" line (1-based)
  // Where the record's tag index (dxf/tag_index.h) starts in
  // RawFile::tag_index; kNoTagIndex when the record's form has none.
  uint32_t tag_index = UINT32_MAX;
};
inline constexpr uint32_t kNoTagIndex = UINT32_MAX;

struct RawFile {
  std::string name;    // the path as given, for messages
  std::string buffer;  // the file as ASCII DXF (binary input is converted)
  std::vector<RawRecord> records;
  std::string tag_index;      // the records' tag indexes, one after another
  std::string_view leading;   // 999 comments before the first record, kept for writing
  std::string_view trailing;  // whatever follows the EOF record, kept for writing
  TextStyle style;
  bool was_binary = false;
  // The file ends its lines with a lone CR, as some old programs write: the
  // buffer holds them as LF, and writing turns every LF back into a CR.
  bool cr_line_ends = false;
  std::string version;   // $ACADVER, e.g. "AC1015"; "AC1009" when absent
  std::string codepage;  // $DWGCODEPAGE as written, "" when absent
};

// Reads and checks a file: every group code numeric and in range, every code
// followed by a value line, sections closed, an EOF record present. Never
// throws; on failure fills err and returns false.
bool ReadFile(const std::string& path, RawFile* out, Error* err);
// The same for text already in memory; name is used in messages.
bool ParseBuffer(std::string buffer, const std::string& name, RawFile* out, Error* err);

// Splits a record's text (known to be well formed) into tags.
void SplitTags(std::string_view text, std::vector<TagView>* tags);
Tags ToTags(std::string_view text);

// Steps through the tags of a well-formed record text without allocating:
//   TagCursor cursor(text); TagView tag;
//   while (cursor.Next(&tag)) ...
// The views point into text. offset() is where the next tag's code line
// starts, so that callers can splice the text between two tags.
class TagCursor {
 public:
  explicit TagCursor(std::string_view text) : text_(text) {}
  bool Next(TagView* tag);
  size_t offset() const { return pos_; }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

// The first tag's value of a record without surrounding blanks: its type
// ("LINE", "SECTION", ...).
std::string_view RecordType(std::string_view text);

// Converts between the file's encoding and the program's 8-bit code page
// 1252. From AC1021 on files are UTF-8; before, the bytes are taken as they
// stand. Characters outside 1252 travel as "\U+XXXX".
class Encoding {
 public:
  static Encoding For(const std::string& version, const std::string& codepage);
  std::string Decode(std::string_view file_text) const;
  std::string Encode(std::string_view text_1252) const;
  bool utf8() const { return utf8_; }

 private:
  bool utf8_ = false;
};

// Writes a file safely: into a temporary file that Commit flushes, syncs and
// puts in place of the target. Where the file system allows, the temporary
// has no name until Commit (an interrupted or killed process leaves
// nothing); elsewhere it is a hidden file beside the target, named
// ".NAME.dravolin-PID-XXXXXX", that a termination signal (TERM, INT, HUP)
// removes and that SweepStaleTemporaries removes once its process is gone.
// Nothing is left behind when Commit is not reached or fails. Commit never
// replaces anything but a regular file.
class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  bool Open(const std::string& path, std::string* err);
  void Write(std::string_view text);
  // Kept with the written file as its extended attribute kMarkAttribute,
  // followed by the file's size and modification time, so that a later run
  // can tell that the file is still as it wrote it (see ReadOutputMark).
  void SetMark(std::string mark) { mark_ = std::move(mark); }
  // Writes out what is pending and syncs the file to disk, the first part
  // of Commit: a writer on a thread of its own calls it there, so that
  // Commit only has the file to put in place.
  void Sync();
  bool Commit(std::string* err);
  void Abandon();

  // Off: every temporary is a named one (to test that way of writing).
  static void UseUnnamedTemporaries(bool use);

 private:
  std::string path_, temp_path_;
  int fd_ = -1;
  int slot_ = -1;         // in the table the signal handler cleans up
  bool unnamed_ = false;  // an O_TMPFILE file, linked in by Commit
  std::string pending_;
  std::string mark_;
  bool failed_ = false;
  bool synced_ = false;  // nothing written since the last Sync
  std::string error_;
  // How far the file is written, handed to the disk, and let go of in the
  // page cache (see PassToDisk).
  size_t written_ = 0, started_ = 0, released_ = 0;
  void Flush();
  void WriteOut(std::string_view text);
  void PassToDisk();
  bool PutInPlace();
};

// The extended attribute that holds an OutputFile's mark.
inline constexpr char kMarkAttribute[] = "user.dravolin.output";

// The mark path was written with, when path is a regular file that still has
// the size and modification time it had when it was written; "" otherwise
// (no mark, a file changed since, or a file system without extended
// attributes).
std::string ReadOutputMark(const std::string& path);

// Removes the named temporaries an OutputFile left in folder when its
// process was killed: those whose process no longer runs. Returns how many.
size_t SweepStaleTemporaries(const std::string& folder);

}  // namespace dxf
