// Tests of the component against the fake engine: the fixture points the process-wide library
// name at a fake variant, clears the log, and checks that every test leaves the library unloaded.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "brenlow/pdf_printer.h"
#include "fake_engine/fake_engine_log.h"
#include "temp_files.h"

namespace brenlow_test {

fake_engine::Log& FakeLog();

// Points the library name at path (no component may hold the library).
void UseEngineLibrary(const std::string& path);

// The calls of one entry, in order.
std::vector<fake_engine::Call> CallsOf(const std::string& entry);
// The commands sent with QVPDF_Do, in order.
std::vector<int> Commands();
// The keys of SetIProp or SetSProp calls, in order.
std::vector<int> Keys(const std::string& entry);
// The value of the last SetSProp (text) or SetIProp (value) call of a key.
std::string StringProperty(int key);
int IntegerProperty(int key);

// The text of what action raises, "" when it raises nothing.
std::string FailureOf(const std::function<void()>& action);

// True while the library at path is loaded in the process.
bool LibraryLoaded(const std::string& path);

class FakeEngineTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A file name in the test's folder.
  std::string OutputFile(const std::string& name) const { return folder_.File(name).string(); }

  vellora_test::TempDir folder_{"brenlow-test"};
};

}  // namespace brenlow_test
