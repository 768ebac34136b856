// The demonstration program's form as tests build it: its message box, file chooser and
// program folder replaced, the launcher recording instead of opening, the fake engine's log
// cleared (FakeEngineTest).
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <memory>
#include <string>
#include <vector>

#include "fake_engine_test.h"
#include "preview_form.h"

namespace brenlow_test {

class DemoFormTest : public FakeEngineTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A new form started with these arguments after the program's name.
  brenlow::TForm1& StartForm(const std::vector<std::string>& arguments = {});
  brenlow::TForm1& Form() { return *form_; }
  QLineEdit& Edit1();
  QCheckBox& Box(const char* name);
  // Load EMF File with file as the user's choice.
  void Load(const std::string& file);
  // Export to PDF with library as Edit1's text.
  void Export(const std::string& library);
  std::string ProgramFolder() const { return folder_.Path().string() + "/"; }

  std::vector<std::string> messages_;
  std::vector<std::string> launched_;
  std::string chosenFile_;
  std::unique_ptr<brenlow::TForm1> form_;
};

}  // namespace brenlow_test
