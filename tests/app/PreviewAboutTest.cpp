// The layout preview's pixels and clicks, and the about dialog.

#include <wx/dcmemory.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include <cstdlib>
#include <map>

#include "app/frame/AboutDialog.h"
#include "app/panels/CheckListCtrl.h"
#include "app/panels/LayoutPreview.h"
#include "app/panels/WindowIds.h"
#include "tests/app/PageFixture.h"

namespace lumetra::test {
namespace {

// A painter whose glyph cells are fixed rectangles by metric name.
class FixedCellPainter : public MetricsVisualizerSimple {
 public:
  bool glyphRectangle(const std::string& name, Vec2, Vec2, bool, Vec2& c1, Vec2& c2) const override {
    auto it = cells.find(name);
    if (it == cells.end()) return false;
    c1 = it->second.first;
    c2 = it->second.second;
    return true;
  }
  std::map<std::string, std::pair<Vec2, Vec2>> cells;
};

class FixedCellLink : public FakeViewerLink {
 public:
  MetricsVisualizerSimple* painter() override { return &fixed; }
  FixedCellPainter fixed;
};

struct Rgb {
  int r, g, b;
  friend bool operator==(const Rgb&, const Rgb&) = default;
  friend std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
  }
};

class PreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    link_.metrics().add(new IntegerMetric("LOC", new Color(0.2f, 0.6f, 1.0f, 1.0f), new Color()));
    link_.metrics().add(new IntegerMetric("Hidden", new Color(1.0f, 0.0f, 0.0f, 1.0f), new Color()));
    link_.fixed.cells["LOC"] = {Vec2(10, 5), Vec2(30, 20)};
    frame_ = new wxFrame(nullptr, wxID_ANY, "preview", wxDefaultPosition, wxSize(200, 300));
    preview_ = new lmLayoutPreview(frame_, &link_);
    preview_->setMetrics(&link_.metrics());
  }
  void TearDown() override { frame_->Destroy(); }

  // The preview painted into a bitmap of that size, read back.
  wxImage painted(int width, int height) {
    wxBitmap bitmap(width, height, 24);
    {
      wxMemoryDC dc(bitmap);
      preview_->paintOn(dc, wxSize(width, height));
    }
    return bitmap.ConvertToImage();
  }
  static Rgb at(const wxImage& image, int x, int y) {
    return {image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)};
  }

  FixedCellLink link_;
  wxFrame* frame_ = nullptr;
  lmLayoutPreview* preview_ = nullptr;
};

bool near(const Rgb& a, const Rgb& b) {
  return std::abs(a.r - b.r) <= 40 && std::abs(a.g - b.g) <= 40 && std::abs(a.b - b.b) <= 40;
}

const Rgb kBackground{255, 255, 238};
const Rgb kBlack{0, 0, 0};
const Rgb kRed{255, 0, 0};
const Rgb kLoc{51, 153, 255};

TEST_F(PreviewTest, GlyphRectangleIsDrawnFlippedIntoPreviewPixels) {
  // Corners (10, 5) and (30, 20), y up, in a 100 x 64 preview: x 10, y 43,
  // 21 x 16 pixels.
  const wxImage image = painted(100, 64);
  const struct {
    int x, y;
    Rgb colour;
  } probes[] = {
      {0, 0, kRed},         {99, 63, kRed},        {50, 0, kRed},           // the preview's outline
      {10, 43, kBlack},     {30, 43, kBlack},      {10, 58, kBlack},     {30, 58, kBlack},  // corners
      {20, 43, kBlack},     {10, 50, kBlack},      {30, 50, kBlack},     {20, 58, kBlack},  // edges
      {20, 50, kLoc},       {11, 44, kLoc},        {29, 57, kLoc},          // inside
      {9, 50, kBackground}, {31, 50, kBackground}, {20, 42, kBackground}, {20, 59, kBackground},
      {60, 20, kBackground},  // "Hidden" is not shown: no rectangle
  };
  // The drawing context smooths the corners a little; 40 levels per channel
  // still tell outline, fill and background apart.
  for (const auto& p : probes) EXPECT_TRUE(near(at(image, p.x, p.y), p.colour)) << "at " << p.x << ", " << p.y;

  // The metric being edited gets a 3-pixel outline.
  preview_->setCurrentMetric("LOC");
  const wxImage current = painted(100, 64);
  EXPECT_TRUE(near(at(current, 11, 44), kBlack)) << at(current, 11, 44);
  EXPECT_EQ(at(image, 11, 44), kLoc) << "a thin outline leaves the second ring filled";
  EXPECT_EQ(at(current, 20, 50), kLoc);

  // Without metrics only the empty preview is drawn.
  preview_->setMetrics(nullptr);
  EXPECT_EQ(at(painted(100, 64), 20, 50), kBackground);
}

TEST_F(PreviewTest, ClickSelectsTheMetricsRowInTheList) {
  auto* list = new lmCheckListCtrl(frame_, &link_);
  list->fill(link_.metrics());  // rows "LOC", "Hidden"
  link_.metrics().showMetric("LOC");
  link_.metrics().showMetric("Hidden");
  preview_->setMetricList(list);
  preview_->SetClientSize(100, 64);
  ASSERT_EQ(preview_->GetClientSize(), wxSize(100, 64));

  auto press = [this](wxEventType type, int x, int y) {
    wxMouseEvent event(type);
    event.SetPosition(wxPoint(x, y));
    event.SetEventObject(preview_);
    preview_->GetEventHandler()->ProcessEvent(event);
  };
  press(wxEVT_MOTION, 20, 50);     // moving over it selects nothing
  press(wxEVT_LEFT_DOWN, 60, 20);  // outside every rectangle
  EXPECT_EQ(list->selectedRow(), -1);
  EXPECT_EQ(link_.lastMetric, nullptr);

  press(wxEVT_LEFT_DOWN, 30, 58);  // the bottom right corner: bounds are inclusive
  EXPECT_EQ(list->selectedRow(), 0);
  ASSERT_NE(link_.lastMetric, nullptr) << "the list's selection handling did not run";
  EXPECT_EQ(link_.lastMetric->getName(), "LOC");

  link_.fixed.cells["Hidden"] = {Vec2(50, 5), Vec2(70, 20)};
  press(wxEVT_RIGHT_DOWN, 50, 43);  // the top left corner of the other one
  EXPECT_EQ(list->selectedRow(), 1);
  EXPECT_EQ(link_.lastMetric->getName(), "Hidden");
  press(wxEVT_LEFT_DOWN, 20, 50);  // and back: the same row can be picked again
  EXPECT_EQ(list->selectedRow(), 0);
}

TEST(AboutDialogTest, ShowsPictureNameVersionsAndClosesWithOk) {
  AboutDialog dialog(nullptr);
  EXPECT_EQ(dialog.GetTitle(), "About Lumetra Visualizer");
  EXPECT_EQ(dialog.GetSize(), wxSize(500, 500));
  auto* picture = dynamic_cast<wxStaticBitmap*>(dialog.FindWindow(ids::AboutPicture));
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->GetBitmap().GetWidth(), 48);
  auto* text = dynamic_cast<wxStaticText*>(dialog.FindWindow(ids::AboutText));
  ASSERT_NE(text, nullptr);
  const std::string shown = text->GetLabel().utf8_string();
  for (const char* part : {"Lumetra Visualizer", "Version " LUMETRA_VERSION, "wxWidgets 3.", "pugixml 1.", "FTGL 2.",
                           "CGAL 5."})
    EXPECT_NE(shown.find(part), std::string::npos) << part << " missing from:\n" << shown;

  // The picture is drawn, not blank: it has dark outlines and coloured areas.
  const wxImage image = aboutPicture();
  int dark = 0, tinted = 0;
  for (int y = 0; y < image.GetHeight(); ++y)
    for (int x = 0; x < image.GetWidth(); ++x) {
      const int r = image.GetRed(x, y), g = image.GetGreen(x, y), b = image.GetBlue(x, y);
      if (r + g + b < 60) ++dark;
      if (std::max({r, g, b}) - std::min({r, g, b}) > 60) ++tinted;
    }
  EXPECT_GT(dark, 50);
  EXPECT_GT(tinted, 300);

  dialog.CallAfter([&dialog] {
    wxCommandEvent ok(wxEVT_BUTTON, ids::AboutOk);
    ok.SetEventObject(dialog.FindWindow(ids::AboutOk));
    dialog.FindWindow(ids::AboutOk)->GetEventHandler()->ProcessEvent(ok);
  });
  EXPECT_EQ(dialog.ShowModal(), wxID_OK);
}

}  // namespace
}  // namespace lumetra::test
