#include "fake_engine_test.h"

#include <dlfcn.h>

extern "C" __attribute__((visibility("default"))) fake_engine::Log* FakeEngineLogHook() {
  static fake_engine::Log log;
  return &log;
}

namespace brenlow_test {

fake_engine::Log& FakeLog() { return *FakeEngineLogHook(); }

void UseEngineLibrary(const std::string& path) {
  brenlow::TQVCustomPDFExport setter;
  setter.SetDLLName(path);
}

std::vector<fake_engine::Call> CallsOf(const std::string& entry) {
  std::vector<fake_engine::Call> out;
  for (const fake_engine::Call& c : FakeLog().Calls())
    if (c.entry == entry) out.push_back(c);
  return out;
}

std::vector<int> Commands() {
  std::vector<int> out;
  for (const fake_engine::Call& c : CallsOf("Do")) out.push_back(c.key);
  return out;
}

std::vector<int> Keys(const std::string& entry) {
  std::vector<int> out;
  for (const fake_engine::Call& c : CallsOf(entry)) out.push_back(c.key);
  return out;
}

std::string StringProperty(int key) {
  std::string text = "<unset>";
  for (const fake_engine::Call& c : CallsOf("SetSProp"))
    if (c.key == key) text = c.text;
  return text;
}

int IntegerProperty(int key) {
  int value = -12345;
  for (const fake_engine::Call& c : CallsOf("SetIProp"))
    if (c.key == key) value = c.value;
  return value;
}

std::string FailureOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

bool LibraryLoaded(const std::string& path) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle);
  return handle != nullptr;
}

void FakeEngineTest::SetUp() {
  FakeLog().Reset();
  UseEngineLibrary(FAKE_ENGINE);
}

void FakeEngineTest::TearDown() {
  EXPECT_EQ(brenlow::EngineLibraryReferenceCount(), 0) << "a component kept the library";
}

}  // namespace brenlow_test
