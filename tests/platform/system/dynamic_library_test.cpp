#include <gtest/gtest.h>

#include "qvplatform/dynamic_library.h"

namespace {

using namespace qvplatform;

TEST(DynamicLibraryTest, LoadsBindsAndFrees) {
  HMODULE library = LoadLibrary(FAKE_ENGINE);
  ASSERT_NE(library, nullptr) << LastLibraryError();
  EXPECT_NE(GetProcAddress(library, "QVPDF_Initialize"), nullptr);
  EXPECT_EQ(GetProcAddress(library, "QVPDF_ProcessPDF"), nullptr);
  EXPECT_NE(LastLibraryError(), "");
  EXPECT_EQ(GetProcAddress(library, nullptr), nullptr);
  EXPECT_TRUE(FreeLibrary(library));
}

TEST(DynamicLibraryTest, NamesThatLoadNothingFail) {
  // An empty name would give the program itself.
  for (const char* name : {"", static_cast<const char*>(nullptr), "/no/such/library.so"}) {
    EXPECT_EQ(LoadLibrary(name), nullptr);
    EXPECT_NE(LastLibraryError(), "");
  }
  EXPECT_EQ(GetProcAddress(nullptr, "main"), nullptr);
  EXPECT_FALSE(FreeLibrary(nullptr));
}

}  // namespace
