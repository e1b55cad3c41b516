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

#include <algorithm>

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

using Anchor = MainWindowControls::Anchor;

template <typename W>
W* place(MainWindowControls& c, W* widget, const char* name, QRect r,
         Anchor anchor = Anchor::Fixed) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(r);
    c.placements.push_back({widget, r, anchor});
    return widget;
}

// The values view takes a strip right of the window of the classic layout.
constexpr int kValuesWidth = 272;

} // namespace

void MainWindowControls::showProblemsLine(bool shown) {
    // The list keeps what the window's growth added to its height.
    for (Placement& p : placements) {
        if (p.widget != list)
            continue;
        const int grown = list->height() - p.classic.height();
        p.classic = dlu::rect(2, 12, 113, shown ? 248 : 259);
        QRect r = list->geometry();
        r.setHeight(p.classic.height() + grown);
        list->setGeometry(r);
    }
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
    place(c, new QLabel(QStringLiteral("Table/Constant List"), w), "listLabel",
          dlu::rect(21, 3, 63, 8));

    c.list =
        place(c, new QListWidget(w), "entryList", dlu::rect(2, 12, 113, 259), Anchor::GrowDown);
    c.list->setSelectionMode(QAbstractItemView::SingleSelection);
    c.list->setSortingEnabled(false);

    c.problems = place(c, new QPushButton(w), "definitionProblems", dlu::rect(2, 262, 113, 9),
                       Anchor::Bottom);
    c.problems->setFlat(true);
    c.problems->setAutoDefault(false);
    c.problems->setFocusPolicy(Qt::NoFocus);
    c.problems->setStyleSheet(QStringLiteral("text-align: left; color: #a00000;"));
    c.problems->hide();

    c.graph = place(c, new GraphWidget(w), "graph", dlu::rect(121, 3, 395, 277), Anchor::GrowBoth);

    c.byName = place(c, new QRadioButton(QStringLiteral("Name"), w), "sortByName",
                     dlu::rect(4, 278, 34, 10), Anchor::Bottom);
    c.byAddress = place(c, new QRadioButton(QStringLiteral("Address"), w), "sortByAddress",
                        dlu::rect(40, 278, 42, 10), Anchor::Bottom);
    c.byType = place(c, new QRadioButton(QStringLiteral("Type"), w), "sortByType",
                     dlu::rect(84, 278, 30, 10), Anchor::Bottom);
    auto* group = new QButtonGroup(w);
    for (QRadioButton* b : {c.byName, c.byAddress, c.byType})
        group->addButton(b);

    c.infoLine = place(c, new QLabel(w), "infoLine", dlu::rect(2, 291, 98, 10), Anchor::Bottom);
    c.disableEditing = place(c, new QCheckBox(QStringLiteral("Disable Editing Binary"), w),
                             "disableEditing", dlu::rect(2, 303, 100, 10), Anchor::Bottom);

    auto* mouse = place(c, new QGroupBox(QStringLiteral("Mouse"), w), "mouseGroup",
                        dlu::rect(121, 280, 73, 33), Anchor::Bottom);
    // Label rectangles are relative to the group box.
    c.mouseX = place(c, new QLabel(QStringLiteral("X: 00000.00"), mouse), "mouseX",
                     dlu::rect(5, 10, 64, 9));
    c.mouseY = place(c, new QLabel(QStringLiteral("Y: 00000.00"), mouse), "mouseY",
                     dlu::rect(5, 21, 64, 9));

    c.description = place(c, new QPlainTextEdit(w), "descriptionBox", dlu::rect(198, 284, 318, 29),
                          Anchor::BottomGrowRight);
    c.description->setReadOnly(true);

    for (int k = 0; k < CommandCount; ++k) {
        const CommandText& t = kCommands[static_cast<std::size_t>(k)];
        c.commands[static_cast<std::size_t>(k)] =
            place(c, new QPushButton(QString::fromLatin1(t.label), w), t.objectName,
                  dlu::rect(2 + 43 * k, 318, 42, 14), Anchor::Bottom);
    }
    // Beside the list's caption, the one free place of the classic layout.
    c.valuesToggle = place(c, new QPushButton(QStringLiteral("&Values"), w), "valuesToggle",
                           dlu::rect(86, 1, 30, 10));
    c.valuesToggle->setCheckable(true);
    c.valuesToggle->setAutoDefault(false);
    c.valuesToggle->setToolTip(QStringLiteral("Show the values beside the graph (Ctrl+T)"));
    // Not among the placements: arrange() gives it the strip right of the rest.
    c.valuesPanel = new ValuesPanel(w);
    c.valuesPanel->setObjectName(QStringLiteral("valuesPanel"));
    c.valuesPanel->setGeometry(valuesRect());
    c.valuesPanel->hide();

    auto* load = c.commands[Load];
    load->setDefault(true);
    load->setAutoDefault(true);
    return c;
}

QSize MainWindowControls::classicSize() {
    return dlu::size(520, 335);
}

void MainWindowControls::arrange(const QRect& whole) const {
    // The values view, while shown, keeps a strip of its own width on the right;
    // the classic controls grow into the rest.
    const bool values = valuesPanel && !valuesPanel->isHidden();
    const int strip = values ? valuesStripWidth() : 0;
    const QRect area = whole.adjusted(0, 0, -strip, 0);
    const QSize classic = classicSize();
    const int dx = std::max(area.width() - classic.width(), 0);
    const int dy = std::max(area.height() - classic.height(), 0);
    for (const Placement& p : placements) {
        QRect r = p.classic;
        switch (p.anchor) {
        case Anchor::Fixed:
            break;
        case Anchor::GrowDown:
            r.setHeight(r.height() + dy);
            break;
        case Anchor::GrowBoth:
            // From the size it really has at the classic size (the graph's minimum).
            r.setSize(r.size().expandedTo(p.widget->minimumSize()) + QSize(dx, dy));
            break;
        case Anchor::Bottom:
            r.translate(0, dy);
            break;
        case Anchor::BottomGrowRight:
            r.translate(0, dy);
            r.setWidth(r.width() + dx);
            break;
        }
        // Controls inside a group box keep their place in it.
        if (p.widget->parentWidget() && p.widget->parentWidget()->isWindow())
            r.translate(area.topLeft());
        p.widget->setGeometry(r);
    }
    if (values) {
        QRect r = valuesRect();
        r.translate(area.left() + std::max(area.width(), classic.width()) - classic.width(),
                    area.top());
        r.setHeight(r.height() + dy);
        valuesPanel->setGeometry(r);
    }
}

int MainWindowControls::valuesStripWidth() {
    return windowSize(true).width() - windowSize(false).width();
}

} // namespace tevra
