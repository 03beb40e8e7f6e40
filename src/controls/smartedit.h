#pragma once
// TSmartEdit: a one-line text field on a skin background that shows a grey
// prompt while it is empty and does not have the focus. Typing, caret,
// selection, clipboard and focus are the toolkit edit field's; this class
// paints behind it and keeps the prompt in step with the text and focus.
// Owns the prompt layout. GUI thread only.
//
// Field prefix: se (smart edit).

#include "toolkit/editfield.h"
#include "toolkit/textlayout.h"

#include <QObject>
#include <memory>

namespace dizad::controls {

class TSmartEdit : public toolkit::TEditField {
 public:
  TSmartEdit();
  ~TSmartEdit() override;

  // True while the prompt is drawn: no text and no focus.
  bool PromptVisible() const;

  // The skin background, then the prompt when it is visible.
  void Paint(toolkit::TCanvas& canvas) override;

  // The prompt ("Type in an aplication name" unless a page sets another).
  toolkit::TTextLayout seInactiveText;

 protected:
  void Resize() override;

 private:
  // Repaints when the native field gains or loses the focus.
  class TFocusWatch : public QObject {
   public:
    explicit TFocusWatch(TSmartEdit* owner) : FOwner(owner) {}
    bool eventFilter(QObject* watched, QEvent* event) override;

   private:
    TSmartEdit* FOwner;
  };
  std::unique_ptr<TFocusWatch> seFocusWatch;
};

}  // namespace dizad::controls
