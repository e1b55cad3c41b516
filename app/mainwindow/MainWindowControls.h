#pragma once

#include <QString>

#include <array>

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

// The controls of the main window, placed at their dialog-unit rectangles. The
// window keeps the pointers; the widgets belong to the window as their parent.
struct MainWindowControls {
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
    QLabel* mouseX = nullptr;
    QLabel* mouseY = nullptr;
    QPlainTextEdit* description = nullptr;
    std::array<QPushButton*, CommandCount> commands{};

    static MainWindowControls build(QWidget* window);
    // The object name a command's button carries ("loadButton", ...).
    static QString commandObjectName(Command c);
};

} // namespace tevra
