// tevra-cli render: the graph picture of one entry, or its values view, as an
// image file, drawn by the editor's own painters without a window.
#ifdef TEVRA_HAVE_VIEW

#include "AtomicFile.h"
#include "CliSupport.h"
#include "GraphGeometry.h"
#include "GraphPainter.h"
#include "ValuesPainter.h"

#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <memory>
#include <string>
#include <tuple>

namespace tevra::cli {
namespace {

struct Size {
    int width = kGraphWidth;
    int height = kGraphHeight;
};

int parseInt(const std::string& text, const std::string& option) {
    std::size_t used = 0;
    int v = 0;
    try {
        v = std::stoi(text, &used);
    } catch (...) {
        used = 0;
    }
    if (used == 0 || used != text.size())
        throw UsageProblem{option + " expects a whole number, not '" + text + "'"};
    return v;
}

// "A<sep>B" as two whole numbers.
std::pair<int, int> parsePair(const std::string& text, char sep, const std::string& option) {
    const auto at = text.find(sep);
    if (at == std::string::npos)
        throw UsageProblem{option + " expects two numbers separated by '" + sep + "'"};
    return {parseInt(text.substr(0, at), option), parseInt(text.substr(at + 1), option)};
}

// A painting needs a GUI application; this command brings its own, offscreen,
// so it runs on machines without a display.
std::unique_ptr<QGuiApplication> offscreenApplication() {
    if (QGuiApplication::instance())
        return nullptr;
    static int argc = 3;
    static char name[] = "tevra-cli";
    static char platformOption[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, platformOption, platform, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

int run(const std::vector<std::string>& words) {
    auto valued = kOpenValued;
    valued.insert({"--entry", "-o", "--compare", "--size", "--selected", "--cursor", "--view"});
    auto flags = kOpenFlags;
    flags.insert({"--focus", "--raw"});
    Args args(words, valued, flags);
    if (args.positional().size() != 1 || !args.has("--entry") || !args.has("-o"))
        throw UsageProblem{"expected IMAGE --entry NAME -o OUT.png"};
    Size size;
    if (args.has("--size")) {
        const std::string s = args.value("--size");
        const auto [w, h] =
            parsePair(s.find('x') != std::string::npos ? s : s + "?", 'x', "--size");
        if (w < 64 || h < 64 || w > 4096 || h > 4096)
            throw UsageProblem{"--size lies between 64x64 and 4096x4096"};
        size = {w, h};
    }
    const std::string view = args.has("--view") ? args.value("--view") : "graph";
    if (view != "graph" && view != "values")
        throw UsageProblem{"--view is graph or values, not '" + view + "'"};
    ViewState state;
    state.focused = args.has("--focus");
    if (args.has("--selected"))
        state.selectedPoint = parseInt(args.value("--selected"), "--selected");
    if (args.has("--cursor"))
        std::tie(state.cursorColumn, state.cursorRow) =
            parsePair(args.value("--cursor"), ',', "--cursor");

    OpenedCalibration opened(args.has("--yes"));
    if (!openCalibration(opened, args.positional()[0], args))
        return Failure;
    const CalEntry* entry = opened.calibration.FindByName(args.value("--entry"), nullptr);
    if (!entry) {
        opened.prompter.message("No entry named \"" + args.value("--entry") + "\".", "Error");
        return Failure;
    }
    // The comparison is matched by name as the editor matches it; a missing one
    // is not an error, the picture just has no comparison curve.
    std::unique_ptr<OpenedCalibration> other;
    const CalEntry* comparison = nullptr;
    if (args.has("--compare")) {
        other = std::make_unique<OpenedCalibration>(args.has("--yes"));
        if (!openCalibration(*other, args.value("--compare"), args))
            return Failure;
        other->calibration.readOnly = true;
        comparison = other->calibration.FindByName(entry->name, nullptr);
    }

    const auto app = offscreenApplication();
    GraphPainter painter;
    painter.SetEntry(entry);
    painter.SetSecondaryEntry(comparison);
    QImage image(size.width, size.height, QImage::Format_RGB32);
    if (view == "values") {
        // The view's cursor is the graph's selected point or cell cursor.
        ValuesPainter values;
        values.SetEntry(entry);
        ValuesViewState valuesState;
        valuesState.showRaw = args.has("--raw");
        if (isTable2D(entry->type) && state.selectedPoint >= 0) {
            valuesState.cursorColumn = 1;
            valuesState.cursorRow = state.selectedPoint;
        } else if (state.cursorColumn >= 0) {
            valuesState.cursorColumn = state.cursorColumn;
            valuesState.cursorRow = state.cursorRow;
        }
        QPainter p(&image);
        values.paint(p, image.size(), valuesState);
    } else {
        QPainter p(&image);
        painter.paint(p, image.size(), state);
    }
    // Encoded in memory and written as every save is, so a full disk leaves the
    // old picture and a failure, never a truncated file.
    const std::string& out = args.value("-o");
    const QByteArray format =
        QFileInfo(QString::fromLocal8Bit(out.c_str())).suffix().toLower().toLatin1();
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    if (format.isEmpty() || !image.save(&buffer, format.constData()) ||
        !AtomicFile::write(
            out, std::string_view(encoded.constData(), static_cast<std::size_t>(encoded.size())))) {
        opened.prompter.message("Cannot write the picture to \"" + out + "\".", "Error");
        return Failure;
    }
    return Success;
}

const CommandRegistration registration{
    {"render",
     "render IMAGE --entry NAME -o OUT.png [--view graph|values] [--compare OTHER] [--size WxH] "
     "[--focus] [--selected N] [--cursor C,R] [--raw] [--library DIR] [--yes]",
     run}};

} // namespace
} // namespace tevra::cli

#endif
