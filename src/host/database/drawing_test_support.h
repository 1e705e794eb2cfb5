// Small drawings for tests, written one tag a line as "CODE VALUE".
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "dxf/document.h"
#include "host/database/drawing.h"

namespace host::testing {

// "0 SECTION\n2 HEADER\n..." -> "0\nSECTION\n2\nHEADER\n..." (LF, codes
// left-aligned). The value is everything after the first blank.
inline std::string TagLines(std::string_view pairs) {
  std::string out;
  size_t pos = 0;
  while (pos < pairs.size()) {
    size_t end = pairs.find('\n', pos);
    if (end == std::string_view::npos) end = pairs.size();
    std::string_view line = pairs.substr(pos, end - pos);
    pos = end + 1;
    size_t first = line.find_first_not_of(' ');
    if (first == std::string_view::npos) continue;
    line.remove_prefix(first);
    size_t blank = line.find(' ');
    out.append(line.substr(0, blank));
    out += '\n';
    if (blank != std::string_view::npos) out.append(line.substr(blank + 1));
    out += '\n';
  }
  return out;
}

inline std::unique_ptr<Drawing> LoadDrawing(const std::string& text, dxf::Error* err = nullptr) {
  dxf::RawFile file;
  dxf::Error local;
  if (err == nullptr) err = &local;
  if (!dxf::ParseBuffer(text, "in.dxf", &file, err)) {
    ADD_FAILURE() << err->ToString();
    return nullptr;
  }
  auto drawing = Drawing::Load(std::move(file), err);
  if (!drawing && err == &local) ADD_FAILURE() << err->ToString();
  return drawing;
}

// An R2000 drawing with three layouts, a block with an attribute
// definition, a POLYLINE and an INSERT with attributes.
inline const std::string& R2000Drawing() {
  static const std::string text = TagLines(R"(
0 SECTION
2 HEADER
9 $ACADVER
1 AC1015
9 $HANDSEED
5 200
9 $TILEMODE
70 1
0 ENDSEC
0 SECTION
2 TABLES
0 TABLE
2 LAYER
5 2
330 0
100 AcDbSymbolTable
70 2
0 LAYER
5 10
330 2
100 AcDbSymbolTableRecord
100 AcDbLayerTableRecord
2 0
70 0
62 7
6 CONTINUOUS
0 LAYER
5 11
330 2
100 AcDbSymbolTableRecord
100 AcDbLayerTableRecord
2 Mittellinie
70 0
62 1
6 CONTINUOUS
0 ENDTAB
0 TABLE
2 DIMSTYLE
5 A
330 0
100 AcDbSymbolTable
70 1
0 DIMSTYLE
105 2F0
330 A
100 AcDbSymbolTableRecord
100 AcDbDimStyleTableRecord
2 ISO-25
70 0
0 ENDTAB
0 TABLE
2 BLOCK_RECORD
5 1
330 0
100 AcDbSymbolTable
70 4
0 BLOCK_RECORD
5 1F
330 1
100 AcDbSymbolTableRecord
100 AcDbBlockTableRecord
2 *Model_Space
340 22
0 BLOCK_RECORD
5 1B
330 1
100 AcDbSymbolTableRecord
100 AcDbBlockTableRecord
2 *Paper_Space
340 1E
0 BLOCK_RECORD
5 23
330 1
100 AcDbSymbolTableRecord
100 AcDbBlockTableRecord
2 *Paper_Space0
340 26
0 BLOCK_RECORD
5 30
330 1
100 AcDbSymbolTableRecord
100 AcDbBlockTableRecord
2 Bolt
0 ENDTAB
0 ENDSEC
0 SECTION
2 BLOCKS
0 BLOCK
5 20
330 1F
100 AcDbEntity
8 0
100 AcDbBlockBegin
2 *Model_Space
70 0
10 0.0
20 0.0
30 0.0
3 *Model_Space
1 
0 ENDBLK
5 21
330 1F
100 AcDbEntity
8 0
100 AcDbBlockEnd
0 BLOCK
5 1C
330 1B
100 AcDbEntity
67 1
8 0
100 AcDbBlockBegin
2 *Paper_Space
70 0
10 0.0
20 0.0
30 0.0
3 *Paper_Space
1 
0 ENDBLK
5 1D
330 1B
100 AcDbEntity
67 1
8 0
100 AcDbBlockEnd
0 BLOCK
5 24
330 23
100 AcDbEntity
67 1
8 0
100 AcDbBlockBegin
2 *Paper_Space0
70 0
10 0.0
20 0.0
30 0.0
3 *Paper_Space0
1 
0 LINE
5 90
330 23
100 AcDbEntity
67 1
8 0
100 AcDbLine
10 0.0
20 0.0
30 0.0
11 5.0
21 5.0
31 0.0
0 ENDBLK
5 25
330 23
100 AcDbEntity
67 1
8 0
100 AcDbBlockEnd
0 BLOCK
5 31
330 30
100 AcDbEntity
8 0
100 AcDbBlockBegin
2 Bolt
70 2
10 0.0
20 0.0
30 0.0
3 Bolt
1 
0 CIRCLE
5 32
330 30
100 AcDbEntity
8 0
100 AcDbCircle
10 0.0
20 0.0
30 0.0
40 2.0
0 ATTDEF
5 33
330 30
100 AcDbEntity
8 0
100 AcDbText
10 0.0
20 0.0
30 0.0
40 1.0
1 M8
100 AcDbAttributeDefinition
3 Size
2 SIZE
70 0
0 ENDBLK
5 34
330 30
100 AcDbEntity
8 0
100 AcDbBlockEnd
0 ENDSEC
0 SECTION
2 ENTITIES
0 LINE
5 40
330 1F
100 AcDbEntity
8 Mittellinie
100 AcDbLine
10 0.0
20 0.0
30 0.0
11 10.0
21 0.0
31 0.0
0 POLYLINE
5 41
330 1F
100 AcDbEntity
8 0
100 AcDb2dPolyline
66 1
10 0.0
20 0.0
30 0.0
0 VERTEX
5 42
330 41
100 AcDbEntity
8 0
100 AcDbVertex
100 AcDb2dVertex
10 1.0
20 1.0
30 0.0
0 VERTEX
5 43
330 41
100 AcDbEntity
8 0
100 AcDbVertex
100 AcDb2dVertex
10 2.0
20 1.0
30 0.0
0 SEQEND
5 44
330 41
100 AcDbEntity
8 0
0 CIRCLE
5 50
330 1B
100 AcDbEntity
67 1
8 0
100 AcDbCircle
10 50.0
20 50.0
30 0.0
40 5.0
0 INSERT
5 45
330 1F
100 AcDbEntity
8 0
100 AcDbBlockReference
66 1
2 Bolt
10 20.0
20 0.0
30 0.0
0 ATTRIB
5 46
330 45
100 AcDbEntity
8 0
100 AcDbText
10 20.0
20 0.0
30 0.0
40 1.0
1 M8
100 AcDbAttribute
2 SIZE
70 0
0 SEQEND
5 47
330 45
100 AcDbEntity
8 0
0 TEXT
5 48
330 1F
100 AcDbEntity
8 0
100 AcDbText
10 0.0
20 5.0
30 0.0
40 2.5
1 Hallo
100 AcDbText
0 ENDSEC
0 SECTION
2 OBJECTS
0 DICTIONARY
5 C
330 0
100 AcDbDictionary
281 1
3 ACAD_LAYOUT
350 1A
0 DICTIONARY
5 1A
330 C
100 AcDbDictionary
281 1
3 Model
350 22
3 Sheet A
350 1E
3 Sheet B
350 26
0 LAYOUT
5 22
330 1A
100 AcDbPlotSettings
1 
100 AcDbLayout
1 Model
330 1F
0 LAYOUT
5 1E
330 1A
100 AcDbPlotSettings
1 
100 AcDbLayout
1 Sheet A
330 1B
0 LAYOUT
5 26
330 1A
100 AcDbPlotSettings
1 
100 AcDbLayout
1 Sheet B
330 23
0 ENDSEC
0 EOF
)");
  return text;
}

}  // namespace host::testing
