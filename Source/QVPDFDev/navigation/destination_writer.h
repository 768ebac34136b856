// Destinations as links, global named destinations and outline entries write them:
// "/Dest [ 3 0 R /XYZ x Y zoom]", or the bare array body. Coordinates come in device units
// with y measured from the top and are written in points with y from the bottom.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "QVPDFDev/navigation/destination_list.h"

namespace vellora {

class TQVPDFPage;

// What the destination writer reads from the PDF device at the time of writing. The PDF
// device implements it; outline entries find it as their owner.
class TQVDestinationHost {
 public:
  // Device units per inch (a value of 0 or less counts as 72).
  virtual std::int32_t DestinationXResolution() const = 0;
  virtual std::int32_t DestinationYResolution() const = 0;
  // The height in points of the device's current page: flips y when no page is known.
  virtual double CurrentPageHeight() const = 0;
  virtual const TQVLocalDestinations& LocalDestinations() const = 0;
  // A numbered message of the device; code 1 with the name when a name is not found.
  virtual void ReportMessage(std::int32_t code, std::string_view text) = 0;

 protected:
  ~TQVDestinationHost() = default;
};

// Modes: 0 XYZ, 1 Fit, 2 FitV, 3 FitH, 4 FitR, 5 FitB, 6 FitBV, 7 FitBH, other FitB.
// Coordinates are converted with the resolutions given here, else with those of the page,
// else with the host's: a position keeps the scale it was given in, whatever page follows.
struct TQVDestination {
  TQVPDFPage* page = nullptr;
  std::int32_t mode = 0;
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t zoom = 0;
  std::int32_t xResolution = 0;
  std::int32_t yResolution = 0;
};

// With a name: the first local destination of that name (page, position and resolutions
// from it, mode and zoom 0), or none after message 1 with the name. Without a name: the destination
// as given.
std::optional<TQVDestination> ResolveDestination(TQVDestinationHost& host,
                                                 const TQVDestination& given,
                                                 std::string_view name);

// The text of a resolved destination: "/Dest [ " (unless bare), the page's reference and a
// blank when a page is known, the mode with its numbers, "]" (unless bare).
std::string FormatDestination(const TQVDestinationHost& host, const TQVDestination& dest,
                              bool bare);

// The destination of a registered position: XYZ at its place with zoom 0.
TQVDestination PositionDestination(const TFolvioDestName& position);

// ResolveDestination and FormatDestination in one; empty when the name is not found.
std::string WriteDestination(TQVDestinationHost& host, TQVPDFPage* page, std::int32_t mode,
                             std::int32_t x, std::int32_t y, std::int32_t width,
                             std::int32_t height, std::int32_t zoom, std::string_view name,
                             bool bare);

}  // namespace vellora
