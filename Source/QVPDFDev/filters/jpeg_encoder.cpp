#include "QVPDFDev/filters/jpeg_encoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <jerror.h>
#include <jpeglib.h>

#include "qvplatform/debug_output.h"

#ifndef JCS_EXTENSIONS
#error "the JPEG encoder needs libjpeg-turbo's extended input colour spaces (JCS_EXT_BGR)"
#endif

namespace vellora {
namespace {

// Everything the compression touches lives here, outside the frame that calls setjmp, so that
// nothing that frame reads after a longjmp is one of its own changed locals. Plain data only:
// a longjmp skips no destructor.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  int code;
};

struct Destination {
  jpeg_destination_mgr pub;
  JOCTET* buffer;  // malloc'd; grows by doubling
  std::size_t capacity;
  std::size_t used;
};

struct CompressState {
  jpeg_compress_struct cinfo;
  ErrorManager error;
  Destination destination;
  bool created;
};

struct CompressJob {
  const std::uint8_t* firstRow;
  std::ptrdiff_t rowStep;
  void (*fill)(const void* fillContext, int y, std::uint8_t* bgr);  // null: rows in memory
  const void* fillContext;
  std::uint8_t* rowBuffer;  // one row for fill
  JDIMENSION width;
  JDIMENSION height;
  int quality;
  bool grayscale;
  bool progressive;
};

constexpr std::size_t kMinOutput = 4096;
constexpr std::size_t kMaxFirstOutput = std::size_t{16} << 20;

void ErrorExit(j_common_ptr cinfo) {
  ErrorManager* error = reinterpret_cast<ErrorManager*>(cinfo->err);
  error->code = cinfo->err->msg_code;
  std::longjmp(error->jump, 1);
}
void EmitMessage(j_common_ptr, int) {}
void OutputMessage(j_common_ptr) {}
void FormatMessage(j_common_ptr, char* buffer) { buffer[0] = '\0'; }
void ResetErrorManager(j_common_ptr cinfo) {
  cinfo->err->num_warnings = 0;
  cinfo->err->msg_code = 0;
}

Destination* DestinationOf(j_compress_ptr cinfo) {
  return reinterpret_cast<Destination*>(cinfo->dest);
}

void InitDestination(j_compress_ptr cinfo) {
  Destination* d = DestinationOf(cinfo);
  d->pub.next_output_byte = d->buffer;
  d->pub.free_in_buffer = d->capacity;
}

// Called with the whole buffer full.
boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  Destination* d = DestinationOf(cinfo);
  const std::size_t grown = d->capacity * 2;
  void* bigger = grown > d->capacity ? std::realloc(d->buffer, grown) : nullptr;
  if (bigger == nullptr) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
  d->buffer = static_cast<JOCTET*>(bigger);
  d->pub.next_output_byte = d->buffer + d->capacity;
  d->pub.free_in_buffer = grown - d->capacity;
  d->capacity = grown;
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  Destination* d = DestinationOf(cinfo);
  d->used = d->capacity - d->pub.free_in_buffer;
}

// The C-style frame: libjpeg's errors longjmp back here. Returns 0 on success, else the
// library's message code (or -1 when it gave none).
int Compress(CompressState* s, const CompressJob* job) {
  j_compress_ptr cinfo = &s->cinfo;
  cinfo->err = jpeg_std_error(&s->error.pub);
  s->error.pub.error_exit = ErrorExit;
  s->error.pub.emit_message = EmitMessage;
  s->error.pub.output_message = OutputMessage;
  s->error.pub.format_message = FormatMessage;
  s->error.pub.reset_error_mgr = ResetErrorManager;
  s->error.code = 0;
  if (setjmp(s->error.jump) != 0) {
    if (s->created) jpeg_destroy_compress(&s->cinfo);
    std::free(s->destination.buffer);
    s->destination.buffer = nullptr;
    return s->error.code != 0 ? s->error.code : -1;
  }
  jpeg_create_compress(cinfo);
  s->created = true;

  const std::uint64_t estimate = std::uint64_t{job->width} * job->height / 2;
  s->destination.capacity = static_cast<std::size_t>(
      estimate < kMinOutput ? kMinOutput
                            : (estimate > kMaxFirstOutput ? kMaxFirstOutput : estimate));
  s->destination.buffer = static_cast<JOCTET*>(std::malloc(s->destination.capacity));
  if (s->destination.buffer == nullptr) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
  s->destination.pub.init_destination = InitDestination;
  s->destination.pub.empty_output_buffer = EmptyOutputBuffer;
  s->destination.pub.term_destination = TermDestination;
  cinfo->dest = &s->destination.pub;

  cinfo->image_width = job->width;
  cinfo->image_height = job->height;
  cinfo->input_components = 3;
  cinfo->in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(cinfo);
  jpeg_set_quality(cinfo, job->quality, TRUE);
  if (job->grayscale) jpeg_set_colorspace(cinfo, JCS_GRAYSCALE);
  if (job->progressive) jpeg_simple_progression(cinfo);
  jpeg_start_compress(cinfo, TRUE);
  while (cinfo->next_scanline < cinfo->image_height) {
    JSAMPROW row = job->rowBuffer;
    if (job->fill != nullptr) {
      job->fill(job->fillContext, static_cast<int>(cinfo->next_scanline), job->rowBuffer);
    } else {
      // libjpeg reads the row and never writes it; its prototype is not const.
      row =
          const_cast<JSAMPROW>(job->firstRow + std::ptrdiff_t(cinfo->next_scanline) * job->rowStep);
    }
    jpeg_write_scanlines(cinfo, &row, 1);
  }
  jpeg_finish_compress(cinfo);
  jpeg_destroy_compress(cinfo);
  s->created = false;
  return 0;
}

// Encodes valid rows and appends the bytes to *out; the message code on failure (out is then
// unchanged).
int EncodeRows(const TBgrRows& rows, int quality, bool grayscale, bool progressive,
               std::vector<std::uint8_t>* out) {
  CompressJob job;
  job.rowStep = std::ptrdiff_t(rows.stride);
  job.firstRow = rows.data;
  job.fill = rows.fill;
  job.fillContext = rows.fillContext;
  std::vector<std::uint8_t> rowBuffer;
  if (rows.fill != nullptr) rowBuffer.resize(std::size_t(rows.width) * 3);
  job.rowBuffer = rowBuffer.data();
  if (rows.bottomUp && rows.fill == nullptr) {
    job.firstRow = rows.data + std::size_t(rows.height - 1) * rows.stride;
    job.rowStep = -job.rowStep;
  }
  job.width = JDIMENSION(rows.width);
  job.height = JDIMENSION(rows.height);
  job.quality = quality;
  job.grayscale = grayscale;
  job.progressive = progressive;

  CompressState state;
  std::memset(&state, 0, sizeof(state));
  const int code = Compress(&state, &job);
  if (code != 0) return code;
  try {
    out->insert(out->end(), state.destination.buffer,
                state.destination.buffer + state.destination.used);
  } catch (...) {
    std::free(state.destination.buffer);
    throw;
  }
  std::free(state.destination.buffer);
  return 0;
}

}  // namespace

EJPEG::EJPEG(int code) : std::runtime_error("JPEG error #" + std::to_string(code)), code_(code) {}

bool TBgrRows::Valid() const {
  if (width <= 0 || height <= 0) return false;
  if (fill != nullptr) return true;
  if (data == nullptr) return false;
  const std::uint64_t rowBytes = std::uint64_t(width) * 3;
  if (stride < rowBytes) return false;
  const std::uint64_t last = std::uint64_t(height - 1) * stride;
  return last <= size && rowBytes <= size - last;
}

bool TJPEGImage::EncodePixels(const TBgrRows& rows, std::vector<std::uint8_t>* target) {
  int code = -1;
  std::vector<std::uint8_t> encoded;
  if (rows.Valid()) code = EncodeRows(rows, quality_, grayscale_, progressive_, &encoded);
  if (code != 0) {
    data_ = TJPEGData{};
    qvplatform::OutputDebugString("Folvio: Problem when compressing JPEG Data");
    return false;
  }
  if (target != nullptr) {
    target->insert(target->end(), encoded.begin(), encoded.end());
    return true;
  }
  data_.data = std::move(encoded);
  data_.width = rows.width;
  data_.height = rows.height;
  data_.grayscale = grayscale_;
  return true;
}

void TJPEGImage::EncodeBitmap(const TBgrRows& rows) {
  data_ = TJPEGData{};
  if (rows.width == 0 || rows.height == 0) return;
  if (!rows.Valid()) throw std::invalid_argument("JPEG rows outside their buffer");
  std::vector<std::uint8_t> encoded;
  const int code = EncodeRows(rows, quality_, grayscale_, progressive_, &encoded);
  if (code != 0) throw EJPEG(code);
  data_.data = std::move(encoded);
  data_.width = rows.width;
  data_.height = rows.height;
  data_.grayscale = grayscale_;
}

void TJPEGImage::SaveToStream(std::vector<std::uint8_t>& out) const {
  out.insert(out.end(), data_.data.begin(), data_.data.end());
}

void TJPEGImage::LoadFromStream(const std::vector<std::uint8_t>&) {
  throw std::runtime_error("Not supported");
}

void TJPEGImage::SetHeight(int) {
  throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

}  // namespace vellora
