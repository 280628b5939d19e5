#pragma once
// The "About Lumetra Visualizer" dialog: the program's picture, its name and
// version, and the versions of the libraries it runs on. Built on the stack
// by the about command and shown modally; "OK" closes it.

#include <wx/bitmap.h>
#include <wx/dialog.h>

#include <string>

namespace lumetra {

class AboutDialog : public wxDialog {
 public:
  explicit AboutDialog(wxWindow* parent);
};

// The dialog's text: "Lumetra Visualizer", the version, then one line per
// library: wxWidgets and FTGL as loaded at run time, pugixml and CGAL as
// built in.
std::string aboutText();

// The program's 48 x 48 picture: two class boxes joined by a relation over
// three overlapping soft areas.
wxImage aboutPicture();

}  // namespace lumetra
