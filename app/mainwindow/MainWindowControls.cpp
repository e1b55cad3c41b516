#include "MainWindowControls.h"

#include "DialogUnits.h"
#include "GraphWidget.h"
#include "ValuesPanel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace tevra {

namespace {

struct CommandText {
    const char* label;
    const char* objectName;
};

constexpr std::array<CommandText, MainWindowControls::CommandCount> kCommands{{
    {"&Load", "loadButton"},
    {"&Save", "saveButton"},
    {"Options", "optionsButton"},
    {"&Flash", "flashButton"},
    {"Cal Data", "calDataButton"},
    {"&Binary", "binaryButton"},
    {"S&can", "scanButton"},
    {"Sc&ale", "scaleButton"},
    {"&New", "newButton"},
    {"D&elete", "deleteButton"},
    {"&Help", "helpButton"},
    {"E&xit", "exitButton"},
}};

template <typename W> W* place(W* widget, const char* name, QRect r) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(r);
    return widget;
}

// The values view takes a strip right of the window of the classic layout.
constexpr int kValuesWidth = 272;

} // namespace

void MainWindowControls::showProblemsLine(bool shown) {
    list->setGeometry(dlu::rect(2, 12, 113, shown ? 248 : 259));
    problems->setVisible(shown);
}

QColor MainWindowControls::changedEntryColour() {
    return QColor(0xB0, 0x00, 0x00);
}

QSize MainWindowControls::windowSize(bool withValues) {
    return dlu::size(520 + (withValues ? kValuesWidth : 0), 335);
}

QRect MainWindowControls::valuesRect() {
    return dlu::rect(520, 3, kValuesWidth - 4, 329);
}

QString MainWindowControls::commandObjectName(Command c) {
    return QString::fromLatin1(kCommands[static_cast<std::size_t>(c)].objectName);
}

MainWindowControls MainWindowControls::build(QWidget* w) {
    MainWindowControls c;
    place(new QLabel(QStringLiteral("Table/Constant List"), w), "listLabel",
          dlu::rect(21, 3, 63, 8));

    c.list = place(new QListWidget(w), "entryList", dlu::rect(2, 12, 113, 259));
    c.list->setSelectionMode(QAbstractItemView::SingleSelection);
    c.list->setSortingEnabled(false);

    c.problems = place(new QPushButton(w), "definitionProblems", dlu::rect(2, 262, 113, 9));
    c.problems->setFlat(true);
    c.problems->setAutoDefault(false);
    c.problems->setFocusPolicy(Qt::NoFocus);
    c.problems->setStyleSheet(QStringLiteral("text-align: left; color: #a00000;"));
    c.problems->hide();

    c.graph = place(new GraphWidget(w), "graph", dlu::rect(121, 3, 395, 277));

    c.byName =
        place(new QRadioButton(QStringLiteral("Name"), w), "sortByName", dlu::rect(4, 278, 34, 10));
    c.byAddress = place(new QRadioButton(QStringLiteral("Address"), w), "sortByAddress",
                        dlu::rect(40, 278, 42, 10));
    c.byType = place(new QRadioButton(QStringLiteral("Type"), w), "sortByType",
                     dlu::rect(84, 278, 30, 10));
    auto* group = new QButtonGroup(w);
    for (QRadioButton* b : {c.byName, c.byAddress, c.byType})
        group->addButton(b);

    c.infoLine = place(new QLabel(w), "infoLine", dlu::rect(2, 291, 98, 10));
    c.disableEditing = place(new QCheckBox(QStringLiteral("Disable Editing Binary"), w),
                             "disableEditing", dlu::rect(2, 303, 100, 10));

    auto* mouse =
        place(new QGroupBox(QStringLiteral("Mouse"), w), "mouseGroup", dlu::rect(121, 280, 73, 33));
    // Label rectangles are relative to the group box.
    c.mouseX =
        place(new QLabel(QStringLiteral("X: 00000.00"), mouse), "mouseX", dlu::rect(5, 10, 64, 9));
    c.mouseY =
        place(new QLabel(QStringLiteral("Y: 00000.00"), mouse), "mouseY", dlu::rect(5, 21, 64, 9));

    c.description = place(new QPlainTextEdit(w), "descriptionBox", dlu::rect(198, 284, 318, 29));
    c.description->setReadOnly(true);

    for (int k = 0; k < CommandCount; ++k) {
        const CommandText& t = kCommands[static_cast<std::size_t>(k)];
        c.commands[static_cast<std::size_t>(k)] =
            place(new QPushButton(QString::fromLatin1(t.label), w), t.objectName,
                  dlu::rect(2 + 43 * k, 318, 42, 14));
    }
    // Beside the list's caption, the one free place of the classic layout.
    c.valuesToggle = place(new QPushButton(QStringLiteral("&Values"), w), "valuesToggle",
                           dlu::rect(86, 1, 30, 10));
    c.valuesToggle->setCheckable(true);
    c.valuesToggle->setAutoDefault(false);
    c.valuesToggle->setToolTip(QStringLiteral("Show the values beside the graph (Ctrl+T)"));
    c.valuesPanel = place(new ValuesPanel(w), "valuesPanel", valuesRect());
    c.valuesPanel->hide();

    auto* load = c.commands[Load];
    load->setDefault(true);
    load->setAutoDefault(true);
    return c;
}

} // namespace tevra
