#include "ui/qt/main_window.h"

#include <QApplication>
#include <QEvent>
#include <QMenuBar>
#include <QResizeEvent>

#include "core/window_layout.h"
#include "core/working_folder.h"
#include "ui/qt/app_wiring.h"
#include "ui/qt/command_box.h"
#include "ui/qt/map_widget.h"

namespace norvane {

MainWindow::MainWindow(const std::filesystem::path& workingFolder) : files_(workingFolder) {
  setObjectName("frmMain");
  exec_ = std::make_unique<CommandInterpreter>(CommandContext{log_, dialogs_, starter_, help_, files_}, CommandHooks{});
  BuildControls();
  BuildMenus();
  log_.onRefresh = [this](const std::string& text) {
    if (txtOb_) txtOb_->setPlainText(QString::fromStdString(text));
  };
}

MainWindow::~MainWindow() {
  // Children still send focus and mouse events while they are destroyed.
  txtCmd_->onFocusChanged = nullptr;
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
    connect(button, &QPushButton::clicked, this, [this, name] {
      if (wiring_ && wiring_->Handles(name)) wiring_->MenuChosen(name);
    });
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
  lblNum_->hide();
  cmdRedraw_ = new QPushButton("&Redraw", picPlot_);
  cmdRedraw_->setObjectName("cmdRedraw");
  cmdRedraw_->resize(80, 26);
  connect(cmdRedraw_, &QPushButton::clicked, this, [this] {
    if (wiring_) wiring_->Redraw(true);
  });

  txtCmd_->onExecute = [this](const std::string& line) { RunCommand(line); };
  txtCmd_->onBeep = [this] { dialogs_.Beep(); };
  txtCmd_->onEscape = [this] {
    if (wiring_) wiring_->RequestStop();
  };
  txtCmd_->onFocusChanged = [this](bool in) { commandHasFocus_ = in; };

  tmrDL_.setInterval(1000);
  connect(&tmrDL_, &QTimer::timeout, this, [this] { Tick(); });
}

QAction* MainWindow::Item(QMenu* menu, const QString& caption, const std::string& name, std::function<void()> handler) {
  QAction* a = menu->addAction(caption);
  a->setObjectName(QString::fromStdString(name));
  actions_[name] = a;
  if (handler) {
    directItems_.insert(name);
    connect(a, &QAction::triggered, this, handler);
  } else {
    // The wiring decides at start-up which of these items have work behind them.
    connect(a, &QAction::triggered, this, [this, name] {
      if (wiring_) wiring_->MenuChosen(name);
    });
  }
  return a;
}

void MainWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  Item(file, "&Print Chart", "mnuPrint");
  Item(file, "&Download Obs Now", "mnuDL");
  Item(file, "&Special Download", "mnuSpecialDownload");
  Item(file, "Check Ob Conti&nuity", "mnuContinuity");
  Item(file, "End &Current Process", "mnuKill", [this] { RunCommand("kill cur"); });
  file->addSeparator();
  Item(file, "E&xit", "mnuExit", [] { QApplication::quit(); });

  QMenu* mapMenu = menuBar()->addMenu("&Map");
  QMenu* plots = mapMenu->addMenu("Plots");
  const std::pair<const char*, const char*> plotItems[] = {
      {"&Winds", "mnuWinds"}, {"W&eather", "mnuWeather"}, {"Winds and Weather", "mnuWindsWeather"},
      {"&Relative Humidity", "mnuRH"}, {"&Ceilings", "mnuCIG"}, {"&Dew Point", "mnuDP"},
      {"&Temperature", "mnuTemp"}, {"Wind &Barbs", "mnuWindBarbs"}, {"&Points", "mnuPoints"},
      {"&Stations", "mnuStations"}};
  for (const auto& [caption, name] : plotItems) Item(plots, caption, name)->setCheckable(std::string(name) != "mnuWindsWeather");
  plots->addSeparator();
  Item(plots, "Clear Plots", "mnuClearPlots");
  QMenu* contours = mapMenu->addMenu("Contours");
  const std::pair<const char*, const char*> contourItems[] = {
      {"Current Ceilings", "mnuC_Cigs"}, {"Current Dew Point", "mnuC_DP"},
      {"Current Sea Level Pressure", "mnuC_SLP"}, {"Current Temperature", "mnuC_Temp"},
      {"Current Wind Speed (Avg)", "mnuC_WSavg"}, {"Current Wind Speed (Max)", "mnuC_WSmax"},
      {"Mixing Ratio", "mnuMixingRatio"}, {"Moisture Convergence", "mnuMoistConv"},
      {"Relative Humidity", "mnuRelativeHumidity"}, {"Wind Chill", "mnuWindChill"}};
  for (const auto& [caption, name] : contourItems) Item(contours, caption, name)->setCheckable(true);
  for (int hours : {3, 6, 12, 24}) {
    QMenu* change = contours->addMenu(QString("%1 Hour Change").arg(hours));
    const std::string group = "mnuC" + std::to_string(hours);
    Item(change, "Dew Point", group + "_DP")->setCheckable(true);
    Item(change, "Pressure", group + "_SLP")->setCheckable(true);
    Item(change, "Temperature", group + "_Temp")->setCheckable(true);
    change->addSeparator();
    // Every group offers all four builds; the item names carry the hours they build.
    for (int g : {3, 6, 12, 24})
      Item(change, QString("Build %1hr Grid").arg(g), "mnuC" + std::to_string(g) + "_Build@" + std::to_string(hours));
  }
  contours->addSeparator();
  Item(contours, "Clear Contours", "mnuC_Clear");
  QMenu* grid = mapMenu->addMenu("Grid");
  const std::pair<const char*, const char*> gridItems[] = {
      {"Current Ceilings", "mnuG_Cigs"}, {"Current Dew Point", "mnuG_DP"}, {"Current Sea Level Pressure", "mnuG_SLP"},
      {"Current Temperature", "mnuG_Temp"}, {"Current Wind Barbs", "mnuG_WBarb"},
      {"Current Wind Speed (Avg)", "mnuG_WSavg"}, {"Current Wind Speed (Max)", "mnuG_WSmax"}};
  for (const auto& [caption, name] : gridItems) Item(grid, caption, name)->setCheckable(true);
  grid->addSeparator();
  Item(grid, "Clear Grids", "mnuG_Clear");
  mapMenu->addSeparator();
  QAction* refresh = Item(mapMenu, "Auto Refresh is ON", "mnuRefreshStatus");
  refresh->setCheckable(true);
  Item(mapMenu, "Refresh Now", "mnuRefreshNow");
  Item(mapMenu, "&Run Script", "mnuRunScript");
  Item(mapMenu, "S&top Running Script", "mnuStopScript", [this] {
    if (wiring_) wiring_->RequestStop();
  });
  Item(mapMenu, "Clear Auto Redraw Script", "mnuRemoveRedraw");
  Item(mapMenu, "Clear Map", "mnuClearAll");

  QMenu* view = menuBar()->addMenu("&View");
  auto textBoxes = [this](int heightDelta, double widthDelta) {
    if (heightDelta != 0) {
      settings_.TextHeight = heightDelta > 0 ? EnlargedTextHeight(settings_.TextHeight) : ShrunkTextHeight(settings_.TextHeight);
      Layout();
      SaveSettingsNow();
    } else {
      settings_.TextWidth = widthDelta > 0 ? IncreasedTextWidth(settings_.TextWidth) : DecreasedTextWidth(settings_.TextWidth);
      Layout();
    }
  };
  Item(view, "E&nlarge Text Boxes", "mnuEnlarge", [=] { textBoxes(10, 0); });
  Item(view, "S&hrink Text Boxes", "mnuShrink", [=] { textBoxes(-10, 0); });
  Item(view, "&Increase Ob Box Width", "mnuIncrease", [=] { textBoxes(0, 0.05); });
  Item(view, "Decrease O&b Box Width", "mnuDecrease", [=] { textBoxes(0, -0.05); });
  view->addSeparator();
  Item(view, "&Refresh Now", "mnuRefreshNow1");
  Item(view, "Redefine &Map", "mnuDefineMap");
  QMenu* colours = view->addMenu("Colors");
  Item(colours, "Map Foreground", "mnuMapForeColor");
  Item(colours, "Text Foreground", "mnuTextForeColor", [this] {
    if (auto c = dialogs_.ChooseColor(settings_.TextForeColor)) settings_.TextForeColor = *c;
    ApplyTextColours();
    SaveSettingsNow();
  });
  Item(colours, "Text Background", "mnuTextBackColor", [this] {
    if (auto c = dialogs_.ChooseColor(settings_.TextBackColor)) settings_.TextBackColor = *c;
    ApplyTextColours();
    SaveSettingsNow();
  });
  QAction* watchProcess = Item(view, "&View Process Output", "mnuWatchProcess", [this] {
    log_.watchProcess = actions_["mnuWatchProcess"]->isChecked();
    if (log_.watchProcess) log_.onRefresh(log_.Text());
  });
  watchProcess->setCheckable(true);
  watchProcess->setChecked(true);
  Item(view, "&Options", "mnuOptions");

  QMenu* zoom = menuBar()->addMenu("&Zoom");
  Item(zoom, "&Enter Coordinates", "mnuEnterCoord");
  QAction* controls = Item(zoom, "&Zoom Controls", "mnuZoomControls", [this] { Layout(); });
  controls->setCheckable(true);
  zoom->addSeparator();
  for (int slot = 0; slot < 8; ++slot) Item(zoom, QString("Zoom %1").arg(slot + 1), "mnuZoom" + std::to_string(slot))->setVisible(false);
  zoom->addSeparator();
  Item(zoom, "&Zoom Editor", "mnuZoomEditor");

  QMenu* tools = menuBar()->addMenu("&Tools");
  Item(tools, "&Graphical Verification", "mnuGraphicalVerification");
  Item(tools, "&Verification Text", "mnuVerificationText");
  Item(tools, "&Points Editor", "mnuPointsEditor");

  QMenu* help = menuBar()->addMenu("&Help");
  Item(help, "&Help", "mnuHelp", [this] { RunCommand("HELP"); });
  Item(help, "&About", "mnuAbout", [this] {
    dialogs_.MessageBox(std::string(kProductName) + " v" + kVersion +
                            "\nA weather-observation plotter: station plots, grids and contours from hourly surface reports.",
                        "About Norvane", BoxStyle::Information);
  });
  topMenus_ = {file, mapMenu, view, zoom, tools, help};
}

void MainWindow::ApplyTextColours() {
  const QString style = QString("color: rgb(%1,%2,%3); background-color: rgb(%4,%5,%6);")
                            .arg(RedOf(settings_.TextForeColor)).arg(GreenOf(settings_.TextForeColor)).arg(BlueOf(settings_.TextForeColor))
                            .arg(RedOf(settings_.TextBackColor)).arg(GreenOf(settings_.TextBackColor)).arg(BlueOf(settings_.TextBackColor));
  txtCmd_->setStyleSheet(style);
  txtOb_->setStyleSheet(style);
  txtWatch_->setStyleSheet(style);
}

void MainWindow::SaveSettingsNow() { SaveSettings(files_, log_, settings_); }

void MainWindow::RunCommand(const std::string& line) { exec_->Exec(line, ""); }

void MainWindow::RepaintMap() { picPlot_->update(); }

void MainWindow::ReplaceOutputBox(const std::string& text) { txtOb_->setPlainText(QString::fromStdString(text)); }

void MainWindow::DrawStartupNotice() {
  canvas_.Resize(std::max(1, picPlot_->width()), std::max(1, picPlot_->height()));
  Font font{"Times New Roman", 48, false};
  canvas_.Text(0, 0, "Updating...", font, Rgb(16, 16, 192));
  canvas_.Text(0, canvas_.TextHeight("U", font), "This may take some time.", font, Rgb(16, 16, 192));
  RepaintMap();
}

void MainWindow::Start() {
  if (!PrepareWorkingFolder(files_))
    log_.ShowMessage("Unable to create the folders 'obsfolder' and 'scripts' in the working folder");
  setWindowTitle(QString("%1 - v%2").arg(kProductName, kVersion));
  resize(1280, 860);
  showMaximized();
  Layout();
  DrawStartupNotice();
  for (QMenu* m : topMenus_) m->setEnabled(false);
  LoadSettings(files_, dialogs_, log_, settings_);
  ApplyTextColours();
  wiring_ = std::make_unique<AppWiring>(*this);
  wiring_->LoadAtStartup();
  windowActive_ = true;
  txtCmd_->setFocus();
  commandHasFocus_ = true;
  for (int slot = 0; slot < 8; ++slot) {
    QAction* a = actions_["mnuZoom" + std::to_string(slot)];
    a->setText(QString::fromStdString(settings_.Zooms[static_cast<std::size_t>(slot)].name));
    a->setVisible(!settings_.Zooms[static_cast<std::size_t>(slot)].name.empty());
  }
  QAction* refresh = actions_["mnuRefreshStatus"];
  refresh->setChecked(settings_.AutoRefresh);
  refresh->setText(settings_.AutoRefresh ? "Auto Refresh is ON" : "Auto Refresh is OFF");
  // Items with no work behind them in this build stay visible but disabled.
  for (auto& [name, a] : actions_) {
    if (directItems_.count(name)) continue;
    if (!wiring_->Handles(name)) {
      a->setEnabled(false);
      a->setToolTip("Not available in this version yet");
    }
  }
  log_.ShowMessage(std::string(kProductName) + " v" + kVersion + " started");
  for (QMenu* m : topMenus_) m->setEnabled(true);
  started_ = true;
  Layout();
  tmrDL_.start();
  wiring_->RunStartupScript();
}

void MainWindow::Layout() {
  resizing_ = true;
  const bool controlsShown = actions_.count("mnuZoomControls") && actions_["mnuZoomControls"]->isChecked();
  fraControl_->setVisible(controlsShown);
  LayoutInput in;
  in.innerWidth = centralWidget()->width();
  in.innerHeight = centralWidget()->height();
  in.textHeight = settings_.TextHeight;
  in.textWidth = settings_.TextWidth;
  in.zoomControlsShown = controlsShown;
  in.latLongWidth = lblLatLong_->width();
  const WindowLayout l = LayoutWindow(in);
  auto place = [](QWidget* w, const Rect& r) { w->setGeometry(r.left, r.top, r.width, r.height); };
  place(picPlot_, l.plot);
  place(txtCmd_, l.command);
  place(txtOb_, l.ob);
  place(txtWatch_, l.watch);
  fraControl_->move(l.control.left, l.control.top);
  lblLatLong_->move(l.latLong.left, l.latLong.top);
  cmdRedraw_->move(std::max(0, l.plot.width - cmdRedraw_->width() - 8), 8);
  if (wiring_ && started_) wiring_->Redraw(false);
  resizing_ = false;
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  Layout();
}

void MainWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange) windowActive_ = isActiveWindow();
  QMainWindow::changeEvent(event);
}

void MainWindow::KeepFocus() {
  if (windowActive_ && !commandHasFocus_) {
    txtCmd_->setFocus();
    commandHasFocus_ = true;
  }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseMove) KeepFocus();
  if (event->type() == QEvent::MouseButtonPress && watched == txtOb_->viewport()) {
    // A click shows the whole log again and leaves the focus in the box for selecting.
    txtOb_->setPlainText(QString::fromStdString(log_.Text()));
    commandHasFocus_ = true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::Tick() {
  KeepFocus();
  if (wiring_) wiring_->Tick();
}

}  // namespace norvane
