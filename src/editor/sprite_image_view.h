// The Add Sprite dialog's picture of an image: drawn at a whole zoom with nearest-neighbour
// pixels over a checkerboard where it is transparent, scrollable, with the cells that applying
// would create and the definitions that already cut the image drawn over it. A drag chooses a
// rectangle, a click a pixel; the dialog decides what they mean.
#pragma once

#include <QImage>
#include <QScrollArea>
#include <functional>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "session/edit_session.h"

class TImageAnimation;

class TSpriteImageView : public QScrollArea
{
  Q_OBJECT

public:
  explicit TSpriteImageView(QWidget *parent);

  // Shows image (not owned; none shows nothing). A new source fits the zoom to the view; the same
  // source shown again (repainted) keeps zoom and scroll position.
  void SetImage(const TImageAnimation *image, const QString &source);
  bool HasImage() const { return !image_.isNull(); }
  QSize ImageSize() const { return image_.size(); }

  // The cells applying would create (none: the fields make no grid), and the indices among them
  // whose definitions are in use, whose labels are marked.
  void SetGrid(const std::optional<TSpriteGrid> &grid, const std::set<int> &inUse = {});
  // The definitions that cut this image: index and rectangle, outlined faintly.
  void SetDefinitions(std::vector<std::pair<int, QRect>> definitions);

  static constexpr int MaxZoom = 16;
  int Zoom() const { return zoom_; }
  // Zooms to zoom (1 to MaxZoom), keeping the image pixel at the canvas point `around` in place
  // (the middle of the view when none).
  void SetZoom(int zoom, std::optional<QPoint> around = std::nullopt);

  // The widget the image is drawn on, inside the scroll area, and positions on it.
  QWidget *Canvas() const;
  QPoint PixelAt(const QPoint &canvasPoint) const;
  QPoint CanvasPoint(const QPoint &pixel) const; // the middle of the pixel

  // A drag chose a rectangle of whole pixels inside the image (called as it moves and at the end).
  std::function<void(const QRect &)> OnRectangleDragged;
  // A press and release without moving, on this pixel.
  std::function<void(const QPoint &)> OnPixelClicked;
  // The pointer is over this pixel.
  std::function<void(const QPoint &)> OnPointerMoved;
  std::function<void()> OnZoomChanged;

  // The colours of the overlay: the cells to create, labels of indices in use, and the
  // definitions there are (faint).
  static inline const QColor CellColour = QColor(0, 230, 255);
  static inline const QColor InUseColour = QColor(255, 80, 80);
  static inline const QColor DefinitionColour = QColor(255, 170, 0, 150);

private:
  class TCanvas;
  friend class TCanvas;
  void Paint(QPainter &painter, const QRect &exposed) const;
  void PaintCells(QPainter &painter, const QRect &exposed) const;
  void Press(const QPoint &point);
  void Move(const QPoint &point, bool buttonHeld);
  void Release(const QPoint &point);
  bool WheelZoom(int steps, const QPoint &point);
  // The rectangle of whole pixels from one pixel to another, both included, cut to the image.
  QRect PixelsBetween(const QPoint &a, const QPoint &b) const;

  TCanvas *canvas_;
  QImage image_;
  QString source_;
  int zoom_ = 1;
  std::optional<TSpriteGrid> grid_;
  std::set<int> inUse_;
  std::vector<std::pair<int, QRect>> definitions_;
  QPoint pressPoint_, pressPixel_;
  bool pressed_ = false, dragging_ = false;
};
