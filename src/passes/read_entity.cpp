#include "passes/read_entity.h"

#include "adslib.h"
#include "afxwin.h"
#include "module/ads_helpers.h"
#include "module/module_state.h"
#include "passes/entity_walk.h"
#include "passes/line_weight_text.h"
#include "passes/set_rb_string.h"

namespace {

const char* const VonLayer = "ByLayer";

// Block names the modeller gives its centre-line, transition-symbol and
// centre-point blocks (prefixes, case-sensitive).
constexpr const char* kSymbolBlockPrefixes[] = {"2dCenter", "2dTransSymbol", "2DMittellinie",
                                                "2DMittelPunkt"};

bool IsSymbolInsert(const CString& type, const CString& block_name) {
  if (!Contains(type, "INSERT")) return false;
  for (const char* prefix : kSymbolBlockPrefixes)
    if (StartsWith(block_name, prefix)) return true;
  return false;
}

// Whether an entity of this type is written back at all; the changes made in
// the chain of any other entity are discarded with it.
bool IsConvertedType(const CString& type, const CString& block_name) {
  for (const char* kind : {"LINE", "CIRCLE", "POLYLINE", "ARC", "ELLIPSE", "DIMENSION", "HATCH"})
    if (Contains(type, kind)) return true;
  return IsSymbolInsert(type, block_name);
}

// The layer an entity goes to. The rules are tried in this order and the
// last one that holds decides; none holding keeps the layer.
const char* TargetLayer(const CString& type, const CString& block_name,
                        const CString& line_weight) {
  const char* layer = nullptr;
  if (line_weight == csStrichAM4) layer = "AM_4";
  if (line_weight == csStrichAM3) layer = "AM_3";
  if (line_weight == csStrichAM0) layer = "AM_0";
  if (Contains(type, "DIMENSION")) layer = "AM_5";
  if (Contains(type, "HATCH")) layer = "AM_8";
  if (Contains(type, "INSERT")) {
    if (StartsWith(block_name, "2dCenter")) layer = "AM_7";
    if (StartsWith(block_name, "2dTransSymbol")) layer = "AM_6";
    if (StartsWith(block_name, "2DMittellinie")) layer = "AM_7";
    if (StartsWith(block_name, "2DMittelPunkt")) layer = "AM_7";
  }
  return layer;
}

// Removes the modeller's "N/A" placeholders from a dimension text override,
// first every "/N/A", then every "N/A/", and says so on the command line.
void CleanDimensionText(resbuf* item) {
  CString csDimTxt = ItemString(item);
  for (const char* placeholder : {"/N/A", "N/A/"}) {
    if (csDimTxt.Find(placeholder) < 0) continue;
    // Texts are printed as values, never as formats: a "%" in a dimension
    // text is shown as it is.
    acutPrintf("\nErsetze %s", ItemString(item));
    csDimTxt.Replace(placeholder, "");
    acutPrintf(" durch %s", static_cast<const char*>(csDimTxt));
    SetRbString(item, csDimTxt);
  }
}

void ReportRefusedEntity(const resbuf* chain, bool first_entity) {
  if (first_entity) {
    AfxMessageBox("Fehler entmod", MB_OK, 0);
    return;
  }
  acutPrintf("\nFehler entmod");
  for (const resbuf* item = chain; item != nullptr; item = item->rbnext)
    if (item->restype == 0) AfxMessageBox(ItemString(item), MB_OK, 0);
}

}  // namespace

void ReadEntity() {
  CString mw_entityname;
  CString mw_center;  // the last block name met; not cleared between entities
  CString mw_strichstaerke;
  CString mw_entmod = "NO";
  int ichange = 0;

  WalkDrawing([&](const ads_name entity, bool first_entity) {
    // First walk: the layer rules need the line weight (370) and the block
    // name (2), which may stand after the layer item (8).
    mw_strichstaerke.Empty();
    if (resbuf* entdata = acdbEntGet(entity)) {
      for (const resbuf* item = entdata; item != nullptr; item = item->rbnext) {
        if (item->restype == 2) mw_center = ItemString(item);
        if (item->restype == 370) {
          if (const char* text = LineWeightText(item->resval.rint)) mw_strichstaerke = text;
        }
      }
      acutRelRb(entdata);
    }

    resbuf* entdata = acdbEntGet(entity);
    if (entdata == nullptr) return true;
    for (resbuf* item = entdata; item != nullptr; item = item->rbnext) {
      switch (item->restype) {
        case 0:
          mw_entityname = ItemString(item);
          if (IsConvertedType(mw_entityname, mw_center)) mw_entmod = "OK";
          break;
        case 1:
          if (Contains(mw_entityname, "DIMENSION")) CleanDimensionText(item);
          break;
        case 6:
          SetRbString(item, VonLayer);
          break;
        case 8:
          if (const char* layer = TargetLayer(mw_entityname, mw_center, mw_strichstaerke))
            SetRbString(item, layer);
          break;
        case 370:
          item->resval.rint = -1;
          break;
        case 410:
          if (Contains(ItemString(item), "Layout")) ichange = 1;
          // Model space after a layout: the views have all been seen.
          if (Contains(ItemString(item), "Model") && ichange == 1) {
            acutRelRb(entdata);
            return false;
          }
          break;
        default:
          break;
      }
    }
    if (Contains(mw_entmod, "OK") && acdbEntMod(entdata) != RTNORM)
      ReportRefusedEntity(entdata, first_entity);
    mw_entmod = "NO";
    acutRelRb(entdata);
    return true;
  });
}
