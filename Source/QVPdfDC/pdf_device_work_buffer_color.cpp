// Colour operators of the work buffer.
#include <algorithm>

#include "QVPdfDC/pdf_device_work_buffer.h"
#include "QVPdfDC/system_colors.h"

namespace vellora {

namespace {

constexpr int kColorDecimals = 3;

struct ColorOperators {
  std::string_view rgb, cmyk, grey, black;
};

// By selector: stroking, non-stroking, components only.
constexpr ColorOperators kOperators[] = {
    {" RG ", " K ", " G ", " 0 G "},
    {" rg ", " k ", " g ", " 0 g "},
    {" ", " ", " ", " 0 "},
};

void ToCMYK(qvplatform::COLORREF rgb, TQVColorRecord& record) {
  double c = 1 - qvplatform::GetRValue(rgb) / 255.0;
  double m = 1 - qvplatform::GetGValue(rgb) / 255.0;
  double y = 1 - qvplatform::GetBValue(rgb) / 255.0;
  const double k = std::min({1.0, c, m, y});
  if (k != 1) {
    c = (c - k) / (1 - k);
    m = (m - k) / (1 - k);
    y = (y - k) / (1 - k);
  } else {
    c = m = y = 0;
  }
  record.c[0] = static_cast<float>(c);
  record.c[1] = static_cast<float>(m);
  record.c[2] = static_cast<float>(y);
  record.c[3] = static_cast<float>(k);
}

}  // namespace

void TQVPDFDeviceWorkBuffer::AddColor(std::uint32_t colorValue, TQVColorRecord* record,
                                      std::string_view operatorText, int selector) {
  if (record != nullptr && modes_ != nullptr && modes_->Has(kModeColorsAsCMYK) &&
      record->mode != kColorModeCMYK) {
    record->mode = kColorModeToCMYK;
  }
  const std::int32_t mode = record != nullptr ? record->mode : kColorModeNone;
  const qvplatform::COLORREF rgb = ColorToRGB(colorValue);
  if (mode == kColorModeToCMYK) {
    ToCMYK(rgb, *record);
  } else if (mode == kColorModeToGrey) {
    const unsigned low = std::min(
        {qvplatform::GetRValue(rgb), qvplatform::GetGValue(rgb), qvplatform::GetBValue(rgb)});
    record->c[0] = static_cast<float>(low / 255.0);
  }

  const auto fractions = [&] {
    AddColorComponents({qvplatform::GetRValue(rgb) / 255.0L, qvplatform::GetGValue(rgb) / 255.0L,
                        qvplatform::GetBValue(rgb) / 255.0L},
                       kColorDecimals);
  };
  if (!operatorText.empty()) {
    fractions();
    AddString(operatorText);
    return;
  }
  const ColorOperators& ops = kOperators[selector == 0 ? 0 : selector == 1 ? 1 : 2];
  if (mode == 1 || mode == -1) {
    AddColorComponents({record->c[0], record->c[1], record->c[2]}, kColorDecimals);
    AddString(ops.rgb);
  } else if (mode == 2 || mode == -2) {
    AddColorComponents({record->c[0], record->c[1], record->c[2], record->c[3]}, kColorDecimals);
    AddString(ops.cmyk);
  } else if (mode == 3 || mode == -3) {
    AddColorComponents({record->c[0]}, kColorDecimals);
    AddString(ops.grey);
  } else if (colorValue != 0) {
    fractions();
    AddString(ops.rgb);
  } else {
    AddString(ops.black);
  }
}

}  // namespace vellora
