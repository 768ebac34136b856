// The form-field and action commands of QVPDF_Do: a form field (5575), a named JavaScript
// action (5577) and the binding of an action to a document event (5578). Each raises for a
// failure; the entry point turns it into -1.
#pragma once

#include <cstdint>

#include "QVK2PDFDLL/engine_context.h"

namespace vellora {

// 5575: a check box or a text field over the head's X, Y, Width, Height (device units of the
// page, converted to points with the device's resolutions), its value and tooltip read
// behind the record's pointers (8-bit, or UTF-8 with QVPDF_FIELD_UTF8). Fields are named
// "Field" + the form-field counter, "Field2" first. Raises without a record or an open page.
std::int32_t AddFormFieldCommand(TQVPDFEngineContext& context, const TQVPDFCommand* record);

// 5577: the record is the text "name=script"; the action's object number, -1 without a
// record, without "=", or in PDF/A.
std::int32_t AddJavaScriptCommand(TQVPDFEngineContext& context, const void* record);

// 5578: the record is the text "event=action name" (both upper-cased); "OPENACTION" makes the
// named actions open actions. Always -1.
std::int32_t BindDocumentActionCommand(TQVPDFEngineContext& context, const void* record);

}  // namespace vellora
