#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numbers>

#include "support/api_test_drawings.h"

namespace host::api {
namespace {

class EntityModTest : public ApiTest {
 protected:
  void SetUp() override { Open(Drawing2000()); }

  ChainPtr Get(std::string_view handle, const char* app = nullptr) {
    ads_name name;
    NameOf(handle, name);
    if (app == nullptr) return ChainPtr(acdbEntGet(name));
    app_name_ = app;
    resbuf apps{nullptr, RTSTR, {}};
    apps.resval.rstring = app_name_.data();
    return ChainPtr(acdbEntGetX(name, &apps));
  }
  bool Changed(std::string_view handle) {
    return drawing().entity(drawing().FindEntityByHandle(handle)).text.changed();
  }

  std::string app_name_;
};

const char kLine[] = R"(
0 LINE
5 100
330 1F
100 AcDbEntity
8 Kontur
370 50
100 AcDbLine
10 1.5
20 2.25
30 0.0
11 4.0
21 6.0
31 0.0
)";

TEST_F(EntityModTest, UnchangedChainLeavesTheRecordAlone) {
  for (const char* handle : {"100", "101", "102", "103", "104", "105", "106", "107", "32", "33"}) {
    ChainPtr chain = Get(handle, "*");
    ASSERT_EQ(acdbEntMod(chain.get()), RTNORM) << handle;
    EXPECT_FALSE(Changed(handle)) << handle;
  }
  EXPECT_EQ(RecordOf("100"), DxfText(kLine));
}

TEST_F(EntityModTest, ChangedValuesAreWrittenOthersKeepTheirText) {
  ChainPtr chain = Get("100");
  SetString(FindItem(chain.get(), 8), "0");
  FindItem(chain.get(), 370)->resval.rint = 35;
  FindItem(chain.get(), 11)->resval.rpoint[0] = 4.5;  // only x of the end point
  ASSERT_EQ(acdbEntMod(chain.get()), RTNORM);
  EXPECT_EQ(RecordOf("100"), DxfText(R"(
0 LINE
5 100
330 1F
100 AcDbEntity
8 0
370 35
100 AcDbLine
10 1.5
20 2.25
30 0.0
11 4.5
21 6.0
31 0.0
)"));
  // No 67 or 410 is added for the model-space entity.
  EXPECT_EQ(RecordOf("100").find("\n67\n"), std::string::npos);
}

TEST_F(EntityModTest, OddGroupCodesTravelAsText) {
  std::string text = Drawing2000();
  text.insert(text.find("100\nAcDbLine\n10\n1.5"), "250\nodd value\n");
  Open(text);
  ChainPtr chain = Get("100");
  EXPECT_STREQ(FindItem(chain.get(), 250)->resval.rstring, "odd value");
  SetString(FindItem(chain.get(), 8), "0");
  ASSERT_EQ(acdbEntMod(chain.get()), RTNORM);
  EXPECT_NE(RecordOf("100").find("\n8\n0\n370\n50\n250\nodd value\n100\nAcDbLine\n"),
            std::string::npos)
      << RecordOf("100");
}

// Negative codes mark the chain itself (-1 the name, -3 the extended data);
// one standing in a file's record is no data of the entity. It stays out of
// the chain (where a -3 would open the extended data early and its text
// would outlive acutRelRb) and is written back where it stood.
TEST_F(EntityModTest, NegativeCodesInTheFileStayOutOfTheChainAndInTheRecord) {
  std::string text = Drawing2000();
  text.insert(text.find("100\nAcDbLine\n10\n1.5"), "-3\nstray\n");
  Open(text);
  ChainPtr chain = Get("100", "*");
  for (const resbuf* item = chain.get(); item != nullptr; item = item->rbnext)
    EXPECT_TRUE(item->restype >= 0 || item->restype == -1) << item->restype;
  SetString(FindItem(chain.get(), 8), "0");
  ASSERT_EQ(acdbEntMod(chain.get()), RTNORM);
  EXPECT_NE(RecordOf("100").find("\n8\n0\n370\n50\n-3\nstray\n100\nAcDbLine\n"), std::string::npos)
      << RecordOf("100");
}

TEST_F(EntityModTest, AnglesGoBackInDegreesAndFlatPointsStayFlat) {
  ChainPtr arc = Get("101");
  FindItem(arc.get(), 51)->resval.rreal = std::numbers::pi / 4;
  ASSERT_EQ(acdbEntMod(arc.get()), RTNORM);
  EXPECT_NE(RecordOf("101").find("\n50\n90.0\n51\n45.0\n"), std::string::npos) << RecordOf("101");

  ChainPtr polyline = Get("102");
  FindItem(polyline.get(), 10, 1)->resval.rpoint[1] = 5.5;
  ASSERT_EQ(acdbEntMod(polyline.get()), RTNORM);
  EXPECT_NE(RecordOf("102").find("\n10\n0.0\n20\n0.0\n10\n3.0\n20\n5.5\n"), std::string::npos)
      << RecordOf("102");
  EXPECT_EQ(RecordOf("102").find("\n30\n"), std::string::npos);
}

TEST_F(EntityModTest, ByLayerValuesLeaveTheirGroupsOut) {
  ChainPtr arc = Get("101");
  FindItem(arc.get(), 62)->resval.rint = 256;
  ASSERT_EQ(acdbEntMod(arc.get()), RTNORM);
  EXPECT_EQ(RecordOf("101").find("\n62\n"), std::string::npos);

  ChainPtr polyline = Get("102");
  SetString(FindItem(polyline.get(), 6), "ByLayer");
  ASSERT_EQ(acdbEntMod(polyline.get()), RTNORM);
  EXPECT_EQ(RecordOf("102").find("\n6\n"), std::string::npos);

  ChainPtr line = Get("100");
  FindItem(line.get(), 370)->resval.rint = -1;
  ASSERT_EQ(acdbEntMod(line.get()), RTNORM);
  EXPECT_EQ(RecordOf("100").find("\n370\n"), std::string::npos);
}

TEST_F(EntityModTest, NamesAreWrittenAsTheTablesSpellThem) {
  ChainPtr chain = Get("100");
  SetString(FindItem(chain.get(), 8), "KONTUR");
  FindItem(chain.get(), 370)->resval.rint = 35;
  ASSERT_EQ(acdbEntMod(chain.get()), RTNORM);
  EXPECT_NE(RecordOf("100").find("\n8\nKontur\n"), std::string::npos);

  ChainPtr block_line = Get("32");
  SetString(FindItem(block_line.get(), 6), "continuous");
  ASSERT_EQ(acdbEntMod(block_line.get()), RTNORM);
  EXPECT_NE(RecordOf("32").find("\n6\nContinuous\n"), std::string::npos);
  EXPECT_EQ(drawing().FindTableRecord("LAYER", "KONTUR"),
            drawing().FindTableRecord("LAYER", "Kontur"));
}

TEST_F(EntityModTest, UnknownLayerIsCreated) {
  ChainPtr chain = Get("100");
  SetString(FindItem(chain.get(), 8), "AM_5");
  ASSERT_EQ(acdbEntMod(chain.get()), RTNORM);
  EXPECT_NE(RecordOf("100").find("\n8\nAM_5\n"), std::string::npos);
  EXPECT_EQ(LayerRecord("AM_5"), DxfText(R"(
0 LAYER
5 200
330 2
100 AcDbSymbolTableRecord
100 AcDbLayerTableRecord
2 AM_5
70 0
62 7
6 Continuous
370 -3
390 F
)"));
  // The layer table counts it.
  EXPECT_NE(drawing().WriteToString().find("2\nLAYER\n5\n2\n330\n0\n100\nAcDbSymbolTable\n70\n3\n"),
            std::string::npos);
}

TEST_F(EntityModTest, CreatedLayerIsValidForAnIndependentReader) {
  ChainPtr chain = Get("107");
  SetString(FindItem(chain.get(), 8), "Geändert");
  ASSERT_EQ(acdbEntMod(chain.get()), RTNORM);
  if (std::system("/usr/bin/python3 -c 'import ezdxf' 2>/dev/null") != 0) {
    GTEST_SKIP() << "python3-ezdxf is not installed";
  }
  std::string path = ::testing::TempDir() + "/entmod_layer.dxf";
  std::ofstream(path, std::ios::binary) << drawing().WriteToString();
  std::string script =
      "import ezdxf,sys\n"
      "doc=ezdxf.readfile(sys.argv[1])\n"
      "a=doc.audit()\n"
      "l=doc.layers.get('Ge\\u00e4ndert')\n"
      "ok=not a.errors and l.color==7 and l.dxf.linetype=='Continuous' and "
      "l.dxf.plotstyle_handle==doc.layers.get('0').dxf.plotstyle_handle and "
      "doc.entitydb['107'].dxf.layer==l.dxf.name\n"
      "sys.exit(0 if ok else 1)\n";
  std::string script_path = ::testing::TempDir() + "/entmod_layer.py";
  std::ofstream(script_path) << script;
  EXPECT_EQ(std::system(("/usr/bin/python3 " + script_path + " " + path).c_str()), 0);
}

TEST_F(EntityModTest, RefusedChainsChangeNothing) {
  std::string before = drawing().WriteToString();
  {
    ChainPtr chain = Get("100");
    SetString(FindItem(chain.get(), 0), "CIRCLE");
    EXPECT_EQ(acdbEntMod(chain.get()), RTERROR);
  }
  for (const char* layer : {"", "A<B", "C:D", "E*", "F|G", "H=", "I`", "J\tK", "L/M", "N\\O"}) {
    ChainPtr chain = Get("100");
    SetString(FindItem(chain.get(), 8), layer);
    EXPECT_EQ(acdbEntMod(chain.get()), RTERROR) << layer;
  }
  {
    ChainPtr chain = Get("102");
    SetString(FindItem(chain.get(), 6), "GIBTESNICHT");
    EXPECT_EQ(acdbEntMod(chain.get()), RTERROR);
  }
  {
    // A chain without its -1 names no entity.
    ChainPtr chain = Get("100");
    resbuf* rest = chain.get()->rbnext;
    SetString(FindItem(rest, 8), "0");
    EXPECT_EQ(acdbEntMod(rest), RTERROR);
  }
  EXPECT_EQ(drawing().WriteToString(), before);
  EXPECT_EQ(acdbEntMod(nullptr), RTERROR);
}

TEST_F(EntityModTest, ViewportsAreRefused) {
  std::string text = Drawing2000();
  std::string viewport = DxfText(R"(
0 VIEWPORT
5 1A0
330 1B
100 AcDbEntity
67 1
8 0
100 AcDbViewport
10 0.0
20 0.0
30 0.0
40 297.0
41 210.0
69 1
)");
  text.insert(text.find("0\nTEXT\n"), viewport);
  Open(text);
  ChainPtr chain = Get("1A0");
  SetString(FindItem(chain.get(), 8), "Kontur");
  EXPECT_EQ(acdbEntMod(chain.get()), RTERROR);
  EXPECT_FALSE(Changed("1A0"));
}

TEST_F(EntityModTest, ExtendedDataOfTheNamedApplicationIsReplaced) {
  ChainPtr chain = Get("103", "ACAD");
  resbuf* factor = FindItem(chain.get(), 1040);
  factor->resval.rreal /= 4.0;
  ASSERT_EQ(acdbEntMod(chain.get()), RTNORM);
  std::string record = RecordOf("103");
  EXPECT_NE(record.find("1070\n144\n1040\n0.5\n1070\n40\n1040\n1.0\n1002\n}\n"), std::string::npos)
      << record;
  // The reactor group and the owner stay where they were.
  EXPECT_NE(record.find("0\nDIMENSION\n5\n103\n102\n{ACAD_REACTORS\n330\nC\n102\n}\n330\n1B\n"),
            std::string::npos)
      << record;
}

TEST_F(EntityModTest, ExtendedDataNotInTheChainIsKept) {
  ChainPtr chain = Get("103");  // no application asked for
  SetString(FindItem(chain.get(), 1), "<>");
  ASSERT_EQ(acdbEntMod(chain.get()), RTNORM);
  std::string record = RecordOf("103");
  EXPECT_NE(record.find("\n1\n<>\n"), std::string::npos);
  EXPECT_NE(record.find("1001\nACAD\n1000\nDSTYLE\n"), std::string::npos);
}

TEST_F(EntityModTest, ExtendedDataOfAnUnregisteredApplicationIsRefused) {
  ChainPtr chain = Get("100", "ACAD");
  resbuf* last = chain.get();
  while (last->rbnext != nullptr) last = last->rbnext;
  last->rbnext = acutNewRb(-3);
  last->rbnext->rbnext = acutNewRb(1001);
  last->rbnext->rbnext->resval.rstring = strdup("NIEMAND");
  EXPECT_EQ(acdbEntMod(chain.get()), RTERROR);
  SetString(last->rbnext->rbnext, "acad");
  resbuf* text = acutNewRb(1000);
  text->resval.rstring = strdup("neu");
  last->rbnext->rbnext->rbnext = text;
  ASSERT_EQ(acdbEntMod(chain.get()), RTNORM);
  EXPECT_NE(RecordOf("100").find("31\n0.0\n1001\nacad\n1000\nneu\n"), std::string::npos)
      << RecordOf("100");
}

TEST_F(EntityModTest, EndblkMayBeModified) {
  ChainPtr chain = Get("33");
  SetString(FindItem(chain.get(), 8), "Kontur");
  ASSERT_EQ(acdbEntMod(chain.get()), RTNORM);
  EXPECT_NE(RecordOf("33").find("\n8\nKontur\n"), std::string::npos);
}

TEST_F(EntityModTest, ErasedEntitiesCannotBeModified) {
  ChainPtr chain = Get("100");
  ads_name line;
  NameOf("100", line);
  ASSERT_EQ(acdbEntDel(line), RTNORM);
  SetString(FindItem(chain.get(), 8), "0");
  EXPECT_EQ(acdbEntMod(chain.get()), RTERROR);
}

TEST_F(EntityModTest, Utf8DrawingsGetCodePage1252AndBackUtf8) {
  std::string text = Drawing2000();
  text.replace(text.find("AC1015"), 6, "AC1021");
  text.replace(text.find("Ma\xDF"
                         "stab"),
               7,
               "Ma\xC3\x9F"
               "stab");
  Open(text);
  ChainPtr chain = Get("107");
  EXPECT_STREQ(FindItem(chain.get(), 1)->resval.rstring,
               "Ma\xDF"
               "stab");
  ASSERT_EQ(acdbEntMod(chain.get()), RTNORM);
  EXPECT_FALSE(Changed("107"));
  SetString(FindItem(chain.get(), 1),
            "Gr\xF6\xDF"
            "e");
  SetString(FindItem(chain.get(), 8), "Ge\xE4ndert");
  ASSERT_EQ(acdbEntMod(chain.get()), RTNORM);
  std::string record = RecordOf("107");
  EXPECT_NE(record.find("\n1\nGr\xC3\xB6\xC3\x9F"
                        "e\n"),
            std::string::npos)
      << record;
  EXPECT_NE(record.find("\n8\nGe\xC3\xA4ndert\n"), std::string::npos) << record;
  EXPECT_NE(LayerRecord("Ge\xE4ndert").find("\n2\nGe\xC3\xA4ndert\n"), std::string::npos);
}

TEST_F(EntityModTest, R12LayerIsCreatedInR12Form) {
  Open(DrawingR12());
  ads_name line;
  ASSERT_EQ(acdbEntNext(nullptr, line), RTNORM);
  ChainPtr chain(acdbEntGet(line));
  SetString(FindItem(chain.get(), 8), "AM_0");
  ASSERT_EQ(acdbEntMod(chain.get()), RTNORM);
  EXPECT_EQ(LayerRecord("AM_0"), DxfText(R"(
0 LAYER
2 AM_0
70 0
62 7
6 CONTINUOUS
)"));
  // The R12 record gets no handle, owner or space groups.
  EntityId id = state().EntityOfName(line);
  EXPECT_EQ(std::string(drawing().entity(id).text.text()), DxfText(R"(
0 LINE
8 AM_0
10 1.0
20 2.0
30 0.0
11 3.0
21 4.0
31 0.0
)"));
}

}  // namespace
}  // namespace host::api
