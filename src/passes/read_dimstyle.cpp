#include "passes/read_dimstyle.h"

#include <vector>

#include "adslib.h"
#include "arx.h"
#include "cstring.h"
#include "module/ads_helpers.h"

namespace {

constexpr Adesk::UInt16 kByLayer = 256;
constexpr Adesk::UInt16 kYellow = 2;

// The names of the drawing's dimension styles in table order, as many as
// there are.
std::vector<CString> CollectDimStyleNames() {
  std::vector<CString> csDimStyles;
  for (resbuf* record = acdbTblNext("DIMSTYLE", 1); record != nullptr;
       record = acdbTblNext("DIMSTYLE", 0)) {
    for (const resbuf* item = record; item != nullptr; item = item->rbnext) {
      if (item->restype != 2) continue;
      csDimStyles.emplace_back(ItemString(item));
      break;
    }
    acutRelRb(record);
  }
  return csDimStyles;
}

void SetDimStyleColours(AcDbDatabase* database, const CString& name) {
  AcDbDimStyleTable* pDimStyleTable = nullptr;
  if (database->getSymbolTable(pDimStyleTable, AcDb::kForWrite) != Acad::eOk ||
      pDimStyleTable == nullptr)
    return;
  AcDbDimStyleTableRecord* pDimStyleTableRecord = nullptr;
  Acad::ErrorStatus opened =
      pDimStyleTable->getAt(name, pDimStyleTableRecord, AcDb::kForWrite, false);
  pDimStyleTable->close();
  // A style whose record cannot be opened is passed over.
  if (opened != Acad::eOk || pDimStyleTableRecord == nullptr) return;
  AcCmColor color;
  color.setColorIndex(kByLayer);
  pDimStyleTableRecord->setDimclrd(color);
  color.setColorIndex(kByLayer);
  pDimStyleTableRecord->setDimclre(color);
  color.setColorIndex(kYellow);
  pDimStyleTableRecord->setDimclrt(color);
  pDimStyleTableRecord->close();
}

}  // namespace

void ReadDimstyle() {
  std::vector<CString> csDimStyles = CollectDimStyleNames();
  AcDbHostApplicationServices* services = acdbHostApplicationServices();
  if (services == nullptr) return;
  // The table is opened once per style, so that no record stays open while
  // the next is opened.
  for (const CString& name : csDimStyles) {
    AcDbDatabase* database = services->workingDatabase();
    if (database == nullptr) return;
    SetDimStyleColours(database, name);
  }
}
