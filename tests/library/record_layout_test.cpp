// The records of the public header against the byte positions of their wire formats: each
// field is set through the struct and must appear, little-endian, at its offset and nowhere
// else. The offsets are those of the 32-bit layouts, with the 8-byte pointer fields after them.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "vellora/vellora.h"

namespace {

// The byte pattern a setter writes: 1, 2, 3, ... (never 0).
std::uint8_t PatternByte(std::size_t i) { return static_cast<std::uint8_t>(i % 255 + 1); }

constexpr std::int32_t kInt = 0x04030201;
constexpr std::uint32_t kUint = 0x04030201u;
const void* const kPointer = reinterpret_cast<const void*>(std::uintptr_t{0x0807060504030201});
const char* const kText = static_cast<const char*>(kPointer);

float PatternFloat() {
  float f;
  std::memcpy(&f, &kUint, sizeof f);
  return f;
}

template <std::size_t N, class T>
void FillArray(T (&array)[N]) {
  for (std::size_t i = 0; i < N; ++i) array[i] = static_cast<T>(PatternByte(i));
}

template <class R>
struct FieldCase {
  const char* name;
  std::size_t offset;
  std::size_t size;
  std::function<void(R&)> set;
};

// Sets the field on a zeroed record and checks every byte of the record.
template <class R>
void CheckFields(const std::vector<FieldCase<R>>& cases) {
  for (const FieldCase<R>& c : cases) {
    SCOPED_TRACE(c.name);
    R record;
    std::memset(&record, 0, sizeof record);
    c.set(record);
    std::uint8_t bytes[sizeof(R)];
    std::memcpy(bytes, &record, sizeof bytes);
    ASSERT_LE(c.offset + c.size, sizeof bytes);
    for (std::size_t i = 0; i < sizeof bytes; ++i) {
      const bool inField = i >= c.offset && i < c.offset + c.size;
      const std::uint8_t expected = inField ? PatternByte(i - c.offset) : 0;
      ASSERT_EQ(bytes[i], expected) << "byte " << i;
    }
  }
}

#define INT_FIELD(R, field, offset)                  \
  FieldCase<R> {                                     \
#field, offset, 4, [](R & r) { r.field = kInt; } \
  }
#define UINT_FIELD(R, field, offset)                  \
  FieldCase<R> {                                      \
#field, offset, 4, [](R & r) { r.field = kUint; } \
  }
#define BYTE_FIELD(R, field, offset)              \
  FieldCase<R> {                                  \
#field, offset, 1, [](R & r) { r.field = 1; } \
  }
#define ARRAY_FIELD(R, field, offset)                                    \
  FieldCase<R> {                                                         \
#field, offset, sizeof(R{}.field), [](R & r) { FillArray(r.field); } \
  }

TEST(RecordLayout, PageRecordIsThirtySevenPackedBytes) {
  using R = TQVPDFPageInit;
  EXPECT_EQ(sizeof(R), 37u);
  CheckFields<R>({
      INT_FIELD(R, Width, 0),
      INT_FIELD(R, Height, 4),
      INT_FIELD(R, XResolution, 8),
      INT_FIELD(R, YResolution, 12),
      UINT_FIELD(R, RotationFlags, 16),
      UINT_FIELD(R, PageColor, 20),
      INT_FIELD(R, OriginX, 24),
      INT_FIELD(R, OriginY, 28),
      BYTE_FIELD(R, CreateThumbnails, 32),
      ARRAY_FIELD(R, Reserved33, 33),
  });
}

TEST(RecordLayout, CommandRecordKeepsTheLongFormAndAppendsThePointers) {
  using R = TQVPDFCommand;
  EXPECT_EQ(sizeof(R), 640u);
  CheckFields<R>({
      // Image placement (5574).
      INT_FIELD(R, Head.Image.X, 0),
      INT_FIELD(R, Head.Image.Y, 4),
      INT_FIELD(R, Head.Image.Width, 8),
      INT_FIELD(R, Head.Image.Height, 12),
      INT_FIELD(R, Head.Image.ImageNumber, 16),
      UINT_FIELD(R, Head.Image.Bitmap, 20),
      INT_FIELD(R, Head.Image.DataLength, 36),
      INT_FIELD(R, Head.Image.Format, 40),
      INT_FIELD(R, Head.Image.PixelWidth, 44),
      INT_FIELD(R, Head.Image.PixelHeight, 48),
      // Form field (5575).
      INT_FIELD(R, Head.Field.X, 0),
      INT_FIELD(R, Head.Field.Height, 12),
      INT_FIELD(R, Head.Field.Kind, 16),
      INT_FIELD(R, Head.Field.Flags, 20),
      INT_FIELD(R, Head.Field.Checked, 24),
      // ICC colour space (5581): texts from 4 and from 36, length at 160.
      INT_FIELD(R, Head.ColorSpace.Components, 0),
      ARRAY_FIELD(R, Head.ColorSpace.Name, 4),
      ARRAY_FIELD(R, Head.ColorSpace.Alternate, 36),
      INT_FIELD(R, Head.ColorSpace.ProfileLength, 160),
      // Outline title and form names: text from 8 up to 263.
      ARRAY_FIELD(R, Head.Name.Text, 8),
      ARRAY_FIELD(R, Name, 264),
      INT_FIELD(R, X, 520),
      INT_FIELD(R, Y, 524),
      INT_FIELD(R, Width, 528),
      INT_FIELD(R, Height, 532),
      INT_FIELD(R, Arg1, 536),
      INT_FIELD(R, Arg2, 540),
      INT_FIELD(R, Level, 544),
      INT_FIELD(R, Parent, 548),
      INT_FIELD(R, TextFlags, 552),
      INT_FIELD(R, RecordForm, 572),
      UINT_FIELD(R, Metafile, 576),
      // The pointers of the slots 24, 28, 32, 36, 40, 156 and 560, from 584 on.
      FieldCase<R>{"DibBits", 584, 8, [](R& r) { r.DibBits = kPointer; }},
      FieldCase<R>{"DibInfo", 592, 8, [](R& r) { r.DibInfo = kPointer; }},
      FieldCase<R>{"ImageData", 600, 8, [](R& r) { r.ImageData = kPointer; }},
      FieldCase<R>{"Tooltip", 608, 8, [](R& r) { r.Tooltip = kText; }},
      FieldCase<R>{"FieldValue", 616, 8, [](R& r) { r.FieldValue = kText; }},
      FieldCase<R>{"IccProfile", 624, 8, [](R& r) { r.IccProfile = kPointer; }},
      FieldCase<R>{"Text", 632, 8, [](R& r) { r.Text = kPointer; }},
  });
}

TEST(RecordLayout, OldPointerSlotsSitWherePointersWereInThirtyTwoBits) {
  using R = TQVPDFCommand;
  CheckFields<R>({
      UINT_FIELD(R, Head.Image.DibBits32, 24),
      UINT_FIELD(R, Head.Image.DibInfo32, 28),
      UINT_FIELD(R, Head.Image.Data32, 32),
      UINT_FIELD(R, Head.Field.Tooltip32, 36),
      UINT_FIELD(R, Head.Field.Value32, 40),
      UINT_FIELD(R, Head.ColorSpace.Profile32, 156),
      UINT_FIELD(R, Text32, 560),
  });
}

TEST(RecordLayout, ReadContentRecordOfTheImport) {
  using R = TQVPDFReadContent;
  EXPECT_EQ(sizeof(R), 104u);
  CheckFields<R>({
      INT_FIELD(R, DataSize, 0),
      INT_FIELD(R, Number, 4),
      INT_FIELD(R, Answer, 8),
      INT_FIELD(R, One, 16),
      FieldCase<R>{"PageWidth", 28, 4, [](R& r) { r.PageWidth = PatternFloat(); }},
      FieldCase<R>{"PageHeight", 32, 4, [](R& r) { r.PageHeight = PatternFloat(); }},
      UINT_FIELD(R, Data32, 44),
      FieldCase<R>{"Data", 96, 8, [](R& r) { r.Data = kPointer; }},
  });
}

TEST(RecordLayout, ElementRecordOfTheWordProcessor) {
  using R = TQVPDFElement;
  EXPECT_EQ(sizeof(R), 280u);
  CheckFields<R>({
      BYTE_FIELD(R, Style, 16),
      INT_FIELD(R, FontSize, 20),
      BYTE_FIELD(R, Kind, 36),
      INT_FIELD(R, PenWidth, 49),
      INT_FIELD(R, FillStyle, 57),
      UINT_FIELD(R, ImageSource, 81),
      INT_FIELD(R, ImageNumber, 85),
      BYTE_FIELD(R, UsePageColor, 106),
      INT_FIELD(R, Baseline, 109),
      UINT_FIELD(R, TextColor, 113),
      UINT_FIELD(R, BackColor, 117),
      BYTE_FIELD(R, Flags, 121),
      // The face name fills the room up to the next field.
      FieldCase<R>{"FaceName", 129, 259 - 129, [](R& r) { FillArray(r.FaceName); }},
      INT_FIELD(R, TextForm, 259),
      UINT_FIELD(R, WideTextOrData32, 263),
      INT_FIELD(R, ImageDataSize, 267),
      BYTE_FIELD(R, Charset, 271),
      FieldCase<R>{"WideTextOrData", 272, 8, [](R& r) { r.WideTextOrData = kPointer; }},
  });
  using Rect = TQVPDFElementRect;
  CheckFields<Rect>({
      INT_FIELD(Rect, Left, 0),
      INT_FIELD(Rect, Top, 4),
      INT_FIELD(Rect, Right, 8),
      INT_FIELD(Rect, Bottom, 12),
  });
}

}  // namespace
