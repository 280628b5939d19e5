// What the viewer remembers between runs, each run played by a fresh frame
// over the same configuration file (a temporary one: the user's own is never
// touched): the recent models in the File menu, the frame's geometry and
// the text font.

#include <gtest/gtest.h>
#include <unistd.h>

#include <wx/app.h>
#include <wx/config.h>
#include <wx/menu.h>
#include <wx/propgrid/propgrid.h>
#include <wx/splitter.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/frame/EditCommands.h"
#include "app/frame/FrameGeometry.h"
#include "app/frame/Preferences.h"
#include "app/frame/PreferencesDialog.h"
#include "app/frame/ProgramConfig.h"
#include "app/frame/RecentModels.h"
#include "app/panels/WindowIds.h"
#include "app/frame/mainFrame.h"
#include "layout/TextMeasure.h"
#include "platform/FontLookup.h"
#include "render/Canvas.h"
#include "render/DefaultFont.h"
#include "settings/SettingsStore.h"
#include "render/GLPainter.h"
#include "tests/app/FrameTestSupport.h"
#include "tests/platform/WaitFor.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;

const std::string kExamples = std::string(LUMETRA_SOURCE_DIR) + "/examples/";

// A folder of its own and a configuration file in it, installed as the
// program installs its own; gone afterwards.
class TemporaryConfig {
 public:
  TemporaryConfig() : dir_(fs::temp_directory_path() / ("lumetra-remembered-" + std::to_string(::getpid()))) {
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    open();
  }
  ~TemporaryConfig() {
    delete wxConfigBase::Set(nullptr);
    fs::remove_all(dir_);
  }
  // The file as a new run reads it.
  void open() { config_ = installProgramConfig((dir_ / "lumetra.ini").string()); }
  void write(const std::string& text) {
    delete wxConfigBase::Set(nullptr);
    std::ofstream((dir_ / "lumetra.ini").string()) << text;
    open();
  }
  wxConfigBase& config() { return *config_; }
  fs::path dir() const { return dir_; }

 private:
  fs::path dir_;
  wxConfigBase* config_ = nullptr;
};

// The labels of the File menu, top down.
std::vector<std::string> fileMenuLabels(mainFrame& frame) {
  std::vector<std::string> labels;
  for (wxMenuItem* item : frame.GetMenuBar()->GetMenu(0)->GetMenuItems())
    labels.push_back(item->IsSeparator() ? "-" : item->GetItemLabel().utf8_string());
  return labels;
}

TEST(RecentModels, OpenedModelsAreListedAboveExitRememberedAndAGoneOneIsTakenOff) {
  TemporaryConfig config;
  const fs::path first = config.dir() / "first.xmi", second = config.dir() / "second & more.xmi";
  fs::copy_file(kExamples + "webshop.xmi", first);
  fs::copy_file(kExamples + "webshop.xmi", second);
  const fs::path broken = config.dir() / "broken.xmi";
  std::ofstream(broken.string()) << "<XMI><unclosed";
  {
    FrameHarness h;
    const std::vector<std::string> empty = fileMenuLabels(h.frame());
    EXPECT_EQ(empty.back(), "&Exit\tCtrl-Q");
    EXPECT_EQ(h.frame().GetMenuBar()->FindItem(wxID_FILE1), nullptr);
    for (const fs::path& model : {first, second, broken}) {
      h.dialogs.answers.push_back(model.string());
      h.command(ids::OpenModel);
    }
    // The broken file got its message and is not listed; the newest first,
    // just above Exit behind a separator; '&' shown as itself.
    ASSERT_EQ(h.dialogs.errors.size(), 1u);
    const std::vector<std::string> labels = fileMenuLabels(h.frame());
    ASSERT_EQ(std::vector<std::string>(labels.begin(), labels.begin() + static_cast<long>(empty.size()) - 1),
              std::vector<std::string>(empty.begin(), empty.end() - 1));
    EXPECT_EQ(std::vector<std::string>(labels.end() - 5, labels.end()),
              (std::vector<std::string>{"-", "&1 second && more.xmi", "&2 first.xmi", "-", "&Exit\tCtrl-Q"}));
  }
  {
    // The next run lists them as they were; opening one again moves it up
    // and opens it.
    FrameHarness h;
    RecentModels& recent = h.frame().recentModels();
    ASSERT_EQ(recent.count(), 2u);
    EXPECT_EQ(recent.path(0), second.string());
    EXPECT_EQ(recent.path(1), first.string());
    h.command(wxID_FILE2);
    ASSERT_TRUE(h.dialogs.errors.empty()) << h.dialogs.errors.front();
    EXPECT_TRUE(h.frame().document().hasModel());
    EXPECT_NE(h.frame().GetTitle().Find("first.xmi"), wxNOT_FOUND);
    EXPECT_EQ(recent.path(0), first.string());

    // A file that is gone: a message naming it, the list without it, the
    // loaded model kept.
    fs::remove(second);
    h.command(wxID_FILE2);
    ASSERT_EQ(h.dialogs.errors.size(), 1u);
    EXPECT_NE(h.dialogs.errors[0].find(second.string()), std::string::npos);
    EXPECT_EQ(recent.count(), 1u);
    EXPECT_EQ(h.frame().GetMenuBar()->FindItem(wxID_FILE2), nullptr);
    EXPECT_TRUE(h.frame().document().hasModel());
    EXPECT_NE(h.frame().GetTitle().Find("first.xmi"), wxNOT_FOUND);
  }
  // Written at once: the file holds only what is left.
  config.open();
  RecentModels reread(&config.config());
  ASSERT_EQ(reread.count(), 1u);
  EXPECT_EQ(reread.path(0), first.string());
  std::ifstream in((config.dir() / "lumetra.ini").string());
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("file1=" + first.string()), std::string::npos) << text;
  EXPECT_EQ(text.find("file2"), std::string::npos) << text;

  // No more than nine, the oldest going first.
  for (int i = 0; i < 11; ++i) reread.add((config.dir() / ("m" + std::to_string(i) + ".xmi")).string());
  EXPECT_EQ(reread.count(), 9u);
  EXPECT_EQ(reread.path(0), (config.dir() / "m10.xmi").string());
  EXPECT_EQ(reread.path(8), (config.dir() / "m2.xmi").string());
}

// A frame as the program places it at start, over the configuration.
class PlacedFrame {
 public:
  PlacedFrame(wxConfigBase& config) : frame_(new mainFrame("Lumetra Visualizer", wxDefaultPosition, wxSize(1024, 768))) {
    restored = placeFrameAtStart(*frame_, &config);
    rememberFrameGeometry(*frame_, config);
    if (!test::showAndWaitForPaint(frame_, frame_->canvas())) ADD_FAILURE() << "the frame's canvas was never painted";
    FrameHarness::settle();
  }
  // Closed as the user closes it (the geometry is written then).
  void close() {
    frame_->canvas()->makeCurrent();
    frame_->Close(true);
    FrameHarness::settle();
    FontRegistry::instance().clear();
  }
  mainFrame& frame() { return *frame_; }
  bool restored = false;

 private:
  mainFrame* frame_;
};

TEST(FrameGeometry, ARunStartsWhereTheLastClosedAndFallsBackToTheFirstStart) {
  TemporaryConfig config;
  {
    // Nothing remembered: the first start, maximised.
    PlacedFrame first(config.config());
    EXPECT_FALSE(first.restored);
    EXPECT_TRUE(first.frame().IsMaximized());
    first.close();
  }
  {
    // Closed maximised, it starts maximised again.
    PlacedFrame again(config.config());
    EXPECT_TRUE(again.restored);
    EXPECT_TRUE(again.frame().IsMaximized());
    again.close();
  }
  config.write("[Frame]\nX=60\nY=40\nWidth=700\nHeight=500\nMaximized=0\nMainSash=250\nLeftSash=180\n");
  {
    PlacedFrame normal(config.config());
    EXPECT_TRUE(normal.restored);
    EXPECT_FALSE(normal.frame().IsMaximized());
    EXPECT_EQ(normal.frame().GetSize(), wxSize(700, 500));
    EXPECT_EQ(normal.frame().mainSplitter()->GetSashPosition(), 250);
    EXPECT_EQ(normal.frame().leftSplitter()->GetSashPosition(), 180);
    // The user makes it larger and moves both sashes.
    normal.frame().SetSize(30, 20, 900, 640);
    FrameHarness::settle();
    normal.frame().mainSplitter()->SetSashPosition(310);
    normal.frame().leftSplitter()->SetSashPosition(220);
    FrameHarness::settle();
    normal.close();
  }
  {
    PlacedFrame next(config.config());
    EXPECT_TRUE(next.restored);
    EXPECT_EQ(next.frame().GetSize(), wxSize(900, 640));
    EXPECT_EQ(next.frame().mainSplitter()->GetSashPosition(), 310);
    EXPECT_EQ(next.frame().leftSplitter()->GetSashPosition(), 220);
    next.close();
  }

  // What cannot be used starts as the first time.
  const std::string good = "[Frame]\nX=60\nY=40\nWidth=700\nHeight=500\nMaximized=0\nMainSash=250\nLeftSash=180\n";
  struct Case {
    const char* name;
    std::string text;
    bool restored;
  };
  const Case cases[] = {
      {"as written", good, true},
      {"nothing", "", false},
      {"a width that is no number", "[Frame]\nX=60\nY=40\nWidth=wide\nHeight=500\nMainSash=250\nLeftSash=180\n", false},
      {"a missing sash", "[Frame]\nX=60\nY=40\nWidth=700\nHeight=500\nMainSash=250\n", false},
      {"too small", "[Frame]\nX=60\nY=40\nWidth=90\nHeight=500\nMainSash=50\nLeftSash=180\n", false},
      {"huge", "[Frame]\nX=60\nY=40\nWidth=99999999999\nHeight=500\nMainSash=250\nLeftSash=180\n", false},
      {"a sash outside the frame", "[Frame]\nX=60\nY=40\nWidth=700\nHeight=500\nMainSash=900\nLeftSash=180\n", false},
      {"a negative sash", "[Frame]\nX=60\nY=40\nWidth=700\nHeight=500\nMainSash=-3\nLeftSash=180\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    config.write(c.text);
    PlacedFrame frame(config.config());
    EXPECT_EQ(frame.restored, c.restored);
    if (c.restored) {
      EXPECT_EQ(frame.frame().GetSize(), wxSize(700, 500));
    } else {
      // The first start's sashes: the left pane 0.3 of the frame's width.
      EXPECT_NEAR(frame.frame().mainSplitter()->GetSashPosition(), 0.3 * frame.frame().GetSize().GetWidth(), 2.0);
    }
    frame.close();
  }

  // A place left on a screen that is gone comes back on the screen.
  config.write("[Frame]\nX=-50000\nY=-50000\nWidth=700\nHeight=500\nMainSash=250\nLeftSash=180\n");
  PlacedFrame lost(config.config());
  EXPECT_TRUE(lost.restored);
  EXPECT_GE(lost.frame().GetPosition().x, 0);
  EXPECT_GE(lost.frame().GetPosition().y, 0);
  lost.close();

  // A size from a larger screen is cut to this one (Xvfb's 1280 x 1024).
  config.write("[Frame]\nX=0\nY=0\nWidth=5000\nHeight=4000\nMainSash=250\nLeftSash=180\n");
  PlacedFrame large(config.config());
  EXPECT_TRUE(large.restored);
  EXPECT_LE(large.frame().GetSize().GetWidth(), 1280);
  EXPECT_LE(large.frame().GetSize().GetHeight(), 1024);
  large.close();
}

// A font chosen among the machine's fonts draws the text at once and starts
// the next run; a file that is no font is refused with its name.
TEST(RememberedFont, AFontChosenInPreferencesShowsAtOnceAndStartsTheNextRun) {
  TemporaryConfig config;
  std::string mono;
  for (const InstalledFont& font : installedFonts())
    if (font.name == "LiberationMono-Bold") mono = font.path;
  ASSERT_FALSE(mono.empty()) << "fonts-liberation is installed by scripts/setup.sh";
  {
    FrameHarness h;
    h.dialogs.answers.push_back(kExamples + "webshop.xmi");
    h.command(ids::OpenModel);
    FrameHarness::settle();
    const std::vector<unsigned char> before = h.activePixels();
    h.command(wxID_PREFERENCES);
    wxPropertyGrid* grid = h.frame().edit().preferencesDialog()->grid();
    const wxString fileProperty = wxString(kTextFontKey) + ".File";
    grid->ChangePropertyValue(fileProperty, wxString(kExamples + "webshop.xmi"));
    ASSERT_EQ(h.dialogs.errors.size(), 1u);
    EXPECT_NE(h.dialogs.errors[0].find("Could not construct font from " + kExamples + "webshop.xmi"), std::string::npos)
        << h.dialogs.errors[0];
    EXPECT_EQ(settings().getString(kTextFontKey), "arial.ttf");
    EXPECT_EQ(h.activePixels(), before);

    const int entry = grid->GetProperty(kTextFontKey)->GetChoices().Index("LiberationMono-Bold");
    ASSERT_GE(entry, 0);
    ASSERT_TRUE(grid->ChangePropertyValue(kTextFontKey, entry));
    FrameHarness::settle();
    EXPECT_EQ(textFontPath(), mono);
    EXPECT_NE(h.activePixels(), before) << "the text is drawn in the new font";
    EXPECT_EQ(grid->GetPropertyValueAsString(fileProperty), wxString(mono));
    h.frame().edit().preferencesDialog()->Hide();
  }
  // The next run reads the look back before its frame is made.
  resetPreferences();
  restoreRememberedSettings(config.config());
  EXPECT_EQ(settings().getString(kTextFontKey), mono);
  {
    FrameHarness h;
    EXPECT_EQ(textFontPath(), mono);
  }
  // The tests after this one draw and measure with the program's own font.
  resetPreferences();
  setMeasureFont(findFontFile(kDefaultFontFile));
}

}  // namespace
}  // namespace lumetra
