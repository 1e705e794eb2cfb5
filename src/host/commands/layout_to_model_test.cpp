// The scripts that move an exported drawing's views from the layout into
// model space and bring them to true size, run one after the other as the
// conversion queues them.
#include <gtest/gtest.h>

#include <new>

#include "host/commands/current_space.h"
#include "support/stand_in_test_drawings.h"
#include "support/stand_in_test_support.h"

namespace host::testing {
namespace {

// An ACIS solid (handle 70) on the layout: a type whose data the host can
// only move and scale by its points.
dxf::Tags SolidOnTheLayout() {
  return {dxf::Tag(0, "3DSOLID"),
          dxf::Tag(5, "70"),
          dxf::Tag(330, "1E"),
          dxf::Tag(100, "AcDbEntity"),
          dxf::Tag(67, "1"),
          dxf::Tag(8, "0"),
          dxf::Tag(100, "AcDbModelerGeometry"),
          dxf::Tag(70, "1")};
}

class LayoutToModelTest : public StandInTest {
 protected:
  void SetUp() override {
    Open(kLayoutDrawing);
    // The conversion empties model space before it cuts the views.
    drawing().EraseEntity(Entity("5A"));
  }
};

TEST_F(LayoutToModelTest, CutSwitchPasteScaleZoomBringsTheViewsToModelSpaceAtTrueSize) {
  std::string transcript =
      Run("_cutclip\n_all\n\n"
          "TILEMODE\n1\n"
          "_pasteclip\n0,0\n"
          "._scale\n_all\n\n0.0\n2.000000\n"
          "._zoom\n_e\n");
  EXPECT_EQ(transcript,
            "Befehl: _cutclip\nObjekte wählen: _all\n6 gefunden\n1 auf gesperrtem Layer.\n"
            "Objekte wählen: \n"
            "Befehl: TILEMODE\nNeuen Wert für TILEMODE eingeben <0>: 1\n"
            "Befehl: _pasteclip\nEinfügepunkt angeben: 0,0\n"
            "Befehl: ._scale\nObjekte wählen: _all\n5 gefunden\nObjekte wählen: \n"
            "Basispunkt angeben: 0.0\nSkalierungsfaktor angeben oder [Bezug]: 2.000000\n"
            "Befehl: ._zoom\nFensterecke angeben, Faktor eingeben (nX oder nXP) oder\n"
            "[Alles/Mitte/Dynamisch/Grenzen/Vorher/FAktor/Fenster] <Echtzeit>: _e");
  EXPECT_EQ(Header("$TILEMODE"), "1");

  // The lower-left corner of the views (10,10) landed on 0,0, then all was
  // doubled about the origin.
  EXPECT_DOUBLE_EQ(Real("51", 10), 180);
  EXPECT_DOUBLE_EQ(Real("51", 20), 180);
  EXPECT_DOUBLE_EQ(Real("51", 11), 260);
  EXPECT_DOUBLE_EQ(Real("52", 10), 220);
  EXPECT_DOUBLE_EQ(Real("52", 40), 20);
  EXPECT_DOUBLE_EQ(Real("5B", 10), 100);
  EXPECT_DOUBLE_EQ(Real("5B", 40), 5);
  // The dimension keeps its picture: its block moved and scaled with it.
  EXPECT_DOUBLE_EQ(Real("53", 13), 0);
  EXPECT_DOUBLE_EQ(Real("53", 14), 80);
  EXPECT_DOUBLE_EQ(Real("53", 42), 80);
  EXPECT_DOUBLE_EQ(Real("2A", 10), 0);
  EXPECT_DOUBLE_EQ(Real("2A", 11), 80);
  // The vertices followed their polyline.
  EXPECT_DOUBLE_EQ(Real("55", 10), 20);
  EXPECT_DOUBLE_EQ(Real("56", 10), 60);
  EXPECT_DOUBLE_EQ(Real("56", 20), 40);

  // Handles kept; model space now owns them and they lost their 67.
  for (const char* handle : {"51", "52", "53", "54", "5B"}) {
    EXPECT_EQ(drawing().entity(Entity(handle)).container, drawing().model_space()) << handle;
    EXPECT_EQ(Value(handle, 330), "1F") << handle;
    EXPECT_FALSE(Has(handle, 67)) << handle;
  }
  EXPECT_FALSE(Has("55", 67));
  EXPECT_EQ(Value("55", 330), "54");
  // What ALL leaves out stays in the layout.
  for (const char* handle : {"50", "58", "59"}) {
    EXPECT_EQ(drawing().entity(Entity(handle)).container, drawing().active_layout()) << handle;
    EXPECT_EQ(Value(handle, 67), "1") << handle;
  }

  // Zoom extents: the extents and the active viewport's view.
  EXPECT_EQ(Header("$EXTMIN"), "0.0");
  std::optional<dxf::Tags> extmax = drawing().HeaderVar("$EXTMAX");
  ASSERT_TRUE(extmax);
  EXPECT_DOUBLE_EQ(commands::TagReal(*extmax, 10, 0), 260);
  EXPECT_DOUBLE_EQ(commands::TagReal(*extmax, 20, 0), 240);
  dxf::Tags vport = TableRecord("VPORT", "*ACTIVE");
  EXPECT_DOUBLE_EQ(commands::TagReal(vport, 12, 0), 130);
  EXPECT_DOUBLE_EQ(commands::TagReal(vport, 22, 0), 120);
  EXPECT_DOUBLE_EQ(commands::TagReal(vport, 40, 0), 240);  // max(240, 260 / aspect 2)
}

// A scale right after the paste does the paste's move in the same pass; the
// drawing and what is said must be as when another command stands between.
TEST_F(LayoutToModelTest, PasteAndScaleTogetherGiveWhatTheyGiveApart) {
  dxf::Tags solid = SolidOnTheLayout();
  auto convert = [&](const std::string& between) {
    SetUp();
    drawing().AddEntity(drawing().active_layout(), solid);
    std::string transcript = Run("_cutclip\n_all\n\nTILEMODE\n1\n_pasteclip\n0,0\n" + between +
                                 "._scale\n_all\n\n0.0\n2.000000\n");
    return std::make_pair(drawing().WriteToString(), transcript);
  };
  auto [together, said_together] = convert("");
  auto [apart, said_apart] = convert("TILEMODE\n1\n");
  EXPECT_EQ(together, apart);
  std::string between = "Befehl: TILEMODE\nNeuen Wert für TILEMODE eingeben <1>: 1\n";
  size_t at = said_apart.find(between, said_apart.find("_pasteclip"));
  ASSERT_NE(at, std::string::npos) << said_apart;
  EXPECT_EQ(said_together, said_apart.erase(at, between.size()));
  EXPECT_NE(said_together.find("Nur die Punkte von 3DSOLID wurden verschoben.\nBefehl: ._scale"),
            std::string::npos)
      << said_together;
  EXPECT_NE(said_together.find("Nur die Punkte von 3DSOLID wurden skaliert."), std::string::npos);
  EXPECT_DOUBLE_EQ(Real("51", 10), 180);
}

// Thousands of entities are moved in two halves at once; a block that two
// dimensions in different halves share must still move just once.
TEST_F(LayoutToModelTest, LargeSelectionsGiveWhatSmallOnesGive) {
  dxf::Tags dimension = Tags("53");
  for (int i = 0; i < 5000; ++i) {
    std::string handle = drawing().NewHandle();
    drawing().AddEntity(drawing().active_layout(), {{0, "LINE"},
                                                    {5, handle},
                                                    {330, "1E"},
                                                    {100, "AcDbEntity"},
                                                    {67, "1"},
                                                    {8, "0"},
                                                    {100, "AcDbLine"},
                                                    {10, "20.0"},
                                                    {20, "20.0"},
                                                    {30, "0.0"},
                                                    {11, "30.0"},
                                                    {21, "30.0"},
                                                    {31, "0.0"}});
  }
  dimension[1].value = "7000";  // a second dimension drawn by *D1, last of all
  drawing().AddEntity(drawing().active_layout(), dimension);
  drawing().AddEntity(drawing().active_layout(), SolidOnTheLayout());  // in the second half
  std::string said =
      Run("_cutclip\n_all\n\nTILEMODE\n1\n_pasteclip\n0,0\n._scale\n_all\n\n0.0\n2.000000\n");
  EXPECT_NE(said.find("Nur die Punkte von 3DSOLID wurden verschoben."), std::string::npos) << said;
  EXPECT_NE(said.find("Nur die Punkte von 3DSOLID wurden skaliert."), std::string::npos);
  // As for the views alone (the new lines lie inside them).
  EXPECT_DOUBLE_EQ(Real("51", 10), 180);
  EXPECT_DOUBLE_EQ(Real("5B", 10), 100);
  EXPECT_DOUBLE_EQ(Real("2A", 10), 0);
  EXPECT_DOUBLE_EQ(Real("2A", 11), 80);
  EXPECT_DOUBLE_EQ(Real("53", 13), 0);
  EXPECT_DOUBLE_EQ(Real("7000", 13), 0);
  EXPECT_DOUBLE_EQ(Real("7000", 42), 80);
  EXPECT_EQ(drawing().entity(Entity("7000")).container, drawing().model_space());
  EXPECT_EQ(Value("7000", 67), "");
}

// The move is not lost when no scale takes it over: a cancelled scale, a
// scale of other entities, or the end of the input.
TEST_F(LayoutToModelTest, PasteMovesWhateverFollows) {
  Run("_cutclip\n_all\n\nTILEMODE\n1\n_pasteclip\n0,0\n");
  EXPECT_DOUBLE_EQ(Real("51", 10), 90);
  SetUp();
  Run("_cutclip\n_all\n\nTILEMODE\n1\n_pasteclip\n0,0\n._scale\n_all\n\n0.0\n");
  EXPECT_DOUBLE_EQ(Real("51", 10), 90);
  SetUp();
  Run("_cutclip\n_all\n\nTILEMODE\n1\n_pasteclip\n0,0\n._scale\n_last\n\n0.0\n2\n");
  EXPECT_EQ(Value("51", 67), "");  // moved into model space with the others
  EXPECT_EQ(drawing().entity(Entity("51")).container, drawing().model_space());
}

TEST_F(LayoutToModelTest, CutErasesAndPasteRestoresWithTheSameHandles) {
  Run("_cutclip\n_all\n\n");
  EXPECT_TRUE(drawing().entity(Entity("51")).erased);
  EXPECT_TRUE(drawing().entity(Entity("55")).erased);
  EXPECT_EQ(drawing().WriteToString().find("\n51\n"), std::string::npos);
  Run("TILEMODE\n1\n_pasteclip\n5,5,0\n");
  EXPECT_FALSE(drawing().entity(Entity("51")).erased);
  EXPECT_FALSE(drawing().entity(Entity("55")).erased);
  EXPECT_DOUBLE_EQ(Real("51", 10), 95);
}

TEST_F(LayoutToModelTest, PastingIntoTheLayoutKeepsPaperSpaceMarks) {
  Run("_cutclip\n_all\n\n_pasteclip\n10,10\n");
  EXPECT_EQ(drawing().entity(Entity("51")).container, drawing().active_layout());
  EXPECT_EQ(Value("51", 67), "1");
  EXPECT_EQ(Value("51", 330), "1E");
  EXPECT_DOUBLE_EQ(Real("51", 10), 100);  // pasted where it was cut
}

TEST_F(LayoutToModelTest, ViewViewportsCannotGoToModelSpaceAndAreSaidToBeLeftOut) {
  // A second viewport (a view of the model) is selected by ALL.
  dxf::Tags viewport = Tags("50");
  viewport[1].value = "60";  // handle
  for (dxf::Tag& tag : viewport) {
    if (tag.code == 69) tag.value = "2";
  }
  drawing().AddEntity(drawing().active_layout(), viewport);
  std::string transcript = Run("_cutclip\n_all\n\nTILEMODE\n1\n_pasteclip\n0,0\n");
  EXPECT_NE(transcript.find("1 Ansichtsfenster nicht eingefügt"), std::string::npos) << transcript;
  EXPECT_TRUE(drawing().entity(Entity("60")).erased);
  EXPECT_FALSE(drawing().entity(Entity("51")).erased);
}

TEST_F(LayoutToModelTest, CopyAndPasteMakesNewEntitiesWithNewHandles) {
  Run("TILEMODE\n1\n");
  drawing().EraseEntity(Entity("5A"), false);
  Run("_copyclip\n_all\n\n_pasteclip\n0,0\n");
  EXPECT_DOUBLE_EQ(Real("5A", 10), 500);  // the original stays
  // The copy has a fresh handle and lies at the point.
  size_t copies = 0;
  for (EntityId id = drawing().FirstEntity(); id != kNoEntity; id = drawing().NextEntity(id)) {
    if (drawing().entity(id).container != drawing().model_space() || id == Entity("5A")) continue;
    dxf::Tags tags = commands::CopyEntityTags(drawing(), id);
    EXPECT_EQ(commands::TagValue(tags, 0), "LINE");
    EXPECT_NE(commands::TagValue(tags, 5), "5A");
    EXPECT_DOUBLE_EQ(commands::TagReal(tags, 10, -1), 0);
    EXPECT_DOUBLE_EQ(commands::TagReal(tags, 11, -1), 5);
    ++copies;
  }
  EXPECT_EQ(copies, 1u);
  // A second paste copies again.
  Run("_pasteclip\n100,0\n");
  EXPECT_EQ(commands::MainEntitiesOf(drawing(), drawing().model_space()).size(), 3u);
}

TEST_F(LayoutToModelTest, PastingAgainAfterACutCopiesThePastedEntities) {
  Run("_cutclip\n_all\n\nTILEMODE\n1\n_pasteclip\n0,0\n_pasteclip\n1000,0\n");
  std::vector<EntityId> model = commands::MainEntitiesOf(drawing(), drawing().model_space());
  EXPECT_EQ(model.size(), 10u);
}

TEST_F(LayoutToModelTest, PasteWithAnEmptyClipboardSaysSoAndAsksNothing) {
  std::string transcript = Run("_pasteclip\nTILEMODE\n\n");
  EXPECT_EQ(transcript,
            "Befehl: _pasteclip\nDie Zwischenablage enthält keine Objekte dieser Zeichnung.\n"
            "Befehl: TILEMODE\nNeuen Wert für TILEMODE eingeben <0>: ");
}

TEST_F(LayoutToModelTest, InvalidTileModeValueIsAskedAgain) {
  std::string transcript = Run("TILEMODE\n2\nja\n1\n");
  EXPECT_EQ(transcript,
            "Befehl: TILEMODE\nNeuen Wert für TILEMODE eingeben <0>: 2\n"
            "Erfordert eine Ganzzahl zwischen 0 und 1.\n"
            "Neuen Wert für TILEMODE eingeben <0>: ja\n"
            "Erfordert eine Ganzzahl zwischen 0 und 1.\n"
            "Neuen Wert für TILEMODE eingeben <0>: 1");
  EXPECT_EQ(Header("$TILEMODE"), "1");
}

// A paste's move that runs out of memory when a scale does not take it over
// is an error for the caller, whether the scale ends normally or is cancelled.
TEST_F(LayoutToModelTest, PasteMoveOutOfMemoryReachesTheCaller) {
  for (const char* scale : {"._scale\n_all\n\n0,0\n2\n", "._scale\n_all\n\n"}) {
    cl().Defer([] { throw std::bad_alloc(); });
    EXPECT_THROW(Run(scale), std::bad_alloc) << scale;
  }
}

TEST_F(LayoutToModelTest, ScaleRefusesAFactorThatIsNotPositive) {
  std::string transcript = Run("._scale\n_all\n\n0,0\n-2\n0\nzwei\n2\n");
  EXPECT_NE(transcript.find("2\nWert muss positiv und ungleich Null sein.\n"), std::string::npos)
      << transcript;
  EXPECT_NE(transcript.find("zwei\nErfordert numerischen Wert oder Option-Schlüsselwort.\n"),
            std::string::npos);
  EXPECT_DOUBLE_EQ(Real("51", 10), 200);
}

TEST_F(LayoutToModelTest, ScaleCancelledWhenInputRunsOutChangesNothing) {
  std::string before = drawing().WriteToString();
  std::string transcript = Run("._scale\n_all\n\n0,0\n-2\n");
  EXPECT_NE(transcript.find("*Abbruch*"), std::string::npos);
  EXPECT_EQ(drawing().WriteToString(), before);
}

TEST_F(LayoutToModelTest, ScaleByReferenceLengths) {
  Run("._scale\n_all\n\n0,0\nB\n4\n6\n");
  EXPECT_DOUBLE_EQ(Real("52", 40), 15);
}

TEST_F(LayoutToModelTest, ScaleNamesATypeItCanOnlyMoveByItsPointsOnce) {
  dxf::Tags solid = SolidOnTheLayout();
  drawing().AddEntity(drawing().active_layout(), solid);
  solid[1].value = "71";
  drawing().AddEntity(drawing().active_layout(), solid);
  std::string transcript = Run("._scale\n_all\n\n0,0\n2\n");
  size_t first = transcript.find("Nur die Punkte von 3DSOLID wurden skaliert.");
  EXPECT_NE(first, std::string::npos) << transcript;
  EXPECT_EQ(transcript.find("3DSOLID", first + 40), std::string::npos);
}

TEST_F(LayoutToModelTest, ZoomExtentsInALayoutSetsPaperExtentsAndTheOverallViewport) {
  Run("._zoom\nG\n");
  std::optional<dxf::Tags> pextmax = drawing().HeaderVar("$PEXTMAX");
  ASSERT_TRUE(pextmax);
  // The overall viewport's frame (297 x 210) is the largest thing there.
  EXPECT_DOUBLE_EQ(commands::TagReal(*pextmax, 10, 0), 297);
  EXPECT_DOUBLE_EQ(commands::TagReal(*pextmax, 20, 0), 210);
  EXPECT_DOUBLE_EQ(Real("50", 12), 148.5);
  EXPECT_DOUBLE_EQ(Real("50", 45), 210);
  EXPECT_EQ(Header("$EXTMAX"), "0.0");  // model space untouched
}

// The clipboard keeps the subentities of all its items in one list: each
// copy gets its own vertices, whether copied or cut and pasted again.
TEST_F(StandInTest, PastedCopiesKeepTheirOwnSubentities) {
  const std::string polylines =
      "0 SECTION\n2 HEADER\n9 $ACADVER\n1 AC1009\n0 ENDSEC\n"
      "0 SECTION\n2 ENTITIES\n"
      "0 POLYLINE\n8 0\n66 1\n10 0.0\n20 0.0\n30 0.0\n"
      "0 VERTEX\n8 0\n10 1.0\n20 0.0\n30 0.0\n0 VERTEX\n8 0\n10 2.0\n20 0.0\n30 0.0\n"
      "0 SEQEND\n8 0\n"
      "0 LINE\n8 0\n10 3.0\n20 0.0\n30 0.0\n11 4.0\n21 0.0\n31 0.0\n"
      "0 POLYLINE\n8 0\n66 1\n10 0.0\n20 0.0\n30 0.0\n"
      "0 VERTEX\n8 0\n10 5.0\n20 0.0\n30 0.0\n0 SEQEND\n8 0\n"
      "0 ENDSEC\n0 EOF\n";
  // Type and x of each record of model space, from the n-th main entity on.
  auto records_from = [this](size_t first_main) {
    std::string listed;
    std::vector<EntityId> mains = commands::MainEntitiesOf(drawing(), drawing().model_space());
    for (size_t i = first_main; i < mains.size(); ++i) {
      std::vector<EntityId> records = {mains[i]};
      for (EntityId sub : commands::SubEntitiesOf(drawing(), mains[i])) records.push_back(sub);
      for (EntityId id : records) {
        dxf::Tags tags = commands::CopyEntityTags(drawing(), id);
        listed += commands::TagValue(tags, 0) + " " +
                  std::to_string(static_cast<int>(commands::TagReal(tags, 10, -1))) + "\n";
      }
    }
    return listed;
  };
  // The base point is the lower left of the extents (x 1); a polyline's own
  // point is not moved.
  const std::string copies_at_100 =
      "POLYLINE 0\nVERTEX 100\nVERTEX 101\nSEQEND -1\nLINE 102\n"
      "POLYLINE 0\nVERTEX 104\nSEQEND -1\n";
  for (const char* script : {"_copyclip\n_all\n\n_pasteclip\n100,0\n",
                             "_cutclip\n_all\n\n_pasteclip\n0,0\n_pasteclip\n100,0\n"}) {
    Open(polylines);
    Run(script);
    EXPECT_EQ(records_from(3), copies_at_100) << script;
  }
}

TEST_F(StandInTest, R12PaperSpaceComesToModelSpaceWithoutHandlesOrOwners) {
  Open(
      "0 SECTION\n2 HEADER\n9 $ACADVER\n1 AC1009\n9 $TILEMODE\n70 0\n0 ENDSEC\n"
      "0 SECTION\n2 TABLES\n0 TABLE\n2 LAYER\n70 1\n0 LAYER\n2 0\n70 0\n62 7\n"
      "6 CONTINUOUS\n0 ENDTAB\n0 ENDSEC\n0 SECTION\n2 BLOCKS\n0 ENDSEC\n"
      "0 SECTION\n2 ENTITIES\n"
      "0 LINE\n8 0\n67 1\n10 10.0\n20 10.0\n30 0.0\n11 20.0\n21 10.0\n31 0.0\n"
      "0 POLYLINE\n8 0\n67 1\n66 1\n10 0.0\n20 0.0\n30 0.0\n"
      "0 VERTEX\n8 0\n67 1\n10 15.0\n20 12.0\n30 0.0\n"
      "0 SEQEND\n8 0\n67 1\n"
      "0 ENDSEC\n0 EOF\n");
  Run("_cutclip\n_all\n\nTILEMODE\n1\n_pasteclip\n0,0\n._scale\n_all\n\n0.0\n2\n");
  EXPECT_EQ(drawing().WriteToString(),
            DxfFromPairs("0 SECTION\n2 HEADER\n9 $ACADVER\n1 AC1009\n9 $TILEMODE\n70 1\n"
                         "0 ENDSEC\n0 SECTION\n2 TABLES\n0 TABLE\n2 LAYER\n70 1\n0 LAYER\n"
                         "2 0\n70 0\n62 7\n6 CONTINUOUS\n0 ENDTAB\n0 ENDSEC\n"
                         "0 SECTION\n2 BLOCKS\n0 ENDSEC\n0 SECTION\n2 ENTITIES\n"
                         "0 LINE\n8 0\n10 0.0\n20 0.0\n30 0.0\n11 20.0\n21 0.0\n31 0.0\n"
                         "0 POLYLINE\n8 0\n66 1\n10 0.0\n20 0.0\n30 0.0\n"
                         "0 VERTEX\n8 0\n10 10.0\n20 4.0\n30 0.0\n"
                         "0 SEQEND\n8 0\n0 ENDSEC\n0 EOF\n"));
}

}  // namespace
}  // namespace host::testing
