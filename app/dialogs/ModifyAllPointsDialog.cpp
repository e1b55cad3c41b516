#include "ModifyAllPointsDialog.h"

#include "NumberField.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace tevra {

namespace {

// The layout is measured in dialog units of an 8-point MS Sans Serif (base units
// 6 × 13 pixels): a horizontal unit is 6/4 pixels, a vertical one 13/8.
QRect units(int x, int y, int w, int h) {
    const int left = x * 6 / 4;
    const int top = y * 13 / 8;
    return {left, top, (x + w) * 6 / 4 - left, (y + h) * 13 / 8 - top};
}

constexpr float kLowestPercent = 0.0f;
constexpr float kHighestPercent = 500.0f;

} // namespace

ModifyAllPointsDialog::ModifyAllPointsDialog(EntryType type, const QString& yUnit,
                                             const ScaleValues& initial, QWidget* parent)
    : QDialog(parent), type_(type), values_(initial) {
    setObjectName(QStringLiteral("ModifyAllPointsDialog"));
    setWindowTitle(QStringLiteral("Modify All Points"));
    setFixedSize(227 * 6 / 4, 71 * 13 / 8);
    build(yUnit);
    // Every opening starts with Scale.
    values_.mode = ScaleValues::Scale;
    modes_[ScaleValues::Scale]->setChecked(true);
    applyEnableRule();
}

void ModifyAllPointsDialog::build(const QString& yUnit) {
    auto label = [this](const QString& text, QRect r) {
        auto* l = new QLabel(text, this);
        l->setGeometry(r);
        return l;
    };
    auto field = [this](const char* name, float value, QRect r) {
        auto* e = new QLineEdit(numberField::format(value), this);
        e->setObjectName(QLatin1String(name));
        e->setGeometry(r);
        return e;
    };

    auto* group = new QButtonGroup(this);
    const char* const names[3] = {"scale", "flatten", "add"};
    const char* const texts[3] = {"Scale", "Flatten", "Add"};
    const int rows[3] = {9, 30, 53};
    for (int m = 0; m < 3; ++m) {
        modes_[m] = new QRadioButton(QLatin1String(texts[m]), this);
        modes_[m]->setObjectName(QLatin1String(names[m]));
        modes_[m]->setGeometry(units(7, rows[m], 38, 10));
        group->addButton(modes_[m], m);
    }
    connect(group, &QButtonGroup::idClicked, this, [this] { applyEnableRule(); });

    // The Scale row: X, Y and Z percentages.
    label(QStringLiteral("X"), units(48, 10, 6, 8));
    xPercent_ = field("xPercent", values_.xPercent, units(55, 8, 24, 12));
    label(QStringLiteral("%"), units(81, 10, 6, 8));
    label(QStringLiteral("Y"), units(89, 10, 6, 8));
    yPercent_ = field("yPercent", values_.yPercent, units(96, 8, 24, 12));
    label(QStringLiteral("%"), units(122, 10, 6, 8));
    label(QStringLiteral("Z"), units(130, 10, 6, 8));
    zPercent_ = field("zPercent", values_.zPercent, units(137, 8, 24, 12));
    label(QStringLiteral("%"), units(163, 10, 6, 8));

    // The Flatten and Add rows: one value each, in the entry's Y unit.
    label(QStringLiteral("Y"), units(48, 31, 6, 8));
    flattenValue_ = field("flattenValue", values_.flattenValue, units(55, 29, 40, 12));
    label(yUnit, units(98, 31, 70, 8))->setObjectName(QStringLiteral("flattenUnit"));
    label(QStringLiteral("Y"), units(48, 54, 6, 8));
    addValue_ = field("addValue", values_.addValue, units(55, 52, 40, 12));
    label(yUnit, units(98, 54, 70, 8))->setObjectName(QStringLiteral("addUnit"));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setGeometry(units(172, 7, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &ModifyAllPointsDialog::accept);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setGeometry(units(172, 24, 50, 14));
    connect(cancel, &QPushButton::clicked, this, &ModifyAllPointsDialog::reject);
}

int ModifyAllPointsDialog::checkedMode() const {
    for (int m = 0; m < 3; ++m)
        if (modes_[m]->isChecked())
            return m;
    return ScaleValues::Scale;
}

void ModifyAllPointsDialog::applyEnableRule() {
    const int mode = checkedMode();
    const bool scale = mode == ScaleValues::Scale;
    xPercent_->setEnabled(scale && !isConstant(type_));
    yPercent_->setEnabled(scale);
    zPercent_->setEnabled(scale && type_ == EntryType::Table3D);
    flattenValue_->setEnabled(mode == ScaleValues::Flatten);
    addValue_->setEnabled(mode == ScaleValues::Add);
}

// Every field is read and checked, enabled or not, in the order of the layout;
// the first refused one keeps the dialog open with the focus on it.
void ModifyAllPointsDialog::accept() {
    ScaleValues read;
    read.mode = checkedMode();
    const struct {
        QLineEdit* field;
        float* value;
        bool percent;
    } fields[] = {{xPercent_, &read.xPercent, true},
                  {yPercent_, &read.yPercent, true},
                  {zPercent_, &read.zPercent, true},
                  {flattenValue_, &read.flattenValue, false},
                  {addValue_, &read.addValue, false}};
    for (const auto& f : fields) {
        const std::optional<float> v =
            f.percent ? numberField::read(f.field, this, kLowestPercent, kHighestPercent)
                      : numberField::read(f.field, this);
        if (!v)
            return;
        *f.value = *v;
    }
    values_ = read;
    QDialog::accept();
}

} // namespace tevra
