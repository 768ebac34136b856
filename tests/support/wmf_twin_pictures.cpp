#include "wmf_twin_pictures.h"

#include <functional>

#include "wmf_builder.h"

namespace vellora_test {
namespace {

constexpr int kSolid = 0, kNullStyle = 5, kHatched = 2, kDiagCross = 5;
constexpr COLORREF kBlack = 0x000000, kGrey = 0x808080;

// Writes each drawing call into both metafiles; objects take the old-style slots in order,
// which are the enhanced handles minus one.
class Twin {
 public:
  Twin() : emf_(PointPicture(kTwinPictureSize, kTwinPictureSize)) {
    emf_.SetHandles(16);
    wmf_.SetPlaceable({0, 0, kTwinPictureSize, kTwinPictureSize}, 72);
    wmf_.SetMapMode(MM_ANISOTROPIC).SetWindowOrg(0, 0);
    wmf_.SetWindowExt(kTwinPictureSize, kTwinPictureSize);
  }

  Twin& Pen(int style, int width, COLORREF color) {
    wmf_.CreatePen(style, width, color);
    emf_.CreatePen(Next(), static_cast<UINT>(style), width, color);
    return Select();
  }
  Twin& Brush(int style, COLORREF color, int hatch = 0) {
    wmf_.CreateBrush(style, color, hatch);
    emf_.CreateBrush(Next(), static_cast<UINT>(style), color, static_cast<DWORD>(hatch));
    return Select();
  }
  Twin& PatternBrush(const TestDib& dib) {
    wmf_.CreateDibPatternBrush(dib);
    emf_.CreateDibPatternBrush(Next(), dib);
    return Select();
  }
  Twin& Font(int height) {
    wmf_.CreateFont("Arial", height);
    emf_.CreateFont(Next(), EmfBuilder::Font(u"Arial", height));
    return Select();
  }
  // Black ink without an outline.
  Twin& BlackFill() { return Pen(kNullStyle, 0, 0).Brush(kSolid, kBlack); }

  Twin& Both(const std::function<void(WmfBuilder&)>& w, const std::function<void(EmfBuilder&)>& e) {
    w(wmf_);
    e(emf_);
    return *this;
  }

  TwinPicture Done(const std::string& name) {
    wmf_.Eof();
    emf_.Eof();
    return {name, wmf_.Bytes(), emf_.Bytes()};
  }

 private:
  DWORD Next() { return ++handles_; }
  Twin& Select() {
    wmf_.SelectObject(static_cast<int>(handles_ - 1));
    emf_.SelectObject(handles_);
    return *this;
  }
  WmfBuilder wmf_;
  EmfBuilder emf_;
  DWORD handles_ = 0;
};

std::vector<POINTS> Points16(const std::vector<POINTL>& points) {
  std::vector<POINTS> out;
  for (const POINTL& p : points)
    out.push_back({static_cast<std::int16_t>(p.x), static_cast<std::int16_t>(p.y)});
  return out;
}

// A 24-bit bitmap of black and white pixels in a checker pattern.
TestDib Checker(LONG size) {
  TestDib d = TestDib::Filled(size, size, 24, 0xFF);
  const std::size_t stride = std::size_t(size) * 3;
  for (std::size_t y = 0; y < std::size_t(size); ++y)
    for (std::size_t x = (y % 2); x < std::size_t(size); x += 2)
      for (std::size_t c = 0; c < 3; ++c) d.bits[y * stride + x * 3 + c] = 0;
  return d;
}

TwinPicture Shape(const std::string& name, const std::function<void(WmfBuilder&)>& w,
                  const std::function<void(EmfBuilder&)>& e) {
  Twin t;
  t.Pen(kSolid, 6, kBlack).Brush(kSolid, kGrey).Both(w, e);
  return t.Done(name);
}

}  // namespace

std::vector<TwinPicture> TwinPictures() {
  std::vector<TwinPicture> out;
  const RECTL box{20, 30, 180, 150};
  const POINTL start{180, 90}, end{20, 40};
  const std::vector<POINTL> star = {{100, 10}, {160, 190}, {10, 70}, {190, 70}, {40, 190}};

  out.push_back(Shape(
      "lines", [](WmfBuilder& b) { b.MoveTo(10, 10).LineTo(190, 120).LineTo(30, 180); },
      [](EmfBuilder& b) { b.MoveTo(10, 10).LineTo(190, 120).LineTo(30, 180); }));
  out.push_back(Shape(
      "rectangle", [&](WmfBuilder& b) { b.Rectangle(box); },
      [&](EmfBuilder& b) { b.Rectangle(box); }));
  out.push_back(Shape(
      "round rectangle", [&](WmfBuilder& b) { b.RoundRect(box, 60, 40); },
      [&](EmfBuilder& b) {
        b.RoundRect(box, {60, 40});
      }));
  out.push_back(Shape(
      "ellipse", [&](WmfBuilder& b) { b.Ellipse(box); }, [&](EmfBuilder& b) { b.Ellipse(box); }));
  for (const auto& [name, wmfFunction, emfType] :
       {std::tuple{"arc", META_ARC, EMR_ARC}, std::tuple{"pie", META_PIE, EMR_PIE},
        std::tuple{"chord", META_CHORD, EMR_CHORD}}) {
    const WORD f = wmfFunction;
    const DWORD type = emfType;
    out.push_back(Shape(
        name, [&](WmfBuilder& b) { b.ArcFamily(f, box, start, end); },
        [&](EmfBuilder& b) { b.ArcFamily(type, box, start, end); }));
  }
  out.push_back(Shape(
      "polyline", [&](WmfBuilder& b) { b.Poly(META_POLYLINE, Points16(star)); },
      [&](EmfBuilder& b) { b.Polyline16(Points16(star)); }));
  out.push_back(Shape(
      "polygon", [&](WmfBuilder& b) { b.SetPolyFillMode(2).Poly(META_POLYGON, Points16(star)); },
      [&](EmfBuilder& b) { b.Append(EMR_SETPOLYFILLMODE, {2}).Polygon16(Points16(star)); }));
  const std::vector<std::vector<POINTL>> two = {{{10, 10}, {90, 10}, {90, 90}, {10, 90}},
                                                {{110, 110}, {190, 120}, {150, 190}}};
  out.push_back(Shape(
      "poly-polygon",
      [&](WmfBuilder& b) {
        b.PolyPolygon({Points16(two[0]), Points16(two[1])});
      },
      [&](EmfBuilder& b) {
        b.PolyPoly16(EMR_POLYPOLYGON16, {Points16(two[0]), Points16(two[1])});
      }));

  {
    Twin t;
    t.Both(
        [](WmfBuilder& b) {
          for (int y = 50; y < 70; ++y)
            for (int x = 50; x < 150; x += 1) b.SetPixel(x, y, kBlack);
        },
        [](EmfBuilder& b) {
          for (int y = 50; y < 70; ++y)
            for (int x = 50; x < 150; x += 1) b.Append(EMR_SETPIXELV, {DWORD(x), DWORD(y), kBlack});
        });
    out.push_back(t.Done("pixels"));
  }
  {
    Twin t;
    t.Font(-40).Both([](WmfBuilder& b) { b.TextOut(10, 20, "Hello"); },
                     [](EmfBuilder& b) { b.ExtTextOutWNoSpacing(10, 20, u"Hello"); });
    out.push_back(t.Done("text"));
  }
  {
    Twin t;
    const std::vector<int> dx = {30, 20, 40, 20, 30};
    t.Font(-40).Both(
        [&](WmfBuilder& b) {
          b.SetBkMode(2).SetBkColor(0xC0C0C0).ExtTextOut(10, 100, "Wide", dx, ETO_OPAQUE,
                                                         {5, 95, 195, 150});
        },
        [&](EmfBuilder& b) {
          b.Append(EMR_SETBKMODE, {2}).Append(EMR_SETBKCOLOR, {0xC0C0C0});
          b.ExtTextOutA(10, 100, "Wide", {30, 20, 40, 20}, ETO_OPAQUE, {5, 95, 195, 150});
        });
    out.push_back(t.Done("text with spacing"));
  }
  {
    Twin t;
    t.Pen(kNullStyle, 0, 0).Brush(kHatched, kBlack, kDiagCross);
    t.Both([&](WmfBuilder& b) { b.Rectangle(box); }, [&](EmfBuilder& b) { b.Rectangle(box); });
    out.push_back(t.Done("hatched brush"));
  }
  const TestDib checker = Checker(8);
  {
    Twin t;
    t.Pen(kNullStyle, 0, 0).PatternBrush(checker);
    t.Both([&](WmfBuilder& b) { b.Rectangle(box); }, [&](EmfBuilder& b) { b.Rectangle(box); });
    out.push_back(t.Done("DIB pattern brush"));
  }
  {
    Twin t;
    t.Brush(kSolid, kBlack)
        .Both(
            [](WmfBuilder& b) {
              b.PatBlt({20, 20, 100, 60}, PATCOPY);
            },
            [](EmfBuilder& b) {
              b.BitBlt({20, 20, 100, 60}, PATCOPY);
            });
    out.push_back(t.Done("pattern blit"));
  }
  {
    Twin t;
    t.Both(
        [&](WmfBuilder& b) {
          b.StretchDib({10, 10, 180, 120}, checker);
        },
        [&](EmfBuilder& b) {
          b.StretchDIBits({10, 10, 180, 120}, checker);
        });
    out.push_back(t.Done("stretched DIB"));
  }
  {
    Twin t;
    const TestDib big = Checker(64);
    t.Both(
        [&](WmfBuilder& b) {
          b.DibBitBlt({40, 40, 64, 64}, big);
        },
        [&](EmfBuilder& b) {
          b.StretchDIBits({40, 40, 64, 64}, big);
        });
    out.push_back(t.Done("DIB blit"));
  }
  const std::vector<RECTL> bands = {{20, 20, 180, 60}, {60, 80, 140, 180}};
  {
    Twin t;
    t.BlackFill();  // pen slot 0, brush slot 1
    t.Both(
        [&](WmfBuilder& b) { b.CreateRegion(bands).FillRegion(2, 1).DeleteObject(2); },
        [&](EmfBuilder& b) {
          for (const RECTL& r : bands)
            b.Polygon({{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}});
        });
    out.push_back(t.Done("region fill"));
  }
  {
    Twin t;
    t.BlackFill();
    t.Both(
        [&](WmfBuilder& b) {
          b.CreateRegion(bands).SelectClipRegion(2).Rectangle({0, 0, 200, 200});
        },
        [&](EmfBuilder& b) {
          b.ExtSelectClipRgn(RGN_COPY, bands).Rectangle({0, 0, 200, 200});
        });
    out.push_back(t.Done("clip region"));
  }
  {
    Twin t;
    t.BlackFill();
    t.Both(
        [](WmfBuilder& b) {
          b.IntersectClipRect({50, 50, 150, 100}).Rectangle({0, 0, 200, 200});
        },
        [](EmfBuilder& b) {
          b.IntersectClipRect({50, 50, 150, 100}).Rectangle({0, 0, 200, 200});
        });
    out.push_back(t.Done("clip rectangle"));
  }
  {
    // A grey brush chosen inside a saved level is gone after the restore.
    Twin t;
    t.BlackFill();
    t.Both(
        [](WmfBuilder& b) {
          b.SaveDC().CreateBrush(kSolid, 0xFFFFFF).SelectObject(2).RestoreDC(-1);
          b.Rectangle({20, 20, 120, 120});
        },
        [](EmfBuilder& b) {
          b.Rectangle({20, 20, 120, 120});
        });
    out.push_back(t.Done("save and restore"));
  }
  {
    // A window of its own: 400 units across the picture, moved by 100.
    Twin t;
    t.BlackFill();
    t.Both(
        [](WmfBuilder& b) {
          b.SetWindowOrg(100, 100).SetWindowExt(400, 400).Rectangle({100, 100, 300, 200});
        },
        [](EmfBuilder& b) {
          b.Rectangle({0, 0, 100, 50});
        });
    out.push_back(t.Done("window"));
  }
  return out;
}

}  // namespace vellora_test
