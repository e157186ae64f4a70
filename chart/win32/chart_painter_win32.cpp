#include "chart/win32/chart_painter_win32.h"

#include <cmath>
#include <string>
#include <vector>

#include "chart/chart_style.h"

namespace quorvane {

namespace {

COLORREF ToColorRef(ChartColour colour) {
  return RGB(colour.red, colour.green, colour.blue);
}

int Round(double value) {
  return static_cast<int>(std::lround(value));
}

std::vector<POINT> ToPoints(const std::vector<PixelPoint>& points) {
  std::vector<POINT> result;
  result.reserve(points.size());
  for (const PixelPoint& point : points) {
    result.push_back({Round(point.x), Round(point.y)});
  }
  return result;
}

// A solid pen of width pixels with the given ends and joins (a cosmetic pen has neither).
HPEN MakePen(ChartColour colour, int width, DWORD ends_and_joins) {
  LOGBRUSH brush{BS_SOLID, ToColorRef(colour), 0};
  return ExtCreatePen(PS_GEOMETRIC | PS_SOLID | ends_and_joins, static_cast<DWORD>(width), &brush,
                      0, nullptr);
}

// Selects a GDI object into a device context for as long as it lives, then puts the earlier
// one back and deletes its own.
class Selected {
 public:
  Selected(HDC context, HGDIOBJ object)
      : context_(context), object_(object), previous_(SelectObject(context, object)) {}
  ~Selected() {
    SelectObject(context_, previous_);
    DeleteObject(object_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC context_;
  HGDIOBJ object_;
  HGDIOBJ previous_;
};

std::wstring Wide(const std::string& text) {
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
  if (size > 0) {
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  }
  return wide;
}

void DrawChartText(HDC context, const ChartText& text, int pixel_size, ChartColour colour) {
  if (text.text.empty() || text.box.width <= 0 || text.box.height <= 0) {
    return;
  }
  Selected font(context, CreateFontW(-pixel_size, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                     ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma"));
  SetTextColor(context, ToColorRef(colour));
  SetBkMode(context, TRANSPARENT);
  std::wstring content = Wide(text.text);
  RECT box{text.box.left, text.box.top, text.box.left + text.box.width,
           text.box.top + text.box.height};
  const UINT horizontal = text.align == TextAlign::Left    ? DT_LEFT
                          : text.align == TextAlign::Right ? DT_RIGHT
                                                           : DT_CENTER;
  if (text.wrap) {
    // DrawText centres only single lines vertically: the wrapped height is measured first.
    RECT measured = box;
    DrawTextW(context, content.data(), static_cast<int>(content.size()), &measured,
              DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT | horizontal);
    const int height = measured.bottom - measured.top;
    if (height < text.box.height) {
      box.top += (text.box.height - height) / 2;
    }
    DrawTextW(context, content.data(), static_cast<int>(content.size()), &box,
              DT_WORDBREAK | DT_NOPREFIX | horizontal);
  } else {
    DrawTextW(context, content.data(), static_cast<int>(content.size()), &box,
              DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX | horizontal);
  }
}

void DrawRoute(HDC context, const ChartPicture& picture) {
  {
    Selected pen(context, MakePen(chart_style::kRoute, chart_style::kRouteWidth,
                                  PS_ENDCAP_ROUND | PS_JOIN_ROUND));
    for (const std::vector<PixelPoint>& line : picture.route) {
      if (line.size() > 1) {
        const std::vector<POINT> points = ToPoints(line);
        Polyline(context, points.data(), static_cast<int>(points.size()));
      }
    }
  }
  // A lone point: a dot a little wider than the line, so that it is seen.
  Selected brush(context, CreateSolidBrush(ToColorRef(chart_style::kRoute)));
  HGDIOBJ previous_pen = SelectObject(context, GetStockObject(NULL_PEN));
  const int diameter = chart_style::kLonePointDiameter;
  for (const std::vector<PixelPoint>& line : picture.route) {
    if (line.size() == 1) {
      // A null pen leaves out the right and bottom edges: one more pixel each way.
      const int left = Round(line.front().x - diameter / 2.0);
      const int top = Round(line.front().y - diameter / 2.0);
      Ellipse(context, left, top, left + diameter + 1, top + diameter + 1);
    }
  }
  SelectObject(context, previous_pen);
}

void DrawAircraft(HDC context, const ChartPicture& picture) {
  if (picture.aircraft.empty()) {
    return;
  }
  Selected pen(context, MakePen(chart_style::kAircraftOutline, chart_style::kAircraftOutlineWidth,
                                PS_ENDCAP_FLAT | PS_JOIN_ROUND));
  Selected brush(context, CreateSolidBrush(ToColorRef(chart_style::kAircraftFill)));
  const std::vector<POINT> points = ToPoints(picture.aircraft);
  Polygon(context, points.data(), static_cast<int>(points.size()));
}

void DrawScaleBar(HDC context, const ChartScaleBar& bar) {
  if (!bar.shown) {
    return;
  }
  {
    Selected pen(context, MakePen(chart_style::kScaleBar, chart_style::kScaleBarWidth,
                                  PS_ENDCAP_FLAT | PS_JOIN_MITER));
    const int tick = chart_style::kScaleBarTick;
    const POINT points[] = {{Round(bar.left.x), Round(bar.left.y) - tick},
                            {Round(bar.left.x), Round(bar.left.y)},
                            {Round(bar.right.x), Round(bar.right.y)},
                            {Round(bar.right.x), Round(bar.right.y) - tick}};
    Polyline(context, points, 4);
  }
  DrawChartText(context, bar.label, chart_style::kTextPixelSize, chart_style::kText);
}

// Paints the whole picture at the context's origin.
void Paint(HDC context, const ChartPicture& picture) {
  RECT whole{0, 0, picture.width, picture.height};
  HBRUSH background = CreateSolidBrush(ToColorRef(chart_style::kBackground));
  FillRect(context, &whole, background);
  DeleteObject(background);
  HBRUSH frame = CreateSolidBrush(ToColorRef(chart_style::kFrame));
  FrameRect(context, &whole, frame);
  DeleteObject(frame);
  IntersectClipRect(context, 1, 1, picture.width - 1, picture.height - 1);
  DrawRoute(context, picture);
  DrawAircraft(context, picture);
  DrawScaleBar(context, picture.scale_bar);
  DrawChartText(context, picture.figures, chart_style::kTextPixelSize, chart_style::kText);
  DrawChartText(context, picture.waiting, chart_style::kWaitingTextPixelSize,
                chart_style::kWaitingText);
  SelectClipRgn(context, nullptr);
}

}  // namespace

bool PaintChartBuffered(HDC context, int left, int top, const ChartPicture& picture) {
  if (picture.width <= 0 || picture.height <= 0) {
    return false;
  }
  HDC buffer = CreateCompatibleDC(context);
  if (buffer == nullptr) {
    return false;
  }
  // A bitmap of 32-bit colour whatever the target is (a compatible bitmap of a memory context
  // would take its format from whatever bitmap that context holds).
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(context, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) {
    DeleteDC(buffer);
    return false;
  }
  HGDIOBJ previous = SelectObject(buffer, bitmap);
  Paint(buffer, picture);
  const bool copied =
      BitBlt(context, left, top, picture.width, picture.height, buffer, 0, 0, SRCCOPY) != 0;
  SelectObject(buffer, previous);
  DeleteObject(bitmap);
  DeleteDC(buffer);
  return copied;
}

}  // namespace quorvane
