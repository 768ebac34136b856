// The Arabic letters behind their presentation forms: right-to-left text is drawn with the
// contextual forms of its letters (initial, medial, final, isolated), and a reader of the text
// wants the letters themselves back.
#pragma once

#include <cstdint>

namespace vellora {

// The letter (or, for a lam-alef ligature, the two letters as first << 16 | second) that a
// presentation form of U+FB50-U+FBFF or U+FE80-U+FEFC stands for; 0 for any other code.
std::uint32_t ArabicFormLetters(std::uint32_t code);

}  // namespace vellora
