#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// tevra-cli render, run as a user runs it, on the committed demo calibration.
class RenderCommandTest : public QObject {
    Q_OBJECT

private slots:
    void render_data();
    void render();
    void fullDiskKeepsTheOldPicture();
    void valuesView();
};

void RenderCommandTest::render_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QSize>("size");
    QTest::newRow("default size") << QStringList{} << 0 << QSize(593, 450);
    QTest::newRow("own size") << QStringList{QStringLiteral("--size"), QStringLiteral("800x600")}
                              << 0 << QSize(800, 600);
    QTest::newRow("size too small")
        << QStringList{QStringLiteral("--size"), QStringLiteral("10x10")} << 2 << QSize();
    QTest::newRow("size not a pair")
        << QStringList{QStringLiteral("--size"), QStringLiteral("800")} << 2 << QSize();
    QTest::newRow("no such entry")
        << QStringList{QStringLiteral("--entry"), QStringLiteral("Nothing")} << 1 << QSize();
}

void RenderCommandTest::render() {
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(QSize, size);
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.png"));
    QProcess cli;
    // The last --entry wins, so a case can name another entry.
    cli.start(QStringLiteral(TEVRA_CLI),
              QStringList{QStringLiteral("render"),
                          QStringLiteral(TEVRA_SOURCE_DIR "/resources/demo/demo.bin"),
                          QStringLiteral("--entry"), QStringLiteral("fuel pulse width"),
                          QStringLiteral("-o"), out}
                  << options);
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), exitCode);
    if (exitCode != 0) {
        QVERIFY(!QFile::exists(out));
        return;
    }
    const QImage image(out);
    QCOMPARE(image.size(), size);
    // A 16-bit table: its green end marker sits on the plot's right edge.
    bool green = false;
    for (int y = 0; y < image.height() && !green; ++y)
        green = image.pixelColor(size.width() - 10 - 3, y) == QColor(0, 255, 0);
    QVERIFY(green);
}

void RenderCommandTest::fullDiskKeepsTheOldPicture() {
    // A file-size limit fails the write as a full disk does: a failure and the old
    // picture, never a truncated one with success.
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.png"));
    {
        QFile old(out);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    QProcess cli;
    cli.start(QStringLiteral("/bin/sh"),
              QStringList{QStringLiteral("-c"), QStringLiteral("ulimit -f 4; exec \"$0\" \"$@\""),
                          QStringLiteral(TEVRA_CLI), QStringLiteral("render"),
                          QStringLiteral(TEVRA_SOURCE_DIR "/resources/demo/demo.bin"),
                          QStringLiteral("--entry"), QStringLiteral("fuel pulse width"),
                          QStringLiteral("-o"), out});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
    QCOMPARE(cli.exitCode(), 1);
    QVERIFY(cli.readAllStandardError().contains("Cannot write the picture to"));
    QFile old(out);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("out.png")});
}

// The values view of the demo's 3D table: cells coloured from blue to red.
void RenderCommandTest::valuesView() {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("values.png"));
    QProcess cli;
    cli.start(QStringLiteral(TEVRA_CLI),
              QStringList{QStringLiteral("render"),
                          QStringLiteral(TEVRA_SOURCE_DIR "/resources/demo/demo.bin"),
                          QStringLiteral("--entry"), QStringLiteral("Volumetric Efficiency"),
                          QStringLiteral("--view"), QStringLiteral("values"),
                          QStringLiteral("--size"), QStringLiteral("700x300"), QStringLiteral("-o"),
                          out});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    const QImage image(out);
    QCOMPARE(image.size(), QSize(700, 300));
    bool blue = false, red = false;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            blue = blue || (c.hue() == 240 && c.saturation() > 100);
            red = red || (c.hue() == 0 && c.saturation() > 100);
        }
    }
    QVERIFY(blue);
    QVERIFY(red);

    cli.start(QStringLiteral(TEVRA_CLI),
              QStringList{QStringLiteral("render"),
                          QStringLiteral(TEVRA_SOURCE_DIR "/resources/demo/demo.bin"),
                          QStringLiteral("--entry"), QStringLiteral("Spark Advance"),
                          QStringLiteral("--view"), QStringLiteral("table"), QStringLiteral("-o"),
                          out});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 2);
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    RenderCommandTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "RenderCommandTest.moc"
