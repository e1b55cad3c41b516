#include "BinaryTableView.h"

#include "BinaryListing.h"
#include "CalEntry.h"
#include "CalibrationDiff.h"
#include "ChangeText.h"
#include "EntryText.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

namespace tevra {

namespace {

// Dialog units of an 8-point MS Sans Serif: 6/4 pixels across, 13/8 down.
QRect units(int x, int y, int w, int h) {
    const int left = x * 6 / 4;
    const int top = y * 13 / 8;
    return {left, top, (x + w) * 6 / 4 - left, (y + h) * 13 / 8 - top};
}

const QString kTitle = QStringLiteral("Binary Table View");

} // namespace

BinaryTableView::BinaryTableView(const CalEntry& primary, const CalEntry* comparison,
                                 QWidget* parent)
    : QDialog(parent), primary_(&primary), comparison_(comparison), shown_(&primary) {
    setObjectName(QStringLiteral("BinaryTableView"));
    setFixedSize(358 * 6 / 4, 201 * 13 / 8);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("list"));
    list_->setGeometry(units(7, 7, 298, 186));
    list_->setRootIsDecorated(false);
    list_->setSortingEnabled(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->header()->setSectionsClickable(false);
    list_->header()->setStretchLastSection(false);
    list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto button = [this](const char* name, const QString& text, int y) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(units(311, y, 40, 14));
        b->setAutoDefault(false);
        return b;
    };
    tableButton_ = button("tableButton", QStringLiteral("&Table"), 54);
    hexButton_ = button("hexButton", QStringLiteral("&Hex"), 70);
    secondaryButton_ = button("secondaryButton", QStringLiteral("Secondary"), 86);
    changesButton_ = button("changesButton", QStringLiteral("&Changes"), 102);
    auto* ok = button("okButton", QStringLiteral("&OK"), 179);
    ok->setDefault(true);
    connect(tableButton_, &QPushButton::clicked, this, &BinaryTableView::showTable);
    connect(hexButton_, &QPushButton::clicked, this, &BinaryTableView::showHex);
    connect(secondaryButton_, &QPushButton::clicked, this, &BinaryTableView::toggleSecondary);
    connect(changesButton_, &QPushButton::clicked, this, &BinaryTableView::showChanges);
    changesButton_->setEnabled(comparison_ &&
                               !CalibrationDiff::compareEntries(*comparison_, *primary_).empty());
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    // Escape and the close box close the dialog, as users expect of a viewer;
    // "&Table" is only the table view.

    if (static_cast<int>(primary.type) > 2) {
        showHex();
        tableButton_->setEnabled(false);
    } else {
        showTable();
    }
    if (comparison_) {
        setWindowTitle(kTitle + QStringLiteral(" (Primary)"));
    } else {
        setWindowTitle(kTitle);
        secondaryButton_->setEnabled(false);
    }
}

void BinaryTableView::showTable() {
    view_ = View::Table;
    list_->clear();
    list_->setColumnCount(3);
    list_->setHeaderLabels({QStringLiteral("Compare (%1)").arg(entryText(shown_->xUnit)),
                            QStringLiteral("Return (%1)").arg(entryText(shown_->yUnit)),
                            QStringLiteral("Slope")});
    const int width = list_->width() / 3 - 2;
    for (int c = 0; c < 3; ++c)
        list_->setColumnWidth(c, width);
    QList<QTreeWidgetItem*> items;
    for (const binaryListing::TableRow& row : binaryListing::tableRows(*shown_))
        items << new QTreeWidgetItem(QStringList{row.compare, row.result, row.slope});
    // The points that differ from the other side, in the colour of the list marks.
    if (comparison_)
        for (const CalibrationDiff::Change& c :
             CalibrationDiff::compareEntries(*comparison_, *primary_))
            if ((c.kind == CalibrationDiff::Kind::Point ||
                 c.kind == CalibrationDiff::Kind::Slope) &&
                c.index < items.size())
                for (int col = 0; col < 3; ++col)
                    items[c.index]->setForeground(col, QBrush(QColor(0xB0, 0x00, 0x00)));
    list_->addTopLevelItems(items);
}

void BinaryTableView::showHex() {
    view_ = View::Hex;
    list_->clear();
    list_->setColumnCount(1);
    list_->setHeaderLabels({QStringLiteral("Hex View")});
    list_->setColumnWidth(0, list_->width() - 5);
    QList<QTreeWidgetItem*> items;
    for (const QString& row : binaryListing::hexRows(*shown_))
        items << new QTreeWidgetItem(QStringList{row});
    list_->addTopLevelItems(items);
}

void BinaryTableView::toggleSecondary() {
    if (!comparison_)
        return;
    if (showingComparison_) {
        setWindowTitle(kTitle + QStringLiteral(" (Primary)"));
        secondaryButton_->setText(QStringLiteral("Secondary"));
        shown_ = primary_;
    } else {
        setWindowTitle(kTitle + QStringLiteral(" (Secondary)"));
        secondaryButton_->setText(QStringLiteral("Primary"));
        shown_ = comparison_;
    }
    refill();
    showingComparison_ = !showingComparison_;
}

void BinaryTableView::showChanges() {
    if (!comparison_)
        return;
    view_ = View::Changes;
    list_->clear();
    list_->setColumnCount(2);
    list_->setHeaderLabels({QStringLiteral("Where"), QStringLiteral("Comparison -> this")});
    list_->setColumnWidth(0, list_->width() / 4);
    list_->setColumnWidth(1, list_->width() * 3 / 4 - 5);
    QList<QTreeWidgetItem*> items;
    for (const CalibrationDiff::Change& c :
         CalibrationDiff::compareEntries(*comparison_, *primary_)) {
        const auto [where, what] = ChangeText::of(c, primary_->xUnit, primary_->yUnit);
        items << new QTreeWidgetItem(
            QStringList{QString::fromStdString(where), QString::fromStdString(what)});
    }
    list_->addTopLevelItems(items);
}

void BinaryTableView::refill() {
    if (view_ == View::Table)
        showTable();
    else if (view_ == View::Changes)
        showChanges();
    else
        showHex();
}

} // namespace tevra
