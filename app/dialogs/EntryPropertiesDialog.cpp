#include "EntryPropertiesDialog.h"

#include "BitNamesDialog.h"
#include "DialogStrings.h"
#include "EntryPropertiesRules.h"
#include "PlaceWidget.h"
#include "ValueNamesDialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace tevra {

namespace {

struct TypeButton {
    const char* text;
    EntryType type;
    int x, y;
};

// In the order of the controls: the "Tables" column, "Constants", then "Unknown".
constexpr std::array<TypeButton, 9> kTypeButtons{{
    {"Unsigned 8-Bit", EntryType::Unsigned8Table, 253, 24},
    {"Unsigned 16-Bit", EntryType::Unsigned16Table, 253, 35},
    {"Signed 8-Bit", EntryType::Signed8Table, 253, 46},
    {"3D Table", EntryType::Table3D, 253, 57},
    {"Unsigned 8-Bit", EntryType::Constant8, 253, 80},
    {"Unsigned 16-Bit", EntryType::Constant16, 253, 91},
    {"8-Bit Flag Byte", EntryType::FlagByte, 253, 102},
    {"8-Bit Value List", EntryType::ValueList, 253, 113},
    {"Unknown", EntryType::Unknown, 249, 125},
}};

QLabel* label(QWidget* parent, const char* text, int x, int y, int w) {
    return placed(new QLabel(QString::fromLatin1(text), parent), "", x, y, w, 8);
}

} // namespace

EntryPropertiesDialog::EntryPropertiesDialog(const PropertiesValues& values, FieldDialogs fields,
                                             QWidget* parent)
    : QDialog(parent), fields_(std::move(fields)) {
    setObjectName(QStringLiteral("EntryPropertiesDialog"));
    setWindowTitle(QStringLiteral("Data Properties"));
    setFixedSize(dlu::size(368, 190));
    values_ = values;
    if (!fields_.bitfield)
        fields_.bitfield = [this](const auto& names) { return BitNamesDialog::ask(names, this); };
    if (!fields_.valueList)
        fields_.valueList = [this](const auto& t) { return ValueNamesDialog::ask(t, this); };

    placed(new QGroupBox(QStringLiteral("Definition"), this), "definitionGroup", 7, 4, 230, 41);
    label(this, "Name", 13, 16, 28);
    name_ = placed(new QLineEdit(this), "nameEdit", 45, 14, 185, 12);
    label(this, "Chrysler Name", 13, 30, 50);
    chryslerName_ = placed(new QLineEdit(this), "chryslerNameEdit", 64, 28, 72, 12);
    label(this, "Hex Address", 140, 30, 46);
    hexAddress_ = placed(new QLineEdit(this), "hexAddressEdit", 188, 28, 42, 12);

    placed(new QGroupBox(QStringLiteral("Graph Properties"), this), "graphGroup", 7, 48, 230, 63);
    label(this, "Quick Set:", 110, 60, 35);
    quickSet_ = placed(new QComboBox(this), "quickSetBox", 147, 58, 83, 12);
    for (const char* item : properties::kQuickSetItems)
        quickSet_->addItem(QString::fromLatin1(item));
    label(this, "Name", 42, 74, 30);
    label(this, "Unit", 112, 74, 30);
    label(this, "Min", 150, 74, 30);
    label(this, "Max", 190, 74, 30);
    const char* const axisNames[2][4] = {{"xNameEdit", "xUnitEdit", "xMinEdit", "xMaxEdit"},
                                         {"yNameEdit", "yUnitEdit", "yMinEdit", "yMaxEdit"}};
    const int columns[4][2] = {{40, 68}, {112, 34}, {150, 36}, {190, 40}};
    for (int axis = 0; axis < 2; ++axis) {
        const int y = 84 + 13 * axis;
        label(this, axis == 0 ? "X Axis" : "Y-Axis", 13, y + 2, 26);
        auto& edits = axis == 0 ? xAxis_ : yAxis_;
        for (std::size_t c = 0; c < 4; ++c)
            edits[c] = placed(new QLineEdit(this), axisNames[axis][c], columns[c][0], y,
                              columns[c][1], 12);
    }
    description_ = placed(new QPlainTextEdit(this), "descriptionEdit", 7, 115, 230, 68);
    description_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    description_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    placed(new QGroupBox(QStringLiteral("Data Type"), this), "dataTypeGroup", 243, 4, 118, 152);
    label(this, "Tables", 249, 14, 40);
    label(this, "Constants", 249, 70, 40);
    types_ = new QButtonGroup(this);
    for (const TypeButton& t : kTypeButtons) {
        auto* b =
            placed(new QRadioButton(QString::fromLatin1(t.text), this), "", t.x, t.y, 100, 10);
        b->setObjectName(QStringLiteral("typeButton%1").arg(static_cast<int>(t.type)));
        types_->addButton(b, static_cast<int>(t.type));
    }
    defineFields_ = placed(new QPushButton(QStringLiteral("Define Fields"), this),
                           "defineFieldsButton", 253, 138, 60, 13);

    auto* next =
        placed(new QPushButton(QStringLiteral("&Next"), this), "nextButton", 243, 169, 28, 14);
    auto* prev =
        placed(new QPushButton(QStringLiteral("&Prev"), this), "prevButton", 273, 169, 28, 14);
    auto* ok = placed(new QPushButton(QStringLiteral("OK"), this), "okButton", 303, 169, 28, 14);
    ok->setDefault(true);
    auto* cancel =
        placed(new QPushButton(QStringLiteral("Cancel"), this), "cancelButton", 333, 169, 28, 14);

    connect(ok, &QPushButton::clicked, this, &EntryPropertiesDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &EntryPropertiesDialog::reject);
    connect(next, &QPushButton::clicked, this, [this] { navigate(+1); });
    connect(prev, &QPushButton::clicked, this, [this] { navigate(-1); });
    connect(defineFields_, &QPushButton::clicked, this, &EntryPropertiesDialog::defineFields);
    connect(quickSet_, &QComboBox::activated, this, &EntryPropertiesDialog::quickSet);
    connect(types_, &QButtonGroup::idToggled, this, [this] { updateDefineFields(); });

    writeControls();
    // A type outside 0..8 (from a hand-edited file) selects no button.
    if (QAbstractButton* b = types_->button(static_cast<int>(values_.type)))
        b->setChecked(true);
    updateDefineFields();
    result_.navigationStep = 0;
    quickSet_->setCurrentIndex(0);
}

void EntryPropertiesDialog::writeControls() {
    name_->setText(toQt(values_.name));
    chryslerName_->setText(toQt(values_.chryslerName));
    hexAddress_->setText(toQt(values_.hexAddress));
    const std::array<const std::string*, 4> x{&values_.xName, &values_.xUnit, &values_.xMin,
                                              &values_.xMax};
    const std::array<const std::string*, 4> y{&values_.yName, &values_.yUnit, &values_.yMin,
                                              &values_.yMax};
    for (std::size_t c = 0; c < 4; ++c) {
        xAxis_[c]->setText(toQt(*x[c]));
        yAxis_[c]->setText(toQt(*y[c]));
    }
    description_->setPlainText(toQt(values_.description));
}

void EntryPropertiesDialog::readControls() {
    values_.name = fromQt(name_->text());
    values_.chryslerName = fromQt(chryslerName_->text());
    values_.hexAddress = fromQt(hexAddress_->text());
    const std::array<std::string*, 4> x{&values_.xName, &values_.xUnit, &values_.xMin,
                                        &values_.xMax};
    const std::array<std::string*, 4> y{&values_.yName, &values_.yUnit, &values_.yMin,
                                        &values_.yMax};
    for (std::size_t c = 0; c < 4; ++c) {
        *x[c] = fromQt(xAxis_[c]->text());
        *y[c] = fromQt(yAxis_[c]->text());
    }
    values_.description = fromQt(description_->toPlainText());
}

void EntryPropertiesDialog::updateDefineFields() {
    const int id = types_->checkedId();
    defineFields_->setEnabled(id == static_cast<int>(EntryType::FlagByte) ||
                              id == static_cast<int>(EntryType::ValueList));
}

void EntryPropertiesDialog::defineFields() {
    if (types_->checkedId() == static_cast<int>(EntryType::FlagByte)) {
        if (auto names = fields_.bitfield(values_.itemNames))
            values_.itemNames = properties::bitNamesBack(*names);
        return;
    }
    if (auto texts = fields_.valueList(properties::valueListTexts(values_)))
        properties::takeValueList(values_, *texts);
}

void EntryPropertiesDialog::quickSet(int item) {
    readControls();
    properties::applyQuickSet(values_, item);
    writeControls();
}

void EntryPropertiesDialog::navigate(int step) {
    result_.navigationStep = step;
    result_.accepted = false;
    QDialog::reject();
}

void EntryPropertiesDialog::accept() {
    if (types_->checkedId() >= 0)
        values_.type = static_cast<EntryType>(types_->checkedId());
    result_.navigationStep = 0;
    readControls();
    if (values_.description.size() > properties::kMaxDescription)
        values_.description.resize(properties::kMaxDescription);
    result_.accepted = true;
    QDialog::accept();
}

PropertiesResult EntryPropertiesDialog::ask(const PropertiesValues& values, QWidget* parent) {
    EntryPropertiesDialog dialog(values, {}, parent);
    dialog.exec();
    return dialog.result();
}

} // namespace tevra
