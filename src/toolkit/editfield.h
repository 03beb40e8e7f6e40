#pragma once
// TEditField: a single-line text field in the control tree. The typing itself
// is done by a transparent QLineEdit, a child widget of the host window that
// is kept over the control's rectangle and shown only while the control is
// showing. The control draws nothing itself; owners paint the background.
// GUI thread only.

#include "toolkit/control.h"

#include <QPointer>
#include <functional>

#include <QLineEdit>

namespace dizad::toolkit {

class TEditField : public TControl {
 public:
  TEditField();
  ~TEditField() override;

  QString Text() const;
  void SetText(const QString& text);
  void SetFont(const QFont& font);
  void SetTextColor(quint32 argb);
  void SetFocus();
  bool IsFocused() const;
  void SelectAll();

  std::function<void(TEditField* sender)> OnChange;  // text edited by the user
  std::function<void(TEditField* sender)> OnReturn;  // Return pressed

  QLineEdit* LineEdit() const { return FLineEdit; }

  // Moves and shows or hides the native field to match the control.
  void SyncWidget();

  void Paint(TCanvas& canvas) override;

 private:
  QPointer<QLineEdit> FLineEdit;  // owned; parented to the host once attached
  QPointer<THostForm> FHost;      // host the field is registered with
};

}  // namespace dizad::toolkit
