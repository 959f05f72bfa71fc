#include "editor/sprite_image_view.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "images/image_animation.h"
#include "images/sheet_detection.h"

namespace {

long long FloorDiv(long long a, long long b)
{
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// The image with the pixels the renderer leaves out made transparent: the decoded pixels with a
// colour table of its own, so that a large sheet costs one byte a pixel, and only the part shown
// is converted when it is drawn.
QImage ShownImage(const TImageAnimation &image)
{
  if (!image.Bits || image.Width < 1 || image.Height < 1)
    return {};
  const std::array<bool, 256> transparent = TransparentEntries(image);
  QVector<QRgb> colours(256);
  for (int i = 0; i < 256; ++i)
    colours[i] = transparent[size_t(i)] ? 0
                                        : qRgb(image.Palette[size_t(i) * 3], image.Palette[size_t(i) * 3 + 1],
                                               image.Palette[size_t(i) * 3 + 2]);
  QImage shown = image.Bitmap.copy();
  if (shown.isNull())
    return {};
  shown.setColorTable(colours);
  return shown;
}

// The brush behind transparent pixels: grey and white squares of 8 screen pixels.
QBrush Checkerboard()
{
  QPixmap tile(16, 16);
  tile.fill(Qt::white);
  QPainter painter(&tile);
  painter.fillRect(0, 0, 8, 8, QColor(204, 204, 204));
  painter.fillRect(8, 8, 8, 8, QColor(204, 204, 204));
  return QBrush(tile);
}

} // namespace

// The widget inside the scroll area: as large as the zoomed image; paints and reports the mouse.
class TSpriteImageView::TCanvas : public QWidget
{
public:
  explicit TCanvas(TSpriteImageView *view) : view_(view)
  {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

protected:
  void paintEvent(QPaintEvent *event) override
  {
    QPainter painter(this);
    view_->Paint(painter, event->rect());
  }
  void mousePressEvent(QMouseEvent *event) override
  {
    if (event->button() == Qt::LeftButton)
      view_->Press(event->position().toPoint());
  }
  void mouseMoveEvent(QMouseEvent *event) override
  {
    view_->Move(event->position().toPoint(), event->buttons() & Qt::LeftButton);
  }
  void mouseReleaseEvent(QMouseEvent *event) override
  {
    if (event->button() == Qt::LeftButton)
      view_->Release(event->position().toPoint());
  }
  void wheelEvent(QWheelEvent *event) override
  {
    // Ctrl+wheel zooms; the wheel alone scrolls.
    const int delta = event->angleDelta().y();
    if (!(event->modifiers() & Qt::ControlModifier) || delta == 0) {
      event->ignore();
      return;
    }
    view_->WheelZoom(delta > 0 ? std::max(1, delta / 120) : std::min(-1, delta / 120), event->position().toPoint());
    event->accept();
  }

private:
  TSpriteImageView *view_;
};

TSpriteImageView::TSpriteImageView(QWidget *parent) : QScrollArea(parent), canvas_(new TCanvas(this))
{
  setBackgroundRole(QPalette::Dark);
  setAlignment(Qt::AlignCenter);
  setWidgetResizable(false);
  canvas_->resize(0, 0);
  setWidget(canvas_);
}

QWidget *TSpriteImageView::Canvas() const
{
  return canvas_;
}

void TSpriteImageView::SetImage(const TImageAnimation *image, const QString &source)
{
  image_ = image ? ShownImage(*image) : QImage();
  const bool newSource = source != source_;
  source_ = source;
  if (newSource && !image_.isNull()) {
    // The largest whole zoom at which the image fits, up to 8.
    const QSize room = viewport()->size();
    const int fit = std::min(room.width() / image_.width(), room.height() / image_.height());
    zoom_ = std::clamp(fit, 1, 8);
  }
  canvas_->resize(image_.size() * zoom_);
  canvas_->update();
  if (newSource && OnZoomChanged)
    OnZoomChanged();
}

void TSpriteImageView::SetGrid(const std::optional<TSpriteGrid> &grid, const std::set<int> &inUse)
{
  grid_ = grid;
  inUse_ = inUse;
  canvas_->update();
}

void TSpriteImageView::SetDefinitions(std::vector<std::pair<int, QRect>> definitions)
{
  definitions_ = std::move(definitions);
  canvas_->update();
}

void TSpriteImageView::SetZoom(int zoom, std::optional<QPoint> around)
{
  zoom = std::clamp(zoom, 1, MaxZoom);
  if (zoom == zoom_)
    return;
  // The canvas point kept in place, and where it shows in the viewport.
  const QPoint kept = around ? *around : canvas_->mapFrom(viewport(), viewport()->rect().center());
  const QPoint shownAt = canvas_->mapTo(viewport(), kept);
  const QPoint moved = kept * zoom / zoom_;
  zoom_ = zoom;
  canvas_->resize(image_.size() * zoom_);
  horizontalScrollBar()->setValue(moved.x() - shownAt.x());
  verticalScrollBar()->setValue(moved.y() - shownAt.y());
  canvas_->update();
  if (OnZoomChanged)
    OnZoomChanged();
}

bool TSpriteImageView::WheelZoom(int steps, const QPoint &point)
{
  SetZoom(zoom_ + steps, point);
  return true;
}

QPoint TSpriteImageView::PixelAt(const QPoint &canvasPoint) const
{
  return QPoint(int(FloorDiv(canvasPoint.x(), zoom_)), int(FloorDiv(canvasPoint.y(), zoom_)));
}

QPoint TSpriteImageView::CanvasPoint(const QPoint &pixel) const
{
  return pixel * zoom_ + QPoint(zoom_ / 2, zoom_ / 2);
}

QRect TSpriteImageView::PixelsBetween(const QPoint &a, const QPoint &b) const
{
  const int right = image_.width() - 1, bottom = image_.height() - 1;
  const int left = std::clamp(std::min(a.x(), b.x()), 0, right), top = std::clamp(std::min(a.y(), b.y()), 0, bottom);
  return QRect(QPoint(left, top),
               QPoint(std::clamp(std::max(a.x(), b.x()), 0, right), std::clamp(std::max(a.y(), b.y()), 0, bottom)));
}

void TSpriteImageView::Press(const QPoint &point)
{
  pressed_ = true;
  dragging_ = false;
  pressPoint_ = point;
  pressPixel_ = PixelAt(point);
}

void TSpriteImageView::Move(const QPoint &point, bool buttonHeld)
{
  if (OnPointerMoved)
    OnPointerMoved(PixelAt(point));
  if (!pressed_ || !buttonHeld || image_.isNull())
    return;
  if (!dragging_ && (point - pressPoint_).manhattanLength() < QApplication::startDragDistance())
    return;
  dragging_ = true;
  if (OnRectangleDragged)
    OnRectangleDragged(PixelsBetween(pressPixel_, PixelAt(point)));
}

void TSpriteImageView::Release(const QPoint &point)
{
  if (!pressed_)
    return;
  pressed_ = false;
  if (image_.isNull())
    return;
  if (dragging_) {
    if (OnRectangleDragged)
      OnRectangleDragged(PixelsBetween(pressPixel_, PixelAt(point)));
  } else if (OnPixelClicked) {
    OnPixelClicked(pressPixel_);
  }
  dragging_ = false;
}

namespace {

// A rectangle of image pixels on the canvas (its last row and column included), its corners held
// a little outside the exposed area so that far-off rectangles neither overflow nor draw.
QRect OnCanvas(long long left, long long top, long long width, long long height, int zoom, const QRect &exposed)
{
  auto hold = [](long long value, int low, int high) { return int(std::clamp<long long>(value, low - 2, high + 2)); };
  const int x0 = hold(left * zoom, exposed.left(), exposed.right());
  const int y0 = hold(top * zoom, exposed.top(), exposed.bottom());
  const int x1 = hold((left + width) * zoom - 1, exposed.left(), exposed.right());
  const int y1 = hold((top + height) * zoom - 1, exposed.top(), exposed.bottom());
  return QRect(QPoint(x0, y0), QPoint(x1, y1));
}

// A label inside a rectangle of the canvas, at its top left or its bottom right, dark-shadowed
// so it reads on any pixels.
void Label(QPainter &painter, const QRect &box, const QString &text, const QColor &colour, bool bottomRight = false)
{
  const QFontMetrics metrics = painter.fontMetrics();
  const QPoint at = bottomRight ? box.bottomRight() - QPoint(metrics.horizontalAdvance(text) + 3, metrics.descent() + 2)
                                : box.topLeft() + QPoint(3, 2 + metrics.ascent());
  painter.setPen(QColor(0, 0, 0, 170));
  painter.drawText(at + QPoint(1, 1), text);
  painter.setPen(colour);
  painter.drawText(at, text);
}

} // namespace

void TSpriteImageView::Paint(QPainter &painter, const QRect &exposed) const
{
  painter.fillRect(exposed, Checkerboard());
  if (image_.isNull())
    return;
  // Only the pixels under the exposed area, each a block of zoom x zoom.
  const QRect source = QRect(QPoint(exposed.left() / zoom_, exposed.top() / zoom_),
                             QPoint(exposed.right() / zoom_, exposed.bottom() / zoom_))
                           .intersected(image_.rect());
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(QRect(source.topLeft() * zoom_, source.size() * zoom_), image_, source);

  QFont font = painter.font();
  font.setPixelSize(10);
  painter.setFont(font);
  painter.setBrush(Qt::NoBrush);
  for (const auto &[index, rect] : definitions_) {
    const QRect box = OnCanvas(rect.x(), rect.y(), rect.width(), rect.height(), zoom_, exposed);
    if (rect.width() < 1 || rect.height() < 1 || !box.intersects(exposed.adjusted(-1, -1, 1, 1)))
      continue;
    painter.setPen(QPen(DefinitionColour, 1, Qt::DashLine));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    if (box.width() >= 16 && box.height() >= 12)
      Label(painter, box, QString::number(index), DefinitionColour, true);
  }
  PaintCells(painter, exposed);
}

void TSpriteImageView::PaintCells(QPainter &painter, const QRect &exposed) const
{
  if (!grid_ || grid_->Width < 1 || grid_->Height < 1 || grid_->Columns < 1 || grid_->Rows < 1)
    return;
  const TSpriteGrid &g = *grid_;
  // The cells under the exposed area only: a grid may hold far more than the view shows.
  const long long firstPixelX = exposed.left() / zoom_, lastPixelX = exposed.right() / zoom_;
  const long long firstPixelY = exposed.top() / zoom_, lastPixelY = exposed.bottom() / zoom_;
  const long long c0 = std::max(0LL, FloorDiv(firstPixelX - g.Left, g.Width));
  const long long c1 = std::min((long long)g.Columns - 1, FloorDiv(lastPixelX - g.Left, g.Width));
  const long long r0 = std::max(0LL, FloorDiv(firstPixelY - g.Top, g.Height));
  const long long r1 = std::min((long long)g.Rows - 1, FloorDiv(lastPixelY - g.Top, g.Height));
  if (c0 > c1 || r0 > r1)
    return;
  painter.setPen(QPen(CellColour, 1));
  if ((long long)g.Width * zoom_ < 4 || (long long)g.Height * zoom_ < 4) {
    // Cells too small to tell apart: the grid's outline, tinted.
    const QRect whole =
        OnCanvas(g.Left, g.Top, (long long)g.Width * g.Columns, (long long)g.Height * g.Rows, zoom_, exposed);
    painter.fillRect(whole, QColor(CellColour.red(), CellColour.green(), CellColour.blue(), 60));
    painter.drawRect(whole.adjusted(0, 0, -1, -1));
    return;
  }
  const bool labelled = (long long)g.Width * zoom_ >= 24 && (long long)g.Height * zoom_ >= 14;
  for (long long r = r0; r <= r1; ++r)
    for (long long c = c0; c <= c1; ++c) {
      const QRect box = OnCanvas(g.Left + c * g.Width, g.Top + r * g.Height, g.Width, g.Height, zoom_, exposed);
      painter.setPen(QPen(CellColour, 1));
      painter.drawRect(box.adjusted(0, 0, -1, -1));
      // A dark line inside the cell's edge, so that the edge shows on light pixels too.
      if (box.width() >= 6 && box.height() >= 6) {
        painter.setPen(QPen(QColor(0, 0, 0, 140), 1));
        painter.drawRect(box.adjusted(1, 1, -2, -2));
      }
      if (labelled) {
        const long long index = g.Index + c + (long long)g.Columns * r;
        Label(painter, box, QString::number(index), inUse_.count(int(index)) ? InUseColour : CellColour);
      }
    }
}
