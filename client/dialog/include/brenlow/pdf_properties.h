// TQVPDFProperties: shows the property dialog for one component. The component is referred
// to, not owned; when it is destroyed the reference becomes empty.
#pragma once

#include "brenlow/component_reference.h"

namespace brenlow {

class TQVCustomPDFExport;

class TQVPDFProperties {
 public:
  TQVCustomPDFExport* PDFPrinter() const { return printer_.Get(); }
  void SetPDFPrinter(TQVCustomPDFExport* printer) { printer_.Reset(printer); }
  bool ShowStartButton() const { return showStartButton_; }
  void SetShowStartButton(bool v) { showStartButton_ = v; }
  // Whether the user can reach the "PDF Reading" sheet (input file and its mode).
  bool ShowInputModes() const { return showInputModes_; }
  void SetShowInputModes(bool v) { showInputModes_ = v; }

  // Shows the dialog modally; true when the user confirmed. Raises std::runtime_error
  // "PDFPrinter was not assigned" without a component.
  bool Execute();

 private:
  TComponentReference printer_;
  bool showStartButton_ = false;
  bool showInputModes_ = false;
};

}  // namespace brenlow
