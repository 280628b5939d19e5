// The lumetra program as a user runs it: started under Xvfb with a model on
// its command line, driven with real input events (XTest through
// wxUIActionSimulator): a Ctrl-drag moves one class box, Ctrl-S opens the
// save dialog, a name is typed and Enter pressed. The saved diagram file
// must differ from a save of the untouched model in exactly one box, moved
// right and down by the drag, its size kept.

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/image.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tests/platform/WaitFor.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using lumetra::test::yieldUntil;

const std::string kModel = std::string(LUMETRA_SOURCE_DIR) + "/examples/webshop.xmi";

// The running program, started in a working directory of its own, its
// standard error going to a file; ended
// when the test ends however it ends: asked to quit, then killed if it has
// not gone within a few seconds (a program stuck in a modal loop must not
// hang the test run).
class Program {
 public:
  Program(std::vector<std::string> args, const std::string& workingDirectory, const std::string& errorFile) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
    posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Program() {
    if (!running()) return;
    ::kill(pid_, SIGTERM);
    if (!lumetra::test::yieldUntil([&] { return !running(); }, std::chrono::seconds(10))) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  // Whether it still runs; once it has ended it is reaped here, so that its
  // id is never signalled after the system may have given it to another.
  bool running() {
    if (pid_ > 0 && ::waitpid(pid_, &status_, WNOHANG) != 0) pid_ = -1;
    return pid_ > 0;
  }
  // Whether it has ended by itself with a status other than 0.
  bool failed() { return !running() && !(WIFEXITED(status_) && WEXITSTATUS(status_) == 0); }

 private:
  pid_t pid_ = -1;
  int status_ = 0;
};

// The whole X screen as the user sees it (read from the root window).
wxImage grabScreen() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return wxImage();
  const Window root = DefaultRootWindow(display);
  XWindowAttributes attributes;
  XGetWindowAttributes(display, root, &attributes);
  XImage* shot = XGetImage(display, root, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
  wxImage image;
  if (shot != nullptr) {
    image.Create(attributes.width, attributes.height, false);
    for (int y = 0; y < attributes.height; ++y)
      for (int x = 0; x < attributes.width; ++x) {
        const unsigned long pixel = XGetPixel(shot, x, y);
        image.SetRGB(x, y, (pixel >> 16) & 0xff, (pixel >> 8) & 0xff, pixel & 0xff);
      }
    XDestroyImage(shot);
  }
  XCloseDisplay(display);
  return image;
}

// The display of the test's own queries, with X errors (a window gone
// between two requests) ignored while it is open instead of ending the test.
class XQueries {
 public:
  XQueries() : display_(XOpenDisplay(nullptr)), previous_(XSetErrorHandler([](Display*, XErrorEvent*) { return 0; })) {}
  ~XQueries() {
    if (display_ != nullptr) XCloseDisplay(display_);
    XSetErrorHandler(previous_);
  }
  Display* display() const { return display_; }

  // The title of a top-level window (a child of the root); "" for none.
  std::string title(Window window) const {
    char* name = nullptr;
    std::string text;
    if (XFetchName(display_, window, &name) && name != nullptr) {
      text = name;
      XFree(name);
    }
    return text;
  }
  // The top-level window that holds window (itself, if it is one); 0 for
  // the root or none.
  Window topLevel(Window window) const {
    const Window rootWindow = DefaultRootWindow(display_);
    while (window != 0 && window != rootWindow) {
      Window root = 0, parent = 0, *children = nullptr;
      unsigned count = 0;
      if (!XQueryTree(display_, window, &root, &parent, &children, &count)) return 0;
      if (children != nullptr) XFree(children);
      if (parent == rootWindow) return window;
      window = parent;
    }
    return 0;
  }

 private:
  Display* display_;
  XErrorHandler previous_;
};

// Whether typed keys reach the top-level window of that title: it holds the
// input focus, or the focus follows the pointer and the pointer is over it.
bool keysGoTo(const std::string& title) {
  XQueries x;
  if (x.display() == nullptr) return false;
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(x.display(), &focus, &revert);
  if (focus == PointerRoot) {
    Window root = 0;
    int rootX = 0, rootY = 0, x0 = 0, y0 = 0;
    unsigned mask = 0;
    XQueryPointer(x.display(), DefaultRootWindow(x.display()), &root, &focus, &rootX, &rootY, &x0, &y0, &mask);
  }
  const Window holder = focus == None ? 0 : x.topLevel(focus);
  return holder != 0 && x.title(holder) == title;
}

// Where the top-level window of that title is on screen; empty for none.
wxRect windowArea(const std::string& title) {
  XQueries x;
  wxRect area;
  if (x.display() == nullptr) return area;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (XQueryTree(x.display(), DefaultRootWindow(x.display()), &root, &parent, &children, &count)) {
    for (unsigned i = 0; i < count && area.IsEmpty(); ++i) {
      XWindowAttributes attributes;
      if (x.title(children[i]) == title && XGetWindowAttributes(x.display(), children[i], &attributes) &&
          attributes.map_state == IsViewable)
        area = wxRect(attributes.x, attributes.y, attributes.width, attributes.height);
    }
    if (children != nullptr) XFree(children);
  }
  return area;
}

// Dark pixels of the label of the file dialog's Save button (its bottom
// right corner): the theme draws an enabled button's label dark, a disabled
// one's grey.
// Rows of the file dialog's name field (its top band) that show a long
// run of selected text (the theme's selection blue, 100 pixels and more):
// the field's focus line makes a few such rows, a selected path many.
int selectedNameRows(const wxImage& screen, const wxRect& dialog) {
  if (dialog.IsEmpty() || !screen.IsOk()) return 0;
  const wxRect band = wxRect(dialog.GetLeft(), dialog.GetTop(), dialog.GetWidth(), 60).Intersect(wxRect(screen.GetSize()));
  int rows = 0;
  for (int y = band.GetTop(); y <= band.GetBottom(); ++y) {
    int run = 0, longest = 0;
    for (int x = band.GetLeft(); x <= band.GetRight(); ++x) {
      const bool blue = std::abs(screen.GetRed(x, y) - 53) < 30 && std::abs(screen.GetGreen(x, y) - 132) < 30 &&
                        std::abs(screen.GetBlue(x, y) - 228) < 30;
      run = blue ? run + 1 : 0;
      longest = std::max(longest, run);
    }
    if (longest >= 100) ++rows;
  }
  return rows;
}

int saveButtonInk(const wxImage& screen, const wxRect& dialog) {
  if (dialog.IsEmpty() || !screen.IsOk()) return 0;
  const wxRect corner = wxRect(dialog.GetRight() - 92, dialog.GetBottom() - 50, 86, 46)
                            .Intersect(wxRect(screen.GetSize()));
  int ink = 0;
  for (int y = corner.GetTop(); y <= corner.GetBottom(); ++y)
    for (int x = corner.GetLeft(); x <= corner.GetRight(); ++x)
      if (screen.GetRed(x, y) < 100 && screen.GetGreen(x, y) < 100 && screen.GetBlue(x, y) < 100) ++ink;
  return ink;
}

// Whether a top-level window of that title is mapped (the toolkit's dialogs
// are children of the root window when no window manager runs).
bool windowShown(const std::string& title) { return !windowArea(title).IsEmpty(); }

bool pixelIs(const wxImage& image, int x, int y, unsigned char r, unsigned char g, unsigned char b) {
  return image.GetRed(x, y) == r && image.GetGreen(x, y) == g && image.GetBlue(x, y) == b;
}

// The active window's frame (drawn in (255, 119, 119)) on screen; empty
// when there is none, or one too small to hold a diagram.
wxRect activeWindowFrame(const wxImage& image) {
  int x0 = image.GetWidth(), y0 = image.GetHeight(), x1 = -1, y1 = -1;
  for (int y = 0; y < image.GetHeight(); ++y)
    for (int x = 0; x < image.GetWidth(); ++x)
      if (pixelIs(image, x, y, 255, 119, 119)) {
        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
      }
  if (x1 - x0 < 200 || y1 - y0 < 200) return {};
  return wxRect(wxPoint(x0, y0), wxPoint(x1, y1));
}

// Inside the active window's frame, a point well inside a class box body
// (pale yellow all round it); none: (-1, -1).
wxPoint findClassBody(const wxImage& image) {
  const wxRect frame = activeWindowFrame(image);
  if (frame.IsEmpty()) return {-1, -1};
  for (int y = frame.GetTop() + 10; y < frame.GetBottom() - 10; ++y)
    for (int x = frame.GetLeft() + 10; x < frame.GetRight() - 10; ++x) {
      bool body = true;
      for (int dy = -4; dy <= 4 && body; ++dy)
        for (int dx = -8; dx <= 8 && body; ++dx) body = pixelIs(image, x + dx, y + dy, 255, 255, 204);
      if (body) return {x, y};
    }
  return {-1, -1};
}

// Whether the two screens show the same inside area (the diagram window:
// a blinking text cursor elsewhere does not count).
bool sameInside(const wxImage& a, const wxImage& b, const wxRect& area) {
  if (!a.IsOk() || !b.IsOk() || a.GetSize() != b.GetSize()) return false;
  for (int y = area.GetTop(); y <= area.GetBottom(); ++y)
    if (std::memcmp(a.GetData() + (static_cast<std::size_t>(y) * a.GetWidth() + area.GetLeft()) * 3,
                    b.GetData() + (static_cast<std::size_t>(y) * b.GetWidth() + area.GetLeft()) * 3,
                    static_cast<std::size_t>(area.GetWidth()) * 3) != 0)
      return false;
  return true;
}

struct Box {
  float left, down, right, up;
};

// Every layout of the file by diagram element id.
std::map<std::string, Box> layouts(const std::string& file) {
  std::map<std::string, Box> boxes;
  pugi::xml_document document;
  if (!document.load_file(file.c_str())) return boxes;
  for (const pugi::xpath_node& node : document.select_nodes("//diagram_element")) {
    const pugi::xml_node layout = node.node().child("layouts").child("layout");
    boxes[node.node().attribute("id").value()] = {layout.attribute("left").as_float(),
                                                  layout.attribute("down").as_float(),
                                                  layout.attribute("right").as_float(),
                                                  layout.attribute("up").as_float()};
  }
  return boxes;
}

// Moves the pointer there and waits until the X server has it there.
bool pointerTo(wxUIActionSimulator& input, wxPoint at) {
  input.MouseMove(at);
  return yieldUntil([&] { return wxGetMousePosition() == at; });
}

TEST(EndToEndTest, CtrlDragABoxSaveWithCtrlSAndFindItMovedInTheFile) {
  const fs::path dir = fs::temp_directory_path() / ("lumetra-e2e-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string reference = (dir / "reference.dia").string();
  // A long name: shown selected, it is told apart from the dialog's
  // proposed name, whose stem the dialog selects when it opens.
  const std::string savedName = "moved-by-a-ctrl-drag-in-the-viewer.dia";
  const std::string saved = (dir / savedName).string();
  const std::string screenFile = (dir / "screen.png").string();
  ASSERT_EQ(std::system((std::string(LUMETRA_EXE) + " --save-diagram " + reference + " " + kModel).c_str()), 0);
  const std::map<std::string, Box> before = layouts(reference);
  ASSERT_FALSE(before.empty());
  // What the screen showed when a step failed, for the failure message.
  const auto keepScreen = [&] {
    wxImage::AddHandler(new wxPNGHandler);
    grabScreen().SaveFile(screenFile, wxBITMAP_TYPE_PNG);
    return "; the screen is in " + screenFile;
  };

  // What the program remembers goes to a file of the test's own.
  const fs::path config = dir / "config" / "lumetra.ini";
  ::setenv("LUMETRA_CONFIG_FILE", config.c_str(), 1);
  // Started in the test's folder, where its file dialogs open: the name
  // typed below has no folder part for the dialog to complete or look up
  // (completing a typed folder, it has dropped keys on a loaded machine).
  const fs::path errors = dir / "viewer-stderr.txt";
  Program viewer({LUMETRA_EXE, "--diagram", "Orders and billing", kModel}, dir.string(), errors.string());
  ::unsetenv("LUMETRA_CONFIG_FILE");

  // The diagram is on screen and the picture holds still: two grabs in a
  // row are alike, so the box is pressed where it stays.
  wxImage screen, previous;
  wxRect diagramWindow;
  wxPoint body(-1, -1);
  const bool steady = yieldUntil([&] {
    if (!viewer.running()) return true;
    previous = screen;
    screen = grabScreen();
    diagramWindow = activeWindowFrame(screen);
    body = findClassBody(screen);
    return body.x >= 0 && sameInside(previous, screen, diagramWindow);
  });
  ASSERT_TRUE(viewer.running()) << "the program ended before it showed the diagram";
  ASSERT_TRUE(steady && body.x >= 0) << "no class box held still on screen" << keepScreen();

  wxUIActionSimulator input;
  ASSERT_TRUE(pointerTo(input, body)) << "the pointer never reached the box";
  input.KeyDown(WXK_CONTROL);
  input.MouseDown();
  for (int step = 1; step <= 4; ++step)
    ASSERT_TRUE(pointerTo(input, body + wxPoint(10 * step, 5 * step))) << "the drag stopped at step " << step;
  input.MouseUp();
  input.KeyUp(WXK_CONTROL);
  // The program has taken the drag in once the box shows at its new place.
  ASSERT_TRUE(yieldUntil([&] { return !sameInside(grabScreen(), screen, diagramWindow); }))
      << "the Ctrl-drag changed nothing on screen" << keepScreen();

  input.Char('s', wxMOD_CONTROL);
  ASSERT_TRUE(yieldUntil([] { return windowShown("Save Diagram"); })) << "Ctrl-S opened no save dialog" << keepScreen();
  // The dialog puts its name field in focus before it maps; typed keys
  // reach it once the dialog has the keyboard.
  ASSERT_TRUE(yieldUntil([] { return keysGoTo("Save Diagram"); }))
      << "the save dialog never took the keyboard" << keepScreen();
  input.Char('a', wxMOD_CONTROL);
  input.Text(savedName.c_str());
  // Selecting the whole field again marks that the dialog has taken every
  // typed key (keys arrive in order): the name shows selected.
  input.Char('a', wxMOD_CONTROL);
  int selectedRows = 0;
  ASSERT_TRUE(yieldUntil([&] {
    return (selectedRows = selectedNameRows(grabScreen(), windowArea("Save Diagram"))) >= 8;
  })) << "the typed name never showed selected in the name field (" << selectedRows << " rows)" << keepScreen();
  // The dialog checks what was typed before it takes Enter (its Save button
  // is disabled meanwhile): wait until Save is enabled.
  int saveInk = 0;
  ASSERT_TRUE(yieldUntil([&] { return (saveInk = saveButtonInk(grabScreen(), windowArea("Save Diagram"))) >= 12; }))
      << "the Save button stayed disabled after the name was typed (" << saveInk << " dark pixels)" << keepScreen();
  input.Char(WXK_RETURN);
  // Written through a temporary file renamed over the name: once it reads
  // with every element, it is complete.
  std::map<std::string, Box> after;
  const bool written = yieldUntil([&] {
    after = layouts(saved);
    return after.size() == before.size();
  });
  ASSERT_TRUE(written) << "the save dialog did not write " << saved << " whole (" << after.size() << " of "
                       << before.size() << " elements)" << keepScreen();

  int movedCount = 0;
  for (const auto& [id, was] : before) {
    const Box now = after.at(id);
    if (now.left == was.left && now.down == was.down) continue;
    ++movedCount;
    EXPECT_GT(now.left, was.left) << id << " moved right";
    EXPECT_LT(now.down, was.down) << id << " moved down (y up)";
    EXPECT_NEAR(now.right - now.left, was.right - was.left, 1e-3) << id;
    EXPECT_NEAR(now.up - now.down, was.up - was.down, 1e-3) << id;
  }
  EXPECT_EQ(movedCount, 1);

  // The opened model was written to the recent files of that file at once.
  std::ifstream remembered(config);
  const std::string text((std::istreambuf_iterator<char>(remembered)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("[RecentModels]"), std::string::npos) << text;
  EXPECT_NE(text.find("file1=" + fs::absolute(kModel).lexically_normal().string()), std::string::npos) << text;
  // The toolkit found nothing wrong with how the viewer built and laid out
  // its windows.
  std::ifstream errorStream(errors);
  const std::string errorText((std::istreambuf_iterator<char>(errorStream)), std::istreambuf_iterator<char>());
  EXPECT_EQ(errorText.find("-CRITICAL"), std::string::npos) << errorText;

  // Kept for a look when the test failed.
  if (!HasFailure()) fs::remove_all(dir);
}

// A viewer that finds its font nowhere (not beside it, not in its data
// folder) says so, in a message and on its standard error, and ends when
// the message is closed: it neither ends without a word nor shows a window
// that cannot draw a name.
TEST(EndToEndTest, AViewerWithoutItsFontSaysWhyAndEnds) {
  if (fs::exists(fs::path(LUMETRA_DATA_DIR) / "arial.ttf")) GTEST_SKIP() << "an installed font is found";
  const fs::path dir = fs::temp_directory_path() / ("lumetra-nofont-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path viewerCopy = dir / "lumetra-viewer";
  fs::copy_file(fs::path(LUMETRA_EXE).parent_path() / "lumetra-viewer", viewerCopy);
  const fs::path errors = dir / "viewer-stderr.txt";
  Program viewer({viewerCopy.string()}, dir.string(), errors.string());

  wxRect message;
  ASSERT_TRUE(yieldUntil([&] { return !(message = windowArea("Lumetra Visualizer")).IsEmpty(); }))
      << "no message came up";
  // Its only button fills the message's lower edge.
  wxUIActionSimulator input;
  ASSERT_TRUE(pointerTo(input, wxPoint(message.GetLeft() + message.GetWidth() / 2, message.GetBottom() - 12)));
  input.MouseClick();
  ASSERT_TRUE(yieldUntil([&] { return !viewer.running(); })) << "the viewer went on after the message";
  EXPECT_TRUE(viewer.failed());
  std::ifstream text(errors);
  const std::string said((std::istreambuf_iterator<char>(text)), std::istreambuf_iterator<char>());
  EXPECT_NE(said.find("Could not construct font from arial.ttf"), std::string::npos) << said;
  if (!HasFailure()) fs::remove_all(dir);
}

}  // namespace
