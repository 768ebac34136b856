// _QVPDF_QVKEXEC: a word processor's paint elements (text runs, images, rule lines, filled
// rectangles) drawn straight into the open page of a context, through the same drawing
// operations as the metafile player.
#pragma once

#include "QVK2PDFDLL/engine_context.h"

namespace vellora {

// Paints one element into the open page or form. Nothing without an element, a rectangle or
// an open page, and nothing while a command of the context runs (from inside the engine's
// callback). Coordinates are twips turned into the page's device units, or device units
// already when the element resolution is QVPDF_ELEMENT_PAGE_UNITS or more; x is taken from
// the page record's origin x. The device draws at the page's resolution during the call and
// is set back to no direct-drawing resolution after it, whatever happens. An image element
// receives its image number in ImageNumber. May raise; the entry point swallows it.
void PaintElement(TQVPDFEngineContext& context, TQVPDFElement* element,
                  const TQVPDFElementRect* rect, const char* text);

}  // namespace vellora
