#include "fit/check_panel.h"

#include <QFormLayout>
#include <QLabel>

#include "writers/output.h"

namespace zerb::fit {
namespace {

QString Summary(const CheckSummary& c) {
  if (c.count == 0)
    return QStringLiteral("—");
  return QStringLiteral("中误差 %1 m，最大 %2 m")
      .arg(QString::fromStdString(Fixed(c.rms)), QString::fromStdString(Fixed(c.largest)));
}

}  // namespace

CheckPanel::CheckPanel(QWidget* parent)
    : QWidget(parent), count_(new QLabel), horizontal_(new QLabel), vertical_(new QLabel) {
  count_->setObjectName(QStringLiteral("check count"));
  horizontal_->setObjectName(QStringLiteral("check horizontal"));
  vertical_->setObjectName(QStringLiteral("check vertical"));
  for (QLabel* label : {count_, horizontal_, vertical_})
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* form = new QFormLayout(this);
  form->addRow(QStringLiteral("检核点："), count_);
  form->addRow(QStringLiteral("平面残差："), horizontal_);
  form->addRow(QStringLiteral("高程残差："), vertical_);
  setToolTip(QStringLiteral("检核点不参与拟合：它们的残差说明参数用于别的点时的精度"));
}

void CheckPanel::Show(const Session& session) {
  const CheckResiduals checks = session.Checks();
  const std::size_t count = std::max(checks.horizontal.count, checks.vertical.count);
  if (!session.has_fit())
    count_->setText(QStringLiteral("没有拟合结果"));
  else if (count == 0)
    count_->setText(QStringLiteral("无（在点表中把点设为检核点：双击或空格）"));
  else
    count_->setText(QStringLiteral("%1 个").arg(count));
  horizontal_->setText(Summary(checks.horizontal));
  vertical_->setText(Summary(checks.vertical));
}

}  // namespace zerb::fit
