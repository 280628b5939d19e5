#pragma once
// Every modal question the viewer asks the user goes through this interface:
// file selectors, message boxes and the about dialog. The frame uses the
// toolkit's dialogs (desktopDialogs); GUI tests install a scripted
// implementation, so a test never blocks on a modal window.

#include <string>
#include <vector>

class wxWindow;

namespace lumetra {

class ProgressReport;

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;

  // An existing file to open; empty when cancelled.
  virtual std::string openFile(wxWindow* parent, const std::string& title, const std::string& filter) = 0;
  // A file to write (the toolkit asks before overwriting); empty when
  // cancelled. defaultName and defaultExtension may be empty.
  virtual std::string saveFile(wxWindow* parent, const std::string& title, const std::string& defaultName,
                               const std::string& defaultExtension, const std::string& filter) = 0;
  // saveFile that also tells which of the filter's entries was chosen
  // (0 for the first; -1 when unknown, the default of implementations that
  // only offer saveFile).
  virtual std::string saveFileChoosingFilter(wxWindow* parent, const std::string& title, const std::string& defaultName,
                                             const std::string& defaultExtension, const std::string& filter,
                                             int& filterIndex) {
    filterIndex = -1;
    return saveFile(parent, title, defaultName, defaultExtension, filter);
  }
  // A line of text the user types; empty when cancelled.
  virtual std::string askText(wxWindow* parent, const std::string& title, const std::string& prompt) = 0;
  // One of choices (index), or -1 when cancelled.
  virtual int chooseOne(wxWindow* parent, const std::string& title, const std::string& prompt,
                        const std::vector<std::string>& choices) = 0;
  // An error the user must acknowledge: what failed, naming the file.
  virtual void showError(wxWindow* parent, const std::string& title, const std::string& message) = 0;
  // The about dialog, shown modally.
  virtual void showAbout(wxWindow* parent) = 0;
  // Long work (a read, a layout) has begun under a progress dialog whose
  // Cancel abandons it through report.cancel(); the toolkit's dialog leaves
  // that to the user, a scripted one may cancel at once.
  virtual void workStarted(const std::string& title, ProgressReport& report) {}
};

// The toolkit's file selector, message box and about dialog.
UserDialogs& desktopDialogs();

}  // namespace lumetra
