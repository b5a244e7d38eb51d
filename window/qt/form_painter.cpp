#include "window/qt/form_painter.h"

#include <QFontMetricsF>
#include <cmath>

#include "window/qt/art.h"
#include "window/qt/fonts.h"
#include "window/qt/geometry.h"
#include "window/qt/label_text.h"

namespace zbx::qt {
namespace {

// The etched border of a frame: a shadow line with a highlight line beside it.
const QColor kEdgeShadow = ToQColor(palette::kGrey);
const QColor kEdgeLight = ToQColor(palette::kWhite);
// Disabled captions: grey, with a light edge below and to the right.
const QColor kGreyText = ToQColor(palette::kGrey);
constexpr int kCaptionIndent = 8;  // frame caption, from the frame's left edge

QString Text(const std::string& utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

bool Greyed(const Control& c) {
  // Label-buttons grey out with their container too; the other labels only by themselves.
  return c.kind == ControlKind::LabelButton ? !c.EffectivelyEnabled() : !c.Enabled();
}

// The pixels along the inside of box: its top and left rows in one colour, then its bottom
// and right rows in the other. Filled, not stroked: at two device pixels per logical pixel
// a stroked line of one pixel lies half outside its row, and the repaint of a control
// hidden there would leave that half behind.
void Edge(QPainter& p, const QRect& box, const QColor& topLeft, const QColor& bottomRight) {
  p.fillRect(QRect(box.left(), box.top(), box.width(), 1), topLeft);
  p.fillRect(QRect(box.left(), box.top(), 1, box.height()), topLeft);
  p.fillRect(QRect(box.left(), box.bottom(), box.width(), 1), bottomRight);
  p.fillRect(QRect(box.right(), box.top(), 1, box.height()), bottomRight);
}

void DrawLines(QPainter& p, const QStringList& lines, const QFontMetricsF& fm, const QRectF& area,
               Align align, const QColor& colour) {
  p.setPen(colour);
  double y = area.top() + fm.ascent();
  for (QString line : lines) {
    while (line.endsWith(QLatin1Char(' '))) line.chop(1);  // blanks at a line end take no room
    const double spare = area.width() - fm.horizontalAdvance(line);
    const double x = area.left() + (align == Align::Centre ? spare / 2 : align == Align::Right ? spare : 0);
    p.drawText(QPointF(x, y), line);
    y += fm.lineSpacing();
  }
}

void PaintLabel(QPainter& p, const Control& c) {
  const QRect area = PaintArea(c);
  if (!c.transparent) p.fillRect(area, ToQColor(c.BackColor()));
  const QFont font = LabelFont(c.fontPt);
  p.setFont(font);
  const QFontMetricsF fm(font);
  const QString caption = Text(c.Caption());
  const QStringList lines = c.autoSize ? QStringList{caption} : WrapCaption(caption, fm, area.width());
  if (Greyed(c)) {
    DrawLines(p, lines, fm, QRectF(area).translated(1, 1), c.align, kEdgeLight);
    DrawLines(p, lines, fm, area, c.align, kGreyText);
  } else {
    DrawLines(p, lines, fm, area, c.align, ToQColor(c.ForeColor()));
  }
}

void PaintFrame(QPainter& p, const Control& c) {
  const QRect area = ToPixels(c.WindowBounds());
  p.fillRect(area, ToQColor(c.BackColor()));
  if (!c.border) return;
  const QString caption = Text(c.Caption());
  const QFont font = LabelFont(c.fontPt);
  const QFontMetricsF fm(font);
  // The border's top runs through the middle of the caption.
  const int lineTop = caption.isEmpty() ? area.top() : area.top() + static_cast<int>(fm.height() / 2);
  const QRect edge(area.left(), lineTop, area.width() - 1, area.bottom() - lineTop);
  Edge(p, edge, kEdgeShadow, kEdgeShadow);
  Edge(p, edge.translated(1, 1), kEdgeLight, kEdgeLight);
  if (caption.isEmpty()) return;
  const QRectF text(area.left() + kCaptionIndent, area.top(), fm.horizontalAdvance(caption) + 4, fm.height());
  p.fillRect(text, ToQColor(c.BackColor()));
  p.setFont(font);
  p.setPen(Greyed(c) ? kGreyText : ToQColor(c.ForeColor()));
  p.drawText(QPointF(text.left() + 2, text.top() + fm.ascent()), caption);
}

void PaintPictureBox(QPainter& p, const Control& c) {
  const QRect area = ToPixels(c.WindowBounds());
  p.fillRect(area, ToQColor(c.BackColor()));
  const QPixmap& picture = PicturePixmap(c.GetPicture(), p.device()->devicePixelRatio());
  if (!picture.isNull()) {
    p.save();
    p.setClipRect(area, Qt::IntersectClip);
    p.drawPixmap(area.topLeft(), picture);
    p.restore();
  }
}

// The sunken border of a text box, two pixels wide, as the desktop draws it.
void PaintTextBoxEdge(QPainter& p, const Control& c) {
  const QRect r = ToPixels(c.WindowBounds());
  Edge(p, r, kEdgeShadow, kEdgeLight);
  Edge(p, r.adjusted(1, 1, -1, -1), ToQColor(palette::kDarkGrey), ToQColor(palette::kButtonFace));
}

void PaintControl(QPainter& p, const Form1& form, const Control& c, const QRect& dirty) {
  if (!c.Visible()) return;
  const QRect area = PaintArea(c);
  if (!area.intersects(dirty)) return;
  switch (c.kind) {
    case ControlKind::Label:
    case ControlKind::LabelButton: PaintLabel(p, c); break;
    case ControlKind::Frame: PaintFrame(p, c); break;
    case ControlKind::PictureBox: PaintPictureBox(p, c); break;
    case ControlKind::TextBox: PaintTextBoxEdge(p, c); break;  // the box itself is a widget
    case ControlKind::OptionButton: break;                    // a widget
  }
  const std::vector<Control*> children = form.StackingOrder(&c);
  if (children.empty()) return;
  p.save();
  p.setClipRect(area, Qt::IntersectClip);  // children never draw outside their container
  for (auto it = children.rbegin(); it != children.rend(); ++it) PaintControl(p, form, **it, dirty);
  p.restore();
}

}  // namespace

QRect NativeArea(const Control& c) {
  const QRect area = ToPixels(c.WindowBounds());
  return c.kind == ControlKind::TextBox ? area.adjusted(2, 2, -2, -2) : area;
}

QColor ToQColor(Rgb rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb)); }

QRect PaintArea(const Control& c) {
  QRect area = ToPixels(c.WindowBounds());
  const bool label = c.kind == ControlKind::Label || c.kind == ControlKind::LabelButton;
  if (label && c.autoSize) {
    const QFontMetricsF fm(LabelFont(c.fontPt));
    area.setWidth(static_cast<int>(std::ceil(fm.horizontalAdvance(Text(c.Caption())))));
  }
  return area;
}

void PaintForm(QPainter& p, const Form1& form, const QRect& dirty) {
  p.setClipRect(dirty);
  p.fillRect(dirty, ToQColor(palette::kBlack));
  const std::vector<Control*> window = form.StackingOrder(nullptr);
  for (auto it = window.rbegin(); it != window.rend(); ++it) PaintControl(p, form, **it, dirty);
}

}  // namespace zbx::qt
