#include "editor/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr int Size = 24;
const QColor Ink(40, 40, 48);
const QColor Paper(250, 250, 250);
const QColor Accent(40, 110, 200);
const QColor Good(30, 150, 60);
const QColor Bad(200, 40, 40);
const QColor Film(90, 90, 100);

void Page(QPainter &p, int x, int y)
{
  p.setPen(QPen(Ink, 1.2));
  p.setBrush(Paper);
  QPainterPath path;
  path.moveTo(x, y);
  path.lineTo(x + 10, y);
  path.lineTo(x + 14, y + 4);
  path.lineTo(x + 14, y + 18);
  path.lineTo(x, y + 18);
  path.closeSubpath();
  p.drawPath(path);
}

void Disk(QPainter &p)
{
  p.setPen(QPen(Ink, 1.2));
  p.setBrush(Accent);
  p.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 2, 2);
  p.setBrush(Paper);
  p.drawRect(QRectF(7.5, 3.5, 9, 6));
  p.drawRect(QRectF(6.5, 13.5, 11, 7));
}

void Plus(QPainter &p, QPointF c, const QColor &colour = Good)
{
  p.setPen(QPen(colour, 2.6, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(c + QPointF(-4, 0), c + QPointF(4, 0));
  p.drawLine(c + QPointF(0, -4), c + QPointF(0, 4));
}

void Cross(QPainter &p, QPointF c)
{
  p.setPen(QPen(Bad, 2.4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(c + QPointF(-3.5, -3.5), c + QPointF(3.5, 3.5));
  p.drawLine(c + QPointF(-3.5, 3.5), c + QPointF(3.5, -3.5));
}

// A film frame: a rectangle with sprocket holes.
void FilmFrame(QPainter &p, QRectF r, const QColor &fill = Paper)
{
  p.setPen(QPen(Film, 1.2));
  p.setBrush(fill);
  p.drawRect(r);
  p.setPen(Qt::NoPen);
  p.setBrush(Film);
  for (double y = r.top() + 2; y < r.bottom() - 1; y += 4) {
    p.drawRect(QRectF(r.left() + 1, y, 2, 2));
    p.drawRect(QRectF(r.right() - 3, y, 2, 2));
  }
}

void Arrow(QPainter &p, QPointF from, QPointF to, const QColor &colour = Accent)
{
  p.setPen(QPen(colour, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawLine(from, to);
  const QPointF d = to - from;
  const double len = std::max(0.001, std::hypot(d.x(), d.y()));
  const QPointF u(d.x() / len, d.y() / len), n(-u.y(), u.x());
  p.setBrush(colour);
  p.drawPolygon(QPolygonF({to + u * 2, to - u * 4 + n * 4, to - u * 4 - n * 4}));
}

void CurvedArrow(QPainter &p, bool back)
{
  p.setPen(QPen(Accent, 2.4, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  QPainterPath path;
  if (back) {
    path.moveTo(7, 10);
    path.cubicTo(12, 4, 21, 7, 19, 15);
  } else {
    path.moveTo(17, 10);
    path.cubicTo(12, 4, 3, 7, 5, 15);
  }
  p.drawPath(path);
  p.setBrush(Accent);
  p.setPen(Qt::NoPen);
  if (back)
    p.drawPolygon(QPolygonF({QPointF(3, 7), QPointF(10, 6), QPointF(7, 13)}));
  else
    p.drawPolygon(QPolygonF({QPointF(21, 7), QPointF(14, 6), QPointF(17, 13)}));
}

void Person(QPainter &p, const QColor &colour)
{
  p.setPen(QPen(Ink, 1.2));
  p.setBrush(colour);
  p.drawEllipse(QRectF(5.5, 2.5, 8, 8));
  p.drawRoundedRect(QRectF(3.5, 11.5, 12, 9), 4, 4);
}

void Speaker(QPainter &p)
{
  p.setPen(QPen(Ink, 1.2));
  p.setBrush(Accent);
  p.drawPolygon(
      QPolygonF({QPointF(3, 9), QPointF(7, 9), QPointF(12, 4), QPointF(12, 20), QPointF(7, 15), QPointF(3, 15)}));
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(Accent, 1.6));
  p.drawArc(QRectF(9, 7, 7, 10), -50 * 16, 100 * 16);
}

void Stack(QPainter &p, bool front)
{
  p.setPen(QPen(Ink, 1.2));
  p.setBrush(front ? QColor(180, 180, 190) : Accent);
  p.drawRect(QRectF(3.5, 3.5, 11, 11));
  p.setBrush(front ? Accent : QColor(180, 180, 190));
  p.drawRect(QRectF(9.5, 9.5, 11, 11));
}

void Draw(QPainter &p, TIconKind kind)
{
  switch (kind) {
  case TIconKind::New:
    Page(p, 4, 3);
    Plus(p, QPointF(17, 17));
    break;
  case TIconKind::Open:
    p.setPen(QPen(Ink, 1.2));
    p.setBrush(QColor(230, 190, 80));
    p.drawRect(QRectF(2.5, 6.5, 18, 13));
    p.drawRect(QRectF(2.5, 4.5, 7, 3));
    p.setBrush(QColor(245, 215, 120));
    p.drawPolygon(QPolygonF({QPointF(5, 10.5), QPointF(22.5, 10.5), QPointF(20.5, 19.5), QPointF(2.5, 19.5)}));
    break;
  case TIconKind::Save:
    Disk(p);
    break;
  case TIconKind::SaveAs:
    Disk(p);
    p.setPen(QPen(QColor(230, 160, 40), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(13, 20), QPointF(21, 12));
    break;
  case TIconKind::Undo:
    CurvedArrow(p, true);
    break;
  case TIconKind::Redo:
    CurvedArrow(p, false);
    break;
  case TIconKind::AddSprite:
    p.setPen(QPen(Ink, 1.2));
    p.setBrush(QColor(240, 200, 120));
    p.drawRect(QRectF(3.5, 3.5, 12, 12));
    Plus(p, QPointF(17, 17));
    break;
  case TIconKind::RemoveUnused:
    p.setPen(QPen(Ink, 1.2, Qt::DashLine));
    p.setBrush(QColor(240, 200, 120));
    p.drawRect(QRectF(3.5, 3.5, 12, 12));
    Cross(p, QPointF(17, 17));
    break;
  case TIconKind::Import:
    p.setPen(QPen(Ink, 1.2));
    p.setBrush(QColor(240, 200, 120));
    p.drawRect(QRectF(9.5, 9.5, 11, 11));
    Arrow(p, QPointF(3, 3), QPointF(11, 11));
    break;
  case TIconKind::Reverse:
    Arrow(p, QPointF(4, 8), QPointF(19, 8));
    Arrow(p, QPointF(20, 16), QPointF(5, 16), Good);
    break;
  case TIconKind::Play:
    p.setPen(QPen(Good.darker(130), 1.2));
    p.setBrush(Good);
    p.drawPolygon(QPolygonF({QPointF(6, 4), QPointF(20, 12), QPointF(6, 20)}));
    break;
  case TIconKind::Stop:
    p.setPen(QPen(Bad.darker(130), 1.2));
    p.setBrush(Bad);
    p.drawRect(QRectF(5.5, 5.5, 13, 13));
    break;
  case TIconKind::AddFrame:
    FilmFrame(p, QRectF(2.5, 3.5, 14, 16));
    Plus(p, QPointF(18, 17));
    break;
  case TIconKind::DeleteFrame:
    FilmFrame(p, QRectF(2.5, 3.5, 14, 16));
    Cross(p, QPointF(18, 17));
    break;
  case TIconKind::CopyFrame:
    FilmFrame(p, QRectF(2.5, 2.5, 12, 14));
    FilmFrame(p, QRectF(9.5, 7.5, 12, 14));
    break;
  case TIconKind::InsertBefore:
    FilmFrame(p, QRectF(10.5, 3.5, 12, 17));
    Arrow(p, QPointF(1, 12), QPointF(8, 12), Good);
    break;
  case TIconKind::InsertAfter:
    FilmFrame(p, QRectF(1.5, 3.5, 12, 17));
    Arrow(p, QPointF(23, 12), QPointF(16, 12), Good);
    break;
  case TIconKind::AddSound:
    Speaker(p);
    Plus(p, QPointF(19, 17));
    break;
  case TIconKind::OnionSkin:
    // The figure with a faint one behind it on either side.
    for (const auto &[dx, opacity] : {std::pair{-4.0, 0.3}, std::pair{4.0, 0.3}, std::pair{0.0, 1.0}}) {
      p.save();
      p.setOpacity(opacity);
      p.translate(dx + 2, 0);
      Person(p, QColor(240, 200, 120));
      p.restore();
    }
    break;
  case TIconKind::AddCharacter:
    Person(p, QColor(240, 200, 120));
    Plus(p, QPointF(19, 17));
    break;
  case TIconKind::AddText: {
    QFont font("DejaVu Serif");
    font.setPixelSize(17);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Ink);
    p.drawText(QRectF(0, 0, 16, 20), Qt::AlignCenter, "T");
    Plus(p, QPointF(19, 17));
    break;
  }
  case TIconKind::DeleteActor:
    Person(p, QColor(240, 200, 120));
    Cross(p, QPointF(19, 17));
    break;
  case TIconKind::CopyActor:
    p.translate(4, 0);
    Person(p, QColor(200, 200, 210));
    p.translate(-4, 2);
    Person(p, QColor(240, 200, 120));
    break;
  case TIconKind::InsertActor:
    Person(p, QColor(240, 200, 120));
    Arrow(p, QPointF(23, 7), QPointF(16, 14), Good);
    break;
  case TIconKind::Up:
    Arrow(p, QPointF(12, 20), QPointF(12, 6));
    break;
  case TIconKind::Down:
    Arrow(p, QPointF(12, 4), QPointF(12, 18));
    break;
  case TIconKind::Left:
    Arrow(p, QPointF(20, 12), QPointF(6, 12));
    break;
  case TIconKind::Right:
    Arrow(p, QPointF(4, 12), QPointF(18, 12));
    break;
  case TIconKind::ToFront:
    Stack(p, true);
    break;
  case TIconKind::ToBack:
    Stack(p, false);
    break;
  }
}

} // namespace

QIcon MakeIcon(TIconKind kind)
{
  // Drawn at the screen's ratios of 1 and 2, so that neither is a scaled copy of the other.
  QIcon icon;
  for (int ratio : {1, 2}) {
    QPixmap pixmap(Size * ratio, Size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    Draw(painter, kind);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}
