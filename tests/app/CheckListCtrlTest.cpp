// The metric and area lists in a shown frame: the row pictures as the user
// sees them, filling, real clicks on the picture and on the name, the
// highlight, and the bookkeeping when rows go or events arrive late.

#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/imaglist.h>

#include "render/Canvas.h"
#include "tests/app/PanelFixture.h"

namespace lumetra::test {
namespace {

using CheckListTest = PanelFixture;

struct Rgb {
  int r, g, b;
  friend bool operator==(const Rgb&, const Rgb&) = default;
  friend std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
  }
};

Rgb at(const wxImage& image, int x, int y) { return {image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)}; }
int distance(Rgb a, Rgb b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); }

// The picture the list shows for a row now.
wxImage shownPicture(lmCheckListCtrl* list, long row) {
  wxListItem item;
  item.SetId(row);
  item.SetMask(wxLIST_MASK_IMAGE);
  if (!list->GetItem(item)) return {};
  return list->GetImageList(wxIMAGE_LIST_SMALL)->GetBitmap(item.GetImage()).ConvertToImage();
}

// The letter on a swatch: pixels inside the swatch's frame closer to the
// ink colour than to the swatch, and the widths of its top and bottom rows
// ("i": a dot over a stem, "b": a stem over a bowl, "?": a hook over a dot).
struct Letter {
  int ink = 0;
  int wrongInk = 0;  // pixels closer to the other ink colour
  int width = 0;
  int topWidth = 0;
  int bottomWidth = 0;
};

Letter readLetter(const wxImage& picture, Rgb swatch, Rgb expectedInk) {
  const Rgb otherInk = expectedInk == Rgb{0, 0, 0} ? Rgb{255, 255, 255} : Rgb{0, 0, 0};
  Letter letter;
  int minX = 99, maxX = -1;
  std::vector<std::pair<int, int>> rows;  // first and last ink column per row with ink
  for (int y = 2; y <= 12; ++y) {
    int first = 99, last = -1;
    for (int x = 21; x <= 37; ++x) {
      const Rgb p = at(picture, x, y);
      const int toSwatch = distance(p, swatch);
      if (distance(otherInk, swatch) > 100 && distance(p, otherInk) < std::min(toSwatch, distance(p, expectedInk)))
        ++letter.wrongInk;
      if (distance(p, expectedInk) >= toSwatch) continue;
      ++letter.ink;
      first = std::min(first, x), last = std::max(last, x);
    }
    if (last >= 0) rows.emplace_back(first, last);
  }
  if (rows.empty()) return letter;
  for (const auto& [first, last] : rows) minX = std::min(minX, first), maxX = std::max(maxX, last);
  letter.width = maxX - minX + 1;
  letter.topWidth = rows.front().second - rows.front().first + 1;
  letter.bottomWidth = rows.back().second - rows.back().first + 1;
  return letter;
}

// What the screen shows of a list row (the list must be shown).
wxImage screenRow(wxListCtrl* list, long row) {
  list->Refresh();
  list->Update();
  wxRect rect;
  if (!list->GetItemRect(row, rect)) return {};
  const wxPoint origin = list->ClientToScreen(rect.GetPosition());
  wxScreenDC screen;
  wxBitmap grab(rect.width, rect.height);
  wxMemoryDC dc(grab);
  dc.Blit(0, 0, rect.width, rect.height, &screen, origin.x, origin.y);
  dc.SelectObject(wxNullBitmap);
  return grab.ConvertToImage();
}

// Dark pixels inside the check box (the tick).
int tickPixels(const wxImage& picture) {
  int dark = 0;
  for (int y = 2; y <= 12; ++y)
    for (int x = 4; x <= 14; ++x) dark += distance(at(picture, x, y), {0, 0, 0}) < 150 ? 1 : 0;
  return dark;
}

TEST_F(CheckListTest, MetricRowPicturesShowTheKindLetterInAContrastingColour) {
  struct Case {
    const char* name;
    Rgb swatch;
    int kind;
    Rgb ink;          // black on light swatches, white on dark ones
    char letter;
  };
  const Case cases[] = {
      {"integer on yellow", {255, 255, 0}, IntegerRow, {0, 0, 0}, 'i'},
      {"boolean on blue", {0, 0, 255}, BooleanRow, {255, 255, 255}, 'b'},
      {"unknown kind on grey just above half", {128, 128, 128}, 7, {0, 0, 0}, '?'},
      {"integer on grey just below half", {127, 127, 127}, IntegerRow, {255, 255, 255}, 'i'},
      {"boolean on white", {255, 255, 255}, BooleanRow, {0, 0, 0}, 'b'},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.name);
    metricList->addItem(c.name, wxColour(c.swatch.r, c.swatch.g, c.swatch.b), c.kind);
    const long row = static_cast<long>(i);
    const wxImage unchecked = metricList->rowPicture(row, false).ConvertToImage();
    const wxImage checked = metricList->rowPicture(row, true).ConvertToImage();
    ASSERT_EQ(unchecked.GetSize(), wxSize(40, 15));
    EXPECT_EQ(at(unchecked, 21, 12), c.swatch);
    EXPECT_EQ(at(unchecked, 20, 7), (Rgb{0, 0, 0})) << "swatch frame";
    EXPECT_EQ(at(unchecked, 39, 7), (Rgb{255, 255, 255})) << "background";

    const Letter letter = readLetter(unchecked, c.swatch, c.ink);
    EXPECT_GE(letter.ink, 5);
    EXPECT_EQ(letter.wrongInk, 0) << "the letter is not drawn in the contrasting colour";
    // Top and bottom: "i" narrow and narrow, "b" narrow and wide, "?" wide
    // and narrow.
    EXPECT_EQ(letter.width <= 3, c.letter == 'i') << "width " << letter.width;
    EXPECT_EQ(letter.topWidth >= 3, c.letter == '?') << "top " << letter.topWidth;
    EXPECT_EQ(letter.bottomWidth >= 3, c.letter == 'b') << "bottom " << letter.bottomWidth;

    // Checking shows the tick; the swatch and letter stay.
    EXPECT_EQ(tickPixels(unchecked), 0);
    EXPECT_GE(tickPixels(checked), 10);
    for (int y = 0; y < 15; ++y)
      for (int x = 20; x < 40; ++x) ASSERT_EQ(at(checked, x, y), at(unchecked, x, y)) << x << ", " << y;
    EXPECT_FALSE(metricList->isChecked(row));
    EXPECT_EQ(metricList->rowName(row), c.name);
  }
}

TEST_F(CheckListTest, FillListsTheMetricsAndTheAreasInverted) {
  loadMetricsAndAreas();
  metricList->clearRows();
  metricList->fill(link.metricSet);
  ASSERT_EQ(metricList->GetItemCount(), 2);
  EXPECT_EQ(metricList->GetColumnCount(), 2);
  // On screen the whole picture shows: the swatch with its frame on both
  // sides, and white after it.
  {
    yieldUntil([&] { return at(screenRow(metricList, 0), 24, 7) == Rgb{0, 255, 0}; });
    const wxImage shown = screenRow(metricList, 0);
    const int y = shown.GetHeight() / 2;
    std::vector<int> frame;
    int swatch = 0;
    for (int x = 0; x < metricList->GetColumnWidth(0); ++x) {
      const Rgb p = at(shown, x, y);
      if (p == Rgb{0, 0, 0}) frame.push_back(x);
      if (p == Rgb{0, 255, 0}) ++swatch;
    }
    ASSERT_GE(frame.size(), 2u);
    EXPECT_EQ(frame.back() - frame.front(), 18) << "the swatch is cut";
    EXPECT_GE(swatch, 12);
  }
  EXPECT_EQ(metricList->rowName(0), "Lines");
  EXPECT_EQ(metricList->findRow("Tested"), 1);
  EXPECT_EQ(metricList->findRow("Missing"), -1);
  EXPECT_EQ(metricList->rowColour(0), wxColour(0, 255, 0));
  EXPECT_EQ(metricList->rowColour(1), wxColour(0, 0, 255));
  EXPECT_LE(readLetter(metricList->rowPicture(0, false).ConvertToImage(), {0, 255, 0}, {0, 0, 0}).width, 3)
      << "the integer metric shows the narrow i";
  EXPECT_GE(readLetter(metricList->rowPicture(1, false).ConvertToImage(), {0, 0, 255}, {255, 255, 255}).bottomWidth, 3)
      << "the boolean metric shows the b";
  EXPECT_FALSE(metricList->isChecked(0) || metricList->isChecked(1));

  areaList->fill(link.areaSet);
  ASSERT_EQ(areaList->GetItemCount(), 1);
  wxListItem heading;
  heading.SetMask(wxLIST_MASK_TEXT);
  ASSERT_TRUE(areaList->GetColumn(1, heading));
  EXPECT_EQ(heading.GetText(), "Area");
  // Stored (0, 1, 0.5): the swatch shows (255, 0, 127), and no letter.
  EXPECT_EQ(areaList->rowColour(0), wxColour(255, 0, 127));
  const wxImage picture = areaList->rowPicture(0, false).ConvertToImage();
  for (int y = 2; y <= 12; ++y)
    for (int x = 21; x <= 37; ++x) ASSERT_EQ(at(picture, x, y), (Rgb{255, 0, 127})) << x << ", " << y;

  // Refilling replaces the rows and their pictures.
  metricList->fill(link.metricSet);
  EXPECT_EQ(metricList->GetItemCount(), 2);
  EXPECT_EQ(metricList->GetImageList(wxIMAGE_LIST_SMALL)->GetImageCount(), 4);
  EXPECT_EQ(metricList->GetColumnCount(), 2);
}

TEST_F(CheckListTest, ClickingThePictureTogglesTheMetricAndClickingTheNameOnlySelects) {
  loadMetricsAndAreas();
  canvas->activeWindow()->setDiagram(orders());
  metricList->fill(link.metricSet);
  yield();
  const int greenBefore = canvasPixelsNear(0, 255, 0);

  clickPicture(metricList, 0);
  ASSERT_TRUE(yieldUntil([&] { return metricList->isChecked(0); })) << "the picture click did not check the row";
  EXPECT_EQ(link.metricSet.indexOfShownMetric("Lines"), 0);
  EXPECT_EQ(metricList->selectedRow(), 0);
  ASSERT_FALSE(link.selectedMetrics.empty());
  EXPECT_EQ(link.selectedMetrics.back(), link.metricSet.findMetric("Lines")) << "the frame edits the metric just shown";
  EXPECT_GT(canvasPixelsNear(0, 255, 0), greenBefore + 100) << "no glyphs appeared";

  // The name of the other row: selected and highlighted, not shown. Its
  // metric is not shown, so the frame gets null.
  clickName(metricList, 1);
  ASSERT_TRUE(yieldUntil([&] { return metricList->selectedRow() == 1; }));
  EXPECT_FALSE(metricList->isChecked(1));
  EXPECT_EQ(link.metricSet.getShownCount(), 1u);
  EXPECT_EQ(link.selectedMetrics.back(), nullptr);
  EXPECT_EQ(preview->currentMetric(), "Tested") << "the layout preview edits the picked metric";
  EXPECT_TRUE(metricList->isChecked(0));

  // The picture of the first row again hides it.
  clickPicture(metricList, 0);
  ASSERT_TRUE(yieldUntil([&] { return !metricList->isChecked(0); }));
  EXPECT_EQ(link.metricSet.getShownCount(), 0u);
  EXPECT_LE(canvasPixelsNear(0, 255, 0), greenBefore);

  // A row selected without a press (from the keyboard, or by the layout
  // preview) is not toggled, even with the pointer resting on its picture.
  wxRect rect;
  ASSERT_TRUE(metricList->GetItemRect(1, rect));
  movePointer(metricList, wxPoint(rect.x + 30, rect.y + rect.height / 2));
  metricList->SetItemState(1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  yield();
  EXPECT_EQ(metricList->selectedRow(), 1);
  EXPECT_FALSE(metricList->isChecked(1));
  EXPECT_EQ(link.metricSet.getShownCount(), 0u);
}

TEST_F(CheckListTest, TheHighlightMovesAndTheToolkitSelectionStaysClear) {
  loadMetricsAndAreas();
  metricList->fill(link.metricSet);
  metricList->highlightRow(0);
  metricList->highlightRow(1);
  EXPECT_EQ(metricList->GetItemBackgroundColour(0), wxColour(255, 255, 255));
  EXPECT_EQ(metricList->GetItemTextColour(0), wxColour(0, 0, 0));
  EXPECT_EQ(metricList->GetItemBackgroundColour(1), wxColour(0, 0, 255));
  EXPECT_EQ(metricList->GetItemTextColour(1), wxColour(255, 255, 255));
  EXPECT_EQ(metricList->GetItemState(1, wxLIST_STATE_SELECTED), 0);
  EXPECT_EQ(metricList->selectedName(), "Tested");

  metricList->highlightByName("Lines");
  EXPECT_EQ(metricList->selectedRow(), 0);
  EXPECT_EQ(metricList->GetItemBackgroundColour(1), wxColour(255, 255, 255));
  metricList->highlightByName("Missing");
  EXPECT_EQ(metricList->selectedRow(), 0);
  metricList->highlightRow(5);
  EXPECT_EQ(metricList->selectedRow(), 0);
}

TEST_F(CheckListTest, ClickingAnAreaPictureShowsTheAreaOverTheActiveDiagram) {
  loadMetricsAndAreas();
  areaList->fill(link.areaSet);
  yield();

  // Without a diagram there is nothing to identify it over: the row stays
  // unchecked.
  areaList->setChecked(0, true);
  EXPECT_FALSE(areaList->isChecked(0));
  EXPECT_FALSE(link.areaSet.isIdentified("Core"));

  canvas->activeWindow()->setDiagram(orders());
  yield();
  const int whiteBefore = canvasPixelsNear(255, 255, 255, 0);
  clickPicture(areaList, 0);
  ASSERT_TRUE(yieldUntil([&] { return areaList->isChecked(0); }));
  EXPECT_TRUE(link.areaSet.isIdentified("Core"));
  EXPECT_EQ(link.selectedAreas, std::vector<std::string>{"Core"});
  EXPECT_EQ(link.areaSet.getFreeElements().size(), 2u) << "Customer and Payable stay free";
  EXPECT_LT(canvasPixelsNear(255, 255, 255, 0), whiteBefore - 500) << "the area is not drawn";

  // At once again (the toolkit takes it for a double click).
  clickPicture(areaList, 0);
  ASSERT_TRUE(yieldUntil([&] { return !areaList->isChecked(0); }));
  EXPECT_FALSE(link.areaSet.isIdentified("Core"));
  EXPECT_EQ(link.areaSet.getFreeElements().size(), 3u) << "Order is free again";
}

TEST_F(CheckListTest, CheckingARowTwiceKeepsItsMetricShown) {
  loadMetricsAndAreas();
  metricList->fill(link.metricSet);
  metricList->setChecked(0, true);
  metricList->setChecked(0, true);
  EXPECT_TRUE(metricList->isChecked(0));
  EXPECT_EQ(link.metricSet.getShownCount(), 1u);
  metricList->setChecked(0, false);
  metricList->setChecked(0, false);
  EXPECT_FALSE(metricList->isChecked(0));
  EXPECT_EQ(link.metricSet.getShownCount(), 0u);

  // Space toggles the highlighted row.
  metricList->highlightRow(1);
  wxListEvent space(wxEVT_LIST_KEY_DOWN, metricList->GetId());
  space.SetEventObject(metricList);
  space.m_code = WXK_SPACE;
  metricList->GetEventHandler()->ProcessEvent(space);
  EXPECT_TRUE(metricList->isChecked(1));
  EXPECT_EQ(link.metricSet.findShownMetric("Tested"), link.metricSet.findMetric("Tested"));
}

TEST_F(CheckListTest, DeletingARowLeavesTheOtherRowsTheirPictures) {
  const Rgb colours[] = {{200, 0, 0}, {0, 200, 0}, {0, 0, 200}, {200, 200, 0}};
  const char* names[] = {"A", "B", "C", "D"};
  for (int i = 0; i < 4; ++i) {
    link.metricSet.add(new IntegerMetric(names[i], new Color(), new Color()));
    metricList->addItem(names[i], wxColour(colours[i].r, colours[i].g, colours[i].b), IntegerRow);
  }
  metricList->setChecked(2, true);
  metricList->highlightRow(3);

  metricList->DeleteItem(0);
  // B C D remain, in that order, C checked and D highlighted.
  const Rgb expected[] = {colours[1], colours[2], colours[3]};
  ASSERT_EQ(metricList->GetItemCount(), 3);
  for (long row = 0; row < 3; ++row) {
    SCOPED_TRACE(row);
    const wxImage shown = shownPicture(metricList, row);
    ASSERT_TRUE(shown.IsOk());
    EXPECT_EQ(at(shown, 22, 12), expected[row]);
    EXPECT_EQ(tickPixels(shown) > 0, row == 1);
    EXPECT_EQ(metricList->isChecked(row), row == 1);
  }
  EXPECT_EQ(metricList->selectedRow(), 2);
  EXPECT_EQ(metricList->selectedName(), "D");

  metricList->DeleteItem(2);  // the highlighted row
  EXPECT_EQ(metricList->selectedRow(), -1);
  EXPECT_EQ(metricList->GetImageList(wxIMAGE_LIST_SMALL)->GetImageCount(), 4);
  metricList->setChecked(0, true);
  EXPECT_TRUE(metricList->isChecked(0));
  EXPECT_EQ(at(shownPicture(metricList, 0), 22, 12), colours[1]);

  // Clearing forgets everything; new rows start from the first picture.
  metricList->clearRows();
  EXPECT_EQ(metricList->GetImageList(wxIMAGE_LIST_SMALL)->GetImageCount(), 0);
  metricList->addItem("E", wxColour(10, 20, 30), BooleanRow);
  EXPECT_EQ(at(shownPicture(metricList, 0), 22, 12), (Rgb{10, 20, 30}));
  EXPECT_EQ(metricList->selectedRow(), -1);
}

TEST_F(CheckListTest, NotificationsForRowsThatAreGoneDoNothing) {
  loadMetricsAndAreas();
  metricList->fill(link.metricSet);
  areaList->fill(link.areaSet);
  metricList->highlightRow(1);
  metricList->clearRows();
  EXPECT_EQ(metricList->selectedRow(), -1);
  EXPECT_EQ(metricList->selectedName(), "");

  for (lmCheckListCtrl* list : {metricList, static_cast<lmCheckListCtrl*>(areaList)}) {
    for (wxEventType type : {wxEVT_LIST_ITEM_SELECTED, wxEVT_LIST_DELETE_ITEM}) {
      wxListEvent late(type, list->GetId());
      late.SetEventObject(list);
      late.m_itemIndex = 5;
      list->GetEventHandler()->ProcessEvent(late);
    }
  }
  EXPECT_TRUE(link.selectedMetrics.empty());
  EXPECT_TRUE(link.selectedAreas.empty());
  EXPECT_EQ(areaList->GetItemCount(), 1);
  EXPECT_EQ(areaList->rowName(0), "Core");
  EXPECT_EQ(metricList->GetItemCount(), 0);
  metricList->setChecked(0, true);
  EXPECT_EQ(link.metricSet.getShownCount(), 0u);
}

}  // namespace
}  // namespace lumetra::test
