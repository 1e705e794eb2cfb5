// TEXT, ATTRIB, ATTDEF and MTEXT records as labels: where their lines stand
// and which way they run.
#pragma once

#include <string_view>
#include <vector>

#include "dxf/document.h"
#include "dxf/tag.h"
#include "host/geometry/affine.h"
#include "host/host_only.h"
#include "host/render/picture.h"

namespace host::render {

// Adds the lines of a text record, placed by placement, in colour. The
// texts are decoded with encoding. False when the picture is full.
bool PaintText(std::string_view type, const std::vector<dxf::TagView>& tags,
               const geometry::Affine& placement, Rgb colour, const dxf::Encoding& encoding,
               Picture* picture);

bool PaintMText(const std::vector<dxf::TagView>& tags, const geometry::Affine& placement,
                Rgb colour, const dxf::Encoding& encoding, Picture* picture);

}  // namespace host::render
