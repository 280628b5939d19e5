// Notes as the user sees them: nothing while comments are switched off;
// switched on, a pale box with a folded top-right corner, a shadow and the
// wrapped text, which never leaves the box whatever the text and the size.

#include <GL/gl.h>

#include <string>

#include "areas/Area.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "diagram/NoteLayout.h"
#include "diagram/SelectionManager.h"
#include "platform/GLExtensions.h"
#include "tests/diagram/DiagramScene.h"
#include "tests/diagram/GLTestSupport.h"

namespace lumetra {
namespace {

using test::Rgb;

const Rgb kWhite{255, 255, 255};
const std::string kMoney = "Money is an amount with its currency; totals never mix currencies.";

bool isText(const Rgb& c) { return c[0] + c[1] + c[2] < 300; }

class NotePixelTest : public test::GLPainterTest {
 protected:
  NotePixelTest() {
    painter.setSelectionManager(&selection);
    painter.setMetricSet(&metrics);
    painter.setAreas(&areas);
    painter.setBlendEquation(lookupBlendEquation());
  }

  void draw() { painter.drawDiagram(scene.diagram()); }

  // Pixels (whose centres lie) inside lo..hi grown by margin, and outside it,
  // that satisfy want.
  template <class Want>
  static int countPixels(Vec2 lo, Vec2 hi, float margin, bool inside, Want want) {
    const std::vector<unsigned char> frame = test::readFrame();
    int count = 0;
    for (int py = 0; py < kSize; ++py)
      for (int px = 0; px < kSize; ++px) {
        const float x = static_cast<float>(px - kSize / 2) + 0.5f, y = static_cast<float>(py - kSize / 2) + 0.5f;
        const bool in = x >= lo.x - margin && x <= hi.x + margin && y >= lo.y - margin && y <= hi.y + margin;
        const unsigned char* p = &frame[(static_cast<std::size_t>(py) * kSize + px) * 3];
        if (in == inside && want(Rgb{p[0], p[1], p[2]})) ++count;
      }
    return count;
  }

  // Text pixels inside the box, two pixels clear of its outline and of the
  // fold's lines.
  static int textInk(Vec2 lo, Vec2 hi) {
    const float fold = noteFoldSize(hi - lo, 3.0f);
    return countPixels(lo, {hi.x - fold - 2, hi.y}, -2, true, isText) +
           countPixels(lo, {hi.x, hi.y - fold - 2}, -2, true, isText);
  }

  test::DiagramScene scene;
  SelectionManager selection;
  MetricSet metrics;
  AreaSet areas;
  MetricsVisualizerSimple painter;
};

TEST_F(NotePixelTest, ANoteShowsAsAFoldedPaleBoxWithItsTextOnlyWhileCommentsAreOn) {
  const Vec2 lo(-80, -40), hi(80, 40);
  scene.addNote("n1", kMoney, lo, hi);
  const float fold = 80.0f / 3.0f;  // the shorter side over CommentNoteFraction (3)
  ASSERT_EQ(settings().getFloat("Visualizer.UMLModel.CommentNoteFraction"), 3.0f);
  auto notWhite = [](const Rgb& c) { return c != kWhite; };

  {
    test::BoolSetting off("Visualizer.General.Comments", false);
    draw();
    EXPECT_EQ(countPixels(lo, hi, 1000, true, notWhite), 0) << "nothing at all is drawn";
  }
  test::BoolSetting on("Visualizer.General.Comments", true);
  draw();
  const Rgb paper = test::rgbOf(kNotePaper);
  const Rgb grey = test::over(settings().getColor("Visualizer.UMLModel.ShadowColor"), Color(1, 1, 1, 1));
  struct Probe {
    const char* where;
    Vec2 at;
    Rgb expected;
  } probes[] = {
      {"the fold's flap", {hi.x - fold + 6, hi.y - fold + 6}, test::rgbOf(noteFoldShade(kNotePaper))},
      {"the corner cut off above the fold", {hi.x - 3, hi.y - 3}, kWhite},
      {"shadow right of the box", {hi.x + 1.5f, 0}, grey},
      {"shadow below the box", {0, lo.y - 1.5f}, grey},
      {"no shadow beside the fold", {hi.x + 1.5f, hi.y - 6}, kWhite},
      {"no shadow left of the box", {lo.x - 1.5f, 0}, kWhite},
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(p.where);
    EXPECT_RGB_NEAR(pixelAt(p.at.x, p.at.y), p.expected, 3);
  }
  // Mostly paper, with the text in it: dark ink in the top line from the
  // left margin, and none in the margin below the last line.
  const int area = 160 * 80;
  EXPECT_GT(countPixels(lo, hi, -2, true, [&](const Rgb& c) { return c == paper; }), area / 2);
  EXPECT_GT(countPixels({lo.x + 2, hi.y - 20}, {lo.x + 60, hi.y - 2}, 0, true, isText), 20) << "first line";
  EXPECT_GT(textInk(lo, hi), 150) << "several lines";
  EXPECT_EQ(countPixels({lo.x + 2, lo.y + 0.5f}, {hi.x - 2, lo.y + 2.5f}, 0, true, isText), 0) << "bottom margin";
  for (Vec2 border : {Vec2(lo.x, 0), Vec2(0, hi.y), Vec2(0, lo.y), Vec2(hi.x, 0)})
  {
    // A smoothed one-pixel line may share its ink between two columns.
    const Rgb edge = darkestNear(border.x, border.y, 1);
    EXPECT_LT(edge[0] + edge[1] + edge[2], 450) << "outline at " << border.x << ", " << border.y;
  }
  // The shadow is the only thing outside the box.
  EXPECT_EQ(countPixels(lo, hi, 0.5f, false, [&](const Rgb& c) { return c != kWhite && c != grey; }), 0);
}

// Texts and sizes that could push ink out of the box: the pass draws them
// without crashing and nothing but the shadow lies outside the box.
TEST_F(NotePixelTest, NoTextLeavesItsNoteWhateverTheTextAndSize) {
  test::BoolSetting on("Visualizer.General.Comments", true);
  test::BoolSetting noShadows("Visualizer.General.Shadows", false);
  std::string book;
  for (int i = 0; i < 400; ++i) book += "stock reserved on confirmation ";
  struct Case {
    const char* name;
    std::string text;
    Vec2 lo, hi;
    bool ink;  // text shows inside
  } cases[] = {
      {"empty text", "", {-60, -30}, {60, 30}, false},
      {"a book's worth of text", book, {-60, -30}, {60, 30}, true},
      {"one unbroken word", std::string(300, 'W'), {-60, -30}, {60, 30}, true},
      {"line breaks and a blank line", "first\n\nthird\n", {-60, -30}, {60, 30}, true},
      {"a tiny note", kMoney, {-4, -3}, {4, 3}, false},
      {"a note with no extent", kMoney, {10, 10}, {10, 10}, false},
      {"a narrow, tall note", kMoney, {-6, -90}, {6, 90}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    test::DiagramScene local;
    local.addNote("n", c.text, c.lo, c.hi);
    painter.drawDiagram(local.diagram());
    EXPECT_EQ(countPixels(c.lo, c.hi, 0.5f, false, [](const Rgb& p) { return p != kWhite; }), 0) << "ink outside";
    const int ink = textInk(c.lo, c.hi);
    if (c.ink) EXPECT_GT(ink, 20);
    else EXPECT_EQ(ink, 0);
  }
}

// Hovering and clicking find a note like any shape while it is shown, by a
// label made of its text, and pass through it while it is not.
TEST_F(NotePixelTest, AShownNoteIsPickedAndNamedByItsText) {
  Note* note = scene.addNote("n1", kMoney, {-80, -40}, {80, 40});
  auto pickLabels = [&] {
    loadPickProjection(-50, -20);
    PickResult result;
    painter.pick(result, scene.diagram());
    loadDrawProjection();
    std::vector<std::string> labels;
    for (ModelSelectionElement* e : result.elementHits()) labels.push_back(e->getLabel());
    return labels;
  };
  {
    test::BoolSetting off("Visualizer.General.Comments", false);
    EXPECT_TRUE(pickLabels().empty());
  }
  test::BoolSetting on("Visualizer.General.Comments", true);
  // The hover box's one line: the text's first 40 characters.
  EXPECT_EQ(pickLabels(), std::vector<std::string>{"Note: " + kMoney.substr(0, 40) + "..."});
  // Selected, it is covered with the selection colour like a class box.
  selection.toggleElement(note);
  draw();
  const Color select = settings().getColor("Visualizer.General.SelectColor");
  EXPECT_RGB_NEAR(pixelAt(40, -35), test::over(select, kNotePaper), 3);
}

}  // namespace
}  // namespace lumetra
