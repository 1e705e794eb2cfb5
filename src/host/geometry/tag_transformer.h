// The machinery every entity rule shares: what can be done with one tag
// (move a point, scale a length, ...) and the code that does it on views of
// the record's tags, keeping the text of every value that does not change.
// A value written afresh views a TextArena; the others still view the record.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "dxf/tag.h"
#include "host/geometry/ocs.h"
#include "host/geometry/text_arena.h"
#include "host/geometry/transform.h"
#include "host/host_only.h"

namespace host::geometry {

// What a rule wants done with one tag. Point actions name the tag of a
// point's x (code 10-18, 110-112, 1010-1013); its y and z follow as code+10
// and code+20 and are covered by the same action.
enum class Action {
  kKeep,
  kWorldPoint,           // a world point: moved and scaled
  kOcsPoint,             // a point in the entity's OCS: moved and scaled there
  kOcsPoint2d,           // the same for points without a z of their own
                         // (LWPOLYLINE, HATCH); no z is ever added
  kOcsElevationPoint,    // a point whose z alone matters (POLYLINE and HATCH
                         // "elevation point" 0,0,z): only z, in the OCS
  kWorldElevationPoint,  // the same for world points (3D POLYLINE)
  kOcsElevation,         // a lone OCS z (LWPOLYLINE 38)
  kOcsX,                 // a lone OCS x (HATCH pattern base point 43)
  kOcsY,                 // a lone OCS y (HATCH pattern base point 44)
  kVector,               // a vector (displacement, size along axes): scaled
  kLength,               // a distance: scaled
};

class TagTransformer;

// A record's tags as the transform edits them.
using TagViews = std::vector<dxf::TagView>;

// One entity type's rule. The engine shows it the tags of the entity's own
// data in order (not the common entity properties, application groups or
// extended data), with the subclass marker they stand under ("" before the
// first marker, as in R12 files). Rules that need a value appearing later in
// the record (flags, justification) look it up when constructed.
class EntityRule {
 public:
  virtual ~EntityRule() = default;
  virtual Action Classify(std::string_view subclass, const dxf::TagView& tag) = 0;
  // Called after the entity's own data: adds values that the file left at a
  // default which the transform changes (INSERT scale factors omitted as 1).
  virtual void AddMissingDefaults(TagTransformer* editor) {}
  virtual TransformResult result() const { return TransformResult::kDone; }
};

class TagTransformer {
 public:
  // Up to this many transforms are applied in one walk over the tags.
  static constexpr size_t kMaxSteps = 4;

  // steps: one to kMaxSteps valid transforms, applied one after the other;
  // ocs is the frame the entity's OCS points are in. Values written afresh
  // are kept in arena.
  TagTransformer(TagViews* tags, TextArena* arena, std::span<const Transform> steps,
                 const Ocs& ocs);

  // Applies action to the tag at index i under every step and returns how
  // many tags it covered (at least 1): a point's x, y, z and any z it had to
  // add. A value is read and written once: every text written reads back as
  // the number written, so the steps work on the number and only the last
  // text is made, the text a tag would hold after one walk per step.
  size_t Apply(Action action, size_t i);

  // The step whose missing defaults a rule is adding (see EntityRule).
  void set_step(size_t step) { step_ = step; }
  // Inserts a numeric tag before index at: a default the current step
  // changes, which the steps after it then treat as action says.
  void Insert(size_t at, int code, double value, Action later);

  TagViews& tags() { return *tags_; }
  const Transform& world() const { return world_[step_]; }
  const Transform& in_ocs() const { return ocs_[step_]; }

 private:
  enum class Dims { k3d, k2d, kZOnly };
  enum class Frame { kWorld, kOcs };
  size_t ApplyPoint(size_t i, Frame frame, Dims dims);
  size_t ApplyVector(size_t i);
  void ApplyCoordinate(size_t i, Frame frame, int axis);
  void ApplyLength(size_t i);
  // The value a number holds after the steps from `from` on; true when one
  // of them changed it.
  bool CoordinateAfter(double* v, size_t from, Frame frame, int axis) const;
  bool LengthAfter(double* v, size_t from) const;
  const Transform& Step(Frame frame, size_t k) const {
    return frame == Frame::kWorld ? world_[k] : ocs_[k];
  }

  // Writes value's text as the tag's new value.
  void Write(dxf::TagView* tag, double value);

  TagViews* tags_;
  TextArena* arena_;
  std::array<Transform, kMaxSteps> world_;
  std::array<Transform, kMaxSteps> ocs_;  // the same transforms with base and offset in the OCS
  size_t steps_ = 0;
  size_t step_ = 0;
};

// One coordinate under a scale about base and a move: base + factor *
// (v - base) + offset.
double Coordinate(double v, double factor, double base, double offset);

}  // namespace host::geometry
