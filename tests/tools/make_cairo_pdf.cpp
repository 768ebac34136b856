// Writes a PDF with cairo, as another program makes one: make_cairo_pdf FILE PAGES. Page k is
// 300 x 400 points and shows "Marker page k" at (30, 100) from its top left, with a filled box.
#include <cairo-pdf.h>
#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// cairo's fonts keep fontconfig's data to the end of the process; that is fontconfig's, not a
// leak of this program.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_cairo_pdf FILE PAGES\n");
    return 2;
  }
  const int pages = std::atoi(argv[2]);
  cairo_surface_t* surface = cairo_pdf_surface_create(argv[1], 300, 400);
  cairo_t* cr = cairo_create(surface);
  for (int k = 1; k <= pages; ++k) {
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_rectangle(cr, 200, 300, 60, 40);
    cairo_fill(cr);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 20);
    cairo_move_to(cr, 30, 100);
    cairo_show_text(cr, ("Marker page " + std::to_string(k)).c_str());
    cairo_show_page(cr);
  }
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  const bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return ok ? 0 : 1;
}
