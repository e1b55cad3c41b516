#pragma once

#include "CellTextCache.h"
#include "GraphFonts.h"
#include "GraphGeometry.h"
#include "PictureFacts.h"

#include <QImage>
#include <QSize>
#include <QString>

class QPainter;

namespace tevra {

class CalEntry;
struct CurvePixels;

// Captions and ranges the picture labels its axes with. They follow the shown
// entry and stay as they were when the entry is taken away.
struct GraphAxes {
    QString xName = QStringLiteral("X");
    QString xUnit = QStringLiteral("X units");
    QString yName = QStringLiteral("Y");
    QString yUnit = QStringLiteral("Y units");
    QString xMinText = QStringLiteral("0");
    QString xMaxText = QStringLiteral("256");
    QString yMinText = QStringLiteral("0");
    QString yMaxText = QStringLiteral("256");
    AxisRanges ranges;
};

// The interaction state that decides some colours; owned by the control.
struct ViewState {
    int selectedPoint = -1; // red marker
    int cursorColumn = -1;  // white 3D cell
    int cursorRow = -1;
    bool focused = false; // solid guide lines beside a constant's bar
};

// Draws the picture of one entry (with an optional comparison entry) into any
// painter, so the control, the command-line renderer and the tests share it.
// The background layer (gradient, frame, grid dots, labels) depends only on the
// definitions and is cached in an off-screen image until invalidated; the
// values are drawn from the image bytes on every paint.
//
// Entries whose bytes do not lie wholly inside their image are not drawn at
// all (only the frame and labels show): a half-read table would show erased
// memory as if it were data.
class GraphPainter {
public:
    GraphPainter();

    void SetEntry(const CalEntry* entry);
    void SetSecondaryEntry(const CalEntry* entry);
    const CalEntry* entry() const { return primary_; }
    const CalEntry* secondaryEntry() const { return secondary_; }
    const GraphAxes& axes() const { return axes_; }

    void invalidateBackground() {
        backgroundStale_ = true;
        pictureStale_ = true;
    }
    bool backgroundStale() const { return backgroundStale_; }

    // Paints the whole picture for a client area of the given size (in logical
    // pixels); pixelRatio is the target's device pixel ratio.
    void paint(QPainter& painter, QSize size, const ViewState& state, qreal pixelRatio = 1.0);
    // Brings the cached picture up to date and returns the part of it (logical
    // pixels) that changed since the last call, empty when none did. A widget
    // repaints just that part.
    QRect prepare(QSize size, const ViewState& state, qreal pixelRatio = 1.0);
    // The cached picture after prepare, in device pixels.
    const QImage& picture(QSize size, const ViewState& state, qreal pixelRatio = 1.0);
    // Brings the cached background up to date for the size (paint does this too);
    // true when it had to be drawn again.
    bool renderBackground(QSize size, qreal pixelRatio = 1.0);

private:
    void drawBackgroundLabels(QPainter& p, const PlotRect& plot, int dx, int dy);
    PictureFacts factsFor(QSize size, const ViewState& state, qreal pixelRatio) const;
    // Draws the picture into p; with a valid clip only what lies in it.
    void drawPicture(QPainter& p, const PictureFacts& f, QRect clip);
    void drawCurve(QPainter& p, const CurvePixels& curve, bool comparison, bool sixteenBit,
                   int selected, QRect clip);
    void drawBar(QPainter& p, const PlotRect& plot, bool focused, int height);
    void drawBoxes(QPainter& p, const PlotRect& plot);
    void drawGrid(QPainter& p, const PictureFacts& f, QRect clip);
    void drawGridLabels(QPainter& p, const GridRect& g);

    const CalEntry* primary_ = nullptr;
    const CalEntry* secondary_ = nullptr;
    GraphAxes axes_;
    AxisRanges secondaryRanges_;
    GraphFonts fonts_;
    CellTextCache cellText_;
    QImage background_;
    bool backgroundStale_ = true;
    // Background and values as last painted, and what they were painted from.
    QImage picture_;
    PictureFacts facts_;
    bool pictureStale_ = true;
};

} // namespace tevra
