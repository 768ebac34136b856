// reproducible_convert: converts metafiles through the engine's nine entry points with a fixed
// file identifier and a fixed clock, under several sets of properties, so that two builds of the
// engine can be compared byte for byte (scripts/compare-output drives it).
//
//   reproducible_convert OUTDIR IN.emf...
//
// writes OUTDIR/<settings>/<name>.pdf and, beside it, <name>.log with the engine's messages and
// the results of the commands. The engine is linked in, not loaded, so that the identifier and
// the clock can be fixed inside it.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "QVPDFDev/file/file_identifier.h"
#include "qvplatform/clock.h"
#include "qvplatform/metafile.h"
#include "vellora/vellora.h"

namespace {

namespace fs = std::filesystem;

struct Settings {
  const char* name;
  void (*apply)(TQVPDFEngineContext* c);
};

void Base(TQVPDFEngineContext* c) {
  QVPDF_SetIProp(c, QVPDF_IPROP_COMPRESS_STREAM_METHOD, QVPDF_COMPRESS_FLATE);
  QVPDF_SetIProp(c, QVPDF_IPROP_MODES, QVPDF_BIT(QVPDF_MODE_CLIP_RECT_SUPPORT));
}

const Settings kSettings[] = {
    {"default", Base},
    {"subset-cid",
     [](TQVPDFEngineContext* c) {
       Base(c);
       QVPDF_SetIProp(c, QVPDF_IPROP_FONT_MODE, QVPDF_FONT_MODE_SUBSET_USED_CHARS);
       QVPDF_SetIProp(c, QVPDF_IPROP_CID_FONT_MODE, QVPDF_CID_UNICODE);
     }},
    {"embed-plain-jpeg",
     [](TQVPDFEngineContext* c) {
       QVPDF_SetIProp(c, QVPDF_IPROP_COMPRESS_STREAM_METHOD, QVPDF_COMPRESS_NONE);
       QVPDF_SetIProp(c, QVPDF_IPROP_FONT_MODE, QVPDF_FONT_MODE_EMBED_TRUETYPE);
       QVPDF_SetIProp(c, QVPDF_IPROP_CONVERT_JPEG_DATA, 1);
       QVPDF_SetIProp(c, QVPDF_IPROP_MODES,
                      QVPDF_BIT(QVPDF_MODE_CLIP_RECT_SUPPORT) |
                          QVPDF_BIT(QVPDF_MODE_EXACT_TEXT_POSITIONING) |
                          QVPDF_BIT(QVPDF_MODE_TOUNICODE_FOR_SIMPLE_FONTS));
     }},
    {"pdfa-cmyk",
     [](TQVPDFEngineContext* c) {
       QVPDF_SetIProp(c, QVPDF_IPROP_COMPRESS_STREAM_METHOD, QVPDF_COMPRESS_RUNLENGTH);
       QVPDF_SetIProp(c, QVPDF_IPROP_ENCODE_STREAM_METHOD, 1);
       QVPDF_SetIProp(c, QVPDF_IPROP_PDFA_MODE, QVPDF_PDFA_LEVEL_B);
       QVPDF_SetIProp(c, QVPDF_IPROP_FONT_MODE, QVPDF_FONT_MODE_SUBSET_CHARSETS);
       QVPDF_SetIProp(
           c, QVPDF_IPROP_MODES,
           QVPDF_BIT(QVPDF_MODE_CLIP_RECT_SUPPORT) | QVPDF_BIT(QVPDF_MODE_COLORS_AS_CMYK));
       QVPDF_SetSProp(c, QVPDF_SPROP_TITLE, "Reproducible");
       QVPDF_SetSProp(c, QVPDF_SPROP_AUTHOR, "Tests");
       QVPDF_SetSProp(c, QVPDF_SPROP_INFO_STRINGS, "Company=Example");
     }},
    {"base14-fast",
     [](TQVPDFEngineContext* c) {
       QVPDF_SetIProp(c, QVPDF_IPROP_FAST_FLATE, 1);
       QVPDF_SetIProp(c, QVPDF_IPROP_FONT_MODE, QVPDF_FONT_MODE_USE_BASE14);
       QVPDF_SetIProp(c, QVPDF_IPROP_TEXT_SCALING, 90);
       QVPDF_SetIProp(c, QVPDF_IPROP_MODES, QVPDF_BIT(QVPDF_MODE_HATCH_BRUSH_IS_SOLID));
     }},
};

FILE* g_log = nullptr;

void OnCallback(void*, std::int32_t kind, std::int32_t value, const char* text) {
  std::fprintf(g_log, "callback %d %d %s\n", kind, value, text);
}

// The picture's frame in points, else A4.
void PageSize(qvplatform::HENHMETAFILE metafile, std::int32_t& width, std::int32_t& height) {
  qvplatform::ENHMETAHEADER h{};
  qvplatform::GetEnhMetaFileHeader(metafile, sizeof h, &h);
  const double w = (double(h.rclFrame.right) - h.rclFrame.left) * 72 / 2540;
  const double hh = (double(h.rclFrame.bottom) - h.rclFrame.top) * 72 / 2540;
  width = w >= 3 && w <= 14400 ? static_cast<std::int32_t>(w) : 595;
  height = hh >= 3 && hh <= 14400 ? static_cast<std::int32_t>(hh) : 842;
}

void Convert(const Settings& settings, qvplatform::HENHMETAFILE metafile, const fs::path& pdf) {
  TQVPDFEngineContext* c = QVPDF_Initialize(QVPDF_INTERFACE_VERSION, &OnCallback, nullptr);
  settings.apply(c);
  std::string name = pdf.string();
  std::fprintf(g_log, "begin %d\n", QVPDF_Do(c, QVPDF_CMD_BEGIN_DOC, 0, name.data()));
  TQVPDFPageInit page{};
  PageSize(metafile, page.Width, page.Height);
  page.XResolution = page.YResolution = 72;
  page.PageColor = QVPDF_COLOR_NONE;
  TQVPDFCommand place{};
  place.Width = page.Width;
  place.Height = page.Height;
  place.RecordForm = QVPDF_COMMAND_LONG_FORM;
  place.Metafile = metafile;
  std::fprintf(g_log, "page %d %d\n", QVPDF_InitializePage(c, 0, &page),
               QVPDF_Do(c, QVPDF_CMD_BEGIN_PAGE, 0, nullptr));
  TQVPDFCommand outline{};
  std::strcpy(outline.Head.Name.Text, "Page");
  std::fprintf(g_log, "outline %d\n", QVPDF_Do(c, QVPDF_CMD_ADD_OUTLINE, 0, &outline));
  std::fprintf(g_log, "draw %d\n", QVPDF_Do(c, QVPDF_CMD_DRAW_METAFILE, 0, &place));
  std::fprintf(g_log, "end page %d\n", QVPDF_Do(c, QVPDF_CMD_END_PAGE, 0, nullptr));
  std::fprintf(g_log, "damaged %d\n", QVPDF_Do(c, QVPDF_CMD_METAFILE_ERROR, 0, nullptr));
  std::fprintf(g_log, "end doc %d\n", QVPDF_Do(c, QVPDF_CMD_END_DOC, 0, nullptr));
  std::fprintf(g_log, "size %d\n", QVPDF_Do(c, QVPDF_CMD_COPY_TO_BUFFER, 0, nullptr));
  QVPDF_Do(c, QVPDF_CMD_CLOSE_OUTPUT_STREAM, 0, nullptr);
  QVPDF_Finalize(c);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: reproducible_convert OUTDIR IN.emf...\n");
    return 2;
  }
  vellora::TQVFileIdentifier id{};
  for (std::size_t i = 0; i < id.size(); ++i) id[i] = static_cast<std::uint8_t>(0x11 * (i + 1));
  vellora::SetFileIdentifierOverride(id);
  qvplatform::SetClockOverride(qvplatform::EncodeDateTime(2024, 7, 5, 9, 3, 7, 0), 120);
  const fs::path out = argv[1];
  for (int i = 2; i < argc; ++i) {
    const qvplatform::MetafileLoadResult r = qvplatform::LoadMetafileFile(argv[i]);
    const std::string stem = fs::path(argv[i]).filename().string();
    for (const Settings& settings : kSettings) {
      fs::create_directories(out / settings.name);
      const fs::path pdf = out / settings.name / (stem + ".pdf");
      g_log = std::fopen((out / settings.name / (stem + ".log")).string().c_str(), "w");
      if (g_log == nullptr) return 1;
      if (r.status == qvplatform::MetafileStatus::kOk &&
          r.kind == qvplatform::HandleKind::kEnhMetaFile)
        Convert(settings, r.handle, pdf);
      else
        std::fprintf(g_log, "load %s\n", qvplatform::MetafileStatusText(r.status));
      std::fclose(g_log);
    }
    if (r.status == qvplatform::MetafileStatus::kOk) {
      if (r.kind == qvplatform::HandleKind::kEnhMetaFile)
        qvplatform::DeleteEnhMetaFile(r.handle);
      else
        qvplatform::DeleteMetaFile(r.handle);
    }
  }
  return 0;
}
