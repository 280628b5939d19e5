#include "tests/app/PageFixture.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/slider.h>

namespace lumetra::test {

void PageTest::slide(int id, int value) {
  auto* slider = control<wxSlider>(id);
  ASSERT_NE(slider, nullptr);
  slider->SetValue(value);
  wxScrollEvent event(wxEVT_SCROLL_THUMBTRACK, id, slider->GetValue());
  event.SetEventObject(slider);
  slider->GetEventHandler()->ProcessEvent(event);
}

void PageTest::choose(int id, const std::string& text) {
  auto* choice = control<wxChoice>(id);
  ASSERT_NE(choice, nullptr);
  ASSERT_TRUE(choice->SetStringSelection(text)) << text << " is not offered by " << id;
  wxCommandEvent event(wxEVT_CHOICE, id);
  event.SetEventObject(choice);
  event.SetInt(choice->GetSelection());
  event.SetString(choice->GetStringSelection());
  choice->GetEventHandler()->ProcessEvent(event);
}

void PageTest::click(int id) {
  wxWindow* w = control<wxWindow>(id);
  ASSERT_NE(w, nullptr);
  if (auto* box = dynamic_cast<wxCheckBox*>(w)) {
    box->SetValue(!box->GetValue());
    wxCommandEvent event(wxEVT_CHECKBOX, id);
    event.SetEventObject(box);
    event.SetInt(box->GetValue() ? 1 : 0);
    box->GetEventHandler()->ProcessEvent(event);
    return;
  }
  wxCommandEvent event(wxEVT_BUTTON, id);
  event.SetEventObject(w);
  w->GetEventHandler()->ProcessEvent(event);
}

}  // namespace lumetra::test
