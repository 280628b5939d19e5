// Reading on a worker thread while the window stays alive: a read that ends
// at once shows no progress dialog, one that outlasts the delay shows it
// while the window's events keep being handled, and a read that fails
// reports its exception to the caller.

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/frame.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <stdexcept>

#include "app/frame/ReadProgress.h"

namespace lumetra {
namespace {

class ReadProgressTest : public ::testing::Test {
 protected:
  ReadProgressTest() : frame(new wxFrame(nullptr, wxID_ANY, "reading")) { frame->Show(); }
  ~ReadProgressTest() override {
    frame->Destroy();
    wxTheApp->Yield(true);
  }
  wxFrame* frame;
};

TEST_F(ReadProgressTest, AQuickReadShowsNoDialog) {
  bool ran = false;
  EXPECT_FALSE(runWithProgress(frame, "Open", "Reading", [&] { ran = true; }, std::chrono::hours(1)));
  EXPECT_TRUE(ran);
}

TEST_F(ReadProgressTest, ALongReadShowsTheDialogAndTheWindowKeepsHandlingEvents) {
  // The read waits for the window's next repaint, which the GUI thread
  // handles only while the dialog is up: it ends only if the window is not
  // frozen meanwhile.
  struct Release {
    std::promise<void> promise;
    bool painted = false;
  };
  auto release = std::make_shared<Release>();
  std::shared_future<void> released = release->promise.get_future().share();
  // The handler keeps its state alive however late a repaint comes.
  frame->Bind(wxEVT_PAINT, [window = frame, release](wxPaintEvent&) {
    wxPaintDC dc(window);
    if (!release->painted) release->promise.set_value();
    release->painted = true;
  });
  frame->Refresh();
  std::atomic<bool> ran{false};
  // Bounded, so that a window frozen under the dialog fails the test
  // instead of hanging the test run.
  EXPECT_TRUE(runWithProgress(frame, "Open", "Reading", [&] {
    if (released.wait_for(std::chrono::minutes(1)) != std::future_status::ready)
      throw std::runtime_error("the window was not repainted while the dialog was up");
    ran = true;
  }, std::chrono::milliseconds(0)));
  EXPECT_TRUE(ran);
}

TEST_F(ReadProgressTest, AFailingReadReachesTheCaller) {
  EXPECT_THROW(runWithProgress(frame, "Open", "Reading", [] { throw std::runtime_error("unreadable"); }),
               std::runtime_error);
}

}  // namespace
}  // namespace lumetra
