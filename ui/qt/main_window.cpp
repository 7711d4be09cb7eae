#include "ui/qt/main_window.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QResizeEvent>

#include "ui/qt/command_box.h"
#include "ui/qt/map_snapshot.h"
#include "ui/qt/map_widget.h"

namespace norvane {

MainWindow::MainWindow(const std::filesystem::path& workingFolder)
    : files_(workingFolder), windows_(files_, dialogs_, this) {
  setObjectName("frmMain");
  program_ = std::make_unique<MainProgram>(
      AppPlatform{files_, clock_, random_, dialogs_, starter_, events_, help_, canvas_, windows_, *this, printer_,
                  runner_, [this] { return FromQImage(canvas_.Picture()); }});
  // The random pick of a server and the script constant RANDOM start from the clock.
  random_.Seed(static_cast<std::uint32_t>(clock_.SecondsSinceMidnight() * 1000));
  BuildControls();
  BuildMenus(nullptr, MainMenuTree());
  MenusChanged();
}

MainWindow::~MainWindow() {
  // Children still send focus and mouse events while they are destroyed.
  txtCmd_->onFocusChanged = nullptr;
  txtCmd_->removeEventFilter(this);
  txtOb_->viewport()->removeEventFilter(this);
  txtWatch_->viewport()->removeEventFilter(this);
  picPlot_->removeEventFilter(this);
  tmrDL_.stop();
}

void MainWindow::BuildControls() {
  auto* central = new QWidget(this);
  setCentralWidget(central);
  picPlot_ = new MapWidget(canvas_, central);
  txtCmd_ = new CommandBox(history_, central);
  txtCmd_->setFont(QFont("DejaVu Sans", 10));
  txtOb_ = new QPlainTextEdit(central);
  txtOb_->setObjectName("txtOb");
  txtWatch_ = new QPlainTextEdit(central);
  txtWatch_->setObjectName("txtWatch");
  for (QPlainTextEdit* box : {txtOb_, txtWatch_}) {
    box->setReadOnly(true);
    box->setFont(QFont("DejaVu Sans Mono", 9));
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->viewport()->installEventFilter(this);
    box->setMouseTracking(true);
    box->viewport()->setMouseTracking(true);
  }
  picPlot_->installEventFilter(this);
  txtCmd_->installEventFilter(this);  // the loop's keys
  fraControl_ = new QGroupBox("Zoom Controls", central);
  fraControl_->setObjectName("fraControl");
  fraControl_->resize(161, 105);
  struct Button { const char* name; const char* caption; int x, y, w; };
  const Button buttons[] = {{"cmdUp", "\u25B2", 40, 18, 28},   {"cmdDown", "\u25BC", 40, 48, 28},
                            {"cmdLeft", "\u25C0", 10, 33, 28}, {"cmdRight", "\u25B6", 70, 33, 28},
                            {"cmdZoom", "+", 110, 18, 40},     {"cmdUnzoom", "-", 110, 48, 40},
                            {"cmdEnterCoord", "Enter Coordinates", 10, 76, 140}};
  for (const Button& b : buttons) {
    auto* button = new QPushButton(QString::fromUtf8(b.caption), fraControl_);
    button->setObjectName(b.name);
    button->setGeometry(b.x, b.y, b.w, b.name == std::string("cmdEnterCoord") ? 24 : 28);
    const std::string name = b.name;
    connect(button, &QPushButton::clicked, this, [this, name] { Choose(name); });
  }
  fraControl_->hide();
  lblLatLong_ = new QLabel(picPlot_);
  lblLatLong_->setObjectName("lblLatLong");
  lblLatLong_->resize(150, 20);
  lblLatLong_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  lblNum_ = new QLabel(picPlot_);
  lblNum_->setObjectName("lblNum");
  lblNum_->setGeometry(8, 8, 110, 22);
  lblNum_->setAlignment(Qt::AlignCenter);
  // Always there, if empty: a double click opens the options.
  lblNum_->installEventFilter(this);
  cmdRedraw_ = new QPushButton("&Redraw", picPlot_);
  cmdRedraw_->setObjectName("cmdRedraw");
  cmdRedraw_->resize(80, 26);
  connect(cmdRedraw_, &QPushButton::clicked, this, [this] { Choose("cmdRedraw"); });

  picPlot_->onMouseMove = [this](int x, int y) { program_->MouseOverMap(x, y); };
  auto button = [](Qt::MouseButton b) {
    return b == Qt::RightButton ? MainProgram::MouseButton::Right
                                : b == Qt::MiddleButton ? MainProgram::MouseButton::Middle : MainProgram::MouseButton::Left;
  };
  picPlot_->onMousePress = [this, button](int x, int y, Qt::MouseButton b) { program_->MapPressed(x, y, button(b)); };
  picPlot_->onMouseRelease = [this](int x, int y, Qt::MouseButton b) {
    if (b == Qt::LeftButton) program_->MapReleased(x, y);
  };
  picPlot_->onWheel = [this](int delta) { program_->MapWheel(delta); };
  txtCmd_->onExecute = [this](const std::string& line) { program_->Exec(line); };
  txtCmd_->onBeep = [this] { dialogs_.Beep(); };
  txtCmd_->onEscape = [this] { program_->RequestStop(); };
  txtCmd_->onFocusChanged = [this](bool in) { program_->CommandBoxFocus(in); };

  tmrDL_.setInterval(1000);
  connect(&tmrDL_, &QTimer::timeout, this, [this] {
    if (program_->TimerEnabled()) program_->Tick();
  });
}

void MainWindow::BuildMenus(QMenu* parent, const std::vector<MenuEntry>& entries) {
  for (const MenuEntry& e : entries) {
    switch (e.kind) {
      case MenuEntry::Kind::Separator:
        if (parent) parent->addSeparator();
        break;
      case MenuEntry::Kind::Submenu: {
        QMenu* menu = parent ? parent->addMenu(QString::fromStdString(e.caption))
                             : menuBar()->addMenu(QString::fromStdString(e.caption));
        menu->setObjectName(QString::fromStdString(e.name));
        menus_[e.name] = menu;
        BuildMenus(menu, e.children);
        break;
      }
      case MenuEntry::Kind::Item: {
        QAction* a = parent->addAction(QString::fromStdString(e.caption));
        a->setObjectName(QString::fromStdString(e.name));
        a->setCheckable(e.checkable);
        if (!e.shortcut.empty()) a->setShortcut(QKeySequence(QString::fromStdString(e.shortcut)));
        actions_[e.name] = a;
        const std::string name = e.name;
        connect(a, &QAction::triggered, this, [this, name] { Choose(name); });
        break;
      }
    }
  }
}

void MainWindow::Choose(const std::string& control) {
  program_->Choose(control);
  // Qt toggled a checkable item on its own; show the program's mark instead.
  MenusChanged();
}

void MainWindow::Start() {
  setWindowTitle("Norvane - v1.02");
  resize(1280, 860);
  showMaximized();
  QApplication::processEvents();
  // The map is painted in the screen's own pixels, not enlarged from a smaller picture.
  canvas_.SetDevicePixelRatio(picPlot_->devicePixelRatioF());
  program_->Start(centralWidget()->width(), centralWidget()->height());
  tmrDL_.start();
}

void MainWindow::OutputChanged(const std::string& text) { txtOb_->setPlainText(QString::fromStdString(text)); }

void MainWindow::StatusChanged(const std::string& text, bool busy) {
  lblNum_->setText(QString::fromStdString(text));
  lblNum_->setStyleSheet(busy ? "background-color: rgb(255,80,80);" : "");

}

void MainWindow::MapChanged() { picPlot_->update(); }

void MainWindow::WatchChanged(const std::string& text) { txtWatch_->setPlainText(QString::fromStdString(text)); }

void MainWindow::PositionChanged(const std::string& text) { lblLatLong_->setText(QString::fromStdString(text)); }

void MainWindow::PopUpMenu(const std::string& menu, int x, int y) {
  if (auto m = menus_.find(menu); m != menus_.end()) m->second->popup(picPlot_->mapToGlobal(QPoint(x, y)));
}

void MainWindow::MenusChanged() {
  for (const auto& [name, state] : program_->Menus().Items()) {
    if (auto a = actions_.find(name); a != actions_.end()) {
      QAction* action = a->second;
      action->setText(QString::fromStdString(state.caption));
      action->setChecked(state.checked);
      action->setEnabled(state.enabled);
      action->setVisible(state.visible);
      action->setToolTip(state.enabled ? QString() : QString("Not available in this version yet"));
    } else if (auto m = menus_.find(name); m != menus_.end()) {
      m->second->setEnabled(state.enabled);
    }
  }
}

void MainWindow::LayoutChanged() {
  const WindowLayout& l = program_->Layout();
  auto place = [](QWidget* w, const Rect& r) { w->setGeometry(r.left, r.top, r.width, r.height); };
  place(picPlot_, l.plot);
  place(txtCmd_, l.command);
  place(txtOb_, l.ob);
  place(txtWatch_, l.watch);
  fraControl_->setVisible(program_->Menus().Checked("mnuZoomControls"));
  fraControl_->move(l.control.left, l.control.top);
  lblLatLong_->move(l.latLong.left, l.latLong.top);
  cmdRedraw_->move(std::max(0, l.plot.width - cmdRedraw_->width() - 8), 8);
  const Settings& s = program_->CurrentSettings();
  const QString style = QString("color: rgb(%1,%2,%3); background-color: rgb(%4,%5,%6);")
                            .arg(RedOf(s.TextForeColor)).arg(GreenOf(s.TextForeColor)).arg(BlueOf(s.TextForeColor))
                            .arg(RedOf(s.TextBackColor)).arg(GreenOf(s.TextBackColor)).arg(BlueOf(s.TextBackColor));
  for (QWidget* box : {static_cast<QWidget*>(txtCmd_), static_cast<QWidget*>(txtOb_), static_cast<QWidget*>(txtWatch_)})
    box->setStyleSheet(style);
}

void MainWindow::FocusCommandBox() { txtCmd_->setFocus(); }

void MainWindow::BusyChanged(bool shown) {
  if (!frmBusy_) {
    frmBusy_ = new QWidget(this, Qt::Tool | Qt::FramelessWindowHint);
    frmBusy_->setObjectName("frmBusy");
    frmBusy_->setWindowTitle("Please Wait...");
    auto* text = new QLabel("Please Wait...", frmBusy_);
    text->setMargin(24);
    QFont big = text->font();
    big.setPointSize(14);
    big.setBold(true);
    text->setFont(big);
    frmBusy_->adjustSize();
  }
  if (!shown) return frmBusy_->hide();
  frmBusy_->move(mapToGlobal(rect().center()) - frmBusy_->rect().center());
  frmBusy_->show();
  frmBusy_->raise();
}

void MainWindow::Quit() { QApplication::quit(); }

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (program_->Started()) program_->Resize(centralWidget()->width(), centralWidget()->height());
}

void MainWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange) program_->WindowActivated(isActiveWindow());
  QMainWindow::changeEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && program_->Loop().Running()) {
    static const std::map<int, const char*> keys = {
        {Qt::Key_Left, "Left"}, {Qt::Key_Right, "Right"}, {Qt::Key_Space, "Space"}, {Qt::Key_Escape, "Escape"}};
    const auto key = keys.find(static_cast<QKeyEvent*>(event)->key());
    if (key != keys.end() && program_->LoopKey(key->second, txtCmd_->text().toStdString())) return true;
  }
  if (event->type() == QEvent::MouseMove) program_->MouseMovedOverWindow();
  if (event->type() == QEvent::MouseButtonDblClick && watched == lblNum_) Choose("lblNum");
  if (event->type() == QEvent::MouseButtonPress && watched == txtOb_->viewport()) program_->OutputBoxPressed();
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace norvane
