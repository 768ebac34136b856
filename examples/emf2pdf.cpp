// emf2pdf: converts enhanced metafiles to PDF through the engine's exports. A host program as
// any other: it makes metafile handles with the platform library's C interface
// (qvplatform/qvplatform_c.h), loads libvellora.so with dlopen and drives it with the nine entry
// points of include/vellora/vellora.h.
//
//   emf2pdf [-v] [-t] [-e BITS] IN.emf OUT.pdf                 one file
//   emf2pdf [-v] [-t] [-e BITS] -o OUT.pdf IN1.emf IN2.emf...  the inputs as the pages of one
//                                                              document
//   emf2pdf [-v] [-t] [-e BITS] -d OUTDIR IN1.emf IN2.emf...   one document per input,
//                                                              OUTDIR/<name>.pdf
//
// -t gives every page a thumbnail image. -e 40 or -e 128 encrypts the documents with a key of
// that length; they open without a password and allow printing and copying.
// Each picture gets a page of its own size. Engine messages that report a problem and the
// engine's diagnostics go to stderr; they are not failures. The engine's notifications (a
// page begun, a font embedded) are printed only with -v. The exit status is 1 when an input cannot
// be read as an enhanced metafile, a command fails or a document is not written; 2 for a wrong
// command line. VELLORA_ENGINE names another engine library.
#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "qvplatform/qvplatform_c.h"
#include "vellora/vellora.h"

namespace {

namespace fs = std::filesystem;

struct Engine {
  TQVPDFInitializeProc Initialize = nullptr;
  TQVPDFFinalizeProc Finalize = nullptr;
  TQVPDFSetIPropProc SetIProp = nullptr;
  TQVPDFDoProc Do = nullptr;
  TQVPDFInitializePageProc InitializePage = nullptr;
};

// The engine beside the program (build/bin -> build/lib), else wherever the loader finds it.
bool LoadEngine(Engine& engine) {
  std::vector<std::string> candidates;
  if (const char* named = std::getenv("VELLORA_ENGINE"); named != nullptr && *named != '\0') {
    candidates.push_back(named);
  } else {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error).parent_path();
    if (!error) {
      candidates.push_back((self / ".." / "lib" / QVPDF_LIBRARY_NAME).string());
      candidates.push_back((self / QVPDF_LIBRARY_NAME).string());
    }
    candidates.push_back(QVPDF_LIBRARY_NAME);
  }
  std::string reasons;
  for (const std::string& name : candidates) {
    void* library = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
      reasons += std::string("\n  ") + dlerror();
      continue;
    }
    engine.Initialize =
        reinterpret_cast<TQVPDFInitializeProc>(dlsym(library, QVPDF_SYMBOL_INITIALIZE));
    engine.Finalize = reinterpret_cast<TQVPDFFinalizeProc>(dlsym(library, QVPDF_SYMBOL_FINALIZE));
    engine.SetIProp = reinterpret_cast<TQVPDFSetIPropProc>(dlsym(library, QVPDF_SYMBOL_SETIPROP));
    engine.Do = reinterpret_cast<TQVPDFDoProc>(dlsym(library, QVPDF_SYMBOL_DO));
    engine.InitializePage =
        reinterpret_cast<TQVPDFInitializePageProc>(dlsym(library, QVPDF_SYMBOL_INITIALIZEPAGE));
    if (engine.Initialize && engine.Finalize && engine.SetIProp && engine.Do &&
        engine.InitializePage)
      return true;
    reasons += "\n  " + name + ": an entry point is missing";
  }
  std::fprintf(stderr, "emf2pdf: cannot load the engine library:%s\n", reasons.c_str());
  return false;
}

// The engine's messages that tell what it did rather than what went wrong.
constexpr std::int32_t kMessageFontEmbedded = 10;
constexpr std::int32_t kMessagePageBegun = 20;  // the page's size in device units

bool verbose = false;     // -v: notifications too
bool thumbnails = false;  // -t: every page gets a thumbnail
int encryptionBits = 0;   // -e: 40 or 128, 0 for none

// The engine gives a page's notification the prefix of an unknown code ("internal error ");
// printed, it says what the page is.
std::string Notification(std::int32_t code, const char* text) {
  std::string said = text != nullptr ? text : "";
  constexpr std::string_view kPrefix = "internal error ";
  if (code == kMessagePageBegun) {
    if (said.rfind(kPrefix, 0) == 0) said.erase(0, kPrefix.size());
    const std::size_t semicolon = said.find(';');
    if (semicolon != std::string::npos) said.replace(semicolon, 1, " x ");
    said = "page begun, " + said + " device units";
  }
  return said;
}

// Engine messages, printed as they come.
void OnEngineCallback(void* userData, std::int32_t kind, std::int32_t value, const char* text) {
  if (kind != QVPDF_CALLBACK_MESSAGE) return;
  const std::string& about = *static_cast<const std::string*>(userData);
  const bool notification = value == kMessageFontEmbedded || value == kMessagePageBegun;
  if (!notification)
    std::fprintf(stderr, "emf2pdf: %s: engine message %d: %s\n", about.c_str(), value, text);
  else if (verbose)
    std::fprintf(stderr, "emf2pdf: %s: engine notification %d: %s\n", about.c_str(), value,
                 Notification(value, text).c_str());
}

// The engine's diagnostics (the reason of a failed command) come through the platform's debug
// sink, which the program shares with the engine; they are collected while a document is made
// and printed after each step.
class Diagnostics {
 public:
  Diagnostics() { QvSetDebugLineHandler(&Diagnostics::Collect, this); }
  ~Diagnostics() { QvSetDebugLineHandler(nullptr, nullptr); }
  Diagnostics(const Diagnostics&) = delete;
  Diagnostics& operator=(const Diagnostics&) = delete;

  void Print(const std::string& about) {
    for (const std::string& line : lines_)
      std::fprintf(stderr, "emf2pdf: %s: %s\n", about.c_str(), line.c_str());
    lines_.clear();
  }

 private:
  // The sink calls one handler at a time; the program converts on one thread.
  static void Collect(void* self, const char* line) {
    static_cast<Diagnostics*>(self)->lines_.emplace_back(line);
  }
  std::vector<std::string> lines_;
};

// A page size in points from the picture frame (0.01 mm), else the bounds on the reference
// device, else A4; within the sizes a PDF page may have.
void PageSize(QvMetafileHandle metafile, std::int32_t& width, std::int32_t& height) {
  QvEnhMetaHeader h{};
  QvGetEnhMetaFileHeader(metafile, sizeof h, &h);
  auto points = [](double extent, double unitsPerPoint) {
    const double p = extent / unitsPerPoint;
    return std::isfinite(p) && p >= 1 && p <= 14400 ? static_cast<std::int32_t>(std::lround(p)) : 0;
  };
  width = points(double(h.rclFrame.right) - h.rclFrame.left, 2540.0 / 72);
  height = points(double(h.rclFrame.bottom) - h.rclFrame.top, 2540.0 / 72);
  if (width == 0 || height == 0) {
    // Device pixels per point from the reference device's size in pixels and millimetres.
    const double px = double(h.szlDevice.cx) / h.szlMillimeters.cx * 25.4 / 72;
    const double py = double(h.szlDevice.cy) / h.szlMillimeters.cy * 25.4 / 72;
    width = points(double(h.rclBounds.right) - h.rclBounds.left + 1, px);
    height = points(double(h.rclBounds.bottom) - h.rclBounds.top + 1, py);
  }
  if (width == 0 || height == 0) width = 595, height = 842;
  width = std::max(width, 3);
  height = std::max(height, 3);
}

// What a metafile holds of EMF+, the GDI+ records carried in comment records, which the engine
// does not draw. Most files that hold them also hold the picture in plain records, which are
// drawn; a file without plain drawing records gives a blank page.
enum class EmfPlus { kNone, kWithPlainDrawing, kOnly };

std::uint32_t ReadU32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8 |
         std::uint32_t(bytes[at + 2]) << 16 | std::uint32_t(bytes[at + 3]) << 24;
}

// Records that put ink on the page: lines, curves, shapes, paths, regions, bitmaps, text.
bool DrawsInk(std::uint32_t type) {
  static constexpr std::uint32_t kTypes[] = {2,  3,  4,  5,  6,  7,  8,   15,  42,  43, 44, 45,
                                             46, 47, 54, 55, 56, 62, 63,  64,  71,  72, 73, 74,
                                             76, 77, 78, 79, 80, 81, 83,  84,  85,  86, 87, 88,
                                             89, 90, 91, 92, 96, 97, 108, 114, 116, 118};
  return std::find(std::begin(kTypes), std::end(kTypes), type) != std::end(kTypes);
}

EmfPlus EmfPlusContent(QvMetafileHandle metafile) {
  std::vector<std::uint8_t> bytes(QvGetEnhMetaFileBits(metafile, 0, nullptr));
  bytes.resize(
      QvGetEnhMetaFileBits(metafile, static_cast<std::uint32_t>(bytes.size()), bytes.data()));
  constexpr std::uint32_t kGdiComment = 70;
  constexpr std::uint32_t kEmfPlusSignature = 0x2B464D45;  // "EMF+" after the data size
  bool plus = false, ink = false;
  for (std::size_t at = 0; at + 8 <= bytes.size();) {
    const std::uint32_t type = ReadU32(bytes, at);
    const std::uint32_t size = ReadU32(bytes, at + 4);
    if (size < 8 || size % 4 != 0 || size > bytes.size() - at) break;
    if (type == kGdiComment && size >= 16 && ReadU32(bytes, at + 12) == kEmfPlusSignature)
      plus = true;
    ink = ink || DrawsInk(type);
    at += size;
  }
  if (!plus) return EmfPlus::kNone;
  return ink ? EmfPlus::kWithPlainDrawing : EmfPlus::kOnly;
}

struct Input {
  std::string name;
  QvMetafileHandle handle = 0;
};

// Loads the inputs that are enhanced metafiles; false when any is not.
bool LoadInputs(const std::vector<std::string>& names, std::vector<Input>& inputs) {
  bool ok = true;
  for (const std::string& name : names) {
    int status = QV_METAFILE_OK;
    const QvMetafileHandle handle = QvGetEnhMetaFile(name.c_str(), &status);
    if (handle == 0) {
      std::fprintf(stderr, "emf2pdf: %s: %s\n", name.c_str(), QvMetafileStatusText(status));
      ok = false;
      continue;
    }
    switch (EmfPlusContent(handle)) {
      case EmfPlus::kNone:
        break;
      case EmfPlus::kWithPlainDrawing:
        std::fprintf(stderr,
                     "emf2pdf: %s: holds EMF+ records, which are not drawn; its plain records "
                     "are\n",
                     name.c_str());
        break;
      case EmfPlus::kOnly:
        std::fprintf(stderr,
                     "emf2pdf: %s: holds only EMF+ drawing, which is not drawn: its page stays "
                     "blank\n",
                     name.c_str());
        break;
    }
    inputs.push_back({name, handle});
  }
  return ok;
}

// One document of the inputs, one page each, written to output. False on any failure; a
// document that is not complete is removed.
bool Convert(const Engine& engine, const std::vector<Input>& inputs, const std::string& output) {
  Diagnostics diagnostics;
  std::string about = output;
  TQVPDFEngineContext* c = engine.Initialize(QVPDF_INTERFACE_VERSION, &OnEngineCallback, &about);
  if (c == nullptr) {
    std::fprintf(stderr, "emf2pdf: the engine refused the interface version\n");
    return false;
  }
  engine.SetIProp(c, QVPDF_IPROP_COMPRESS_STREAM_METHOD, QVPDF_COMPRESS_FLATE);
  engine.SetIProp(c, QVPDF_IPROP_MODES, QVPDF_BIT(QVPDF_MODE_CLIP_RECT_SUPPORT));
  if (encryptionBits != 0) {
    engine.SetIProp(c, QVPDF_IPROP_ENCRYPTION,
                    QVPDF_BIT(QVPDF_ENCRYPT_FILE) | QVPDF_BIT(QVPDF_ENABLE_PRINTING) |
                        QVPDF_BIT(QVPDF_ENABLE_COPYING));
    engine.SetIProp(c, QVPDF_IPROP_SECURITY,
                    encryptionBits == 128 ? QVPDF_SECURITY_128BIT : QVPDF_SECURITY_40BIT);
  }
  bool ok = engine.Do(c, QVPDF_CMD_BEGIN_DOC, 0, const_cast<char*>(output.c_str())) == 0;
  diagnostics.Print(output);
  for (std::size_t i = 0; ok && i < inputs.size(); ++i) {
    const Input& in = inputs[i];
    about = in.name;
    TQVPDFPageInit page{};
    PageSize(in.handle, page.Width, page.Height);
    page.XResolution = page.YResolution = 72;
    page.PageColor = QVPDF_COLOR_NONE;
    page.CreateThumbnails = thumbnails ? 1 : 0;
    // The picture stretched over the page; its own resolutions (0) come from its header.
    TQVPDFCommand place{};
    place.Width = page.Width;
    place.Height = page.Height;
    place.RecordForm = QVPDF_COMMAND_LONG_FORM;
    place.Metafile = in.handle;
    const bool damagedBefore = engine.Do(c, QVPDF_CMD_METAFILE_ERROR, 0, nullptr) == 1;
    const bool drawn = engine.InitializePage(c, 0, &page) == 1 &&
                       engine.Do(c, QVPDF_CMD_BEGIN_PAGE, 0, nullptr) == 0 &&
                       engine.Do(c, QVPDF_CMD_DRAW_METAFILE, 0, &place) == 0;
    const bool ended = engine.Do(c, QVPDF_CMD_END_PAGE, 0, nullptr) == 0;
    ok = drawn && ended;
    diagnostics.Print(in.name);
    if (!damagedBefore && engine.Do(c, QVPDF_CMD_METAFILE_ERROR, 0, nullptr) == 1)
      std::fprintf(stderr, "emf2pdf: %s: damaged metafile data, drawn as far as it goes\n",
                   in.name.c_str());
    if (!ok) std::fprintf(stderr, "emf2pdf: %s: cannot convert\n", in.name.c_str());
  }
  about = output;
  if (engine.Do(c, QVPDF_CMD_END_DOC, 0, nullptr) != 0) ok = false;
  const std::int32_t size = engine.Do(c, QVPDF_CMD_COPY_TO_BUFFER, 0, nullptr);
  engine.Do(c, QVPDF_CMD_CLOSE_OUTPUT_STREAM, 0, nullptr);
  diagnostics.Print(output);
  engine.Finalize(c);
  std::error_code error;
  if (ok && (size <= 0 || fs::file_size(output, error) != static_cast<std::uintmax_t>(size))) {
    std::fprintf(stderr, "emf2pdf: %s: no document was written\n", output.c_str());
    ok = false;
  }
  if (!ok) fs::remove(output, error);
  return ok;
}

void Release(const std::vector<Input>& inputs) {
  for (const Input& in : inputs) QvDeleteEnhMetaFile(in.handle);
}

int Usage() {
  std::fprintf(
      stderr,
      "usage: emf2pdf [-v] [-t] [-e BITS] IN.emf OUT.pdf\n"
      "       emf2pdf [-v] [-t] [-e BITS] -o OUT.pdf IN.emf...   (one document, a page per input)\n"
      "       emf2pdf [-v] [-t] [-e BITS] -d OUTDIR IN.emf...    (a document per input)\n"
      "  -v       also print the engine's notifications (pages begun, fonts embedded)\n"
      "  -t       give every page a thumbnail image\n"
      "  -e BITS  encrypt with a 40- or 128-bit key (no password; printing and copying\n"
      "           allowed)\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  // Options come first, in any order.
  while (!args.empty() && (args[0] == "-v" || args[0] == "-t" || args[0] == "-e")) {
    if (args[0] == "-e") {
      if (args.size() < 2 || (args[1] != "40" && args[1] != "128")) return Usage();
      encryptionBits = std::stoi(args[1]);
      args.erase(args.begin());
    } else if (args[0] == "-v") {
      verbose = true;
    } else {
      thumbnails = true;
    }
    args.erase(args.begin());
  }
  std::string mode, target;
  std::vector<std::string> names;
  if (args.size() >= 3 && (args[0] == "-o" || args[0] == "-d")) {
    mode = args[0];
    target = args[1];
    names.assign(args.begin() + 2, args.end());
  } else if (args.size() == 2 && args[0].rfind('-', 0) != 0) {
    mode = "-o";
    target = args[1];
    names.push_back(args[0]);
  } else {
    return Usage();
  }

  Engine engine;
  if (!LoadEngine(engine)) return 1;
  bool ok = true;
  if (mode == "-o") {
    std::vector<Input> inputs;
    ok = LoadInputs(names, inputs);
    if (!inputs.empty()) ok = Convert(engine, inputs, target) && ok;
    Release(inputs);
  } else {
    std::error_code error;
    fs::create_directories(target, error);
    std::set<std::string> used;
    for (const std::string& name : names) {
      std::vector<Input> inputs;
      if (!LoadInputs({name}, inputs)) {
        ok = false;
        continue;
      }
      // Inputs of the same name from different folders get numbered outputs.
      const std::string stem = fs::path(name).stem().string();
      std::string output = (fs::path(target) / (stem + ".pdf")).string();
      for (int n = 2; !used.insert(output).second; ++n)
        output = (fs::path(target) / (stem + "-" + std::to_string(n) + ".pdf")).string();
      ok = Convert(engine, inputs, output) && ok;
      Release(inputs);
    }
  }
  return ok ? 0 : 1;
}
