#include "host/api/database_objects.h"
#include "support/api_test_drawings.h"

namespace host::api {
namespace {

class DatabaseClassesTest : public ApiTest {
 protected:
  void SetUp() override { Open(Drawing2000()); }
  AcDbDatabase* db() { return acdbHostApplicationServices()->workingDatabase(); }

  // The module's way of adding a layer.
  Acad::ErrorStatus AddLayer(const char* name, const char* linetype, int color) {
    auto* record = new AcDbLayerTableRecord;
    Acad::ErrorStatus status = record->setName(name);
    if (status != Acad::eOk) {
      delete record;
      return status;
    }
    AcDbLayerTable* layers = nullptr;
    if ((status = db()->getSymbolTable(layers, AcDb::kForWrite)) != Acad::eOk) {
      delete record;
      return status;
    }
    AcDbLinetypeTable* linetypes = nullptr;
    if ((status = db()->getSymbolTable(linetypes, AcDb::kForRead)) != Acad::eOk) {
      delete record;
      layers->close();
      return status;
    }
    AcDbObjectId linetype_id;
    status = linetypes->getAt(linetype, linetype_id);
    linetypes->close();
    if (status != Acad::eOk) {
      delete record;
      layers->close();
      return status;
    }
    record->setLinetypeObjectId(linetype_id);
    AcCmColor colour;
    colour.setColorIndex(static_cast<Adesk::UInt16>(color));
    record->setColor(colour);
    status = layers->add(record);
    if (status != Acad::eOk) {
      layers->close();
      delete record;
      return status;
    }
    EXPECT_EQ(layers->close(), Acad::eOk);
    return record->close();
  }
};

TEST_F(DatabaseClassesTest, WorkingDatabaseIsTheSessionsDrawing) {
  ASSERT_NE(db(), nullptr);
  EXPECT_EQ(db()->impl_, &drawing());
}

TEST_F(DatabaseClassesTest, AddsALayerWithColourAndLinetype) {
  ASSERT_EQ(AddLayer("3", "dashed", 6), Acad::eOk);
  EXPECT_EQ(LayerRecord("3"), DxfText(R"(
0 LAYER
5 200
330 2
100 AcDbSymbolTableRecord
100 AcDbLayerTableRecord
2 3
70 0
62 6
6 DASHED
370 -3
390 F
)"));
}

TEST_F(DatabaseClassesTest, ExistingLayerIsLeftAsItWas) {
  std::string before = LayerRecord("Kontur");
  EXPECT_EQ(AddLayer("KONTUR", "Continuous", 3), Acad::eDuplicateRecordName);
  EXPECT_EQ(LayerRecord("Kontur"), before);
  EXPECT_EQ(AddLayer("2a", "Gen7", 120), Acad::eKeyNotFound);
  EXPECT_EQ(LayerRecord("2a"), "<none>");
  EXPECT_EQ(AddLayer("bad*name", "Continuous", 1), Acad::eInvalidInput);
  // Everything was closed again: the table opens for write.
  AcDbLayerTable* layers = nullptr;
  ASSERT_EQ(db()->getSymbolTable(layers, AcDb::kForWrite), Acad::eOk);
  EXPECT_TRUE(layers->has("kontur"));
  EXPECT_FALSE(layers->has("2a"));
  layers->close();
}

TEST_F(DatabaseClassesTest, AnObjectOpenForWriteCannotBeOpenedAgain) {
  AcDbLayerTable* first = nullptr;
  AcDbLayerTable* second = nullptr;
  ASSERT_EQ(db()->getSymbolTable(first, AcDb::kForWrite), Acad::eOk);
  EXPECT_EQ(db()->getSymbolTable(second, AcDb::kForWrite), Acad::eWasOpenForWrite);
  EXPECT_EQ(db()->getSymbolTable(second, AcDb::kForRead), Acad::eWasOpenForWrite);
  EXPECT_EQ(second, nullptr);
  AcDbLayerTableRecord* record = nullptr;
  AcDbLayerTableRecord* again = nullptr;
  ASSERT_EQ(first->getAt("Kontur", record, AcDb::kForWrite), Acad::eOk);
  EXPECT_EQ(first->getAt("KONTUR", again, AcDb::kForRead), Acad::eWasOpenForWrite);
  EXPECT_EQ(first->getAt("nichts", again, AcDb::kForRead), Acad::eKeyNotFound);
  ASSERT_EQ(first->close(), Acad::eOk);
  ASSERT_EQ(db()->getSymbolTable(second, AcDb::kForRead), Acad::eOk);
  AcDbLinetypeTable* linetypes = nullptr;
  ASSERT_EQ(db()->getSymbolTable(linetypes, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(db()->getSymbolTable(first, AcDb::kForWrite), Acad::eWasOpenForRead);
  linetypes->close();
  second->close();
  record->close();
}

TEST_F(DatabaseClassesTest, ChangesToAnOpenLayerAreCommittedOnClose) {
  AcDbLayerTable* layers = nullptr;
  ASSERT_EQ(db()->getSymbolTable(layers, AcDb::kForRead), Acad::eOk);
  AcDbLayerTableRecord* record = nullptr;
  ASSERT_EQ(layers->getAt("kontur", record, AcDb::kForWrite), Acad::eOk);
  layers->close();
  const char* name = nullptr;
  ASSERT_EQ(record->getName(name), Acad::eOk);
  EXPECT_STREQ(name, "Kontur");
  EXPECT_EQ(record->color().colorIndex(), 1);
  AcCmColor yellow;
  yellow.setColorIndex(2);
  record->setColor(yellow);
  EXPECT_EQ(LayerRecord("Kontur").find("\n62\n2\n"), std::string::npos);  // not before close
  ASSERT_EQ(record->close(), Acad::eOk);
  EXPECT_NE(LayerRecord("Kontur").find("\n62\n2\n6\nContinuous\n"), std::string::npos);
}

TEST_F(DatabaseClassesTest, ReadOnlyRecordsRefuseChanges) {
  AcDbLayerTable* layers = nullptr;
  ASSERT_EQ(db()->getSymbolTable(layers, AcDb::kForRead), Acad::eOk);
  AcDbLayerTableRecord* record = nullptr;
  ASSERT_EQ(layers->getAt("0", record, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(record->setName("Null"), Acad::eNotOpenForWrite);
  auto* added = new AcDbLayerTableRecord;
  ASSERT_EQ(added->setName("Neu"), Acad::eOk);
  EXPECT_EQ(layers->add(added), Acad::eNotOpenForWrite);
  delete added;
  record->close();
  layers->close();
  AcDbLayerTable* writer = nullptr;
  ASSERT_EQ(db()->getSymbolTable(writer, AcDb::kForWrite), Acad::eOk);
  writer->close();
}

TEST_F(DatabaseClassesTest, DimensionStyleColoursAreSetInPlaceOrAddedInOrder) {
  for (const char* style : {"Standard", "ISO-25"}) {
    AcDbDimStyleTable* styles = nullptr;
    ASSERT_EQ(db()->getSymbolTable(styles, AcDb::kForWrite), Acad::eOk);
    AcDbDimStyleTableRecord* record = nullptr;
    ASSERT_EQ(styles->getAt(style, record, AcDb::kForWrite), Acad::eOk);
    styles->close();
    AcCmColor color;
    color.setColorIndex(256);
    EXPECT_EQ(record->setDimclrd(color), Acad::eOk);
    EXPECT_EQ(record->setDimclre(color), Acad::eOk);
    color.setColorIndex(2);
    EXPECT_EQ(record->setDimclrt(color), Acad::eOk);
    EXPECT_EQ(record->dimclrt().colorIndex(), 2);
    ASSERT_EQ(record->close(), Acad::eOk);
  }
  std::string text = drawing().WriteToString();
  EXPECT_NE(text.find(DxfText(R"(
2 Standard
70 0
40 1.0
144 1.0
73 0
176 256
177 256
178 2
340 18
)")),
            std::string::npos);
  EXPECT_NE(text.find(DxfText(R"(
2 ISO-25
70 0
41 2.5
140 2.5
176 256
177 256
178 2
340 18
)")),
            std::string::npos);
}

TEST_F(DatabaseClassesTest, SameDimensionStyleColoursLeaveTheRecordAlone) {
  AcDbDimStyleTable* styles = nullptr;
  ASSERT_EQ(db()->getSymbolTable(styles, AcDb::kForWrite), Acad::eOk);
  AcDbDimStyleTableRecord* record = nullptr;
  ASSERT_EQ(styles->getAt("STANDARD", record, AcDb::kForWrite), Acad::eOk);
  styles->close();
  EXPECT_EQ(record->dimclrd().colorIndex(), 1);
  EXPECT_EQ(record->dimclre().colorIndex(), 0);  // absent: ByBlock
  AcCmColor color;
  color.setColorIndex(1);
  record->setDimclrd(color);
  record->close();
  TableRecordId id = drawing().FindTableRecord("DIMSTYLE", "Standard");
  EXPECT_FALSE(drawing().table_record(id).text.changed());
}

TEST_F(DatabaseClassesTest, FailingCloseReachesTheAbort) {
  host::FailNextClose(DbObjectKind::kLayerTable);
  AcDbLayerTable* layers = nullptr;
  ASSERT_EQ(db()->getSymbolTable(layers, AcDb::kForWrite), Acad::eOk);
  Acad::ErrorStatus status = layers->close();
  EXPECT_EQ(status, Acad::eCloseFailed);
  EXPECT_STREQ(acadErrorStatusText(status), "eCloseFailed");
  try {
    acrx_abort("\nApp X failed to close Layer Table. Error: %s", acadErrorStatusText(status));
    FAIL() << "acrx_abort returned";
  } catch (const HostAbort& abort) {
    EXPECT_EQ(abort.message, "\nApp X failed to close Layer Table. Error: eCloseFailed");
  }
  EXPECT_NE(transcript().find("App X failed to close Layer Table. Error: eCloseFailed"),
            std::string::npos);
  // The failure was for one close only.
  ASSERT_EQ(db()->getSymbolTable(layers, AcDb::kForWrite), Acad::eOk);
  EXPECT_EQ(layers->close(), Acad::eOk);
}

TEST_F(DatabaseClassesTest, FailingRecordCloseAfterAdd) {
  host::FailNextClose(DbObjectKind::kLayerRecord);
  EXPECT_EQ(AddLayer("4", "Continuous", 3), Acad::eCloseFailed);
  EXPECT_NE(LayerRecord("4"), "<none>");
}

TEST_F(DatabaseClassesTest, ObjectsOfAnEndedSessionAreRefused) {
  AcDbLayerTable* layers = nullptr;
  ASSERT_EQ(db()->getSymbolTable(layers, AcDb::kForWrite), Acad::eOk);
  Open(Drawing2000());
  EXPECT_FALSE(layers->has("Kontur"));
  EXPECT_EQ(layers->close(), Acad::eNotInDatabase);
  ASSERT_EQ(db()->getSymbolTable(layers, AcDb::kForWrite), Acad::eOk);
  layers->close();
}

}  // namespace
}  // namespace host::api
