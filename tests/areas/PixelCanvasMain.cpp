// Entry point of the pixel test executables: starts wxWidgets before the
// tests (no event loop runs; the canvas yields to it while it appears).

#include <gtest/gtest.h>
#include <wx/app.h>

#include <cstdio>

namespace {

class PixelTestApp : public wxApp {
 public:
  bool OnInit() override { return true; }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  wxApp::SetInstance(new PixelTestApp);
  if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
    std::fprintf(stderr, "cannot start wxWidgets (no display?)\n");
    return 1;
  }
  const int result = RUN_ALL_TESTS();
  wxTheApp->OnExit();
  wxEntryCleanup();
  return result;
}
