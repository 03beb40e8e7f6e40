#pragma once
// THostForm: the one native window that hosts a control tree. It paints the
// tree with QPainter (only the invalidated region), turns Qt input into the
// tree's pointer events (topmost visible hit-testable control, enter/leave,
// capture while a button is held, wheel bubbling), and offers the window
// operations of a borderless main window (rounded region, maximise/normal,
// system move and resize). GUI thread only.

#include "toolkit/control.h"

#include <QWidget>
#include <memory>
#include <vector>

namespace dizad::toolkit {

class TEditField;

// The root of a host's tree: it always covers the whole client area.
class TFormRoot : public TControl {};

class THostForm : public QWidget {
 public:
  explicit THostForm(QWidget* parent = nullptr);
  ~THostForm() override;

  // The root control; parent the window's controls to it.
  TControl* Root() const { return FRoot.get(); }

  // Resizes the window and lays out the tree at once, also before the window
  // is shown (Qt delivers a hidden widget's resize event only at show time).
  void SetClientSize(int width, int height);

  // Frees the whole tree now (before a subclass's own members go away).
  void DestroyTree();

  // Window operations.
  void SetMaximized(bool maximized);
  bool IsMaximized() const;
  void StartSystemMove();
  void StartSystemResize(Qt::Edges edges);
  // Gives the window a rounded-rectangle region from (0, 0) to (width,
  // height) whose corner ellipses are ellipseWidth x ellipseHeight.
  void ApplyRoundRegion(int ellipseWidth, int ellipseHeight);

  // The control the pointer is over (toolkit enter/leave), and the control
  // that holds the pointer capture.
  TControl* HoverControl() const { return FHover; }
  TControl* CaptureControl() const { return FCapture; }
  void ReleaseCapture();

  // Called by the tree.
  void InvalidateAbsolute(const QRectF& rect);
  void ControlGone(TControl* control);    // removed from the tree or freed
  void ControlHidden(TControl* control);  // made invisible
  void RegisterEdit(TEditField* edit);
  void UnregisterEdit(TEditField* edit);
  // Brings every edit field's native widget in step with its control.
  void SyncEdits();

  // Paints the tree into an image of the window's size (for snapshots); with
  // a dirty rectangle, only what a repaint of that rectangle would paint.
  QImage RenderToImage(const QRect& dirty = QRect());

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void PaintTree(QPainter& painter, const QRectF& dirty);
  void Press(QMouseEvent* event, bool isDouble);
  void MouseMoveImpl(QMouseEvent* event);
  void MouseReleaseImpl(QMouseEvent* event);
  void WheelImpl(QWheelEvent* event);
  void UpdateHover(TControl* target);
  void ScheduleEditSync();

  std::unique_ptr<TFormRoot> FRoot;
  TControl* FHover = nullptr;    // cleared before the control goes away
  TControl* FCapture = nullptr;  // cleared before the control goes away
  std::vector<TEditField*> FEdits;
  bool FEditSyncQueued = false;
};

TShiftState shiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);
TMouseButton mouseButtonOf(Qt::MouseButton button);

}  // namespace dizad::toolkit
