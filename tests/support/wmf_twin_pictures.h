// The same drawing as an old-style and as an enhanced metafile, one picture per kind of
// old-style record: what the translator must turn into the same pixels. Each picture is
// kTwinPictureSize points square; the old-style one has a placeable header of 72 units per
// inch and an anisotropic window of one unit per point, the enhanced one is a PointPicture.
#pragma once

#include <string>
#include <vector>

#include "qvplatform/wintypes.h"

namespace vellora_test {

constexpr int kTwinPictureSize = 200;

struct TwinPicture {
  std::string name;
  std::vector<qvplatform::BYTE> wmf;
  std::vector<qvplatform::BYTE> emf;
};

std::vector<TwinPicture> TwinPictures();

}  // namespace vellora_test
