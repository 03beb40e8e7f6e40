#include "app/mainwindow.h"

#include "app/explorer.h"
#include "app/globals.h"
#include "chrome/pathbar.h"
#include "chrome/tabbar.h"
#include "core/virtualpath.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>

namespace dizad::app {

QString TZR_Main::Caption() {
  return QStringLiteral("Dizad - every folder at a glance");
}

TZR_Main::TZR_Main() : Memo1(&toolkit::LogMemo()) {
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  setWindowTitle(Caption());
  SetClientSize(ClientWidth, ClientHeight);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  FormCreate();
}

TZR_Main::~TZR_Main() {
  FormDestroy();
}

void TZR_Main::FormCreate() {
  ZR_Main = this;
  MainReady = false;
  zrFormDragging = false;
  core::setAppDir(QDir::currentPath());

  Panel1 = new toolkit::TControl;
  Panel1->SetHeight(168);
  Panel1->SetVisible(false);
  Panel1->SetAlign(toolkit::TAlign::Bottom);
  Panel1->SetParent(Root());

  auto* explorer = new TExplorer;
  explorer->SetParent(Root());
  explorer->SetAlign(toolkit::TAlign::Client);
  Explorer = explorer;

  auto* tabBar = new chrome::TTabBar;
  tabBar->SetParent(Root());
  tabBar->SetAlign(toolkit::TAlign::Top);
  tabBar->SetHeight(67);
  TabBar = tabBar;

  auto* pathBar = new chrome::TPathBar;
  pathBar->SetParent(Root());
  pathBar->SetAlign(toolkit::TAlign::Bottom);
  PathBar = pathBar;

  Panel1->BringToFront();
  Explorer->TabAdd(QStringLiteral("QDrive:\\"), true);
  MainReady = true;
}

void TZR_Main::FormDestroy() {
  // Controls go first; nothing paints after this.
  Explorer = nullptr;
  TabBar = nullptr;
  PathBar = nullptr;
  Panel1 = nullptr;
  DestroyTree();
  if (ZR_Main == this) ZR_Main = nullptr;
  MainReady = false;
}

void TZR_Main::ApplyShape() {
  ApplyRoundRegion(6, 6);
  MyRgn = mask();
}

void TZR_Main::showEvent(QShowEvent* event) {
  toolkit::THostForm::showEvent(event);
  ApplyShape();
}

void TZR_Main::resizeEvent(QResizeEvent* event) {
  toolkit::THostForm::resizeEvent(event);
  ApplyShape();
}

}  // namespace dizad::app
