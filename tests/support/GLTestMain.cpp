// Entry point of GL test executables: starts wxWidgets (no event loop runs;
// the harness yields to it) before the tests.

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/log.h>

#include <cstdio>

namespace {

class GLTestApp : public wxApp {
 public:
  bool OnInit() override { return true; }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  wxApp::SetInstance(new GLTestApp);
  if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
    std::fprintf(stderr, "cannot start wxWidgets (no display?)\n");
    return 1;
  }
  // What the toolkit logs goes to stderr: a GUI log target would show it in
  // a modal dialog when the program ends, where nothing closes it.
  delete wxLog::SetActiveTarget(new wxLogStderr);
  const int result = RUN_ALL_TESTS();
  wxTheApp->OnExit();
  wxEntryCleanup();
  return result;
}
