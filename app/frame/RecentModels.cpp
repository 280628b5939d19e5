#include "app/frame/RecentModels.h"

#include <wx/config.h>
#include <wx/filehistory.h>
#include <wx/filename.h>
#include <wx/menu.h>

namespace lumetra {

namespace {

constexpr const char* kGroup = "/RecentModels";
constexpr std::size_t kMaxModels = 9;

// Reads or writes the list with the configuration's path set to the group,
// as wxFileHistory reads and writes relative to the current path.
class GroupPath {
 public:
  GroupPath(wxConfigBase& config) : config_(config), previous_(config.GetPath()) { config.SetPath(kGroup); }
  ~GroupPath() { config_.SetPath(previous_); }

 private:
  wxConfigBase& config_;
  wxString previous_;
};

// A menu label shows '&' doubled, or it would mark a mnemonic.
wxString menuText(const wxString& text) {
  wxString escaped = text;
  escaped.Replace("&", "&&");
  return escaped;
}

}  // namespace

RecentModels::RecentModels(wxConfigBase* config)
    : config_(config), history_(std::make_unique<wxFileHistory>(kMaxModels, wxID_FILE1)) {
  if (config_ == nullptr) return;
  GroupPath group(*config_);
  history_->Load(*config_);
}

RecentModels::~RecentModels() = default;

void RecentModels::add(const std::string& path) {
  if (path.empty()) return;
  wxFileName name(wxString::FromUTF8(path));
  name.MakeAbsolute();
  name.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_ABSOLUTE);
  history_->AddFileToHistory(name.GetFullPath());
  save();
}

void RecentModels::remove(std::size_t index) {
  if (index >= count()) return;
  history_->RemoveFileFromHistory(index);
  save();
}

std::size_t RecentModels::count() const { return history_->GetCount(); }

std::string RecentModels::path(std::size_t index) const {
  return index < count() ? history_->GetHistoryFile(index).utf8_string() : std::string();
}

int RecentModels::indexOfId(int id) {
  const int index = id - wxID_FILE1;
  return index >= 0 && index < static_cast<int>(kMaxModels) ? index : -1;
}

void RecentModels::save() {
  if (config_ == nullptr) return;
  {
    GroupPath group(*config_);
    history_->Save(*config_);
    // The toolkit writes every unused place as an empty entry; the file
    // lists only the models.
    for (std::size_t i = count(); i < kMaxModels; ++i) config_->DeleteEntry(wxString::Format("file%zu", i + 1));
  }
  config_->Flush();
}

void RecentModels::syncMenu(wxMenu* fileMenu) {
  if (fileMenu == nullptr) return;
  for (std::size_t i = 0; i < kMaxModels; ++i)
    if (fileMenu->FindItem(wxID_FILE1 + static_cast<int>(i)) != nullptr) fileMenu->Destroy(wxID_FILE1 + static_cast<int>(i));
  if (separator_ != nullptr) {
    fileMenu->Destroy(separator_);
    separator_ = nullptr;
  }
  if (count() == 0 || fileMenu->GetMenuItemCount() == 0) return;

  // Above the last item, in list order, then a separator.
  std::size_t at = fileMenu->GetMenuItemCount() - 1;
  for (std::size_t i = 0; i < count(); ++i) {
    const wxFileName file(history_->GetHistoryFile(i));
    bool nameShared = false;
    for (std::size_t j = 0; j < count() && !nameShared; ++j)
      nameShared = j != i && wxFileName(history_->GetHistoryFile(j)).GetFullName() == file.GetFullName();
    const wxString shown = nameShared ? file.GetFullPath() : file.GetFullName();
    fileMenu->Insert(at++, wxID_FILE1 + static_cast<int>(i), wxString::Format("&%zu %s", i + 1, menuText(shown)),
                     file.GetFullPath());
  }
  separator_ = fileMenu->InsertSeparator(at);
}

}  // namespace lumetra
