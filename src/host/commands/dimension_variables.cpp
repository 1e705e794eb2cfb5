#include "host/commands/dimension_variables.h"

#include "dxf/tag.h"
#include "dxf/text_case.h"

namespace host::commands {

namespace {

using V = DimensionValue;

constexpr DimensionVariable kVariables[] = {
    {"DIMPOST", 3, V::kText},        {"DIMAPOST", 4, V::kText},
    {"DIMSCALE", 40, V::kReal},      {"DIMASZ", 41, V::kReal},
    {"DIMEXO", 42, V::kReal},        {"DIMDLI", 43, V::kReal},
    {"DIMEXE", 44, V::kReal},        {"DIMRND", 45, V::kReal},
    {"DIMDLE", 46, V::kReal},        {"DIMTP", 47, V::kReal},
    {"DIMTM", 48, V::kReal},         {"DIMTOL", 71, V::kInteger},
    {"DIMLIM", 72, V::kInteger},     {"DIMTIH", 73, V::kInteger},
    {"DIMTOH", 74, V::kInteger},     {"DIMSE1", 75, V::kInteger},
    {"DIMSE2", 76, V::kInteger},     {"DIMTAD", 77, V::kInteger},
    {"DIMZIN", 78, V::kInteger},     {"DIMAZIN", 79, V::kInteger},
    {"DIMTXT", 140, V::kReal},       {"DIMCEN", 141, V::kReal},
    {"DIMTSZ", 142, V::kReal},       {"DIMALTF", 143, V::kReal},
    {"DIMLFAC", 144, V::kReal},      {"DIMTVP", 145, V::kReal},
    {"DIMTFAC", 146, V::kReal},      {"DIMGAP", 147, V::kReal},
    {"DIMALTRND", 148, V::kReal},    {"DIMALT", 170, V::kInteger},
    {"DIMALTD", 171, V::kInteger},   {"DIMTOFL", 172, V::kInteger},
    {"DIMSAH", 173, V::kInteger},    {"DIMTIX", 174, V::kInteger},
    {"DIMSOXD", 175, V::kInteger},   {"DIMCLRD", 176, V::kColour},
    {"DIMCLRE", 177, V::kColour},    {"DIMCLRT", 178, V::kColour},
    {"DIMADEC", 179, V::kInteger},   {"DIMUNIT", 270, V::kInteger},
    {"DIMDEC", 271, V::kInteger},    {"DIMTDEC", 272, V::kInteger},
    {"DIMALTU", 273, V::kInteger},   {"DIMALTTD", 274, V::kInteger},
    {"DIMAUNIT", 275, V::kInteger},  {"DIMFRAC", 276, V::kInteger},
    {"DIMLUNIT", 277, V::kInteger},  {"DIMDSEP", 278, V::kInteger},
    {"DIMTMOVE", 279, V::kInteger},  {"DIMJUST", 280, V::kInteger},
    {"DIMSD1", 281, V::kInteger},    {"DIMSD2", 282, V::kInteger},
    {"DIMTOLJ", 283, V::kInteger},   {"DIMTZIN", 284, V::kInteger},
    {"DIMALTZ", 285, V::kInteger},   {"DIMALTTZ", 286, V::kInteger},
    {"DIMFIT", 287, V::kInteger},    {"DIMUPT", 288, V::kInteger},
    {"DIMATFIT", 289, V::kInteger},  {"DIMTXSTY", 340, V::kTextStyle},
    {"DIMLWD", 371, V::kLineWeight}, {"DIMLWE", 372, V::kLineWeight},
};

}  // namespace

const DimensionVariable* FindDimensionVariable(std::string_view name) {
  std::string upper = dxf::UpperCase1252(dxf::TrimBlanks(name));
  for (const DimensionVariable& variable : kVariables) {
    if (variable.name == upper) return &variable;
  }
  return nullptr;
}

}  // namespace host::commands
