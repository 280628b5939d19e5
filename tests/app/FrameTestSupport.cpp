#include "tests/app/FrameTestSupport.h"

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/slider.h>

#include <png.h>

#include <algorithm>
#include <stdexcept>

#include "app/frame/mainApplication.h"
#include "app/frame/mainFrame.h"
#include "model/Diagram.h"
#include "platform/DebugOutput.h"
#include "render/Canvas.h"
#include "render/GLPainter.h"
#include "render/PixelReadback.h"
#include "tests/platform/WaitFor.h"

namespace lumetra {

FrameHarness::FrameHarness() : quiet_(setDebugSink([](const std::string&) {})) {
  frame_ = new mainFrame("Lumetra Visualizer", wxDefaultPosition, wxSize(1024, 768), &dialogs);
  placeSashes(*frame_);
  // Thrown, as the benchmark shares the harness: a test reports it as its
  // failure.
  if (!test::showAndWaitForPaint(frame_, frame_->canvas()))
    throw std::runtime_error("the frame's canvas was never painted");
  settle();
}

FrameHarness::~FrameHarness() {
  frame_->canvas()->makeCurrent();
  frame_->Destroy();
  settle();
  // The font textures belonged to the frame's context; the next frame's
  // canvas loads the font again.
  FontRegistry::instance().clear();
  setDebugSink(quiet_);
}

void FrameHarness::settle() {
  for (int i = 0; i < 3; ++i) wxTheApp->Yield(true);
  wxTheApp->ProcessPendingEvents();
}

void FrameHarness::command(int id) {
  wxCommandEvent event(wxEVT_MENU, id);
  event.SetEventObject(frame_);
  frame_->ProcessWindowEvent(event);
  settle();
  // An answer the command did not ask for (a disabled command asks nothing)
  // must not answer a later dialog: a save would write over that path.
  dialogs.answers.clear();
}

void FrameHarness::click(int id) {
  wxWindow* control = frame_->FindWindow(id);
  if (control == nullptr) return;
  wxCommandEvent event(wxEVT_BUTTON, id);
  if (auto* box = dynamic_cast<wxCheckBox*>(control)) {
    box->SetValue(!box->GetValue());
    event.SetEventType(wxEVT_CHECKBOX);
    event.SetInt(box->GetValue());
  }
  event.SetEventObject(control);
  control->ProcessWindowEvent(event);
  settle();
}

void FrameHarness::slide(int id, int value) {
  auto* slider = dynamic_cast<wxSlider*>(frame_->FindWindow(id));
  if (slider == nullptr) return;
  slider->SetValue(value);
  wxScrollEvent event(wxEVT_SCROLL_THUMBRELEASE, id, value, wxHORIZONTAL);
  event.SetEventObject(slider);
  slider->ProcessWindowEvent(event);
  settle();
}

std::vector<unsigned char> FrameHarness::activePixels(bool replayed) {
  Canvas* canvas = frame_->canvas();
  canvas->makeCurrent();
  if (replayed) {
    for (WindowNode* leaf : canvas->tree().leaves()) {
      leaf->window->render(true);
      leaf->window->drawFrame(leaf->window == canvas->activeWindow());
    }
    canvas->drawSeparators();
  } else {
    canvas->renderAllWindows();
  }
  const CanvasWindow* window = canvas->activeWindow();
  // Inside the window's frame line.
  const std::vector<std::uint8_t> rgba =
      readBackBufferRGBA(window->x() + 3, window->y() + 3, window->width() - 6, window->height() - 6);
  std::vector<unsigned char> rgb;
  rgb.reserve(rgba.size() / 4 * 3);
  for (std::size_t i = 0; i + 3 < rgba.size(); i += 4) rgb.insert(rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
  return rgb;
}

int FrameHarness::inkCount(const std::vector<unsigned char>& rgb) {
  int count = 0;
  for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
    if (rgb[i] < 235 || rgb[i + 1] < 235 || rgb[i + 2] < 235) ++count;
  return count;
}

wxPoint FrameHarness::centreOn(DiagramElement* shape) {
  Canvas* canvas = frame_->canvas();
  CanvasWindow* window = canvas->activeWindow();
  window->centreOnShape(shape);
  canvas->repaint();
  const int canvasHeight = canvas->GetClientSize().GetHeight();
  return wxPoint(window->x() + window->width() / 2, canvasHeight - (window->y() + window->height() / 2));
}

void FrameHarness::mouse(wxEventType type, wxPoint at, bool leftDown, bool shift, bool ctrl) {
  Canvas* canvas = frame_->canvas();
  wxMouseEvent event(type);
  event.SetEventObject(canvas);
  event.SetPosition(at);
  event.SetLeftDown(leftDown);
  event.SetShiftDown(shift);
  event.SetControlDown(ctrl);
  canvas->ProcessWindowEvent(event);
}

void FrameHarness::leftClick(wxPoint at, bool shift) {
  mouse(wxEVT_LEFT_DOWN, at, true, shift);
  mouse(wxEVT_LEFT_UP, at, false, shift);
  settle();
}

void FrameHarness::ctrlDrag(wxPoint from, wxPoint to) {
  mouse(wxEVT_MOTION, from, false, false, true);
  mouse(wxEVT_LEFT_DOWN, from, true, false, true);
  const wxPoint mid((from.x + to.x) / 2, (from.y + to.y) / 2);
  mouse(wxEVT_MOTION, mid, true, false, true);
  mouse(wxEVT_MOTION, to, true, false, true);
  mouse(wxEVT_LEFT_UP, to, false, false, true);
  settle();
}

DiagramElement* firstShapeOfType(Diagram* diagram, const std::string& typeName) {
  for (DiagramElement* shape : diagram->getElements())
    if (shape->getModelElement() != nullptr && shape->getModelElement()->getTypeName() == typeName) return shape;
  return nullptr;
}

std::vector<unsigned char> readPngRows(const std::string& file, int& width, int& height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, file.c_str())) return {};
  image.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> topDown(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, topDown.data(), 0, nullptr)) return {};
  width = static_cast<int>(image.width);
  height = static_cast<int>(image.height);
  std::vector<unsigned char> rows(topDown.size());
  const std::size_t stride = static_cast<std::size_t>(width) * 3;
  for (int y = 0; y < height; ++y)
    std::copy_n(&topDown[(height - 1 - y) * stride], stride, &rows[y * stride]);
  return rows;
}

}  // namespace lumetra
