#include "fit/options_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include <string>

#include "readers/angle.h"

namespace zerb::fit {
namespace {

// The ellipsoids of the list, by the names --ellipsoid takes; the last is the user's own.
constexpr const char* kEllipsoids[] = {"krassovsky", "iag75", "cgcs2000", "wgs84"};
constexpr AngleFormat kAngleFormats[] = {AngleFormat::kAuto, AngleFormat::kDms,
                                         AngleFormat::kDegrees, AngleFormat::kDdMmss};
constexpr HeightFit kHeightFits[] = {HeightFit::kAuto, HeightFit::kNone, HeightFit::kConstant,
                                     HeightFit::kPlane, HeightFit::kQuadric};

// A number as the fields show it: the shortest form, so 500000 is not 500000.000.
std::string Plain(double value) {
  return QString::number(value, 'g', 17).toStdString();
}

}  // namespace

OptionsPanel::OptionsPanel(QWidget* parent)
    : QWidget(parent),
      sigma_horizontal_(
          Length("sigma horizontal", 0, 10, 4, "由拟合估计",
                 "一个坐标分量的先验中误差（水平）；由拟合估计：单位权中误差由残差求得")),
      sigma_vertical_(
          Length("sigma vertical", 0, 10, 4, "同水平", "一个坐标分量的先验中误差（高程）")),
      alpha_(new QDoubleSpinBox),
      angle_format_(new QComboBox),
      gnss_datum_(new QComboBox),
      ellipsoid_(new QComboBox),
      semi_major_(Length("semi-major axis", 6300000, 6400000, 3, nullptr, "自定义椭球的长半轴")),
      inverse_flattening_(new QDoubleSpinBox),
      central_meridian_(new QLineEdit),
      false_easting_(Length("false easting", -1e8, 1e8, 3, nullptr,
                            "东偏（假东）；500000 m 以外时东坐标按普通数读，不带带号")),
      false_northing_(Length("false northing", -1e8, 1e8, 3, nullptr, "北偏（假北）")),
      scale_(new QDoubleSpinBox),
      projection_height_(Length("projection height", -1000, 9000, 3, nullptr,
                                "投影面大地高 h0：城市或工程坐标系所在的投影面")),
      height_fit_(new QComboBox),
      fix_scale_(new QCheckBox(QStringLiteral("固定尺度为 1"))) {
  alpha_->setObjectName(QStringLiteral("alpha"));
  alpha_->setRange(0.0001, 0.4999);
  alpha_->setDecimals(4);
  alpha_->setSingleStep(0.001);
  alpha_->setValue(0.001);
  alpha_->setToolTip(QStringLiteral("每个点粗差检验的显著性水平 α"));
  angle_format_->setObjectName(QStringLiteral("angle format"));
  angle_format_->addItems({QStringLiteral("自动识别"), QStringLiteral("度分秒"),
                           QStringLiteral("十进制度"), QStringLiteral("度.分秒（dd.mmss）")});
  angle_format_->setToolTip(QStringLiteral("无单位的纬度、经度数值按此读入"));
  gnss_datum_->setObjectName(QStringLiteral("gnss datum"));
  gnss_datum_->addItems({QStringLiteral("WGS-84"), QStringLiteral("CGCS2000")});
  ellipsoid_->setObjectName(QStringLiteral("ellipsoid"));
  ellipsoid_->addItems(
      {QStringLiteral("克拉索夫斯基 1940（北京 54）"), QStringLiteral("IAG 1975（西安 80）"),
       QStringLiteral("GRS 1980（CGCS2000）"), QStringLiteral("WGS 84"), QStringLiteral("自定义")});
  semi_major_->setValue(6378137);
  semi_major_->setEnabled(false);
  inverse_flattening_->setObjectName(QStringLiteral("inverse flattening"));
  inverse_flattening_->setRange(250, 350);
  inverse_flattening_->setDecimals(9);
  inverse_flattening_->setValue(298.257222101);
  inverse_flattening_->setToolTip(QStringLiteral("自定义椭球的扁率倒数"));
  inverse_flattening_->setEnabled(false);
  central_meridian_->setObjectName(QStringLiteral("central meridian"));
  central_meridian_->setPlaceholderText(QStringLiteral("由 L0 列或带号得出"));
  central_meridian_->setToolTip(
      QStringLiteral("网格的中央子午线，按上面的角度格式读（自动识别时 116:30 即 116°30′）；与 L0 "
                     "列或带号不符的点被拒绝"));
  false_easting_->setValue(500000);
  scale_->setObjectName(QStringLiteral("scale factor"));
  scale_->setRange(0.9, 1.1);
  scale_->setDecimals(9);
  scale_->setValue(1);
  scale_->setToolTip(QStringLiteral("中央子午线上的尺度因子"));
  height_fit_->setObjectName(QStringLiteral("height fit"));
  height_fit_->addItems({QStringLiteral("自动"), QStringLiteral("不拟合"), QStringLiteral("常数"),
                         QStringLiteral("平面"), QStringLiteral("二次曲面")});
  height_fit_->setToolTip(QStringLiteral(
      "高程异常 H − h 的拟合面；自动：1–3 个点为常数，4–9 个为平面，10 个起为二次曲面"));
  fix_scale_->setObjectName(QStringLiteral("fix scale"));

  auto* test = new QGroupBox(QStringLiteral("检验"));
  auto* test_form = new QFormLayout(test);
  test_form->addRow(QStringLiteral("水平中误差："), sigma_horizontal_);
  test_form->addRow(QStringLiteral("高程中误差："), sigma_vertical_);
  test_form->addRow(QStringLiteral("显著性水平 α："), alpha_);
  auto* system = new QGroupBox(QStringLiteral("坐标系统"));
  auto* system_form = new QFormLayout(system);
  system_form->addRow(QStringLiteral("角度格式："), angle_format_);
  system_form->addRow(QStringLiteral("GNSS 基准："), gnss_datum_);
  system_form->addRow(QStringLiteral("网格椭球："), ellipsoid_);
  system_form->addRow(QStringLiteral("长半轴："), semi_major_);
  system_form->addRow(QStringLiteral("扁率倒数："), inverse_flattening_);
  system_form->addRow(QStringLiteral("中央子午线："), central_meridian_);
  system_form->addRow(QStringLiteral("东偏："), false_easting_);
  system_form->addRow(QStringLiteral("北偏："), false_northing_);
  system_form->addRow(QStringLiteral("尺度因子："), scale_);
  system_form->addRow(QStringLiteral("投影面高程："), projection_height_);
  auto* plane = new QGroupBox(QStringLiteral("四参数模型"));
  auto* plane_form = new QFormLayout(plane);
  plane_form->addRow(QStringLiteral("高程拟合："), height_fit_);
  plane_form->addRow(fix_scale_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(test);
  layout->addWidget(system);
  layout->addWidget(plane);
  layout->addStretch();
  SetPlane(false);

  connect(ellipsoid_, &QComboBox::currentIndexChanged, this, [this](int index) {
    const bool own = index == static_cast<int>(std::size(kEllipsoids));
    semi_major_->setEnabled(own);
    inverse_flattening_->setEnabled(own);
  });
  for (QComboBox* box : {angle_format_, gnss_datum_, ellipsoid_, height_fit_})
    connect(box, &QComboBox::currentIndexChanged, this, &OptionsPanel::changed);
  for (QDoubleSpinBox* box :
       {sigma_horizontal_, sigma_vertical_, alpha_, semi_major_, inverse_flattening_,
        false_easting_, false_northing_, scale_, projection_height_})
    connect(box, &QDoubleSpinBox::valueChanged, this, &OptionsPanel::changed);
  connect(central_meridian_, &QLineEdit::editingFinished, this, [this] {
    // Leaving the field or pressing Enter without a change is no change.
    if (central_meridian_->isModified()) {
      central_meridian_->setModified(false);
      emit changed();
    }
  });
  connect(fix_scale_, &QCheckBox::toggled, this, &OptionsPanel::changed);
}

QDoubleSpinBox* OptionsPanel::Length(const char* name, double low, double high, int decimals,
                                     const char* special, const char* tip) {
  auto* box = new QDoubleSpinBox;
  box->setObjectName(QString::fromUtf8(name));
  box->setRange(low, high);
  box->setDecimals(decimals);
  box->setSuffix(QStringLiteral(" m"));
  if (special != nullptr)
    box->setSpecialValueText(QString::fromUtf8(special));
  box->setToolTip(QString::fromUtf8(tip));
  return box;
}

void OptionsPanel::SetPlane(bool plane) {
  height_fit_->setEnabled(plane);
  fix_scale_->setEnabled(plane);
}

QString OptionsPanel::Options(FitOptions* options) const {
  FitOptions o;
  o.sigma_horizontal = sigma_horizontal_->value();
  // The vertical accuracy left at 同水平 is the horizontal one, as --sigma H gives both.
  o.sigma_vertical = sigma_vertical_->value() > 0 ? sigma_vertical_->value() : o.sigma_horizontal;
  if (o.sigma_horizontal == 0 && o.sigma_vertical > 0)
    return QStringLiteral("高程中误差：先给出水平中误差（或把高程中误差设为“同水平”）");
  o.alpha = alpha_->value();
  o.angle_format = kAngleFormats[angle_format_->currentIndex()];
  o.gnss_datum = gnss_datum_->currentIndex() == 1 ? GnssDatum::kCgcs2000 : GnssDatum::kWgs84;
  const int ellipsoid = ellipsoid_->currentIndex();
  const std::string ellipsoid_text =
      ellipsoid < static_cast<int>(std::size(kEllipsoids))
          ? std::string(kEllipsoids[ellipsoid])
          : Plain(semi_major_->value()) + "," + Plain(inverse_flattening_->value());
  if (Reason r = crs::ParseEllipsoid(ellipsoid_text, &o.grid.ellipsoid); !r.empty())
    return QStringLiteral("网格椭球：%1").arg(QString::fromStdString(r));
  o.grid.false_easting = false_easting_->value();
  o.grid.false_northing = false_northing_->value();
  o.grid.scale = scale_->value();
  o.grid.projection_height = projection_height_->value();
  if (const QString meridian = central_meridian_->text().trimmed(); !meridian.isEmpty()) {
    Angle angle;
    if (Reason r =
            ParseAngle(meridian.toStdString(), AngleAxis::kLongitude, o.angle_format, &angle);
        !r.empty())
      return QStringLiteral("中央子午线 %1：%2").arg(meridian, QString::fromStdString(r));
    o.central_meridian = Degrees(angle);
  }
  o.height_fit = kHeightFits[height_fit_->currentIndex()];
  o.fix_scale = fix_scale_->isChecked();
  *options = o;
  return {};
}

}  // namespace zerb::fit
