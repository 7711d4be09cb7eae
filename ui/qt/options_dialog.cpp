#include "ui/qt/options_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <initializer_list>

#include "map/weather_symbol.h"

namespace norvane {
namespace {

// The check boxes stand by kind of weather, so related symbols sit together; each
// list holds symbol indices (every index 1..46 exactly once).
struct WxGroup {
  const char* title;
  std::initializer_list<int> symbols;
};
const WxGroup kWxGroups[] = {
    {"Rain and drizzle", {6, 7, 8, 10, 11, 9, 45, 46}},
    {"Freezing and ice", {22, 21, 24, 23, 26, 27}},
    {"Snow", {13, 12, 14, 17}},
    {"Showers", {3, 31, 2, 33, 4, 32, 5, 30, 29, 28}},
    {"Thunder", {35, 39, 38, 41, 40, 43, 42, 37, 36}},
    {"Obscurations and other", {18, 19, 20, 25, 16, 1, 15, 34, 44}},
};

QLineEdit* Box(QWidget* parent, const char* name, const std::string& text) {
  auto* e = new QLineEdit(QString::fromStdString(text), parent);
  e->setObjectName(name);
  return e;
}

QRadioButton* Option(QWidget* parent, const char* name, const QString& caption, bool checked) {
  auto* b = new QRadioButton(caption, parent);
  b->setObjectName(name);
  b->setChecked(checked);
  return b;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

OptionsDialog::OptionsDialog(Settings& settings, OptionsPage page, FileSystem& fs, Dialogs& dialogs, Reporter& log,
                             QWidget* parent, ServerTryHooks tryHooks)
    : QDialog(parent),
      settings_(settings),
      settingsBefore_(settings),
      fs_(fs),
      dialogs_(dialogs),
      log_(log),
      tryHooks_(std::move(tryHooks)),
      model_(OpenOptions(settings)) {
  setObjectName("frmSettings");
  setWindowTitle("Options");

  auto* cmdWx = Button(this, "cmdWx", "Plotted Wx");
  auto* cmdServer = Button(this, "cmdServer", "Servers");
  auto* cmdMisc = Button(this, "cmdMisc", "Misc. Options");
  auto* switcher = new QHBoxLayout;
  for (QPushButton* b : {cmdWx, cmdServer, cmdMisc}) switcher->addWidget(b);
  switcher->addStretch();

  pages_ = new QStackedWidget(this);
  pages_->addWidget(BuildPlottedWxPage());
  pages_->addWidget(BuildServersPage());
  pages_->addWidget(BuildMiscPage());

  auto* note = new QLabel("NOTE:  Some changes may not take effect until after the next download.", this);
  auto* cmdOk = Button(this, "cmdOk", "OK");
  cmdOk->setDefault(true);
  auto* cmdCancel = Button(this, "cmdCancel", "Cancel");
  auto* cmdAbout = Button(this, "cmdAbout", "&About");
  auto* cmdFlush = Button(this, "cmdFlush", "Flush Obs");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdFlush);
  buttons->addWidget(cmdAbout);
  buttons->addStretch();
  buttons->addWidget(cmdOk);
  buttons->addWidget(cmdCancel);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(switcher);
  layout->addWidget(pages_);
  layout->addWidget(note);
  layout->addLayout(buttons);

  connect(cmdWx, &QPushButton::clicked, this, [this] { ShowPage(OptionsPage::PlottedWx); });
  connect(cmdServer, &QPushButton::clicked, this, [this] { ShowPage(OptionsPage::Servers); });
  connect(cmdMisc, &QPushButton::clicked, this, [this] { ShowPage(OptionsPage::Misc); });
  connect(cmdOk, &QPushButton::clicked, this, &OptionsDialog::Ok);
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmdAbout, &QPushButton::clicked, this,
          [this] { dialogs_.MessageBox(AboutBoxText(), AboutBoxCaption(), BoxStyle::Information); });
  connect(cmdFlush, &QPushButton::clicked, this, &OptionsDialog::Flush);
  ShowPage(page);
}

QWidget* OptionsDialog::BuildPlottedWxPage() {
  auto* page = new QWidget;
  page->setObjectName("fraPlottedWx");
  auto* grid = new QGridLayout(page);
  int column = 0;
  for (const WxGroup& group : kWxGroups) {
    auto* frame = new QGroupBox(group.title, page);
    auto* boxes = new QVBoxLayout(frame);
    for (int index : group.symbols) {
      const std::string_view caption = WeatherSymbolCaption(index);
      auto* box = new QCheckBox(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())), frame);
      box->setObjectName(QString("chkWx%1").arg(index));
      box->setChecked(model_.chkWx[static_cast<std::size_t>(index - 1)]);
      chkWx_[static_cast<std::size_t>(index - 1)] = box;
      boxes->addWidget(box);
    }
    boxes->addStretch();
    grid->addWidget(frame, 0, column++);
  }
  return page;
}

QWidget* OptionsDialog::BuildServersPage() {
  auto* page = new QWidget;
  page->setObjectName("fraServers");
  auto* grid = new QGridLayout(page);
  servers_ = new QButtonGroup(this);
  for (int k = 1; k <= 4; ++k) {
    const std::string name = "optServ" + std::to_string(k);
    auto* option = Option(page, name.c_str(), QString::number(k), model_.activeServer == k);
    const std::string boxName = "txtServ" + std::to_string(k);
    auto* address = Box(page, boxName.c_str(), model_.txtServ[static_cast<std::size_t>(k - 1)]);
    // The addresses are edited in the settings file; here they are only shown.
    address->setReadOnly(true);
    address->setMinimumWidth(420);
    servers_->addButton(option, k);
    grid->addWidget(option, k - 1, 0);
    grid->addWidget(address, k - 1, 1);
  }
  auto* random = Option(page, "optServ5", "Pick Random", model_.activeServer == 5);
  servers_->addButton(random, 5);
  grid->addWidget(random, 4, 0, 1, 2);
  // "Try": the download runs through the queue while the dialog stays open; the
  // label follows what the main program says of it.
  auto* cmdTry = Button(page, "cmdTry", "Try");
  auto* lblTry = new QLabel(page);
  lblTry->setObjectName("lblTry");
  lblTry->setWordWrap(true);
  grid->addWidget(cmdTry, 5, 0);
  grid->addWidget(lblTry, 5, 1);
  grid->setRowStretch(6, 1);
  auto* follow = new QTimer(page);
  auto showLine = [this, lblTry] {
    if (tryHooks_.line) lblTry->setText(QString::fromStdString(tryHooks_.line()));
  };
  connect(follow, &QTimer::timeout, lblTry, showLine);
  connect(cmdTry, &QPushButton::clicked, this, [this, follow, showLine] {
    if (!tryHooks_.tryServer) return;
    tryHooks_.tryServer(servers_->checkedId() >= 1 ? servers_->checkedId() : model_.activeServer);
    follow->start(250);
    showLine();
  });
  cmdTry->setEnabled(static_cast<bool>(tryHooks_.tryServer));
  return page;
}

QWidget* OptionsDialog::BuildMiscPage() {
  auto* page = new QWidget;
  page->setObjectName("fraMisc");
  auto* grid = new QGridLayout(page);
  int row = 0;
  auto line = [&](const char* before, QWidget* control, const char* after) {
    grid->addWidget(new QLabel(before, page), row, 0);
    grid->addWidget(control, row, 1);
    if (after) grid->addWidget(new QLabel(after, page), row, 2);
    ++row;
  };
  // Each pair is its own choice: the buttons are grouped before either is checked, or
  // Qt's exclusivity among siblings would uncheck one pair's choice for the other's.
  auto pair = [&](QRadioButton*& a, const char* aName, const char* aCaption, QRadioButton*& b, const char* bName,
                  const char* bCaption, bool aChecked) {
    auto* holder = new QWidget(page);
    auto* h = new QHBoxLayout(holder);
    h->setContentsMargins(0, 0, 0, 0);
    a = Option(holder, aName, aCaption, false);
    b = Option(holder, bName, bCaption, false);
    h->addWidget(a);
    h->addWidget(b);
    auto* group = new QButtonGroup(holder);
    group->addButton(a);
    group->addButton(b);
    (aChecked ? a : b)->setChecked(true);
    return holder;
  };
  txtWinds_ = Box(page, "txtWinds", model_.txtWinds);
  txtDLTime_ = Box(page, "txtDLTime", model_.txtDLTime);
  txtDLTime_->setReadOnly(true);
  txtClearTime_ = Box(page, "txtClearTime", model_.txtClearTime);
  txtClearVerify_ = Box(page, "txtClearVerify", model_.txtClearVerify);
  txtDist_ = Box(page, "txtDist", model_.txtDist);
  txtUnits_ = Box(page, "txtUnits", model_.txtUnits);
  txtDump_ = Box(page, "txtDump", model_.txtDump);

  line("Plot winds > or =", txtWinds_, "KTS");
  line("Check for new obs every", txtDLTime_, "seconds.");
  line("Don't display obs older than", txtClearTime_, "minutes.");
  line("Plot temps and DPs in", pair(optF_, "optF", "F", optC_, "optC", "C", !model_.optC), nullptr);
  line("Dispose of verification older than", txtClearVerify_, "hours.");
  line("Watch for weather within", txtDist_, "units of a point.");
  line("Earth radius is", txtUnits_, "units.");
  line("Show observations in",
       pair(optDecoded_, "optDecoded", "Decoded", optMETAR_, "optMETAR", "METAR", model_.optDecoded), "format.");
  line("Dispose of observations older than", txtDump_, "hours.");
  grid->setRowStretch(row, 1);
  return page;
}

void OptionsDialog::ShowPage(OptionsPage page) {
  model_.page = page;
  pages_->setCurrentIndex(page == OptionsPage::PlottedWx ? 0 : page == OptionsPage::Servers ? 1 : 2);
}

void OptionsDialog::ReadControls() {
  for (std::size_t k = 0; k < chkWx_.size(); ++k) model_.chkWx[k] = chkWx_[k]->isChecked();
  if (servers_->checkedId() >= 1) model_.activeServer = servers_->checkedId();
  model_.txtWinds = txtWinds_->text().toStdString();
  model_.txtClearTime = txtClearTime_->text().toStdString();
  model_.txtClearVerify = txtClearVerify_->text().toStdString();
  model_.txtDist = txtDist_->text().toStdString();
  model_.txtUnits = txtUnits_->text().toStdString();
  model_.txtDump = txtDump_->text().toStdString();
  model_.optC = optC_->isChecked();
  model_.optDecoded = optDecoded_->isChecked();
}

void OptionsDialog::Ok() {
  ReadControls();
  const OptionsField refused = AcceptOptions(model_, settings_, dialogs_);
  if (refused != OptionsField::None) {
    ShowPage(model_.page);
    QLineEdit* box = refused == OptionsField::txtWinds         ? txtWinds_
                     : refused == OptionsField::txtClearTime   ? txtClearTime_
                     : refused == OptionsField::txtClearVerify ? txtClearVerify_
                     : refused == OptionsField::txtDist        ? txtDist_
                     : refused == OptionsField::txtDump        ? txtDump_
                                                               : txtUnits_;
    box->setFocus();
    box->selectAll();
    return;
  }
  SaveSettings(fs_, log_, settings_);
  result_ = AppWindows::OptionsResult::Stored;
  accept();
}

void OptionsDialog::Flush() {
  if (FlushObservations(fs_, dialogs_, log_, settingsBefore_) != FlushOutcome::Flushed) return;
  result_ = AppWindows::OptionsResult::Flushed;
  accept();
}

}  // namespace norvane
