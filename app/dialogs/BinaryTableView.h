#pragma once

#include <QDialog>

class QPushButton;
class QTreeWidget;

namespace tevra {

class CalEntry;

// "Binary Table View": the stored bytes behind one entry, read-only, as a table
// of points (2D tables) or as a hex dump; "Secondary" switches to the comparison
// calibration's entry of the same name and back, and "&Changes" lists how this
// entry differs from that one (the points that differ are coloured in the table). It reads the
// entries it is given while it runs and changes nothing.
class BinaryTableView : public QDialog {
    Q_OBJECT

public:
    // The comparison entry may be none; the entries' owners are the calibrations.
    BinaryTableView(const CalEntry& primary, const CalEntry* comparison, QWidget* parent = nullptr);

    enum class View { Table, Hex, Changes };
    View view() const { return view_; }
    bool showingComparison() const { return showingComparison_; }
    QTreeWidget* list() const { return list_; }

    void showTable();
    void showHex();
    // One line per difference from the comparison entry, in the entry's units.
    void showChanges();
    void toggleSecondary();

private:
    void refill();

    const CalEntry* primary_;
    const CalEntry* comparison_;
    const CalEntry* shown_;
    bool showingComparison_ = false;
    View view_ = View::Table;
    QTreeWidget* list_ = nullptr;
    QPushButton* tableButton_ = nullptr;
    QPushButton* hexButton_ = nullptr;
    QPushButton* secondaryButton_ = nullptr;
    QPushButton* changesButton_ = nullptr;
};

} // namespace tevra
