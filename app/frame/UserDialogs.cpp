#include "app/frame/UserDialogs.h"

#include "app/frame/AboutDialog.h"
#include "app/panels/MetricsPage.h"

#include <wx/choicdlg.h>
#include <wx/filedlg.h>
#include <wx/textdlg.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>

#include <cstdio>

namespace lumetra {

namespace {

class DesktopDialogs : public UserDialogs {
 public:
  std::string openFile(wxWindow* parent, const std::string& title, const std::string& filter) override {
    return wxFileSelector(wxString::FromUTF8(title), wxEmptyString, wxEmptyString, wxEmptyString,
                          wxString::FromUTF8(filter), wxFD_OPEN | wxFD_FILE_MUST_EXIST, parent)
        .utf8_string();
  }
  std::string saveFile(wxWindow* parent, const std::string& title, const std::string& defaultName,
                       const std::string& defaultExtension, const std::string& filter) override {
    return wxFileSelector(wxString::FromUTF8(title), wxEmptyString, wxString::FromUTF8(defaultName),
                          wxString::FromUTF8(defaultExtension), wxString::FromUTF8(filter),
                          wxFD_SAVE | wxFD_OVERWRITE_PROMPT, parent)
        .utf8_string();
  }
  std::string saveFileChoosingFilter(wxWindow* parent, const std::string& title, const std::string& defaultName,
                                     const std::string& defaultExtension, const std::string& filter,
                                     int& filterIndex) override {
    wxFileDialog dialog(parent, wxString::FromUTF8(title), wxEmptyString, wxString::FromUTF8(defaultName),
                        wxString::FromUTF8(filter), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    filterIndex = -1;
    if (dialog.ShowModal() != wxID_OK) return "";
    filterIndex = dialog.GetFilterIndex();
    return dialog.GetPath().utf8_string();
  }
  std::string askText(wxWindow* parent, const std::string& title, const std::string& prompt) override {
    return wxGetTextFromUser(wxString::FromUTF8(prompt), wxString::FromUTF8(title), wxEmptyString, parent)
        .utf8_string();
  }
  int chooseOne(wxWindow* parent, const std::string& title, const std::string& prompt,
                const std::vector<std::string>& choices) override {
    wxArrayString items;
    for (const std::string& choice : choices) items.Add(wxString::FromUTF8(choice));
    return wxGetSingleChoiceIndex(wxString::FromUTF8(prompt), wxString::FromUTF8(title), items, 0, parent);
  }
  void showError(wxWindow* parent, const std::string& title, const std::string& message) override {
    // Also on stderr, for a viewer started from a terminal or a script.
    std::fprintf(stderr, "lumetra: %s\n", message.c_str());
    wxMessageBox(wxString::FromUTF8(message), wxString::FromUTF8(title), wxOK | wxICON_ERROR, parent);
  }
  void showAbout(wxWindow* parent) override;
  int choosePaletteEntry(wxWindow* parent, const std::string& title) override {
    // The palette as a menu of swatches under the pointer.
    constexpr int kFirstEntry = 1;
    wxMenu palette(wxString::FromUTF8(title));
    for (int i = 0; i < kMetricPaletteSize; ++i) {
      auto* item = new wxMenuItem(&palette, kFirstEntry + i, paletteEntryName(i));
      item->SetBitmap(paletteSwatch(i));
      palette.Append(item);
    }
    const int chosen = parent ? parent->GetPopupMenuSelectionFromUser(palette) : wxID_NONE;
    return chosen >= kFirstEntry && chosen < kFirstEntry + kMetricPaletteSize ? chosen - kFirstEntry : -1;
  }
};

void DesktopDialogs::showAbout(wxWindow* parent) {
  AboutDialog dialog(parent);
  dialog.ShowModal();
}

}  // namespace

UserDialogs& desktopDialogs() {
  static DesktopDialogs dialogs;
  return dialogs;
}

}  // namespace lumetra
