#pragma once
// The File menu's list of the models opened last (at most 9, newest first),
// held in a wxFileHistory and remembered in a configuration under
// "/RecentModels" as the toolkit writes it ("file1", "file2", ...).
//
// The items sit in the File menu just above its last item (Exit), with a
// separator of their own, and carry the IDs wxID_FILE1..wxID_FILE9: item i
// opens path(i). A label is the file's name, or its whole path when another
// listed file has the same name; the help text is always the whole path.

#include <cstddef>
#include <memory>
#include <string>

class wxConfigBase;
class wxFileHistory;
class wxMenu;
class wxMenuItem;

namespace lumetra {

class RecentModels {
 public:
  // config: where the list is read from now and written at every change
  // (null: remembered nowhere); it must outlive this object.
  explicit RecentModels(wxConfigBase* config);
  ~RecentModels();
  RecentModels(const RecentModels&) = delete;
  RecentModels& operator=(const RecentModels&) = delete;

  // Puts path, made absolute, first; a path already listed moves up, the
  // oldest goes when the list is full.
  void add(const std::string& path);
  void remove(std::size_t index);
  std::size_t count() const;
  // The path of an entry; empty outside the list.
  std::string path(std::size_t index) const;
  // The entry a menu ID stands for, or -1.
  static int indexOfId(int id);

  // Makes the recent items of fileMenu what the list holds (computed here
  // only; call after every change).
  void syncMenu(wxMenu* fileMenu);

 private:
  void save();

  wxConfigBase* config_;
  std::unique_ptr<wxFileHistory> history_;
  // The separator syncMenu put below the items (null when none).
  wxMenuItem* separator_ = nullptr;
};

}  // namespace lumetra
