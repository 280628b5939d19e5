#include "app/panels/ToolPictures.h"

#include <wx/dcgraph.h>
#include <wx/dcmemory.h>
#include <wx/graphics.h>
#include <wx/image.h>

#include <cmath>
#include <memory>

namespace lumetra {

namespace {

const wxColour kInk(40, 44, 52);
const wxColour kAccent(38, 110, 200);
const wxColour kPaper(250, 250, 246);
const wxColour kWarn(200, 50, 40);

// Draws on a transparent bitmap of size x size through an antialiasing
// graphics context; draw gets the context and the size.
template <typename Draw>
wxBitmap drawPicture(int size, Draw draw) {
  wxImage image(size, size);
  image.InitAlpha();
  std::fill_n(image.GetAlpha(), size * size, 0);
  std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
  if (gc) {
    gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
    draw(*gc, static_cast<double>(size));
  }
  gc.reset();  // the drawing reaches the image when the context goes
  return wxBitmap(image);
}

void box(wxGraphicsContext& gc, double x, double y, double w, double h, const wxColour& fill, double pen = 1.5) {
  gc.SetPen(wxPen(kInk, pen));
  gc.SetBrush(wxBrush(fill));
  gc.DrawRectangle(x, y, w, h);
}

void line(wxGraphicsContext& gc, double x1, double y1, double x2, double y2, const wxColour& colour, double width) {
  gc.SetPen(wxPen(colour, width));
  gc.StrokeLine(x1, y1, x2, y2);
}

void arrowHead(wxGraphicsContext& gc, double x, double y, double dx, double dy) {
  // A filled triangle pointing along (dx, dy) with its tip at (x, y).
  const double len = std::hypot(dx, dy);
  const double ux = dx / len, uy = dy / len;
  wxGraphicsPath path = gc.CreatePath();
  path.MoveToPoint(x, y);
  path.AddLineToPoint(x - 5 * ux - 3 * uy, y - 5 * uy + 3 * ux);
  path.AddLineToPoint(x - 5 * ux + 3 * uy, y - 5 * uy - 3 * ux);
  path.CloseSubpath();
  gc.SetPen(*wxTRANSPARENT_PEN);
  gc.SetBrush(wxBrush(kAccent));
  gc.FillPath(path);
}

void magnifier(wxGraphicsContext& gc, bool plus) {
  gc.SetPen(wxPen(kInk, 2));
  gc.SetBrush(wxBrush(kPaper));
  gc.DrawEllipse(3, 3, 13, 13);
  line(gc, 14.5, 14.5, 21, 21, kInk, 3.5);
  line(gc, 6.5, 9.5, 12.5, 9.5, kAccent, 2);
  if (plus) line(gc, 9.5, 6.5, 9.5, 12.5, kAccent, 2);
}

void pane(wxGraphicsContext& gc) { box(gc, 2.5, 3.5, 19, 17, kPaper); }

void drawTool(wxGraphicsContext& gc, ToolPicture picture) {
  switch (picture) {
    case ToolPicture::OpenModel: {
      wxGraphicsPath folder = gc.CreatePath();
      folder.MoveToPoint(1.5, 6.5);
      folder.AddLineToPoint(8.5, 6.5);
      folder.AddLineToPoint(10.5, 8.5);
      folder.AddLineToPoint(21.5, 8.5);
      folder.AddLineToPoint(21.5, 20.5);
      folder.AddLineToPoint(1.5, 20.5);
      folder.CloseSubpath();
      gc.SetPen(wxPen(kInk, 1.5));
      gc.SetBrush(wxBrush(wxColour(240, 200, 90)));
      gc.DrawPath(folder);
      box(gc, 9.5, 1.5, 12, 11, kPaper);
      line(gc, 9.5, 5.5, 21.5, 5.5, kInk, 1.5);
      line(gc, 11.5, 8.5, 19.5, 8.5, kAccent, 1.5);
      break;
    }
    case ToolPicture::OpenMetrics:
      line(gc, 2, 21.5, 22, 21.5, kInk, 1.5);
      box(gc, 3.5, 12.5, 4, 9, kAccent, 1);
      box(gc, 10, 5.5, 4, 16, wxColour(230, 120, 40), 1);
      box(gc, 16.5, 9.5, 4, 12, wxColour(70, 160, 80), 1);
      break;
    case ToolPicture::SaveDiagram:
      box(gc, 2.5, 2.5, 19, 19, kAccent);
      box(gc, 6.5, 2.5, 11, 7, kPaper, 1);
      box(gc, 5.5, 13.5, 13, 8, kPaper, 1);
      line(gc, 14, 4, 14, 8, kInk, 1.5);
      break;
    case ToolPicture::ZoomToFit:
      box(gc, 7.5, 7.5, 9, 9, kPaper);
      line(gc, 6, 6, 2.5, 2.5, kAccent, 1.5);
      arrowHead(gc, 1.5, 1.5, -1, -1);
      line(gc, 18, 6, 21.5, 2.5, kAccent, 1.5);
      arrowHead(gc, 22.5, 1.5, 1, -1);
      line(gc, 6, 18, 2.5, 21.5, kAccent, 1.5);
      arrowHead(gc, 1.5, 22.5, -1, 1);
      line(gc, 18, 18, 21.5, 21.5, kAccent, 1.5);
      arrowHead(gc, 22.5, 22.5, 1, 1);
      break;
    case ToolPicture::ResetZoom: {
      gc.SetFont(wxFont(wxFontInfo(9).Bold()), kInk);
      double w = 0, h = 0;
      gc.GetTextExtent("1:1", &w, &h);
      box(gc, 1.5, 4.5, 21, 15, kPaper);
      gc.DrawText("1:1", (24 - w) / 2, (24 - h) / 2);
      break;
    }
    case ToolPicture::ZoomIn: magnifier(gc, true); break;
    case ToolPicture::ZoomOut: magnifier(gc, false); break;
    case ToolPicture::ResetCamera: {
      gc.SetPen(wxPen(kInk, 2));
      gc.SetBrush(*wxTRANSPARENT_BRUSH);
      wxGraphicsPath arc = gc.CreatePath();
      arc.AddArc(12, 12, 8, 0.35, 2 * M_PI - 0.2, true);
      gc.StrokePath(arc);
      arrowHead(gc, 20.5, 8.0, 0.3, -1);
      gc.SetPen(*wxTRANSPARENT_PEN);
      gc.SetBrush(wxBrush(kAccent));
      gc.DrawEllipse(9.5, 9.5, 5, 5);
      break;
    }
    case ToolPicture::SplitVertically:
      pane(gc);
      line(gc, 12, 3.5, 12, 20.5, kAccent, 2);
      break;
    case ToolPicture::SplitHorizontally:
      pane(gc);
      line(gc, 2.5, 12, 21.5, 12, kAccent, 2);
      break;
    case ToolPicture::DeleteWindow:
      pane(gc);
      line(gc, 7, 7, 17, 17, kWarn, 2.5);
      line(gc, 17, 7, 7, 17, kWarn, 2.5);
      break;
  }
}

}  // namespace

wxBitmap toolPicture(ToolPicture picture) {
  return drawPicture(kToolPictureSize, [picture](wxGraphicsContext& gc, double) { drawTool(gc, picture); });
}

wxIcon frameIcon() {
  // Two class boxes joined by a line over two overlapping soft areas.
  wxBitmap big = drawPicture(48, [](wxGraphicsContext& gc, double) {
    gc.SetPen(*wxTRANSPARENT_PEN);
    gc.SetBrush(wxBrush(wxColour(90, 160, 230, 150)));
    gc.DrawEllipse(2, 4, 30, 30);
    gc.SetBrush(wxBrush(wxColour(240, 150, 60, 150)));
    gc.DrawEllipse(16, 14, 30, 30);
    line(gc, 14, 16, 34, 32, kInk, 2.5);
    box(gc, 5.5, 7.5, 16, 13, kPaper, 2);
    line(gc, 5.5, 12.5, 21.5, 12.5, kInk, 2);
    box(gc, 26.5, 27.5, 16, 13, kPaper, 2);
    line(gc, 26.5, 32.5, 42.5, 32.5, kInk, 2);
  });
  wxImage scaled = big.ConvertToImage().Scale(32, 32, wxIMAGE_QUALITY_HIGH);
  wxIcon icon;
  icon.CopyFromBitmap(wxBitmap(scaled));
  return icon;
}

}  // namespace lumetra
