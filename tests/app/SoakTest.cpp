// Random use of the whole viewer: menu and tool commands, view controls,
// list rows, tree choices and mouse actions on the canvas, on the bundled
// examples (and a broken file now and then). Nothing may crash, hang or
// leave the frame inconsistent. CTest runs 100 actions; set
// LUMETRA_SOAK_ACTIONS (for example 1000, in the sanitizer build) for a
// longer run, LUMETRA_SOAK_SEED for another sequence.

#include <gtest/gtest.h>

#include <wx/listctrl.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/panels/CheckListCtrl.h"
#include "app/panels/ModelTree.h"
#include "app/panels/WindowIds.h"
#include "app/frame/mainFrame.h"
#include "render/Canvas.h"
#include "tests/app/FrameTestSupport.h"

namespace lumetra {
namespace {

int envNumber(const char* name, int fallback) {
  const char* text = std::getenv(name);
  return text != nullptr && *text != '\0' ? std::atoi(text) : fallback;
}

TEST(SoakTest, RandomActionsOnTheExamplesKeepTheFrameWhole) {
  const std::string examples = std::string(LUMETRA_SOURCE_DIR) + "/examples/";
  const std::vector<std::string> models = {examples + "webshop.xmi", examples + "traffic-monitoring.scenario",
                                           std::string(LUMETRA_SOURCE_DIR) + "/tests/modelfiles/data/truncated.xmi",
                                           ""};
  const std::vector<std::string> metricsFiles = {examples + "webshop.met",
                                                 std::string(LUMETRA_SOURCE_DIR) + "/tests/diagram/data/broken.met", ""};
  const std::string saved =
      (std::filesystem::temp_directory_path() / ("lumetra-soak-" + std::to_string(::getpid()) + ".dia")).string();
  const int actions = envNumber("LUMETRA_SOAK_ACTIONS", 100);
  std::mt19937 random(static_cast<unsigned>(envNumber("LUMETRA_SOAK_SEED", 20261207)));
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };

  FrameHarness h;
  mainFrame& frame = h.frame();
  const int viewControls[] = {ids::ZoomToFit, ids::ResetZoom, ids::ZoomIn, ids::ZoomOut, ids::ResetCamera,
                              ids::Perspective, ids::Stereo, ids::SplitVertically, ids::SplitHorizontally,
                              ids::DeleteWindow};
  const int sliders[] = {ids::ModelTransparency, ids::MetricsTransparency, ids::AreasTransparency};
  const wxEventType mouseTypes[] = {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_MOTION, wxEVT_MOUSEWHEEL};

  for (int i = 0; i < actions; ++i) {
    SCOPED_TRACE("action " + std::to_string(i));
    switch (pick(9)) {
      case 0:  // open a model (or cancel, or a broken file)
        h.dialogs.answers.push_back(models[pick(static_cast<int>(models.size()))]);
        h.command(pick(2) ? ids::OpenModel : ids::ToolOpenModel);
        break;
      case 1:
        h.dialogs.answers.push_back(metricsFiles[pick(static_cast<int>(metricsFiles.size()))]);
        h.command(pick(2) ? ids::OpenMetrics : ids::ToolOpenMetrics);
        break;
      case 2: {
        const int which = pick(4);
        if (which == 0) h.command(ids::CloseModel);
        if (which == 1) {
          h.dialogs.answers.push_back(pick(2) ? saved : "");
          h.command(ids::ToolSaveDiagram);
        }
        if (which == 2) h.command(ids::About);
        if (which == 3 && !frame.document().diagrams().empty())
          frame.showDiagram(frame.document().diagrams()[pick(static_cast<int>(frame.document().diagrams().size()))]);
        break;
      }
      case 3: h.click(viewControls[pick(10)]); break;
      case 4: h.slide(sliders[pick(3)], pick(256)); break;
      case 5: {  // a row of either list checked or unchecked
        lmCheckListCtrl* list = pick(2) ? frame.metricList() : static_cast<lmCheckListCtrl*>(frame.areaList());
        if (list != nullptr && list->GetItemCount() > 0) list->setChecked(pick(list->GetItemCount() + 1) - 1, pick(2));
        break;
      }
      default: {  // mouse: presses, drags with Shift or Ctrl, hovering, wheel
        const wxSize size = frame.canvas()->GetClientSize();
        const wxPoint at(pick(std::max(1, size.GetWidth())), pick(std::max(1, size.GetHeight())));
        const wxEventType type = mouseTypes[pick(4)];
        if (type == wxEVT_MOUSEWHEEL) {
          wxMouseEvent wheel(wxEVT_MOUSEWHEEL);
          wheel.SetPosition(at);
          wheel.m_wheelRotation = pick(2) ? 120 : -120;
          wheel.m_wheelDelta = 120;
          frame.canvas()->ProcessWindowEvent(wheel);
        } else {
          h.mouse(type, at, type != wxEVT_LEFT_UP && pick(2), pick(3) == 0, pick(3) == 0);
        }
        FrameHarness::settle();
        break;
      }
    }
    // Whatever happened, the frame stays usable and consistent.
    ASSERT_NE(frame.canvas()->activeWindow(), nullptr);
    EXPECT_EQ(frame.FindWindow(ids::DeleteWindow)->IsEnabled(), !frame.canvas()->rootOnly());
    Diagram* shown = frame.canvas()->activeWindow()->diagram();
    if (shown != nullptr) {
      const std::vector<Diagram*>& loaded = frame.document().diagrams();
      EXPECT_NE(std::find(loaded.begin(), loaded.end(), shown), loaded.end()) << "a window shows a diagram not loaded";
    }
  }
  std::remove(saved.c_str());
}

}  // namespace
}  // namespace lumetra
