#include "genius/create_gen_layer.h"

#include "adslib.h"

const GeniusLayerRow kGeniusLayers[kGeniusLayerCount] = {
    {"1", "CONTINUOUS", 14}, {"2", "CONTINUOUS", 5}, {"2a", "Gen7", 120}, {"3", "Gen3", 6},
    {"3a", "Gen3a", 6},      {"4", "CONTINUOUS", 3}, {"4a", "Gen4a", 3},  {"5", "CONTINUOUS", 3},
    {"6", "CONTINUOUS", 2},  {"7", "Gen7", 4},       {"7a", "Gen7a", 4},  {"8", "CONTINUOUS", 1},
};

namespace {

// A table left open for write would block every later change of the
// drawing's layers: the host is ended instead.
// A record added just before is closed first, so that the end leaves no
// object of the module's open.
void CloseLayerTable(AcDbLayerTable* pLayerTable, AcDbLayerTableRecord* added = nullptr) {
  Acad::ErrorStatus es = pLayerTable->close();
  if (es == Acad::eOk) return;
  if (added != nullptr) added->close();
  acrx_abort("\nApp X failed to close Layer Table. Error: %s", acadErrorStatusText(es));
}

}  // namespace

Acad::ErrorStatus createNewLayer(CString csLayerName, CString csLayerLineType,
                                 int iLayerColorIndex) {
  AcDbLayerTableRecord* pLayerTableRecord = new AcDbLayerTableRecord;
  if (pLayerTableRecord == nullptr) return Acad::eOutOfMemory;

  Acad::ErrorStatus es = pLayerTableRecord->setName(csLayerName);
  if (es != Acad::eOk) {
    delete pLayerTableRecord;
    return es;
  }

  AcDbDatabase* database = acdbHostApplicationServices()->workingDatabase();
  AcDbLayerTable* pLayerTable = nullptr;
  es = database->getSymbolTable(pLayerTable, AcDb::kForWrite);
  if (es != Acad::eOk) {
    delete pLayerTableRecord;
    return es;
  }

  AcDbLinetypeTable* pLinetypeTbl = nullptr;
  es = database->getSymbolTable(pLinetypeTbl, AcDb::kForRead);
  if (es != Acad::eOk) {
    delete pLayerTableRecord;
    CloseLayerTable(pLayerTable);
    return es;
  }
  AcDbObjectId ltypeObjId;
  es = pLinetypeTbl->getAt(csLayerLineType, ltypeObjId, false);
  pLinetypeTbl->close();
  if (es != Acad::eOk) {
    delete pLayerTableRecord;
    CloseLayerTable(pLayerTable);
    return es;
  }

  pLayerTableRecord->setLinetypeObjectId(ltypeObjId);
  AcCmColor color;
  color.setColorIndex(static_cast<Adesk::UInt16>(iLayerColorIndex & 0xFFFF));
  pLayerTableRecord->setColor(color);

  es = pLayerTable->add(pLayerTableRecord);
  if (es != Acad::eOk) {
    // The record never joined the database and is the module's to free. It
    // is freed before the table is closed, so that nothing is left behind
    // when the close fails and ends the host.
    delete pLayerTableRecord;
    CloseLayerTable(pLayerTable);
    return es;
  }

  CloseLayerTable(pLayerTable, pLayerTableRecord);
  es = pLayerTableRecord->close();
  if (es != Acad::eOk)
    acrx_abort("\nApp X failed to close Layer Table Record. Error: %s", acadErrorStatusText(es));
  return es;
}

void CreateGenLayer() {
  for (const GeniusLayerRow& row : kGeniusLayers)
    createNewLayer(CString(row.name), CString(row.linetype), row.color_index);
}

void quarnquarncreategenlayer() {
  acutPrintf("Erzeuge Genius-Layer ....\n");
  CreateGenLayer();
}
