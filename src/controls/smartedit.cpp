#include "controls/smartedit.h"

#include "controls/skindraw.h"

#include <QEvent>
#include <QLineEdit>

namespace dizad::controls {

namespace {

QFont editFont() {
  QFont font(QStringLiteral("Segoe UI"));
  font.setPixelSize(14);
  return font;
}

}  // namespace

TSmartEdit::TSmartEdit() : seFocusWatch(std::make_unique<TFocusWatch>(this)) {
  SetHeight(30);
  SetFont(editFont());
  seInactiveText.Font = editFont();
  seInactiveText.Text = QStringLiteral("Type in an aplication name");
  seInactiveText.VerticalAlign = toolkit::TTextAlign::Center;
  seInactiveText.HorizontalAlign = toolkit::TTextAlign::Leading;
  seInactiveText.Color = 0xFF696969;
  seInactiveText.TopLeft = QPointF(110, 29);
  seInactiveText.MaxSize = QSizeF(54, 15);
  Resize();
  if (QLineEdit* edit = LineEdit()) {
    edit->installEventFilter(seFocusWatch.get());
    // Programmatic changes count as much as typing: the prompt follows the text.
    QObject::connect(edit, &QLineEdit::textChanged, seFocusWatch.get(), [this] { Invalidate(); });
  }
}

TSmartEdit::~TSmartEdit() {
  if (QLineEdit* edit = LineEdit()) edit->removeEventFilter(seFocusWatch.get());
}

bool TSmartEdit::TFocusWatch::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) FOwner->Invalidate();
  return QObject::eventFilter(watched, event);
}

bool TSmartEdit::PromptVisible() const {
  return Text().isEmpty() && !IsFocused();
}

void TSmartEdit::Paint(toolkit::TCanvas& canvas) {
  drawSkin(canvas, QStringLiteral("SmartEdit"), QStringLiteral("Edit.Back"), LocalRect());
  TEditField::Paint(canvas);
  if (PromptVisible()) seInactiveText.RenderLayout(canvas);
}

void TSmartEdit::Resize() {
  TEditField::Resize();
  seInactiveText.TopLeft = QPointF(10, 0);
  seInactiveText.MaxSize = QSizeF(Width() - 20, Height());
}

}  // namespace dizad::controls
