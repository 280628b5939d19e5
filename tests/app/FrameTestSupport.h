#pragma once
// A real main frame under Xvfb for GUI tests: built with scripted dialogs
// (answers queued in advance, errors recorded, nothing modal), shown, and
// driven through its handlers with the events the controls send.

#include <deque>
#include <string>
#include <vector>

#include <wx/event.h>

#include "app/frame/ReadProgress.h"
#include "app/frame/UserDialogs.h"
#include "model/Vec2.h"
#include "platform/DebugOutput.h"

namespace lumetra {

class CanvasWindow;
class Diagram;
class DiagramElement;
class mainFrame;

class ScriptedDialogs : public UserDialogs {
 public:
  std::string openFile(wxWindow*, const std::string& title, const std::string&) override { return answer(title); }
  std::string saveFile(wxWindow*, const std::string& title, const std::string&, const std::string&,
                       const std::string&) override {
    return answer(title);
  }
  std::string saveFileChoosingFilter(wxWindow*, const std::string& title, const std::string&, const std::string&,
                                     const std::string&, int& filterIndex) override {
    filterIndex = -1;
    if (!filterAnswers.empty()) {
      filterIndex = filterAnswers.front();
      filterAnswers.pop_front();
    }
    return answer(title);
  }
  std::string askText(wxWindow*, const std::string& title, const std::string&) override { return answer(title); }
  int chooseOne(wxWindow*, const std::string& title, const std::string&,
                const std::vector<std::string>& choices) override {
    asked.push_back(title);
    offered = choices;
    if (choiceAnswers.empty()) return -1;
    const int index = choiceAnswers.front();
    choiceAnswers.pop_front();
    return index;
  }
  void showError(wxWindow*, const std::string& title, const std::string& message) override {
    errors.push_back(title + ": " + message);
  }
  void showAbout(wxWindow*) override { ++abouts; }
  void workStarted(const std::string&, ProgressReport& report) override {
    if (cancelWork > 0) {
      --cancelWork;
      report.cancel();
    }
  }

  std::deque<std::string> answers;  // paths the file selectors return ("" = cancel)
  std::deque<int> filterAnswers;    // filter entries a save dialog returns (none: unknown)
  std::deque<int> choiceAnswers;    // indices a choice returns (none: cancelled)
  std::vector<std::string> offered; // the last choices offered
  std::vector<std::string> asked;   // titles of the file selectors shown
  std::vector<std::string> errors;  // "title: message"
  int abouts = 0;
  int cancelWork = 0;  // long work to cancel as it starts (Cancel of its progress dialog)

 private:
  std::string answer(const std::string& title) {
    asked.push_back(title);
    if (answers.empty()) return "";
    std::string path = answers.front();
    answers.pop_front();
    return path;
  }
};

class FrameHarness {
 public:
  FrameHarness();
  ~FrameHarness();
  FrameHarness(const FrameHarness&) = delete;
  FrameHarness& operator=(const FrameHarness&) = delete;

  mainFrame& frame() { return *frame_; }
  ScriptedDialogs dialogs;

  // Lets the toolkit handle what is queued (layout, paints, CallAfter).
  static void settle();

  // A menu or tool command, as choosing it sends it.
  void command(int id);
  // A click on a button or check box (a check box is toggled first).
  void click(int id);
  // A slider moved to value (thumb released there).
  void slide(int id, int value);

  // The active window's picture as the screen shows it: RGB, rows bottom
  // first. Every window records its scene anew first, or, with replayed,
  // replays what it recorded (one whose recording is stale records it).
  std::vector<unsigned char> activePixels(bool replayed = false);
  // Pixels that are not (near) white.
  static int inkCount(const std::vector<unsigned char>& rgb);

  // Canvas coordinates (y down) of a diagram point of the active window,
  // after centring that point: the window's middle.
  wxPoint centreOn(DiagramElement* shape);
  // Mouse events on the canvas at canvas coordinates.
  void mouse(wxEventType type, wxPoint at, bool leftDown, bool shift = false, bool ctrl = false);
  void leftClick(wxPoint at, bool shift = false);
  void ctrlDrag(wxPoint from, wxPoint to);

 private:
  // The readers' trace lines are kept out of the test output.
  DebugSink quiet_;
  mainFrame* frame_;
};

// A PNG file's RGB pixels, rows bottom first like the GL's; empty when it
// cannot be read.
std::vector<unsigned char> readPngRows(const std::string& file, int& width, int& height);

// The first top-level shape of the diagram whose model element has that
// type name, or null.
DiagramElement* firstShapeOfType(Diagram* diagram, const std::string& typeName);

}  // namespace lumetra
