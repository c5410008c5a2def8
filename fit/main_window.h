// zerb-fit's main window: the point table, the model panel, the report and the messages of the
// library; and the files it opens and saves.
#ifndef ZERB_FIT_MAIN_WINDOW_H
#define ZERB_FIT_MAIN_WINDOW_H

#include <QMainWindow>

#include "fit/converted_points.h"
#include "fit/point_table_model.h"
#include "fit/recent_files.h"
#include "fit/session.h"
#include "writers/format.h"

class QComboBox;
class QDockWidget;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QSortFilterProxyModel;
class QTableView;

namespace zerb::fit {

class CheckPanel;
class OptionsPanel;
class ResidualPicture;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  // Opens the input and fits it; the dialogs call these, and so may a caller that knows the files.
  void OpenTable(const QString& table);
  void OpenPair(const QString& grid, const QString& wgs84);
  // Opens an input of 文件 → 最近打开 again; when one of its files is gone, drops it from the list
  // and says so instead.
  QString OpenRecent(const RecentInput& input);

  // Writes the library's output in the format to path; an empty text, or why nothing was
  // written.
  QString Save(Format format, const QString& path);

  const Session& session() const { return session_; }
  // Runs the event loop until the fit of the settings as they stand is shown.
  bool WaitForFit() { return model_.WaitForFit(); }
  PointTableModel* points() { return &model_; }
  QSortFilterProxyModel* sorted() { return proxy_; }

 protected:
  // One file dropped opens as a table, two as the grid file and the GNSS file, in that order.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void MakeActions();
  void MakeExportMenu();
  void FillRecentMenu();
  void Remember(const RecentInput& input);
  void MakeModelPanel();
  void MakeDocks();
  void ChooseTable();
  void ChoosePair();
  void ChooseAndSave(Format format, const QString& title, const QString& filter,
                     const QString& suffix);
  void ConvertFile(Direction direction);
  void CycleUse();
  void KeepCurrentPoint();
  void ModelChosen();
  void OptionsChosen();
  // Waits for the fit of the settings as they stand; why there is none to hand on, or an empty
  // text.
  QString FitOfTheSettings();
  void ShowRefusedOptions();
  void ShowFit();

  Session session_;
  PointTableModel model_;
  QSortFilterProxyModel* proxy_;
  QTableView* table_;
  QComboBox* model_choice_;
  QComboBox* convention_choice_;
  QPlainTextEdit* report_;
  QListWidget* messages_;
  ResidualPicture* picture_;
  OptionsPanel* options_;
  CheckPanel* checks_;
  QDockWidget* messages_dock_ = nullptr;
  QLabel* sigma0_;
  QAction* save_report_ = nullptr;
  QAction* convert_points_ = nullptr;
  QAction* convert_back_ = nullptr;
  QMenu* recent_menu_ = nullptr;
  RecentFiles recent_;
  // The point current in the table while it is filled anew.
  QString current_name_;
  int current_column_ = 0;
  // Each form's copy and save, enabled when the fit's model has the form.
  QList<QPair<QAction*, Format>> exports_;
};

}  // namespace zerb::fit

#endif  // ZERB_FIT_MAIN_WINDOW_H
