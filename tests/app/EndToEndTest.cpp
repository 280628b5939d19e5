// The lumetra program as a user runs it: started under Xvfb with a model on
// its command line, driven with real input events (XTest through
// wxUIActionSimulator): a Ctrl-drag moves one class box, Ctrl-S opens the
// save dialog, the path is typed and Enter pressed. The saved diagram file
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
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

const std::string kModel = std::string(LUMETRA_SOURCE_DIR) + "/examples/webshop.xmi";

// The running program; killed when the test ends however it ends.
class Program {
 public:
  explicit Program(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) pid_ = -1;
  }
  ~Program() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
  bool running() const { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }

 private:
  pid_t pid_ = -1;
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

// Whether a top-level window of that title is mapped (the toolkit's dialogs
// are children of the root window when no window manager runs).
bool windowShown(const std::string& title) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return false;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  bool found = false;
  if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
    for (unsigned i = 0; i < count && !found; ++i) {
      char* name = nullptr;
      XWindowAttributes attributes;
      if (XFetchName(display, children[i], &name) && name != nullptr) {
        found = title == name && XGetWindowAttributes(display, children[i], &attributes) &&
                attributes.map_state == IsViewable;
        XFree(name);
      }
    }
    if (children != nullptr) XFree(children);
  }
  XCloseDisplay(display);
  return found;
}

bool pixelIs(const wxImage& image, int x, int y, unsigned char r, unsigned char g, unsigned char b) {
  return image.GetRed(x, y) == r && image.GetGreen(x, y) == g && image.GetBlue(x, y) == b;
}

// Inside the active window's frame (drawn in (255, 119, 119)), a point well
// inside a class box body (pale yellow all round it); none: (-1, -1).
wxPoint findClassBody(const wxImage& image) {
  int x0 = image.GetWidth(), y0 = image.GetHeight(), x1 = -1, y1 = -1;
  for (int y = 0; y < image.GetHeight(); ++y)
    for (int x = 0; x < image.GetWidth(); ++x)
      if (pixelIs(image, x, y, 255, 119, 119)) {
        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
      }
  if (x1 - x0 < 200 || y1 - y0 < 200) return {-1, -1};
  for (int y = y0 + 10; y < y1 - 10; ++y)
    for (int x = x0 + 10; x < x1 - 10; ++x) {
      bool body = true;
      for (int dy = -4; dy <= 4 && body; ++dy)
        for (int dx = -8; dx <= 8 && body; ++dx) body = pixelIs(image, x + dx, y + dy, 255, 255, 204);
      if (body) return {x, y};
    }
  return {-1, -1};
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

void pause(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  wxTheApp->Yield(true);
}

TEST(EndToEndTest, CtrlDragABoxSaveWithCtrlSAndFindItMovedInTheFile) {
  const fs::path dir = fs::temp_directory_path() / ("lumetra-e2e-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string reference = (dir / "reference.dia").string();
  const std::string saved = (dir / "moved.dia").string();
  ASSERT_EQ(std::system((std::string(LUMETRA_EXE) + " --save-diagram " + reference + " " + kModel).c_str()), 0);

  // What the program remembers goes to a file of the test's own.
  const fs::path config = dir / "config" / "lumetra.ini";
  ::setenv("LUMETRA_CONFIG_FILE", config.c_str(), 1);
  Program viewer({LUMETRA_EXE, "--diagram", "Orders and billing", kModel});
  ::unsetenv("LUMETRA_CONFIG_FILE");
  wxPoint body(-1, -1);
  for (int i = 0; i < 300 && body.x < 0 && viewer.running(); ++i) {
    pause(100);
    body = findClassBody(grabScreen());
  }
  if (body.x < 0) {
    wxImage::AddHandler(new wxPNGHandler);
    grabScreen().SaveFile((dir / "screen.png").string(), wxBITMAP_TYPE_PNG);
  }
  ASSERT_GE(body.x, 0) << "no class box on screen; the screen is in " << (dir / "screen.png").string();
  pause(500);  // let the start-up settle
  body = findClassBody(grabScreen());

  wxUIActionSimulator input;
  input.MouseMove(body);
  pause(200);
  input.KeyDown(WXK_CONTROL);
  input.MouseDown();
  for (int step = 1; step <= 4; ++step) {
    input.MouseMove(body + wxPoint(10 * step, 5 * step));
    pause(100);
  }
  input.MouseUp();
  input.KeyUp(WXK_CONTROL);
  pause(300);

  input.Char('s', wxMOD_CONTROL);
  for (int i = 0; i < 150 && !windowShown("Save Diagram"); ++i) pause(100);
  ASSERT_TRUE(windowShown("Save Diagram")) << "Ctrl-S opened no save dialog";
  pause(700);  // the name field takes the focus
  input.Char('a', wxMOD_CONTROL);
  input.Text(saved.c_str());
  pause(300);
  input.Char(WXK_RETURN);
  for (int i = 0; i < 100 && !fs::exists(saved); ++i) pause(100);
  ASSERT_TRUE(fs::exists(saved)) << "the save dialog did not write " << saved;
  pause(300);  // written through a temporary file and renamed: complete now

  const std::map<std::string, Box> before = layouts(reference), after = layouts(saved);
  ASSERT_EQ(before.size(), after.size());
  ASSERT_FALSE(before.empty());
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
  fs::remove_all(dir);
}

}  // namespace
