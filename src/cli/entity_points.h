// Where the entities of a space lie, read from their records: the first
// point (10/20/30) and the largest magnitude of any coordinate (10-38). The
// checks before and after a conversion use them to find entities far away
// from the rest and entities the conversion put elsewhere than it should.
#pragma once

#include <string>
#include <vector>

#include "host/database/drawing.h"

namespace cli {

struct EntityPoint {
  host::EntityId id = host::kNoEntity;
  std::string handle;
  bool has_point = false;  // a first point that places the entity
  double x = 0, y = 0;
  double reach = 0;  // the largest |coordinate| of the record
};

// The entities of a space (subentities included), in walk order, with
// their points. POLYLINE and HATCH carry no point of their own (their
// 10/20/30 is an elevation point), but their reach counts.
std::vector<EntityPoint> MeasureSpace(const host::Drawing& drawing, host::ContainerId space);

// The first point of one entity as it is now, or false.
bool FirstPoint(const host::Drawing& drawing, host::EntityId id, double* x, double* y);

// The space a conversion starts from: the current layout, or model space
// when $TILEMODE makes it current. kNoContainer when there is none.
host::ContainerId CurrentSpace(const host::Drawing& drawing);

}  // namespace cli
