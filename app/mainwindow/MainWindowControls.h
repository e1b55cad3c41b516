#pragma once

#include <QColor>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace tevra {

class GraphWidget;
class ValuesPanel;

// The controls of the main window, placed at their dialog-unit rectangles. The
// window keeps the pointers; the widgets belong to the window as their parent.
// When the window grows, the list grows in height, the graph in both directions,
// and the row of commands with the readout and the description box stays at
// the bottom (the description box taking the extra width).
struct MainWindowControls {
    // How a control follows the window's extra width and height.
    enum class Anchor { Fixed, GrowDown, GrowBoth, Bottom, BottomGrowRight };
    struct Placement {
        QWidget* widget;
        QRect classic; // at the classic size, from the top-left of the controls' area
        Anchor anchor;
    };

    enum Command {
        Load,
        Save,
        Options,
        Flash,
        CalData,
        Binary,
        Scan,
        Scale,
        New,
        Delete,
        Help,
        Exit,
        CommandCount
    };

    QListWidget* list = nullptr;
    GraphWidget* graph = nullptr;
    QRadioButton* byName = nullptr;
    QRadioButton* byAddress = nullptr;
    QRadioButton* byType = nullptr;
    QCheckBox* disableEditing = nullptr;
    QLabel* infoLine = nullptr;
    // The line under the list that counts the definitions' problems; a click lists
    // them. Shown only while there are any, the list giving it room.
    QPushButton* problems = nullptr;
    QLabel* mouseX = nullptr;
    QLabel* mouseY = nullptr;
    QPlainTextEdit* description = nullptr;
    std::array<QPushButton*, CommandCount> commands{};
    std::vector<Placement> placements;
    // The values view beside the graph (hidden until shown) and its toggle.
    ValuesPanel* valuesPanel = nullptr;
    QPushButton* valuesToggle = nullptr;

    static MainWindowControls build(QWidget* window);
    void showProblemsLine(bool shown);
    // The colour of list lines whose entry differs from the comparison's.
    static QColor changedEntryColour();
    // The size of the controls' area the rectangles were laid out for.
    static QSize classicSize();
    // Places every control for an area of any size at or above the classic one.
    void arrange(const QRect& area) const;
    // The window's size with and without the values view, and the view's place.
    static QSize windowSize(bool withValues);
    static QRect valuesRect();
    // The width the values view adds to the window while it is shown.
    static int valuesStripWidth();
    // The object name a command's button carries ("loadButton", ...).
    static QString commandObjectName(Command c);
};

} // namespace tevra
