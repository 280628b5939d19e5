#include "app/frame/PreferencesDialog.h"

#include <wx/button.h>
#include <wx/propgrid/advprops.h>
#include <wx/propgrid/propgrid.h>
#include <wx/sizer.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "app/frame/Preferences.h"
#include "platform/FontLookup.h"
#include "settings/SettingsStore.h"

namespace lumetra {

namespace {

wxColour toWx(const Color& c) {
  auto byte = [](float v) { return static_cast<unsigned char>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
  return wxColour(byte(c.r), byte(c.g), byte(c.b), byte(c.a));
}

Color fromWx(const wxColour& c) {
  return Color(c.Red() / 255.0f, c.Green() / 255.0f, c.Blue() / 255.0f, c.Alpha() / 255.0f);
}

// A refused value: the cell is marked and keeps the editor, with a beep; no
// message box (the range stands in the property's help text).
constexpr int kRefused = wxPG_VFB_STAY_IN_PROPERTY | wxPG_VFB_BEEP | wxPG_VFB_MARK_CELL;

}  // namespace

PreferencesDialog::PreferencesDialog(wxWindow* parent, std::function<void()> changed)
    : wxDialog(parent, wxID_ANY, "Preferences", wxDefaultPosition, wxSize(460, 520),
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      changed_(std::move(changed)) {
  grid_ = new wxPropertyGrid(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                             wxPG_SPLITTER_AUTO_CENTER | wxPG_DEFAULT_STYLE);
  std::string category;
  for (const Preference& p : preferences()) {
    if (category != p.category) {
      category = p.category;
      grid_->Append(new wxPropertyCategory(p.category));
    }
    wxPGProperty* property = nullptr;
    switch (p.kind) {
      case Preference::Kind::Number:
        property = grid_->Append(new wxFloatProperty(p.label, p.key));
        property->SetAttribute(wxPG_ATTR_MIN, static_cast<double>(p.min));
        property->SetAttribute(wxPG_ATTR_MAX, static_cast<double>(p.max));
        property->SetHelpString(wxString::Format("From %g to %g", p.min, p.max));
        break;
      case Preference::Kind::Switch:
        property = grid_->Append(new wxBoolProperty(p.label, p.key));
        property->SetAttribute(wxPG_BOOL_USE_CHECKBOX, true);
        break;
      case Preference::Kind::Colour:
        property = grid_->Append(new wxColourProperty(p.label, p.key));
        property->SetAttribute(wxPG_COLOUR_HAS_ALPHA, true);
        break;
      case Preference::Kind::Font: {
        // The fonts found on the machine by name, and any font file.
        fonts_ = installedFonts();
        wxPGChoices names;
        for (std::size_t i = 0; i < fonts_.size(); ++i)
          names.Add(wxString::FromUTF8(fonts_[i].name), static_cast<int>(i));
        property = grid_->Append(new wxEnumProperty(p.label, p.key, names));
        property->SetHelpString("The fonts found on this machine");
        property = grid_->Append(new wxFileProperty(wxString(p.label) + " file", wxString(fontFileProperty(p.key))));
        property->SetAttribute(wxPG_FILE_WILDCARD, "Fonts (*.ttf;*.otf)|*.ttf;*.otf;*.TTF;*.OTF|All files|*");
        property->SetAttribute(wxPG_FILE_SHOW_FULL_PATH, true);
        property->SetHelpString("A TrueType or OpenType font file");
        break;
      }
    }
  }
  auto* reset = new wxButton(this, wxID_ANY, "Reset to defaults");
  auto* close = new wxButton(this, wxID_CLOSE, "Close");
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->Add(reset, 0, wxALL, 4);
  buttons->AddStretchSpacer();
  buttons->Add(close, 0, wxALL, 4);
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(grid_, 1, wxEXPAND | wxALL, 4);
  sizer->Add(buttons, 0, wxEXPAND);
  SetSizer(sizer);

  grid_->SetValidationFailureBehavior(kRefused);
  grid_->Bind(wxEVT_PG_CHANGING, &PreferencesDialog::onChanging, this);
  grid_->Bind(wxEVT_PG_CHANGED, &PreferencesDialog::onChanged, this);
  reset->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { resetToDefaults(); });
  close->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Hide(); });
  sync();
}

void PreferencesDialog::sync() {
  syncing_ = true;
  SettingsStore& s = settings();
  for (const Preference& p : preferences()) {
    switch (p.kind) {
      case Preference::Kind::Number:
        grid_->SetPropertyValue(p.key, static_cast<double>(s.getFloat(p.key) * p.scale));
        break;
      case Preference::Kind::Switch: grid_->SetPropertyValue(p.key, s.getBool(p.key)); break;
      case Preference::Kind::Colour: {
        wxVariant value;
        value << toWx(s.getColor(p.key));
        grid_->SetPropertyValue(p.key, value);
        break;
      }
      case Preference::Kind::Font: {
        const std::string file = s.getString(p.key);
        const int index = fontIndex(file);
        if (index >= 0) grid_->SetPropertyValue(p.key, index);
        else grid_->GetProperty(p.key)->SetValueToUnspecified();
        grid_->SetPropertyValue(wxString(fontFileProperty(p.key)), wxString::FromUTF8(findFontFile(file)));
        break;
      }
    }
  }
  syncing_ = false;
}

void PreferencesDialog::resetToDefaults() {
  resetPreferences();
  sync();
  if (changed_) changed_();
}

void PreferencesDialog::onChanging(wxPropertyGridEvent& event) {
  const wxPGProperty* property = event.GetProperty();
  const Preference* p = property ? findPreference(property->GetName().ToStdString()) : nullptr;
  if (p == nullptr || p->kind != Preference::Kind::Number) return;
  // Refused here, in the dialog, before any setting changes.
  const double value = event.GetValue().GetDouble();
  if (!preferenceInRange(*p, static_cast<float>(value))) {
    event.Veto();
    event.SetValidationFailureBehavior(kRefused);
  }
}

std::string PreferencesDialog::fontFileProperty(const char* key) { return std::string(key) + ".File"; }

int PreferencesDialog::fontIndex(const std::string& file) const {
  std::error_code error;
  const std::string path = findFontFile(file);
  for (std::size_t i = 0; i < fonts_.size(); ++i)
    if (fonts_[i].path == path || std::filesystem::equivalent(fonts_[i].path, path, error))
      return static_cast<int>(i);
  return -1;
}

void PreferencesDialog::onChanged(wxPropertyGridEvent& event) {
  if (syncing_) return;
  const wxPGProperty* property = event.GetProperty();
  if (property == nullptr) return;
  std::string name = property->GetName().utf8_string();
  const bool fontFile = name.size() > 5 && name.ends_with(".File");
  if (fontFile) name.resize(name.size() - 5);
  const Preference* p = findPreference(name);
  if (p == nullptr) return;
  if (p->kind == Preference::Kind::Font) {
    // The frame loads the font and puts the setting back if it cannot.
    if (fontFile) {
      const std::string file = property->GetValue().GetString().utf8_string();
      if (file.empty()) return;
      settings().setString(p->key, file);
    } else {
      const long index = property->GetValue().GetLong();
      if (index < 0 || index >= static_cast<long>(fonts_.size())) return;
      settings().setString(p->key, fonts_[static_cast<std::size_t>(index)].path);
    }
    if (changed_) changed_();
    sync();
    return;
  }
  const wxVariant value = property->GetValue();
  SettingsStore& s = settings();
  switch (p->kind) {
    case Preference::Kind::Number: {
      const float shown = static_cast<float>(value.GetDouble());
      if (!preferenceInRange(*p, shown)) return;  // the grid's own check let it through
      s.setFloat(p->key, shown / p->scale);
      break;
    }
    case Preference::Kind::Switch: s.setBool(p->key, value.GetBool()); break;
    case Preference::Kind::Colour: {
      wxColour colour;
      colour << value;
      s.setColor(p->key, fromWx(colour));
      break;
    }
    case Preference::Kind::Font: break;
  }
  if (changed_) changed_();
}

}  // namespace lumetra
