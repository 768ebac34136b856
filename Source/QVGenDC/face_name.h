// Face names of logical fonts. A font keeps its name twice: the UTF-16 buffer of the logical
// font (at most 31 units and a terminating 0), which font matching uses, and the same name as
// UTF-8 text, which the comparisons of text output and font selection use.
#pragma once

#include <string>
#include <string_view>

#include "qvplatform/wintypes.h"

namespace vellora {

constexpr int kMaxFaceNameLength = qvplatform::LF_FACESIZE - 1;

// The UTF-8 text of a face buffer up to its first 0 and at most 31 units; an unpaired
// surrogate becomes U+FFFD.
std::string FaceNameText(const qvplatform::LOGFONTW& font);

// Writes name into the face buffer (at most 31 units, a pair is never split, the rest zero)
// and sets text to the UTF-8 form of what the buffer holds, so the two always agree.
// Ill-formed UTF-8 becomes U+FFFD.
void AssignFaceName(qvplatform::LOGFONTW& font, std::string& text, std::string_view name);

}  // namespace vellora
