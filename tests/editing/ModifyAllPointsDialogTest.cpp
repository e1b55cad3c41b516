// Modify All Points: the enable rule, the validation on OK and what each choice
// does to the entry.
#include "ModifyAllPointsDialog.h"

#include "../view/ViewFixture.h"
#include "ModalMessage.h"
#include "ScaleValues.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace tevra;
using tevra::testing::messageDuring;
using tevra::testing::OneEntry;

Q_DECLARE_METATYPE(tevra::EntryType)

namespace {

QLineEdit* field(const ModifyAllPointsDialog& d, const char* name) {
    return d.findChild<QLineEdit*>(QLatin1String(name));
}

QRadioButton* mode(const ModifyAllPointsDialog& d, const char* name) {
    return d.findChild<QRadioButton*>(QLatin1String(name));
}

// Which of X, Y, Z, flatten, add are enabled, as a string of 0 and 1.
QString enabled(const ModifyAllPointsDialog& d) {
    QString s;
    for (const char* name : {"xPercent", "yPercent", "zPercent", "flattenValue", "addValue"})
        s += field(d, name)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return s;
}

std::vector<int> bytesOf(const OneEntry& f, int n) {
    return f.bytes(n);
}

} // namespace

class ModifyAllPointsDialogTest : public QObject {
    Q_OBJECT

private slots:
    void opensWithScaleAndTheDefaults() {
        ModifyAllPointsDialog d(EntryType::Unsigned8Table, QStringLiteral("deg"));
        QCOMPARE(d.windowTitle(), QStringLiteral("Modify All Points"));
        QCOMPARE(d.size(), QSize(340, 115));
        QVERIFY(mode(d, "scale")->isChecked());
        QCOMPARE(field(d, "xPercent")->text(), QStringLiteral("100"));
        QCOMPARE(field(d, "flattenValue")->text(), QStringLiteral("100"));
        QCOMPARE(field(d, "addValue")->text(), QStringLiteral("0"));
        QCOMPARE(d.findChild<QLabel*>(QStringLiteral("flattenUnit"))->text(),
                 QStringLiteral("deg"));
        QCOMPARE(d.findChild<QLabel*>(QStringLiteral("addUnit"))->text(), QStringLiteral("deg"));
    }

    void enableRule_data() {
        QTest::addColumn<EntryType>("type");
        QTest::addColumn<QString>("radio");
        QTest::addColumn<QString>("expected"); // X Y Z flatten add
        QTest::newRow("table, scale") << EntryType::Unsigned16Table << "scale"
                                      << "11000";
        QTest::newRow("constant, scale") << EntryType::Constant8 << "scale"
                                         << "01000";
        QTest::newRow("constant16, scale") << EntryType::Constant16 << "scale"
                                           << "01000";
        QTest::newRow("3D, scale") << EntryType::Table3D << "scale"
                                   << "11100";
        QTest::newRow("3D, flatten") << EntryType::Table3D << "flatten"
                                     << "00010";
        QTest::newRow("table, add") << EntryType::Signed8Table << "add"
                                    << "00001";
        QTest::newRow("constant, back to scale") << EntryType::Constant8 << "scale"
                                                 << "01000";
    }
    void enableRule() {
        QFETCH(EntryType, type);
        QFETCH(QString, radio);
        QFETCH(QString, expected);
        ModifyAllPointsDialog d(type, QString());
        d.show();
        QTest::mouseClick(mode(d, "add"), Qt::LeftButton);
        QTest::mouseClick(mode(d, radio.toLatin1().constData()), Qt::LeftButton);
        QCOMPARE(enabled(d), expected);
    }

    void validationOnOk_data() {
        QTest::addColumn<QString>("radio");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message"); // empty: accepted
        const QString range = QStringLiteral("Please enter a number between 0 and 500.");
        const QString nan = QStringLiteral("Please enter a number.");
        QTest::newRow("500 is accepted") << "scale"
                                         << "yPercent"
                                         << "500" << QString();
        QTest::newRow("0 is accepted") << "scale"
                                       << "xPercent"
                                       << " 0 " << QString();
        QTest::newRow("500.1 is refused") << "scale"
                                          << "yPercent"
                                          << "500.1" << range;
        QTest::newRow("negative percent") << "scale"
                                          << "xPercent"
                                          << "-1" << range;
        QTest::newRow("empty") << "scale"
                               << "xPercent"
                               << "" << nan;
        QTest::newRow("letters") << "scale"
                                 << "zPercent"
                                 << "abc" << nan;
        QTest::newRow("trailing text") << "flatten"
                                       << "flattenValue"
                                       << "12 psi" << nan;
        QTest::newRow("comma") << "add"
                               << "addValue"
                               << "1,5" << nan;
        QTest::newRow("values have no range") << "add"
                                              << "addValue"
                                              << "-12345.5" << QString();
        // Disabled fields are still read and checked.
        QTest::newRow("600 under flatten") << "flatten"
                                           << "xPercent"
                                           << "600" << range;
        QTest::newRow("letters in disabled add") << "scale"
                                                 << "addValue"
                                                 << "x" << nan;
    }
    void validationOnOk() {
        QFETCH(QString, radio);
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, message);
        ModifyAllPointsDialog d(EntryType::Unsigned8Table, QString());
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QLineEdit* edited = field(d, name.toLatin1().constData());
        edited->setText(text);
        QTest::mouseClick(mode(d, radio.toLatin1().constData()), Qt::LeftButton);
        auto* ok = d.findChild<QPushButton*>(QStringLiteral("okButton"));
        QString caption;
        const QString shown = messageDuring([&] { ok->click(); }, &caption);
        QCOMPARE(shown, message);
        if (message.isEmpty()) {
            QCOMPARE(d.result(), int(QDialog::Accepted));
            QVERIFY(!d.isVisible());
        } else {
            QCOMPARE(caption, QCoreApplication::applicationName());
            QVERIFY(d.isVisible());
            QCOMPARE(d.result(), int(QDialog::Rejected));
            if (edited->isEnabled())
                QCOMPARE(d.focusWidget(), edited);
        }
    }

    void okReturnsEveryField() {
        ModifyAllPointsDialog d(EntryType::Table3D, QString());
        d.show();
        field(d, "xPercent")->setText(QStringLiteral("50"));
        field(d, "yPercent")->setText(QStringLiteral("1e2"));
        field(d, "zPercent")->setText(QStringLiteral("250.5"));
        field(d, "flattenValue")->setText(QStringLiteral("-3"));
        field(d, "addValue")->setText(QStringLiteral("7.25"));
        QTest::mouseClick(mode(d, "add"), Qt::LeftButton);
        QCOMPARE(messageDuring([&] { d.accept(); }), QString());
        const ScaleValues v = d.values();
        QCOMPARE(v.mode, int(ScaleValues::Add));
        QCOMPARE(v.xPercent, 50.0f);
        QCOMPARE(v.yPercent, 100.0f);
        QCOMPARE(v.zPercent, 250.5f);
        QCOMPARE(v.flattenValue, -3.0f);
        QCOMPARE(v.addValue, 7.25f);
    }

    // What the chosen operation does to the bytes, per kind of entry.
    void applyToEntries_data() {
        QTest::addColumn<EntryType>("type");
        QTest::addColumn<std::vector<int>>("bytes");
        QTest::addColumn<int>("mode");
        QTest::addColumn<float>("a"); // X percent or the flatten/add value
        QTest::addColumn<float>("b"); // Y percent
        QTest::addColumn<float>("z");
        QTest::addColumn<std::vector<int>>("expected");
        // Points (0,0) (128,64) (255,128) of an unsigned 8-bit table.
        const std::vector<int> t8{3, 0, 0, 0, 0, 128, 64, 0, 0, 255, 128, 0, 0};
        QTest::newRow("scale 100/100 recomputes the slopes")
            << EntryType::Unsigned8Table << t8 << 0 << 100.f << 100.f << 100.f
            << std::vector<int>{3, 0, 0, 0, 0x80, 128, 64, 0, 0x81, 255, 128, 0, 0};
        QTest::newRow("scale X 50 Y 200")
            << EntryType::Unsigned8Table << t8 << 0 << 50.f << 200.f << 100.f
            << std::vector<int>{3, 0, 0, 0x02, 0x00, 64, 128, 0x02, 0x04, 127, 255, 0, 0};
        QTest::newRow("add -3 stops at 0")
            << EntryType::Unsigned8Table << t8 << 2 << -3.f << 0.f << 0.f
            << std::vector<int>{3, 0, 0, 0, 0x7A, 128, 61, 0, 0x81, 255, 125, 0, 0};
        QTest::newRow("flatten 32")
            << EntryType::Unsigned8Table << t8 << 1 << 32.f << 0.f << 0.f
            << std::vector<int>{3, 0, 32, 0, 0, 128, 32, 0, 0, 255, 32, 0, 0};
        QTest::newRow("constant scale Y 50") << EntryType::Constant8 << std::vector<int>{0x65} << 0
                                             << 300.f << 50.f << 100.f << std::vector<int>{0x32};
        QTest::newRow("3D scale Z 200")
            << EntryType::Table3D << std::vector<int>{1, 3, 0xFF, 0x10, 0x50, 0xF0} << 0 << 10.f
            << 10.f << 200.f << std::vector<int>{1, 3, 0xFF, 0x20, 0x7F, 0xE0};
        QTest::newRow("3D flatten") << EntryType::Table3D << std::vector<int>{1, 2, 0, 5, 9} << 1
                                    << 300.f << 0.f << 0.f << std::vector<int>{1, 2, 0, 255, 255};
        QTest::newRow("3D add") << EntryType::Table3D << std::vector<int>{1, 2, 0, 5, 9} << 2
                                << -6.f << 0.f << 0.f << std::vector<int>{1, 2, 0, 0, 3};
    }
    void applyToEntries() {
        QFETCH(EntryType, type);
        QFETCH(std::vector<int>, bytes);
        QFETCH(int, mode);
        QFETCH(float, a);
        QFETCH(float, b);
        QFETCH(float, z);
        QFETCH(std::vector<int>, expected);
        OneEntry f(type, bytes);
        ScaleValues v;
        v.mode = mode;
        v.xPercent = a;
        v.yPercent = b;
        v.zPercent = z;
        v.flattenValue = a;
        v.addValue = a;
        applyScaleValues(*f.entry, v);
        QCOMPARE(bytesOf(f, static_cast<int>(expected.size())), expected);
        QVERIFY(f.cal.dataModified());
    }

    void applyChangesNothingWhileReadOnly() {
        OneEntry f(EntryType::Table3D, {1, 2, 0, 5, 9}, /*editable=*/false);
        ScaleValues v;
        v.mode = ScaleValues::Add;
        v.addValue = 1;
        applyScaleValues(*f.entry, v);
        QCOMPARE(f.bytes(5), (std::vector<int>{1, 2, 0, 5, 9}));
        QVERIFY(!f.cal.dataModified());
    }
};

QTEST_MAIN(ModifyAllPointsDialogTest)
#include "ModifyAllPointsDialogTest.moc"
