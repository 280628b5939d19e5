// The canvas on a real GL context: window frames, separators, stereo,
// display-list replay, split and delete with the owner told, and separator
// dragging through mouse events.

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/utils.h>

#include <cmath>
#include <functional>
#include <map>

#include "model/Diagram.h"
#include "render/Canvas.h"
#include "render/CanvasWindow.h"
#include "render/DiagramPainter.h"
#include "render/GLPainter.h"
#include "render/HoverOverlay.h"
#include "settings/SettingsStore.h"
#include "tests/platform/WaitFor.h"
#include "tests/support/GLTestHarness.h"

namespace lumetra {
namespace {

bool near(const Rgba& p, int r, int g, int b, int tol = 3) {
  return std::abs(p.r - r) <= tol && std::abs(p.g - g) <= tol && std::abs(p.b - b) <= tol;
}

class RecordingOwner : public CanvasOwner {
 public:
  void activeWindowChanged(CanvasWindow* window, bool rootOnly) override { calls.push_back({window, rootOnly}); }
  std::vector<std::pair<CanvasWindow*, bool>> calls;
};

class BoxPainter : public DiagramPainter {
 public:
  void drawDiagram(Diagram* d) override {
    ++calls;
    last = d;
    VisualElementLayout* l = d->getCurrentLayout();
    GLPainter().filledRect(*l->getLowerLeft(), *l->getUpperRight(), color);
    if (withText) GLPainter().drawText("Hg", {-25, 0}, 3.0f, 0, Color(1, 0, 0, 1));
  }
  bool withText = false;
  Diagram* last = nullptr;
  int calls = 0;
  Color color{0, 0, 0, 1};
};

// Restores the settings a test changes.
class SettingsRestore {
 public:
  SettingsRestore()
      : size_(settings().getFloat("Canvas.Separator.Size")),
        color_(settings().getColor("Canvas.Separator.Color")),
        eye_(settings().getFloat("Visualizer.General.Stereo.EyeSeperation")) {}
  ~SettingsRestore() {
    settings().setFloat("Canvas.Separator.Size", size_);
    settings().setColor("Canvas.Separator.Color", color_);
    settings().setFloat("Visualizer.General.Stereo.EyeSeperation", eye_);
  }

 private:
  float size_;
  Color color_;
  float eye_;
};

class CanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gl_ = GLTestWindow::withCanvas(240, 120);
    ASSERT_TRUE(gl_->ok()) << "no canvas of the requested size";
    canvas_ = gl_->canvas();
    canvas_->setOwner(&owner_);
    diagram_ = std::make_unique<ClassDiagram>("d", new VisualElementLayout("", new Vec2(-30, -20), new Vec2(30, 20)));
  }
  void TearDown() override {
    canvas_->setOwner(nullptr);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    gl_.reset();
  }

  // Sends one mouse event of the given type at (x, yTopDown) to the canvas.
  void mouse(wxEventType type, int x, int yTopDown, bool leftDown) {
    wxMouseEvent event(type);
    event.m_x = x;
    event.m_y = yTopDown;
    event.m_leftDown = leftDown;
    event.SetEventObject(canvas_);
    canvas_->GetEventHandler()->ProcessEvent(event);
  }

  std::unique_ptr<GLTestWindow> gl_;
  Canvas* canvas_ = nullptr;
  RecordingOwner owner_;
  BoxPainter painter_;
  std::unique_ptr<ClassDiagram> diagram_;
};

TEST_F(CanvasTest, FirstWindowCoversTheCanvas) {
  CanvasWindow* w = canvas_->activeWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->rect(), (PixelRect{0, 0, 240, 120}));
  EXPECT_TRUE(canvas_->rootOnly());
  EXPECT_TRUE(w->perspective());
  EXPECT_FALSE(w->stereo());
  EXPECT_FLOAT_EQ(w->zoom(), 1.0f);
}

TEST_F(CanvasTest, FixedStateIsSet) {
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
  EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  GLint func = 0;
  glGetIntegerv(GL_DEPTH_FUNC, &func);
  EXPECT_EQ(func, GL_ALWAYS);
  GLfloat clear[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_EQ(clear[0] + clear[1] + clear[2] + clear[3], 3.0f);
}

TEST_F(CanvasTest, ActiveFrameIsRedAndInactiveBlack) {
  canvas_->splitActive(false, 0.5f);
  ASSERT_EQ(canvas_->activeWindow()->rect(), (PixelRect{0, 0, 120, 120}));
  canvas_->renderAllWindows();
  // Translucent red (alpha 136/255) over white, three pixels thick.
  for (int x : {0, 2}) EXPECT_TRUE(near(gl_->pixel(x, 60), 255, 119, 119)) << x << " " << gl_->pixel(x, 60);
  EXPECT_TRUE(near(gl_->pixel(3, 60), 255, 255, 255)) << gl_->pixel(3, 60);
  EXPECT_TRUE(near(gl_->pixel(60, 118), 255, 119, 119)) << gl_->pixel(60, 118);
  // The other window: translucent black, one pixel thick (top edge).
  EXPECT_TRUE(near(gl_->pixel(180, 119), 119, 119, 119)) << gl_->pixel(180, 119);
  EXPECT_TRUE(near(gl_->pixel(180, 118), 255, 255, 255)) << gl_->pixel(180, 118);
  EXPECT_TRUE(near(gl_->pixel(239, 60), 119, 119, 119)) << gl_->pixel(239, 60);
}

TEST_F(CanvasTest, SeparatorsUseTheSettingsColourAndThickness) {
  SettingsRestore restore;
  canvas_->splitActive(false, 0.5f);
  // Default: half-thickness 3, black at alpha 64/255.
  canvas_->renderAllWindows();
  EXPECT_TRUE(near(gl_->pixel(121, 60), 191, 191, 191)) << gl_->pixel(121, 60);
  EXPECT_TRUE(near(gl_->pixel(122, 60), 191, 191, 191)) << gl_->pixel(122, 60);
  EXPECT_TRUE(near(gl_->pixel(123, 60), 255, 255, 255)) << gl_->pixel(123, 60);

  settings().setFloat("Canvas.Separator.Size", 6.0f);
  settings().setColor("Canvas.Separator.Color", Color(1, 0, 0, 1));
  canvas_->renderAllWindows();
  // The bar runs from 120 - 6 to 120 + 6 over the whole height.
  for (int x : {114, 119, 120, 125}) EXPECT_TRUE(near(gl_->pixel(x, 60), 255, 0, 0)) << x << " " << gl_->pixel(x, 60);
  EXPECT_TRUE(near(gl_->pixel(114, 0), 255, 0, 0)) << gl_->pixel(114, 0);
  EXPECT_TRUE(near(gl_->pixel(113, 60), 255, 255, 255)) << gl_->pixel(113, 60);
  EXPECT_TRUE(near(gl_->pixel(126, 60), 255, 255, 255)) << gl_->pixel(126, 60);
}

TEST_F(CanvasTest, ReplayedListGivesTheRecompiledPicture) {
  painter_.withText = true;  // glyph textures are made while compiling
  CanvasWindow* w = canvas_->activeWindow();
  w->setVisualizer(&painter_);
  w->setDiagram(diagram_.get());
  ASSERT_GT(painter_.calls, 0);
  const int compiled = painter_.calls;

  w->render(false);
  EXPECT_EQ(painter_.calls, compiled + 1);
  const std::vector<std::uint8_t> recompiled = gl_->pixels();
  w->render(true);
  EXPECT_EQ(painter_.calls, compiled + 1) << "the cached render called the painter";
  EXPECT_EQ(gl_->pixels(), recompiled);
  // The diagram (60 x 40 at zoom 2.85) is in the middle, the red text on it.
  EXPECT_TRUE(near(gl_->pixel(120, 60), 0, 0, 0));
  int textPixels = 0;
  for (std::size_t i = 0; i < recompiled.size(); i += 4) textPixels += recompiled[i] > 100 && recompiled[i + 1] < 60;
  EXPECT_GT(textPixels, 20);
  // A second replay, after other drawing, still shows the text.
  gl_->clear();
  w->render(true);
  EXPECT_EQ(gl_->pixels(), recompiled);

  // A camera change replays the same list from another place.
  w->camera().pan = {20, 0};
  w->render(true);
  EXPECT_EQ(painter_.calls, compiled + 1);
  EXPECT_TRUE(near(gl_->pixel(50, 60), 0, 0, 0)) << gl_->pixel(50, 60);
  EXPECT_TRUE(near(gl_->pixel(200, 60), 255, 255, 255)) << gl_->pixel(200, 60);
}

TEST_F(CanvasTest, TextTheFontMustDrawTurningUpLaterIsRecordedDrawing) {
  CanvasWindow* w = canvas_->activeWindow();
  w->setVisualizer(&painter_);
  w->setDiagram(diagram_.get());  // the first recording is drawn while compiled
  w->render(false);               // no text: compiled only, then replayed
  const int before = painter_.calls;
  painter_.withText = true;
  GLPainter::setTextBatching(false);  // the text goes through the font's own drawing
  const unsigned long refused = GLPainter::fontDrawingsRefused();
  w->render(false);
  EXPECT_EQ(GLPainter::fontDrawingsRefused(), refused + 1);
  EXPECT_EQ(painter_.calls, before + 2) << "recorded again, drawn while compiled";
  const std::vector<std::uint8_t> recorded = gl_->pixels();
  int textPixels = 0;
  for (std::size_t i = 0; i < recorded.size(); i += 4) textPixels += recorded[i] > 100 && recorded[i + 1] < 60;
  EXPECT_GT(textPixels, 20);
  w->render(true);
  EXPECT_EQ(gl_->pixels(), recorded);
  w->render(false);
  EXPECT_EQ(painter_.calls, before + 3) << "known since the last recording: recorded once, drawing";
  EXPECT_EQ(GLPainter::fontDrawingsRefused(), refused + 1);
  GLPainter::setTextBatching(true);
}

TEST_F(CanvasTest, ListGoneStaleInStereoIsRecompiled) {
  CanvasWindow* w = canvas_->activeWindow();
  w->setVisualizer(&painter_);
  w->setDiagram(diagram_.get());
  w->render(false);  // list holds the black box
  w->setStereo(true);
  painter_.color = Color(0, 0, 1, 1);
  w->render(false);  // content changed while stereo drew without the list
  w->setStereo(false);
  const int before = painter_.calls;
  w->render(true);
  EXPECT_EQ(painter_.calls, before + 1);
  EXPECT_TRUE(near(gl_->pixel(120, 60), 0, 0, 255)) << gl_->pixel(120, 60);
}

TEST_F(CanvasTest, StereoPutsLeftEyeInRedAndRightEyeInGreenBlue) {
  SettingsRestore restore;
  settings().setFloat("Visualizer.General.Stereo.EyeSeperation", 20.0f);
  CanvasWindow* w = canvas_->activeWindow();
  w->setVisualizer(&painter_);
  w->setDiagram(diagram_.get());
  w->setStereo(true);
  w->render(false);

  // Where each eye sees the box's left and right edges, on the middle row.
  auto edgeX = [&](int eye, float x) {
    const Matrix4 vp = w->viewMatrix(eye) * w->projectionMatrix(eye);
    const Vec3 ndc = vp.transformPoint({x, 0, 0});
    return (ndc.x + 1.0f) * 0.5f * 240.0f;
  };
  const float rightEyeLeft = edgeX(-1, -30), rightEyeRight = edgeX(-1, 30);
  const float leftEyeLeft = edgeX(+1, -30), leftEyeRight = edgeX(+1, 30);
  ASSERT_LT(rightEyeLeft + 4, leftEyeLeft) << "the eye images should be apart";
  ASSERT_LT(rightEyeRight + 4, leftEyeRight);

  // Only eye -1 (the eye shifted right) covers the left strip: its black
  // went into green and blue, red stayed white.
  const int onlyMinus = static_cast<int>((rightEyeLeft + leftEyeLeft) / 2);
  EXPECT_TRUE(near(gl_->pixel(onlyMinus, 60), 255, 0, 0)) << gl_->pixel(onlyMinus, 60);
  // Only eye +1 covers the right strip: red only.
  const int onlyPlus = static_cast<int>((rightEyeRight + leftEyeRight) / 2);
  EXPECT_TRUE(near(gl_->pixel(onlyPlus, 60), 0, 255, 255)) << gl_->pixel(onlyPlus, 60);
  EXPECT_TRUE(near(gl_->pixel(120, 60), 0, 0, 0)) << gl_->pixel(120, 60);
  // The colour mask is whole again afterwards.
  GLboolean mask[4];
  glGetBooleanv(GL_COLOR_WRITEMASK, mask);
  EXPECT_TRUE(mask[0] && mask[1] && mask[2] && mask[3]);
}

TEST_F(CanvasTest, SplitGivesTheNewWindowTheDiagramAndTellsTheOwner) {
  CanvasWindow* first = canvas_->activeWindow();
  first->setVisualizer(&painter_);
  first->setDiagram(diagram_.get());
  first->setZoom(5.0f);
  canvas_->splitActive(true, 0.5f);
  ASSERT_EQ(owner_.calls.size(), 1u);
  EXPECT_EQ(owner_.calls[0], std::make_pair(first, false));
  EXPECT_EQ(canvas_->activeWindow(), first);
  EXPECT_EQ(first->rect(), (PixelRect{0, 0, 240, 60}));
  EXPECT_FLOAT_EQ(first->zoom(), 5.0f);  // the old camera is untouched

  auto leaves = canvas_->tree().leaves();
  ASSERT_EQ(leaves.size(), 2u);
  CanvasWindow* second = leaves[1]->window;
  EXPECT_EQ(second->rect(), (PixelRect{0, 60, 240, 60}));
  EXPECT_EQ(second->diagram(), diagram_.get());
  EXPECT_EQ(second->visualizer(), &painter_);
  EXPECT_FLOAT_EQ(second->zoom(), std::min(240.0f / 60.0f, 60.0f / 40.0f) * 0.95f);
}

TEST_F(CanvasTest, DeleteActiveMovesToTheSiblingsLeftmostLeaf) {
  CanvasWindow* only = canvas_->activeWindow();
  canvas_->deleteActive();  // a single window stays
  ASSERT_EQ(owner_.calls.size(), 1u);
  EXPECT_EQ(owner_.calls[0], std::make_pair(only, true));
  EXPECT_EQ(canvas_->activeWindow(), only);

  canvas_->splitActive(false, 0.5f);  // only | B
  CanvasWindow* b = canvas_->tree().leaves()[1]->window;
  // Make B active by a click in it, then split it into B | C stacked.
  mouse(wxEVT_LEFT_UP, 200, 60, false);
  ASSERT_EQ(canvas_->activeWindow(), b);
  canvas_->splitActive(true, 0.5f);
  CanvasWindow* c = canvas_->tree().leaves()[2]->window;
  // Back to the first window and delete it: B's subtree takes the canvas.
  mouse(wxEVT_LEFT_UP, 30, 60, false);
  ASSERT_EQ(canvas_->activeWindow(), only);
  owner_.calls.clear();
  canvas_->deleteActive();
  EXPECT_EQ(canvas_->activeWindow(), b);
  ASSERT_EQ(owner_.calls.size(), 1u);
  EXPECT_EQ(owner_.calls[0], std::make_pair(b, false));
  EXPECT_EQ(b->rect(), (PixelRect{0, 0, 240, 60}));
  EXPECT_EQ(c->rect(), (PixelRect{0, 60, 240, 60}));
  canvas_->deleteActive();
  EXPECT_EQ(canvas_->activeWindow(), c);
  EXPECT_TRUE(canvas_->rootOnly());
  EXPECT_EQ(c->rect(), (PixelRect{0, 0, 240, 120}));
}

// A window's recording is in diagram units: splitting, moving the
// separator, activating another window, an expose and removing a window
// leave it valid. Only a new window records its scene (on a big diagram
// each recording is a wait of a second or more).
TEST_F(CanvasTest, LayoutChangesRecordOnlyANewWindowsScene) {
  CanvasWindow* first = canvas_->activeWindow();
  first->setVisualizer(&painter_);
  first->setDiagram(diagram_.get());
  struct Step {
    const char* name;
    std::function<void()> action;
    int recordings;  // over all windows, a new one counting from none
    std::size_t windows;
  };
  const Step steps[] = {
      {"split", [&] { canvas_->splitActive(false, 0.5f); }, 1, 2},
      {"separator dragged",
       [&] {
         mouse(wxEVT_MOTION, 118, 60, false);
         mouse(wxEVT_LEFT_DOWN, 118, 60, true);
         mouse(wxEVT_MOTION, 160, 60, true);
         mouse(wxEVT_LEFT_UP, 160, 60, false);
       },
       0, 2},
      {"the other window made active", [&] { mouse(wxEVT_LEFT_UP, 220, 60, false); }, 0, 2},
      {"exposed",
       [&] {
         canvas_->Refresh(false);
         canvas_->Update();
         for (int i = 0; i < 5; ++i) wxTheApp->Yield(true);
       },
       0, 2},
      {"split again", [&] { canvas_->splitActive(true, 0.5f); }, 1, 3},
      {"active window removed", [&] { canvas_->deleteActive(); }, 0, 2},
  };
  std::map<CanvasWindow*, int> recorded;
  for (WindowNode* leaf : canvas_->tree().leaves()) recorded[leaf->window] = leaf->window->sceneRecordings();
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    step.action();
    int made = 0;
    const std::vector<WindowNode*> leaves = canvas_->tree().leaves();
    ASSERT_EQ(leaves.size(), step.windows);
    std::map<CanvasWindow*, int> now;
    for (WindowNode* leaf : leaves) {
      const auto known = recorded.find(leaf->window);
      made += leaf->window->sceneRecordings() - (known == recorded.end() ? 0 : known->second);
      now[leaf->window] = leaf->window->sceneRecordings();
      EXPECT_EQ(leaf->window->diagram(), diagram_.get());
      EXPECT_TRUE(leaf->window->displayListValid());
    }
    EXPECT_EQ(made, step.recordings);
    recorded = now;
  }
}

TEST_F(CanvasTest, DraggingASeparatorStopsAtTenAndNinetyPercent) {
  canvas_->splitActive(false, 0.5f);
  CanvasWindow* left = canvas_->activeWindow();
  CanvasWindow* right = canvas_->tree().leaves()[1]->window;
  // Hover over the bar (x 118), press, drag far right.
  mouse(wxEVT_MOTION, 118, 60, false);
  mouse(wxEVT_LEFT_DOWN, 118, 60, true);
  mouse(wxEVT_MOTION, 600, 60, true);
  EXPECT_FLOAT_EQ(canvas_->tree().root().fraction, 0.9f);
  EXPECT_EQ(left->rect(), (PixelRect{0, 0, 216, 120}));
  EXPECT_EQ(right->rect().x, 216);
  EXPECT_GE(right->rect().x + right->rect().width, 240);  // reaches the right edge
  mouse(wxEVT_MOTION, -50, 60, true);
  EXPECT_FLOAT_EQ(canvas_->tree().root().fraction, 0.1f);
  EXPECT_EQ(left->rect().width, 24);
  // Releasing ends the drag: moving on does not change the split.
  mouse(wxEVT_LEFT_UP, 24, 60, false);
  mouse(wxEVT_MOTION, 100, 60, false);
  EXPECT_FLOAT_EQ(canvas_->tree().root().fraction, 0.1f);
  EXPECT_EQ(canvas_->activeWindow(), left);
  // Pressing away from the bar starts no drag.
  mouse(wxEVT_LEFT_DOWN, 200, 60, true);
  mouse(wxEVT_MOTION, 210, 60, true);
  EXPECT_FLOAT_EQ(canvas_->tree().root().fraction, 0.1f);
}

TEST_F(CanvasTest, RefreshRecompilesOnlyTheWindowAskedForAndDrawsItLast) {
  CanvasWindow* first = canvas_->activeWindow();
  first->setVisualizer(&painter_);
  first->setDiagram(diagram_.get());
  canvas_->splitActive(false, 0.5f);
  CanvasWindow* second = canvas_->tree().leaves()[1]->window;
  ClassDiagram other("o", new VisualElementLayout("", new Vec2(-5, -5), new Vec2(5, 5)));
  second->setDiagram(&other);
  ASSERT_EQ(painter_.last, &other);

  painter_.calls = 0;
  canvas_->refreshWindow(first, false);
  EXPECT_EQ(painter_.calls, 1);
  EXPECT_EQ(painter_.last, diagram_.get());
  canvas_->refreshWindow(second, true);
  EXPECT_EQ(painter_.calls, 1);  // both replayed
  canvas_->repaint();
  EXPECT_EQ(painter_.calls, 3);  // a full repaint recompiles every window
}

class RecordingMouse : public WindowMouseHandler {
 public:
  void onMouse(CanvasWindow& window, const PointerEvent& event, int canvasHeight) override {
    windows.push_back(&window);
    heights.push_back(canvasHeight);
  }
  std::vector<CanvasWindow*> windows;
  std::vector<int> heights;
};

class NoOverlay : public HoverOverlay {
 public:
  void draw(int, int) override {}
};

TEST_F(CanvasTest, MouseGoesToTheActiveWindowAndAClickElsewhereMovesIt) {
  RecordingMouse handler;
  CanvasWindow* first = canvas_->activeWindow();
  first->setMouseHandler(&handler);
  canvas_->splitActive(false, 0.5f);
  CanvasWindow* second = canvas_->tree().leaves()[1]->window;
  EXPECT_EQ(second->mouseHandler(), &handler);
  owner_.calls.clear();

  mouse(wxEVT_MOTION, 30, 10, false);
  ASSERT_EQ(handler.windows.size(), 1u);
  EXPECT_EQ(handler.windows[0], first);
  EXPECT_EQ(handler.heights[0], 120);

  // Into the other window: the active one loses its hover box, nothing is
  // handed on until a click there.
  first->setHoverBox(std::make_unique<NoOverlay>());
  mouse(wxEVT_MOTION, 200, 10, false);
  EXPECT_EQ(first->hoverBox(), nullptr);
  EXPECT_EQ(handler.windows.size(), 1u);
  mouse(wxEVT_LEFT_DOWN, 200, 10, true);
  EXPECT_EQ(canvas_->activeWindow(), first);
  mouse(wxEVT_LEFT_UP, 200, 10, false);
  EXPECT_EQ(canvas_->activeWindow(), second);
  ASSERT_EQ(owner_.calls.size(), 1u);
  EXPECT_EQ(owner_.calls[0], std::make_pair(second, false));
  mouse(wxEVT_MOTION, 210, 10, false);
  ASSERT_EQ(handler.windows.size(), 2u);
  EXPECT_EQ(handler.windows[1], second);
}

TEST_F(CanvasTest, PaintEventRedrawsEveryWindow) {
  canvas_->activeWindow()->setVisualizer(&painter_);
  canvas_->activeWindow()->setDiagram(diagram_.get());
  canvas_->splitActive(true, 0.5f);
  // A paint replays what the windows recorded; lists made stale (as a
  // change of what they show makes them) are recorded by it: the painter
  // is called for both windows.
  for (WindowNode* leaf : canvas_->tree().leaves()) leaf->window->invalidateDisplayList();
  const int before = painter_.calls;
  canvas_->Refresh(false);
  // The toolkit delivers the paint when it gets to it (and may add its own).
  EXPECT_TRUE(test::yieldUntil([&] { return painter_.calls >= before + 2; })) << painter_.calls - before << " draws";
  EXPECT_EQ((painter_.calls - before) % 2, 0) << "a paint draws both windows";
}

TEST_F(CanvasTest, ClearingDiagramsLeavesPaintersAndDrawsNothing) {
  canvas_->activeWindow()->setVisualizer(&painter_);
  canvas_->activeWindow()->setDiagram(diagram_.get());
  canvas_->splitActive(false, 0.5f);
  canvas_->forEachWindowClearDiagram();
  for (WindowNode* leaf : canvas_->tree().leaves()) {
    EXPECT_EQ(leaf->window->diagram(), nullptr);
    EXPECT_EQ(leaf->window->visualizer(), &painter_);
  }
  const int calls = painter_.calls;
  canvas_->renderAllWindows();
  EXPECT_EQ(painter_.calls, calls);
  EXPECT_TRUE(near(gl_->pixel(60, 60), 255, 255, 255));
}

}  // namespace
}  // namespace lumetra
