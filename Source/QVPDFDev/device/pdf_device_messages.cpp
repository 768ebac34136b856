// The numbered messages of the PDF device: their texts and their three receivers.
#include <algorithm>
#include <limits>

#include "QVPDFDev/device/pdf_device.h"

namespace vellora {

std::string TQVPDFDevice::MessageText(std::int32_t code, std::string_view text) {
  std::string message;
  switch (code) {
    case 1:
      message = "Bookmark \"";
      message += text;
      message += "\" not found";
      return message;
    case 2:
      return "Invalid bitmap";
    case 3:
      message = "Cannot open file ";
      break;
    case 4:
      message = "Metafile error ";
      break;
    case 6:
      message = "Problem in importfile ";
      break;
    case 7:
      return "Page has not been started";
    case 8:
      return "Page already started";
    case 10:
      message = "Embed Font: ";
      break;
    case 11:
      break;
    case 12:
      message = "Cannot embed Font: ";
      break;
    default:
      message = "internal error ";
      break;
  }
  message += text;
  return message;
}

void TQVPDFDevice::ReportMessage(std::int32_t code, std::string_view text) {
  const std::string message = MessageText(code, text);
  // A message never stops the document: whatever a receiver throws stays here.
  if (receivers.messageCallback != nullptr) {
    try {
      const std::size_t length =
          std::min<std::size_t>(message.size(), std::numeric_limits<std::int32_t>::max());
      receivers.messageCallback(receivers.callbackUserData, code, message.c_str(),
                                static_cast<std::int32_t>(length));
    } catch (...) {
    }
  }
  if (receivers.onMessage) {
    try {
      receivers.onMessage(*this, 1, message, code);
    } catch (...) {
    }
  }
  if (receivers.engineCallback != nullptr) {
    try {
      receivers.engineCallback(receivers.engineUserData, 1, code, message.c_str());
    } catch (...) {
    }
  }
}

}  // namespace vellora
