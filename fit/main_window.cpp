#include "fit/main_window.h"

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QScrollArea>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

#include "fit/check_panel.h"
#include "fit/converted_points.h"
#include "fit/dropped_files.h"
#include "fit/export_forms.h"
#include "fit/options_panel.h"
#include "fit/residual_picture.h"
#include "fit/table_copy.h"
#include "writers/output.h"

namespace zerb::fit {
namespace {

std::string PathOf(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

QString Sigma0Text(double sigma0, double dof) {
  return dof > 0 ? QStringLiteral("σ0 = %1 m（自由度 %2）")
                       .arg(QString::fromStdString(Fixed(sigma0)))
                       .arg(static_cast<qulonglong>(dof))
                 : QStringLiteral("σ0：无多余观测（自由度 0）");
}

// How many fitted points are within the limits, for the status bar.
QString LimitsVerdict(const Session& session) {
  int fitted = 0, within = 0;
  for (const PointRow& row : session.rows()) {
    fitted += row.fitted;
    within += row.fitted && session.WithinTheLimits(row);
  }
  return within == fitted
             ? QStringLiteral("限差：%1 个点全部通过").arg(fitted)
             : QStringLiteral("限差：%1 个点中 %2 个超限").arg(fitted).arg(fitted - within);
}

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent),
      model_(&session_, this),
      proxy_(new QSortFilterProxyModel(this)),
      table_(new QTableView(this)),
      model_choice_(new QComboBox),
      convention_choice_(new QComboBox),
      report_(new QPlainTextEdit),
      messages_(new QListWidget),
      picture_(new ResidualPicture),
      options_(new OptionsPanel),
      checks_(new CheckPanel),
      sigma0_(new QLabel) {
  setWindowTitle(QStringLiteral("zerb 多点求参数"));
  proxy_->setSourceModel(&model_);
  proxy_->setSortRole(PointTableModel::kSortRole);
  table_->setObjectName(QStringLiteral("points"));
  table_->setModel(proxy_);
  table_->setSortingEnabled(true);
  table_->sortByColumn(PointTableModel::kLine, Qt::AscendingOrder);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  // A double-click changes the use at once instead of opening an editor.
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  // Tab would only go round the cells, never out of the table: the arrows move in it, and Tab
  // takes the keyboard on to the model panel and the report.
  table_->setTabKeyNavigation(false);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  setCentralWidget(table_);
  setAcceptDrops(true);
  connect(table_, &QTableView::doubleClicked, this, &MainWindow::CycleUse);
  connect(&model_, &PointTableModel::refitted, this, &MainWindow::ShowFit);
  KeepCurrentPoint();
  // The table stays usable while a fit is made; the status bar says one is coming.
  connect(&model_, &PointTableModel::refitting, this,
          [this] { statusBar()->showMessage(QStringLiteral("正在拟合…")); });

  MakeActions();
  MakeModelPanel();
  MakeDocks();
  sigma0_->setObjectName(QStringLiteral("sigma0"));
  statusBar()->addPermanentWidget(sigma0_);
  resize(1280, 800);
  ShowFit();
}

MainWindow::~MainWindow() = default;

void MainWindow::MakeActions() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
  QAction* open = file->addAction(QStringLiteral("打开(&O)…"), this, &MainWindow::ChooseTable);
  open->setShortcut(QKeySequence::Open);
  open->setStatusTip(QStringLiteral("打开一个同时含网格坐标和 WGS-84 坐标的表格"));
  QAction* pair =
      file->addAction(QStringLiteral("打开两个文件(&T)…"), this, &MainWindow::ChoosePair);
  pair->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
  pair->setStatusTip(QStringLiteral("先打开网格坐标文件，再打开 GNSS 文件，按点名配对"));
  recent_menu_ = file->addMenu(QStringLiteral("最近打开(&L)"));
  // Filled as it opens: another zerb-fit may have opened files since.
  connect(recent_menu_, &QMenu::aboutToShow, this, &MainWindow::FillRecentMenu);
  file->addSeparator();
  QAction* report = file->addAction(QStringLiteral("保存报告(&R)…"), this, [this] {
    ChooseAndSave(Format::kHtml, QStringLiteral("保存报告"), QStringLiteral("HTML 报告 (*.html)"),
                  QStringLiteral("html"));
  });
  report->setShortcut(QKeySequence::Save);
  save_report_ = report;
  // A file of points through the fit, either way, by zerb-convert's machinery
  // (converted_points.h).
  convert_points_ = file->addAction(QStringLiteral("转换点文件(&C)…"), this,
                                    [this] { ConvertFile(Direction::kToGnss); });
  convert_points_->setStatusTip(
      QStringLiteral("用当前拟合的参数把网格坐标点文件转换为 GNSS 坐标（纬度、经度、大地高）"));
  convert_back_ = file->addAction(QStringLiteral("反算网格坐标(&G)…"), this,
                                  [this] { ConvertFile(Direction::kToGrid); });
  convert_back_->setStatusTip(
      QStringLiteral("用当前拟合的参数把 GNSS 坐标点文件反算为网格坐标（x、y、h）"));
  file->addSeparator();
  QAction* quit = file->addAction(QStringLiteral("退出(&X)"), this, &QWidget::close);
  quit->setShortcut(QKeySequence::Quit);

  MakeExportMenu();

  // The model from the keyboard too: the panel's list follows, and its change refits.
  QMenu* models = menuBar()->addMenu(QStringLiteral("模型(&M)"));
  const auto model_action = [this, models](const char* label, int index, Qt::Key key) {
    QAction* action = models->addAction(QString::fromUtf8(label), this,
                                        [this, index] { model_choice_->setCurrentIndex(index); });
    action->setShortcut(QKeySequence(Qt::CTRL | key));
  };
  model_action("三参数（平移）(&3)", 0, Qt::Key_3);
  model_action("七参数（布尔莎）(&7)", 1, Qt::Key_7);
  model_action("四参数（平面）＋高程拟合(&4)", 2, Qt::Key_4);

  QMenu* point = menuBar()->addMenu(QStringLiteral("点(&P)"));
  QAction* cycle = point->addAction(QStringLiteral("切换用途(&U)"), this, &MainWindow::CycleUse);
  cycle->setShortcut(QKeySequence(Qt::Key_Space));
  cycle->setStatusTip(QStringLiteral("控制点 → 检核点 → 不用 → 控制点；也可双击该行"));
  // Space belongs to the table: in the model panel it still opens a list.
  cycle->setShortcutContext(Qt::WidgetShortcut);
  table_->addAction(cycle);
  // Ctrl+C in the table copies its rows, titles first, for a spreadsheet.
  point->addAction(AddTableCopy(table_));
}

void MainWindow::MakeExportMenu() {
  QMenu* exports = menuBar()->addMenu(QStringLiteral("参数(&A)"));
  QMenu* copy = exports->addMenu(QStringLiteral("复制(&C)"));
  QMenu* save = exports->addMenu(QStringLiteral("保存(&S)"));
  for (const ExportForm& form : ExportForms()) {
    QAction* to_clipboard = copy->addAction(form.label, this, [this, format = form.format] {
      // What is copied is the answer to the settings as they stand, not to those before.
      QString why = FitOfTheSettings();
      if (why.isEmpty())
        why = CopyExport(session_, format);
      if (!why.isEmpty())
        QMessageBox::warning(this, QStringLiteral("未复制"), why);
      else
        statusBar()->showMessage(QStringLiteral("已复制到剪贴板"), 5000);
    });
    QAction* to_file = save->addAction(form.label + QStringLiteral("…"), this, [this, form] {
      ChooseAndSave(form.format, QStringLiteral("保存") + form.label, form.filter, form.suffix);
    });
    exports_.append({to_clipboard, form.format});
    exports_.append({to_file, form.format});
  }
}

void MainWindow::MakeModelPanel() {
  model_choice_->setObjectName(QStringLiteral("model"));
  model_choice_->addItem(QStringLiteral("三参数（平移）"));
  model_choice_->addItem(QStringLiteral("七参数（布尔莎）"));
  model_choice_->addItem(QStringLiteral("四参数（平面）＋高程拟合"));
  convention_choice_->setObjectName(QStringLiteral("convention"));
  convention_choice_->addItem(QStringLiteral("位置矢量（position-vector）"));
  convention_choice_->addItem(QStringLiteral("坐标框架（coordinate-frame）"));
  convention_choice_->setToolTip(
      QStringLiteral("旋转参数的符号约定：两种约定描述同一转换，旋转符号相反"));
  convention_choice_->setEnabled(false);
  auto* panel = new QWidget;
  auto* column = new QVBoxLayout(panel);
  auto* form = new QFormLayout;
  column->addLayout(form);
  column->addWidget(options_);
  form->addRow(QStringLiteral("模型："), model_choice_);
  form->addRow(QStringLiteral("旋转约定："), convention_choice_);
  // The limits of the survey's instructions; 0 is none. They judge the points, not the fit.
  const auto limit = [this, form](const char* name, const char* label, const char* tip) {
    auto* box = new QDoubleSpinBox;
    box->setObjectName(QString::fromUtf8(name));
    box->setRange(0, 10);
    box->setDecimals(3);
    box->setSingleStep(0.005);
    box->setSuffix(QStringLiteral(" m"));
    box->setSpecialValueText(QStringLiteral("无"));
    box->setToolTip(QString::fromUtf8(tip));
    form->addRow(QString::fromUtf8(label), box);
    return box;
  };
  QDoubleSpinBox* const horizontal =
      limit("horizontal limit", "水平限差：", "每个点平面残差（vN、vE 的长度）的限差；无：不检查");
  QDoubleSpinBox* const vertical = limit("vertical limit", "高程限差：",
                                         "每个点高程残差（vU 或高程拟合残差）的限差；无：不检查");
  const auto limits_chosen = [this, horizontal, vertical]() {
    session_.SetLimits({horizontal->value(), vertical->value()});
    if (session_.has_input())
      model_.Refit();
  };
  connect(horizontal, &QDoubleSpinBox::valueChanged, this, limits_chosen);
  connect(vertical, &QDoubleSpinBox::valueChanged, this, limits_chosen);
  connect(options_, &OptionsPanel::changed, this, &MainWindow::OptionsChosen);
  // The panel is taller than a small screen: it scrolls rather than squeezing its fields.
  auto* scroll = new QScrollArea;
  scroll->setWidget(panel);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  // Only down: every field stays whole in width.
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll->setMinimumWidth(panel->sizeHint().width() +
                          scroll->verticalScrollBar()->sizeHint().width());
  auto* dock = new QDockWidget(QStringLiteral("模型"), this);
  dock->setObjectName(QStringLiteral("model panel"));
  dock->setWidget(scroll);
  addDockWidget(Qt::RightDockWidgetArea, dock);
  connect(model_choice_, &QComboBox::currentIndexChanged, this, &MainWindow::ModelChosen);
  connect(convention_choice_, &QComboBox::currentIndexChanged, this, &MainWindow::ModelChosen);
}

void MainWindow::MakeDocks() {
  report_->setObjectName(QStringLiteral("report"));
  report_->setReadOnly(true);
  report_->setLineWrapMode(QPlainTextEdit::NoWrap);
  report_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  auto* report = new QDockWidget(QStringLiteral("报告"), this);
  report->setObjectName(QStringLiteral("report panel"));
  report->setWidget(report_);
  addDockWidget(Qt::BottomDockWidgetArea, report);
  messages_->setObjectName(QStringLiteral("messages"));
  messages_dock_ = new QDockWidget(QStringLiteral("消息"), this);
  messages_dock_->setObjectName(QStringLiteral("message panel"));
  messages_dock_->setWidget(messages_);
  addDockWidget(Qt::BottomDockWidgetArea, messages_dock_);
  tabifyDockWidget(report, messages_dock_);
  picture_->setObjectName(QStringLiteral("picture"));
  picture_->setToolTip(QStringLiteral("滚轮缩放，拖动平移，双击恢复全图"));
  auto* picture = new QDockWidget(QStringLiteral("残差图"), this);
  picture->setObjectName(QStringLiteral("picture panel"));
  picture->setWidget(picture_);
  addDockWidget(Qt::BottomDockWidgetArea, picture);
  tabifyDockWidget(messages_dock_, picture);
  checks_->setObjectName(QStringLiteral("checks"));
  auto* checks = new QDockWidget(QStringLiteral("检核点"), this);
  checks->setObjectName(QStringLiteral("check panel"));
  checks->setWidget(checks_);
  addDockWidget(Qt::BottomDockWidgetArea, checks);
  tabifyDockWidget(picture, checks);
  report->raise();
}

void MainWindow::OpenTable(const QString& table) {
  session_.OpenTable(PathOf(table));
  Remember({table, {}, {}});
  model_.Refit();
}

void MainWindow::OpenPair(const QString& grid, const QString& wgs84) {
  session_.OpenPair(PathOf(grid), PathOf(wgs84));
  Remember({{}, grid, wgs84});
  model_.Refit();
}

void MainWindow::Remember(const RecentInput& input) {
  // A file that could not be found is no input to come back to.
  if (input.Missing().isEmpty())
    recent_.Add(input);
}

QString MainWindow::OpenRecent(const RecentInput& input) {
  if (const QString missing = input.Missing(); !missing.isEmpty()) {
    recent_.Remove(input);
    return QStringLiteral("%1 已不存在（被移动或删除），已从“最近打开”中移除").arg(missing);
  }
  if (input.pair())
    OpenPair(input.grid, input.gnss);
  else
    OpenTable(input.table);
  return {};
}

void MainWindow::FillRecentMenu() {
  recent_menu_->clear();
  const QList<RecentInput> inputs = recent_.List();
  if (inputs.isEmpty())
    recent_menu_->addAction(QStringLiteral("（无）"))->setEnabled(false);
  for (int i = 0; i < inputs.size(); ++i) {
    QString label = inputs[i].Label();
    label.replace(QLatin1Char('&'), QStringLiteral("&&"));
    recent_menu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(label), this,
                            [this, input = inputs[i]] {
                              if (const QString why = OpenRecent(input); !why.isEmpty())
                                QMessageBox::warning(this, QStringLiteral("无法打开"), why);
                            });
  }
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  QStringList files;
  if (const QString why = DroppedFiles(event->mimeData(), &files); !why.isEmpty()) {
    statusBar()->showMessage(why, 8000);
    event->ignore();
    return;
  }
  event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  QStringList files;
  if (const QString why = DroppedFiles(event->mimeData(), &files); !why.isEmpty()) {
    statusBar()->showMessage(why, 8000);
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  if (files.size() == 1)
    OpenTable(files[0]);
  else
    OpenPair(files[0], files[1]);
}

void MainWindow::ChooseTable() {
  const QString table =
      QFileDialog::getOpenFileName(this, QStringLiteral("打开表格"), QString(),
                                   QStringLiteral("表格 (*.csv *.txt *.tsv);;所有文件 (*)"));
  if (!table.isEmpty())
    OpenTable(table);
}

void MainWindow::ChoosePair() {
  const QString grid =
      QFileDialog::getOpenFileName(this, QStringLiteral("打开网格坐标文件"), QString(),
                                   QStringLiteral("网格坐标 (*.dat *.csv *.txt);;所有文件 (*)"));
  if (grid.isEmpty())
    return;
  const QString wgs84 = QFileDialog::getOpenFileName(
      this, QStringLiteral("打开 GNSS 文件（WGS-84）"), QFileInfo(grid).path(),
      QStringLiteral("GNSS 坐标 (*.csv *.txt);;所有文件 (*)"));
  if (!wgs84.isEmpty())
    OpenPair(grid, wgs84);
}

QString MainWindow::Save(Format format, const QString& path) {
  // What is saved is the answer to the settings as they stand, not to those before.
  if (const QString why = FitOfTheSettings(); !why.isEmpty())
    return why;
  std::string text;
  if (Reason r = session_.Render(format, &text); !r.empty())
    return QString::fromStdString(r);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(text.data(), static_cast<qint64>(text.size())) !=
          static_cast<qint64>(text.size()) ||
      !file.commit())
    return QStringLiteral("无法写入 %1：%2").arg(path, file.errorString());
  statusBar()->showMessage(QStringLiteral("已保存 %1").arg(path), 5000);
  return {};
}

void MainWindow::ChooseAndSave(Format format, const QString& title, const QString& filter,
                               const QString& suffix) {
  QString path = QFileDialog::getSaveFileName(this, title, QString(), filter);
  if (path.isEmpty())
    return;
  if (QFileInfo(path).suffix().isEmpty())
    path += QLatin1Char('.') + suffix;
  if (const QString why = Save(format, path); !why.isEmpty())
    QMessageBox::warning(this, QStringLiteral("未保存"), why);
}

void MainWindow::ConvertFile(Direction direction) {
  const bool to_gnss = direction == Direction::kToGnss;
  const QString input = QFileDialog::getOpenFileName(
      this,
      to_gnss ? QStringLiteral("选择要转换的网格坐标点文件")
              : QStringLiteral("选择要反算的 GNSS 坐标点文件"),
      QString(), QStringLiteral("点文件 (*.csv *.dat *.txt);;所有文件 (*)"));
  if (input.isEmpty())
    return;
  const QString output = QFileDialog::getSaveFileName(
      this, QStringLiteral("保存转换结果"), SuggestedOutput(input, direction),
      QStringLiteral("CSV 表格 (*.csv);;所有文件 (*)"));
  if (output.isEmpty())
    return;
  // The points go through the fit of the settings as they stand, not through the one before.
  if (const QString why = FitOfTheSettings(); !why.isEmpty()) {
    QMessageBox::warning(this, QStringLiteral("未转换"), why);
    return;
  }
  const ConvertedFile converted = ConvertPointFile(session_, input, output, direction);
  messages_->addItems(converted.messages);
  statusBar()->showMessage(Outcome(converted, output), 15000);
  if (!converted.reason.isEmpty() || converted.refused > 0 || converted.warnings > 0)
    messages_dock_->raise();
}

void MainWindow::CycleUse() {
  const QModelIndex current = proxy_->mapToSource(table_->currentIndex());
  if (!current.isValid())
    return;
  const QModelIndex use = model_.index(current.row(), PointTableModel::kUse);
  if (!(model_.flags(use) & Qt::ItemIsEditable)) {
    statusBar()->showMessage(QStringLiteral("没有点名的点不能改变用途"), 5000);
    return;
  }
  const QString name =
      model_.data(model_.index(current.row(), PointTableModel::kName), Qt::DisplayRole).toString();
  // From the use last chosen, which a fit still being made does not show yet: two quick presses
  // go two steps.
  const PointUse next =
      NextUse(session_.UseOf(name.toStdString()), session_.request().model == FitModel::kPlane);
  model_.setData(use, static_cast<int>(next), Qt::EditRole);
}

void MainWindow::KeepCurrentPoint() {
  // Every fit fills the table anew: the point the user was on stays the current one, for the
  // next key press.
  connect(&model_, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
    const QModelIndex current = proxy_->mapToSource(table_->currentIndex());
    current_name_ =
        current.isValid()
            ? model_.index(current.row(), PointTableModel::kName).data(Qt::DisplayRole).toString()
            : QString();
    current_column_ = current.isValid() ? current.column() : 0;
  });
  connect(&model_, &QAbstractItemModel::modelReset, this, [this] {
    if (const int row = current_name_.isEmpty() ? -1 : model_.RowOf(current_name_); row >= 0)
      table_->setCurrentIndex(proxy_->mapFromSource(model_.index(row, current_column_)));
  });
}

void MainWindow::ModelChosen() {
  const int model = model_choice_->currentIndex();
  convention_choice_->setEnabled(model == 1);
  options_->SetPlane(model == 2);
  session_.SetModel(model == 2   ? FitModel::kPlane
                    : model == 1 ? FitModel::kSeven
                                 : FitModel::kThree);
  session_.SetConvention(convention_choice_->currentIndex() == 1 ? Convention::kCoordinateFrame
                                                                 : Convention::kPositionVector);
  if (session_.has_input())
    model_.Refit();
}

void MainWindow::OptionsChosen() {
  FitOptions options;
  if (const QString why = options_->Options(&options); !why.isEmpty())
    session_.RefuseOptions(why.toStdString());
  else
    session_.SetOptions(options);
  // The fit stays that of the last options that could be used, and the status bar says why
  // until the fields can be used again.
  ShowRefusedOptions();
  if (session_.refused_options().empty() && session_.has_input())
    model_.Refit();
}

void MainWindow::ShowRefusedOptions() {
  if (session_.refused_options().empty())
    statusBar()->clearMessage();
  else
    statusBar()->showMessage(
        QStringLiteral("设置未采用：%1").arg(QString::fromStdString(session_.refused_options())));
}

QString MainWindow::FitOfTheSettings() {
  if (!model_.WaitForFit())
    return QStringLiteral("拟合尚未完成");
  if (!session_.refused_options().empty()) {
    return QStringLiteral("模型面板的设置未采用（%1）：请先改正，否则保存的是另一组设置的结果")
        .arg(QString::fromStdString(session_.refused_options()));
  }
  return {};
}

void MainWindow::ShowFit() {
  ShowRefusedOptions();
  checks_->Show(session_);
  setWindowTitle(session_.has_input() ? QStringLiteral("zerb 多点求参数 — %1")
                                            .arg(QString::fromStdString(session_.input_name()))
                                      : QStringLiteral("zerb 多点求参数"));
  messages_->clear();
  for (const std::string& m : session_.messages())
    messages_->addItem(QString::fromStdString(m));
  if (!session_.fit_error().empty())
    messages_->addItem(QString::fromStdString(session_.fit_error()));
  std::string svg;
  const Reason no_picture = session_.Picture(&svg);
  picture_->Show(no_picture.empty() ? QByteArray::fromStdString(svg) : QByteArray(),
                 QString::fromStdString(no_picture.empty() ? std::string() : no_picture));
  std::string text;
  if (session_.has_fit()) {
    const Reason r = session_.Render(Format::kText, &text);
    report_->setPlainText(QString::fromStdString(r.empty() ? text : r));
    if (session_.plane()) {
      const PlaneFit& fit = session_.plane_fit();
      QString sigma0 = QStringLiteral("平面 ") +
                       Sigma0Text(fit.horizontal.solution().sigma0, fit.horizontal.solution().dof);
      if (HasHeights(fit)) {
        sigma0 += QStringLiteral("；高程 ") +
                  Sigma0Text(fit.vertical.solution().sigma0, fit.vertical.solution().dof);
      }
      sigma0_->setText(sigma0);
    } else {
      sigma0_->setText(Sigma0Text(session_.solution().sigma0, session_.solution().dof));
    }
    if (session_.limits().any())
      sigma0_->setText(sigma0_->text() + QStringLiteral("；") + LimitsVerdict(session_));
  } else {
    report_->setPlainText(session_.has_input() ? QStringLiteral("没有拟合结果，原因见“消息”。")
                                               : QStringLiteral("请用“文件 → 打开”打开点文件。"));
    sigma0_->setText(QStringLiteral("σ0：—"));
  }
  save_report_->setEnabled(session_.has_fit());
  convert_points_->setEnabled(session_.has_fit());
  convert_back_->setEnabled(session_.has_fit());
  for (const auto& [action, format] : exports_)
    action->setEnabled(session_.has_fit() && ModelHasForm(format, session_.plane()));
  // What the library said matters most when there is no fit.
  if (!session_.has_fit() && session_.has_input() && messages_->count() > 0)
    messages_dock_->raise();
}

}  // namespace zerb::fit
