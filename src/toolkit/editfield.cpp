#include "toolkit/editfield.h"

#include "toolkit/host.h"

#include <QLineEdit>

namespace dizad::toolkit {

TEditField::TEditField() : FLineEdit(new QLineEdit) {
  FLineEdit->setFrame(false);
  FLineEdit->setAttribute(Qt::WA_TranslucentBackground);
  FLineEdit->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; border: none; }"));
  FLineEdit->hide();
  QObject::connect(FLineEdit, &QLineEdit::textEdited, FLineEdit, [this] {
    if (OnChange) OnChange(this);
  });
  QObject::connect(FLineEdit, &QLineEdit::returnPressed, FLineEdit, [this] {
    if (OnReturn) OnReturn(this);
  });
}

TEditField::~TEditField() {
  if (FHost) FHost->UnregisterEdit(this);
  if (FLineEdit) {
    FLineEdit->disconnect();
    FLineEdit->hide();
    // The field may be destroyed from inside one of its own signals.
    FLineEdit->deleteLater();
  }
}

QString TEditField::Text() const {
  return FLineEdit ? FLineEdit->text() : QString();
}

void TEditField::SetText(const QString& text) {
  if (FLineEdit) FLineEdit->setText(text);
}

void TEditField::SetFont(const QFont& font) {
  if (FLineEdit) FLineEdit->setFont(font);
}

void TEditField::SetTextColor(quint32 argb) {
  if (!FLineEdit) return;
  QPalette palette = FLineEdit->palette();
  palette.setColor(QPalette::Text, QColor::fromRgba(argb));
  FLineEdit->setPalette(palette);
}

void TEditField::SetFocus() {
  SyncWidget();
  if (FLineEdit) FLineEdit->setFocus();
}

bool TEditField::IsFocused() const {
  return FLineEdit && FLineEdit->hasFocus();
}

void TEditField::SelectAll() {
  if (FLineEdit) FLineEdit->selectAll();
}

void TEditField::Paint(TCanvas&) {
  // Being painted means the field is attached: make sure the host knows it.
  THostForm* host = Host();
  if (host && host != FHost) {
    if (FHost) FHost->UnregisterEdit(this);
    FHost = host;
    host->RegisterEdit(this);
  }
}

void TEditField::SyncWidget() {
  if (!FLineEdit) return;
  THostForm* host = Host();
  if (host && host != FHost) {
    if (FHost) FHost->UnregisterEdit(this);
    FHost = host;
    host->RegisterEdit(this);
  }
  if (!host || !IsShowing()) {
    FLineEdit->hide();
    return;
  }
  if (FLineEdit->parentWidget() != host) FLineEdit->setParent(host);
  const QRect r = LocalToAbsolute(LocalRect()).toRect();
  if (FLineEdit->geometry() != r) FLineEdit->setGeometry(r);
  if (!FLineEdit->isVisible()) FLineEdit->show();
}

}  // namespace dizad::toolkit
