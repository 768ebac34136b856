// Finding, loading, sharing and freeing the engine library, and the properties that reach a
// running engine at once.
#include <cstdlib>
#include <fstream>

#include "fake_engine_test.h"

namespace brenlow_test {
namespace {

using namespace brenlow;

class EngineBindingTest : public FakeEngineTest {
 protected:
  // hkcu.ini in the test's folder, which the registry then reads.
  void WriteRegistry(const std::string& text) {
    std::ofstream(OutputFile("hkcu.ini")) << text;
    setenv("BRENLOW_REGISTRY_DIR", folder_.Path().c_str(), 1);
  }
  void TearDown() override {
    unsetenv("BRENLOW_REGISTRY_DIR");
    FakeEngineTest::TearDown();
  }
};

TEST_F(EngineBindingTest, ComponentsShareOneLoadedLibraryUntilTheLastUnloads) {
  {
    TQVPDFPrinter first;
    EXPECT_EQ(first.ClassName(), "TQVPDFPrinter");
    EXPECT_EQ(static_cast<TQVCustomPDFExport&>(first).ClassName(), "TQVPDFPrinter");
    TQVCustomPDFExport second;
    EXPECT_EQ(second.ClassName(), "TQVCustomPDFExport");
    first.LoadEngine(EngineLibraryName());
    second.LoadEngine(EngineLibraryName());
    second.LoadEngine(EngineLibraryName());  // a component holds one reference at most
    EXPECT_EQ(EngineLibraryReferenceCount(), 2);
    first.UnloadEngine();
    EXPECT_EQ(EngineLibraryReferenceCount(), 1);
    EXPECT_TRUE(LibraryLoaded(FAKE_ENGINE));
  }
  EXPECT_EQ(EngineLibraryReferenceCount(), 0);
  EXPECT_FALSE(LibraryLoaded(FAKE_ENGINE));
}

TEST_F(EngineBindingTest, LoadFailuresNameTheLibraryAndHoldNothing) {
  struct Case {
    std::string name, registry, message;
  };
  const std::string missing = OutputFile("missing.so");
  const Case cases[] = {
      {missing, "", "DLL \"" + missing + "\" was not found. PDF Export is not possible."},
      {"", "", "DLL \"\" was not found. PDF Export is not possible."},
      // A registry value that is missing gives an empty name.
      {"{hkcu}Software\\Torvane\\Folvio\\3.0\\path", "[Software\\Other]\npath=x\n",
       "DLL \"\" was not found. PDF Export is not possible."},
      {FAKE_ENGINE_WITHOUT_DO, "",
       "DLL \"" FAKE_ENGINE_WITHOUT_DO "\" is not compatible. PDF Export is not possible."},
  };
  for (const Case& c : cases) {
    WriteRegistry(c.registry);
    UseEngineLibrary(c.name);
    TQVPDFPrinter printer;
    printer.SetInMemoryMode(true);
    EXPECT_EQ(FailureOf([&] { printer.BeginDoc(); }), c.message);
    EXPECT_FALSE(printer.EngineHeld());
    EXPECT_EQ(EngineLibraryReferenceCount(), 0);
  }
  EXPECT_FALSE(LibraryLoaded(FAKE_ENGINE_WITHOUT_DO)) << "an incompatible library stays loaded";
}

TEST_F(EngineBindingTest, RegistryReferencesNameTheLibrary) {
  WriteRegistry("[Software\\Torvane\\Folvio\\3.0]\npath = " FAKE_ENGINE "\n[]\nroot=" FAKE_ENGINE
                "\n");
  for (const char* reference : {"{HKCU}Software\\Torvane\\Folvio\\3.0\\path",
                                "{hkcu}software\\torvane\\folvio\\3.0\\PATH", "{hkcu}root"}) {
    EXPECT_EQ(ResolveEngineLibraryPath(reference), FAKE_ENGINE) << reference;
  }
  UseEngineLibrary("{HKCU}Software\\Torvane\\Folvio\\3.0\\path");
  TQVPDFPrinter printer;
  EXPECT_TRUE(printer.LoadEngine(EngineLibraryName()));
  EXPECT_TRUE(LibraryLoaded(FAKE_ENGINE));
  EXPECT_EQ(ResolveEngineLibraryPath("relative/lib.so"), "relative/lib.so");
}

TEST_F(EngineBindingTest, TheLibraryNameChangesOnlyWithoutAnOpenDocument) {
  TQVPDFPrinter printer;
  printer.SetInMemoryMode(true);
  printer.BeginDoc();
  printer.SetDLLName(FAKE_ENGINE);  // the same name: nothing happens
  EXPECT_EQ(FailureOf([&] { printer.SetDLLName(FAKE_ENGINE_PROCESS_PDF); }),
            "DLL is in use. Cannot unload it");
  printer.EndDoc();
  printer.SetDLLName(FAKE_ENGINE_PROCESS_PDF);
  EXPECT_FALSE(printer.EngineHeld());
  EXPECT_FALSE(LibraryLoaded(FAKE_ENGINE));
  EXPECT_EQ(EngineLibraryName(), FAKE_ENGINE_PROCESS_PDF);
}

TEST_F(EngineBindingTest, AContextLeftByAFailedBeginIsFinalisedBeforeItsLibraryGoes) {
  TQVPDFPrinter printer;
  printer.SetInMemoryMode(true);
  FakeLog().results[QVPDF_CMD_BEGIN_DOC] = 1;
  EXPECT_EQ(FailureOf([&] { printer.BeginDoc(); }), "Error in BeginDoc!");
  ASSERT_NE(printer.EngineContext(), nullptr);
  const void* context = printer.EngineContext();
  printer.SetDLLName(FAKE_ENGINE_PROCESS_PDF);
  const auto finalized = CallsOf("Finalize");
  ASSERT_EQ(finalized.size(), 1u);
  EXPECT_EQ(finalized[0].context, context);
  EXPECT_EQ(printer.EngineContext(), nullptr);
}

TEST_F(EngineBindingTest, InitializationFailureIsReported) {
  TQVPDFPrinter printer;
  printer.SetInMemoryMode(true);
  FakeLog().initializeFails = true;
  EXPECT_EQ(FailureOf([&] { printer.BeginDoc(); }), "Initialization of PDF Engine failed");
  EXPECT_FALSE(printer.InDocument());
}

TEST(ExportModesTest, ThePickedResolutionModeWins) {
  struct Case {
    TQVDevModes before, set, after;
  };
  const TQVDevMode always = qvAlwaysHighResPDF, never = qvNeverHighResPDF;
  const Case cases[] = {
      {{}, {always, never}, {always}},
      {{never}, {always, never}, {always}},
      {{always}, {always, never}, {never}},
      {{always}, {never}, {never}},
      {{never}, {always}, {always}},
      {{}, {qvClipRectSupport, never}, {qvClipRectSupport, never}},
  };
  for (const Case& c : cases) {
    TQVCustomPDFExport e;
    e.SetModes(c.before);
    e.SetModes(c.set);
    EXPECT_EQ(e.Modes().Value(), c.after.Value())
        << "before " << c.before.Value() << " set " << c.set.Value();
  }
}

TEST_F(EngineBindingTest, ForwardingSettersReachOnlyARunningEngine) {
  TQVPDFPrinter printer;
  printer.SetInMemoryMode(true);
  printer.SetJPEGQuality(qvJPEG_75);
  printer.SetMergeStart("between");
  printer.SetOptions({qvHideToolbar});
  printer.SetModes({qvExactTextPositioning});
  EXPECT_TRUE(FakeLog().Calls().empty());
  printer.BeginDoc();
  FakeLog().Reset();
  printer.SetJPEGQuality(qvJPEG_100);
  printer.SetMergeStart("during");
  printer.SetOptions({qvHideMenuBar});
  printer.SetModes({qvClipRectSupport});
  EXPECT_EQ(Keys("SetIProp"), (std::vector<int>{12, 27, 26}));
  EXPECT_EQ(IntegerProperty(12), 5);
  EXPECT_EQ(IntegerProperty(27), 1 << qvHideMenuBar);
  EXPECT_EQ(IntegerProperty(26), 1 << qvClipRectSupport);
  EXPECT_EQ(StringProperty(14), "during");
  printer.EndDoc();
}

TEST(ExportAssignTest, CopiesSettingsButNotTheOutput) {
  TQVPDFPrinter source;
  source.SetFilename("a.pdf");
  source.SetInMemoryMode(true);
  source.SetConvertJPEGData(true);
  source.SetDebugMode(true);
  source.SetDebugMetafilePath("/tmp/d");
  source.SetSecurity(qvp128bit);
  source.SetPageColor(7);
  source.Info().SetTitle("T");
  source.ExcludedFonts().Add("Arial");
  source.OnError = [](TQVCustomPDFExport&, int, const std::string&) {};
  source.OnUpdateGauge = [](TQVCustomPDFExport&, int) {};
  TQVPDFPrinter copy;
  copy.Assign(source);
  EXPECT_EQ(copy.Filename(), "");
  EXPECT_FALSE(copy.InMemoryMode());
  EXPECT_FALSE(copy.ConvertJPEGData());
  EXPECT_FALSE(copy.OnUpdateGauge);
  EXPECT_TRUE(copy.DebugMode());
  EXPECT_EQ(copy.DebugMetafilePath(), "/tmp/d");
  EXPECT_EQ(copy.Security(), qvp128bit);
  EXPECT_EQ(copy.PageColor(), 7u);
  EXPECT_EQ(copy.Info().Title(), "T");
  EXPECT_EQ(copy.ExcludedFonts().CommaText(), "Arial");
  EXPECT_TRUE(copy.OnError);
}

}  // namespace
}  // namespace brenlow_test
