#include "app/frame/AboutDialog.h"

#include <CGAL/version.h>
#include <FTGL/ftgl.h>
#include <wx/button.h>
#include <wx/image.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include <algorithm>
#include <cmath>
#include <pugixml.hpp>
#include <sstream>

#include "app/panels/WindowIds.h"

namespace lumetra {

namespace {

constexpr int kPictureSize = 48;

struct SoftDisc {
  float x, y, radius;
  float ink[3];  // what the area takes away from white paper, per channel
};

// Areas mix like inks on white paper, as the canvas draws them.
const SoftDisc kDiscs[] = {
    {17.0f, 18.0f, 16.0f, {0.75f, 0.2f, 0.0f}},
    {31.0f, 19.0f, 15.0f, {0.0f, 0.6f, 0.75f}},
    {24.0f, 31.0f, 15.0f, {0.15f, 0.0f, 0.7f}},
};

struct Box {
  int x0, y0, x1, y1;
};
const Box kBoxes[] = {{6, 8, 20, 20}, {28, 27, 42, 39}};

bool onOutline(const Box& b, int x, int y) {
  const bool inside = x >= b.x0 && x <= b.x1 && y >= b.y0 && y <= b.y1;
  return inside && (x == b.x0 || x == b.x1 || y == b.y0 || y == b.y1 || y == b.y0 + 4);
}

bool inBox(const Box& b, int x, int y) { return x > b.x0 && x < b.x1 && y > b.y0 && y < b.y1; }

// The relation: a line from the first box's lower right corner to the
// second box's upper left corner.
bool onRelation(int x, int y) {
  const float ax = 20.0f, ay = 20.0f, bx = 28.0f, by = 27.0f;
  if (x < ax || x > bx || y < ay || y > by) return false;
  const float t = (static_cast<float>(x) - ax) / (bx - ax);
  return std::fabs(ay + t * (by - ay) - static_cast<float>(y)) < 0.75f;
}

std::string versionOf(int packed) {
  // pugixml packs major * 1000 + minor * 10 (1130 for 1.13).
  std::ostringstream out;
  out << packed / 1000 << '.' << (packed % 1000) / 10;
  return out.str();
}

}  // namespace

wxImage aboutPicture() {
  wxImage image(kPictureSize, kPictureSize);
  for (int y = 0; y < kPictureSize; ++y) {
    for (int x = 0; x < kPictureSize; ++x) {
      float rgb[3] = {1.0f, 1.0f, 1.0f};
      for (const SoftDisc& d : kDiscs) {
        const float dist = std::hypot(static_cast<float>(x) - d.x, static_cast<float>(y) - d.y);
        const float weight = std::pow(std::max(0.0f, 1.0f - dist / d.radius), 0.7f);
        for (int c = 0; c < 3; ++c) rgb[c] -= d.ink[c] * weight;
      }
      bool outline = onRelation(x, y);
      for (const Box& b : kBoxes) {
        if (onOutline(b, x, y)) outline = true;
        else if (inBox(b, x, y)) rgb[0] = rgb[1] = rgb[2] = 1.0f;
      }
      if (outline) rgb[0] = rgb[1] = rgb[2] = 0.0f;
      image.SetRGB(x, y, static_cast<unsigned char>(std::clamp(rgb[0], 0.0f, 1.0f) * 255.0f),
                   static_cast<unsigned char>(std::clamp(rgb[1], 0.0f, 1.0f) * 255.0f),
                   static_cast<unsigned char>(std::clamp(rgb[2], 0.0f, 1.0f) * 255.0f));
    }
  }
  return image;
}

std::string aboutText() {
  const char* ftgl = FTGL::GetString(FTGL::CONFIG_VERSION);
  std::ostringstream out;
  out << "Lumetra Visualizer\n"
      << "Version " << LUMETRA_VERSION << "\n\n"
      << "A viewer for software architecture: UML class diagrams with\n"
      << "metric glyphs and areas.\n\n"
      << "Runs on:\n"
      << "  " << wxGetLibraryVersionInfo().GetVersionString().utf8_string() << "\n"
      << "  pugixml " << versionOf(PUGIXML_VERSION) << "\n"
      << "  FTGL " << (ftgl ? ftgl : "(version unknown)") << "\n"
      << "  CGAL " << CGAL_VERSION_STR << "\n";
  return out.str();
}

AboutDialog::AboutDialog(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, "About Lumetra Visualizer", wxDefaultPosition, wxSize(500, 500),
               wxCAPTION | wxSYSTEM_MENU) {
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(new wxStaticBitmap(this, ids::AboutPicture, wxBitmap(aboutPicture())), 0, wxALL, 10);
  row->Add(new wxStaticText(this, ids::AboutText, wxString::FromUTF8(aboutText())), 1, wxALL | wxEXPAND, 10);

  auto* ok = new wxButton(this, ids::AboutOk, "OK");
  ok->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(wxID_OK); });
  SetAffirmativeId(ids::AboutOk);

  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(row, 1, wxEXPAND);
  sizer->Add(ok, 0, wxALIGN_CENTER | wxALL, 10);
  SetSizer(sizer);
}

}  // namespace lumetra
