#include "Application.h"
#include "DisclaimerDialog.h"
#include "Settings.h"
#include "WorkingFolder.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace tevra;

namespace {
void write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
QByteArray read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

// The first start in a folder: the disclaimer and its marker file; and which
// folder that is.
class StartupTest : public QObject {
    Q_OBJECT

private slots:
    // Only a folder already set up is worked in as it is; the home folder a
    // desktop menu starts in is not.
    void theFolderIsTheOneAskedForOrOneAlreadySetUpOrThePerUserOne() {
        QTemporaryDir setUp;
        QTemporaryDir bare;
        write(setUp.filePath(QStringLiteral("Config.cfg")), "x.bin\n");
        const QString perUser = QStringLiteral("/per-user/Tevra");
        QCOMPARE(WorkingFolder::choose({}, setUp.path(), perUser),
                 QDir(setUp.path()).absolutePath());
        QCOMPARE(WorkingFolder::choose({}, bare.path(), perUser), perUser);
        QCOMPARE(WorkingFolder::choose({}, bare.filePath(QStringLiteral("gone")), perUser),
                 perUser);
        QCOMPARE(WorkingFolder::choose(bare.path(), setUp.path(), perUser),
                 QDir(bare.path()).absolutePath());
    }

    void aNewFolderGetsTheHelpPageTheLibraryAndTheDemoToOpen() {
        QTemporaryDir data;
        QDir(data.path()).mkpath(QStringLiteral("help"));
        QDir(data.path()).mkpath(QStringLiteral("demo"));
        write(data.filePath(QStringLiteral("help/help.html")), "<html>help</html>");
        write(data.filePath(QStringLiteral("demo/demo.bin")), "BIN");
        write(data.filePath(QStringLiteral("demo/demo.tbl")), "TBL");
        QFile::setPermissions(data.filePath(QStringLiteral("demo/demo.bin")),
                              QFileDevice::ReadOwner | QFileDevice::ReadOther);

        QTemporaryDir home;
        const QString folder = home.filePath(QStringLiteral("share/Tevra"));
        QString error;
        QVERIFY(WorkingFolder::prepare(folder, data.path(), &error));
        const QDir made(folder);
        QVERIFY(made.exists(QStringLiteral("Library")));
        QCOMPARE(read(made.filePath(QStringLiteral("Help/help.html"))),
                 QByteArray("<html>help</html>"));
        QCOMPARE(read(made.filePath(QStringLiteral("demo.bin"))), QByteArray("BIN"));
        QVERIFY(QFile::permissions(made.filePath(QStringLiteral("demo.bin"))) &
                QFileDevice::WriteOwner);
        const auto settings =
            Settings::load(made.filePath(QStringLiteral("Config.cfg")).toStdString());
        QVERIFY(settings);
        QCOMPARE(QString::fromStdString(settings->lastPath),
                 QDir::toNativeSeparators(made.filePath(QStringLiteral("demo.bin"))));
        QVERIFY(settings->reloadLast);

        // The next start keeps what the user made of it; only the help page follows the program.
        write(made.filePath(QStringLiteral("Config.cfg")), "mine.bin\n");
        QFile::remove(made.filePath(QStringLiteral("demo.bin")));
        write(data.filePath(QStringLiteral("help/help.html")), "<html>new help</html>");
        QVERIFY(WorkingFolder::prepare(folder, data.path(), &error));
        QCOMPARE(read(made.filePath(QStringLiteral("Config.cfg"))), QByteArray("mine.bin\n"));
        QVERIFY(!made.exists(QStringLiteral("demo.bin")));
        QCOMPARE(read(made.filePath(QStringLiteral("Help/help.html"))),
                 QByteArray("<html>new help</html>"));
    }

    void aFolderThatCannotBeMadeIsReported() {
        QTemporaryDir dir;
        write(dir.filePath(QStringLiteral("file")), "x");
        QString error;
        QVERIFY(
            !WorkingFolder::prepare(dir.filePath(QStringLiteral("file/sub")), dir.path(), &error));
        QVERIFY(error.contains(QStringLiteral("file/sub")));
    }

    void agreeingCreatesTheMarkerAndIsNotAskedAgain() {
        QTemporaryDir dir;
        Application app(dir.path());
        int asked = 0;
        app.setDisclaimerQuestion([&] {
            ++asked;
            return true;
        });
        QVERIFY(app.passDisclaimer());
        QFile marker(dir.filePath(QStringLiteral("Disclaimer.txt")));
        QVERIFY(marker.open(QIODevice::ReadOnly));
        QCOMPARE(marker.readAll(), QByteArray("Disclaimer was agreed to.\n"));

        QVERIFY(app.passDisclaimer());
        QCOMPARE(asked, 1);
    }

    void notAgreeingEndsTheProgramWithoutAMarker() {
        QTemporaryDir dir;
        Application app(dir.path());
        app.setDisclaimerQuestion([] { return false; });
        QVERIFY(!app.passDisclaimer());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("Disclaimer.txt"))));
    }

    void aMarkerThatCannotBeWrittenEndsTheProgram() {
        QTemporaryDir dir;
        Application app(dir.filePath(QStringLiteral("missing-folder")));
        app.setDisclaimerQuestion([] { return true; });
        QVERIFY(!app.passDisclaimer());
    }

    void theDialogShowsTheTextsInOrderAndAnswersByItsButtons() {
        DisclaimerDialog d;
        QCOMPARE(d.windowTitle(), QStringLiteral("WARNING"));
        QCOMPARE(d.size(), QSize(453, 380));
        d.show(); // lays the labels out
        const QStringList starts{
            QStringLiteral("WARNING! This software"),
            QStringLiteral("Misuse of this"),
            QStringLiteral("DISCLAIMER OF WARRANTIES AND LIMITATION ON LIABILITY."),
            QStringLiteral("NO WARRANTY. THIS SOFTWARE IS PROVIDED \"AS IS\"."),
            QStringLiteral("NO LIABILITY."),
            QStringLiteral("BUSINESS INTERRUPTION,"),
            QStringLiteral("I HEREBY ABSOLVE")};
        int previousY = -1;
        for (int k = 0; k < starts.size(); ++k) {
            auto* label = d.findChild<QLabel*>(QStringLiteral("disclaimerText%1").arg(k + 1));
            QVERIFY(label);
            QVERIFY2(label->text().startsWith(starts[k]), qPrintable(label->text()));
            QVERIFY(label->y() > previousY);
            previousY = label->y();
        }
        QVERIFY(d.findChild<QLabel*>(QStringLiteral("disclaimerText2"))
                    ->text()
                    .endsWith(QStringLiteral("loss of life. ")));

        auto* agree = d.findChild<QPushButton*>(QStringLiteral("agreeButton"));
        auto* disagree = d.findChild<QPushButton*>(QStringLiteral("disagreeButton"));
        QCOMPARE(agree->text(), QStringLiteral("I Agree"));
        QVERIFY(agree->isDefault());
        QCOMPARE(disagree->text(), QStringLiteral("I Do Not Agree"));

        d.show();
        QTest::mouseClick(disagree, Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Rejected));
        d.show();
        QTest::keyClick(&d, Qt::Key_Escape);
        QCOMPARE(d.result(), int(QDialog::Rejected));
        d.show();
        QTest::mouseClick(agree, Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
