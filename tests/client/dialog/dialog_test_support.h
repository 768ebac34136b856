// Shared by the dialog's tests: a shown form for a component, its controls by name, and the
// modal dialog that Execute opens, inspected and closed from the event loop.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTabWidget>
#include <QWidget>
#include <functional>
#include <memory>

#include "brenlow/pdf_printer.h"
#include "brenlow/pdf_properties.h"
#include "brenlow/pdf_property_form.h"

namespace brenlow_test {

// A shown form that edits printer.
std::unique_ptr<brenlow::TQVPDFPropertyForm> ShownForm(brenlow::TQVCustomPDFExport& printer);

template <class Widget>
Widget& Control(const QWidget& form, const char* name) {
  Widget* w = form.findChild<Widget*>(name);
  if (w == nullptr) throw std::runtime_error(std::string("no control ") + name);
  return *w;
}

// Toggles a check box as the user does with the keyboard.
void Toggle(QAbstractButton& box);

// Whether the tab of the sheet of that name can be reached.
bool TabShown(const QWidget& form, const char* sheetName);

// Runs Execute; inspect sees the open dialog, which is then closed with the button of that
// name. Returns Execute's result.
bool ExecuteAndClose(brenlow::TQVPDFProperties& properties,
                     const std::function<void(QWidget& dialog)>& inspect, const char* button);

}  // namespace brenlow_test
