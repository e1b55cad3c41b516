#include "Application.h"
#include "DisclaimerDialog.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace tevra;

// The first start in a folder: the disclaimer and its marker file.
class StartupTest : public QObject {
    Q_OBJECT

private slots:
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
