// Each dialog driven through its controls: what it shows for the values it is
// given, what its buttons change, and what it hands back.

#include "BitNamesDialog.h"
#include "CalibrationDataDialog.h"
#include "EntryPropertiesDialog.h"
#include "OptionsDialog.h"
#include "SaveDialog.h"
#include "ScanDialog.h"
#include "ScriptedPrompter.h"
#include "ValueNamesDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

using namespace tevra;

namespace {

template <typename T = QWidget> T* child(QWidget& dialog, const QString& name) {
    T* w = dialog.findChild<T*>(name);
    if (!w)
        qFatal("no control %s", qPrintable(name));
    return w;
}
QLineEdit* edit(QWidget& d, const char* name) {
    return child<QLineEdit>(d, QString::fromLatin1(name));
}
QPushButton* button(QWidget& d, const char* name) {
    return child<QPushButton>(d, QString::fromLatin1(name));
}
QRadioButton* radio(QWidget& d, const QString& name) {
    return child<QRadioButton>(d, name);
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    // ---------------------------------------------------------------- Calibration Data
    void calDataShowsTheNewCalibrationDefaults() {
        test::ScriptedPrompter prompter;
        CalDataValues v;
        v.baseAddress = "";
        CalibrationDataDialog d(v, prompter);
        QCOMPARE(d.windowTitle(), QStringLiteral("Calibration Data"));
        QCOMPARE(edit(d, "descriptionEdit")->text(), QStringLiteral("Tevra Calibration"));
        QCOMPARE(edit(d, "authorEdit")->text(), QStringLiteral("Tevra"));
        QCOMPARE(edit(d, "baseAddressEdit")->text(), QStringLiteral("C000"));
        QCOMPARE(edit(d, "injectorSizeEdit")->text(), QStringLiteral("33"));
        QCOMPARE(edit(d, "maxBoostEdit")->text(), QStringLiteral("12"));
        QVERIFY(radio(d, QStringLiteral("mapType2"))->isChecked());
        QVERIFY(!child<QCheckBox>(d, QStringLiteral("checksumEnabledBox"))->isChecked());
        for (const char* name : {"checksumAddressEdit", "fixupAddressEdit"}) {
            QVERIFY(edit(d, name)->text().isEmpty());
            QVERIFY(!edit(d, name)->isEnabled());
        }
        child<QCheckBox>(d, QStringLiteral("checksumEnabledBox"))->click();
        QVERIFY(edit(d, "checksumAddressEdit")->isEnabled());
        QVERIFY(edit(d, "fixupAddressEdit")->isEnabled());
        child<QCheckBox>(d, QStringLiteral("checksumEnabledBox"))->click();
        QVERIFY(!edit(d, "fixupAddressEdit")->isEnabled());
    }

    void calDataSelectsTheMapTypeButton_data() {
        QTest::addColumn<float>("mapType");
        QTest::addColumn<QString>("checked"); // empty: none
        QTest::addColumn<float>("afterOk");
        QTest::newRow("2.0") << 2.0f << QStringLiteral("mapType2") << 2.0f;
        QTest::newRow("2.7 shows 2.5 Bar") << 2.7f << QStringLiteral("mapType25") << 2.5f;
        QTest::newRow("3.0") << 3.0f << QStringLiteral("mapType3") << 3.0f;
        QTest::newRow("3.5 none, kept") << 3.5f << QString() << 3.5f;
    }
    void calDataSelectsTheMapTypeButton() {
        QFETCH(float, mapType);
        QFETCH(QString, checked);
        QFETCH(float, afterOk);
        test::ScriptedPrompter prompter;
        CalDataValues v;
        v.mapType = mapType;
        CalibrationDataDialog d(v, prompter);
        for (const char* name : {"mapType2", "mapType25", "mapType3"})
            QCOMPARE(radio(d, QString::fromLatin1(name))->isChecked(),
                     checked == QLatin1String(name));
        button(d, "okButton")->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(d.values().mapType, afterOk);
    }

    void calDataRefusesBadNumbers_data() {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("boost");
        QTest::addColumn<QString>("injector");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::addColumn<QString>("focused");
        const char* const range0to100 = "Please enter a number between 0 and 100.";
        const struct {
            const char *tag, *base, *boost, *injector, *message, *focused;
        } rows[] = {
            {"boost 100", "C000", "100", "33", "", ""},
            {"blanks around", "C000", " 0 ", " 127 ", "", ""},
            {"boost 100.5", "C000", "100.5", "33", range0to100, "maxBoostEdit"},
            {"12 psi", "C000", "12 psi", "33", "Please enter a number.", "maxBoostEdit"},
            {"injector 14.9", "C000", "12", "14.9", "Please enter a number between 15 and 127.",
             "injectorSizeEdit"},
            {"both bad, boost first", "C000", "x", "200", "Please enter a number.", "maxBoostEdit"},
            {"base past the end, first", "C100", "x", "33",
             "Please enter a base address between 0000 and C000.", "baseAddressEdit"},
        };
        for (const auto& r : rows)
            QTest::newRow(r.tag) << QString::fromLatin1(r.base) << QString::fromLatin1(r.boost)
                                 << QString::fromLatin1(r.injector)
                                 << QString::fromLatin1(r.message)
                                 << QString::fromLatin1(r.focused);
    }
    void calDataRefusesBadNumbers() {
        QFETCH(QString, base);
        QFETCH(QString, boost);
        QFETCH(QString, injector);
        QFETCH(QString, message);
        QFETCH(QString, focused);
        test::ScriptedPrompter prompter;
        CalDataValues v;
        v.imageLength = 0x4000;
        CalibrationDataDialog d(v, prompter);
        d.show();
        edit(d, "baseAddressEdit")->setText(base);
        edit(d, "maxBoostEdit")->setText(boost);
        edit(d, "injectorSizeEdit")->setText(injector);
        edit(d, "authorEdit")->setText(QStringLiteral("typed"));
        edit(d, "descriptionEdit")->setFocus();
        button(d, "okButton")->click();
        if (message.isEmpty()) {
            QVERIFY(prompter.shown.empty());
            QCOMPARE(d.result(), int(QDialog::Accepted));
            QCOMPARE(d.values().maxBoost, boost.trimmed().toFloat());
            QCOMPARE(d.values().author, std::string("typed"));
            return;
        }
        QVERIFY(d.isVisible());
        QCOMPARE(prompter.shown.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(prompter.shown[0].text), message);
        QCOMPARE(prompter.shown[0].caption, std::string("Tevra"));
        QCOMPARE(d.focusWidget()->objectName(), focused);
        // The typed texts stay for the user to correct.
        QCOMPARE(edit(d, "authorEdit")->text(), QStringLiteral("typed"));
    }

    void calDataReturnsWhatWasTyped() {
        test::ScriptedPrompter prompter;
        CalDataValues v;
        v.baseAddress = "8000";
        v.checksumEnabled = true;
        v.checksumAddress = "FFE0";
        v.fixupAddress = "FFDF";
        CalibrationDataDialog d(v, prompter);
        QCOMPARE(edit(d, "checksumAddressEdit")->text(), QStringLiteral("FFE0"));
        QVERIFY(edit(d, "checksumAddressEdit")->isEnabled());
        edit(d, "checksumAddressEdit")->clear();
        edit(d, "baseAddressEdit")->setText(QStringLiteral("0x4000"));
        edit(d, "injectorSizeEdit")->setText(QStringLiteral("42.5"));
        radio(d, QStringLiteral("mapType25"))->click();
        button(d, "okButton")->click();
        const CalDataValues& out = d.values();
        QCOMPARE(out.checksumAddress, std::string());
        QCOMPARE(out.fixupAddress, std::string("FFDF"));
        QCOMPARE(out.baseAddress, std::string("0x4000"));
        QCOMPARE(out.injectorSize, 42.5f);
        QCOMPARE(out.mapType, 2.5f);
        QVERIFY(out.checksumEnabled);
    }

    // ---------------------------------------------------------------- Save Calibration
    void saveNameDecidesTheBoxesAndOk_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("checked"); // both boxes after typing
        QTest::addColumn<bool>("accepted");
        QTest::newRow("txt") << "C:\\cals\\new.txt" << false << false;
        QTest::newRow("s19") << "C:\\cals\\new.s19" << true << true;
        QTest::newRow("bin inside") << "C:\\cals\\my.bin.old" << true << true;
        QTest::newRow("upper BIN") << "/cals/NEW.BIN" << true << true;
        QTest::newRow("empty") << "" << false << false;
    }
    void saveNameDecidesTheBoxesAndOk() {
        QFETCH(QString, typed);
        QFETCH(bool, checked);
        QFETCH(bool, accepted);
        // Opened on a name without an extension: the boxes show the flags as given.
        SaveDialog d(SaveValues{"/cals/stock", false, true, true});
        QCOMPARE(d.windowTitle(), QStringLiteral("Save Calibration"));
        auto* binary = child<QCheckBox>(d, QStringLiteral("saveBinaryBox"));
        auto* tables = child<QCheckBox>(d, QStringLiteral("saveTablesBox"));
        auto* current = child<QCheckBox>(d, QStringLiteral("makeCurrentBox"));
        QVERIFY(!binary->isChecked());
        QVERIFY(tables->isChecked());
        QVERIFY(!binary->isEnabled() && !tables->isEnabled());
        QVERIFY(!current->isChecked()); // cleared at every open
        d.show();
        edit(d, "nameEdit")->clear();
        QTest::keyClicks(edit(d, "nameEdit"), typed);
        QCOMPARE(binary->isChecked(), checked);
        QVERIFY(tables->isChecked());
        current->click();
        button(d, "okButton")->click();
        QCOMPARE(d.result() == QDialog::Accepted, accepted);
        QCOMPARE(d.isVisible(), !accepted);
        if (accepted) {
            QCOMPARE(d.values().name, typed.toStdString());
            QVERIFY(d.values().saveBinary && d.values().saveTables && d.values().makeCurrentEdit);
        }
    }

    void saveOpenedOnAnImageNameChecksBoth() {
        SaveDialog d(SaveValues{"C:\\cals\\stock.BIN", false, true, false});
        QVERIFY(child<QCheckBox>(d, QStringLiteral("saveBinaryBox"))->isChecked());
        QVERIFY(child<QCheckBox>(d, QStringLiteral("saveTablesBox"))->isChecked());
    }

    // ---------------------------------------------------------------- Options
    void optionsShowAndReturnTheSettings() {
        QString answer;
        int asked = 0;
        OptionsDialog d(OptionsValues{true, false, "/cals/other.bin", 100}, [&] {
            ++asked;
            return answer;
        });
        QCOMPARE(d.windowTitle(), QStringLiteral("Options"));
        auto* slider = child<QSlider>(d, QStringLiteral("flashSpeedSlider"));
        QCOMPARE(slider->value(), 100);
        QCOMPARE(slider->minimum(), 0);
        QCOMPARE(slider->maximum(), 100);
        QCOMPARE(slider->tickInterval(), 10);
        QCOMPARE(slider->tickPosition(), QSlider::TicksBothSides);
        QVERIFY(child<QCheckBox>(d, QStringLiteral("reloadLastBox"))->isChecked());
        QCOMPARE(child<QCheckBox>(d, QStringLiteral("hideMouseBox"))->text(),
                 QStringLiteral("&Hide Mouse Pointer"));
        QCOMPARE(edit(d, "comparisonPathEdit")->text(), QStringLiteral("/cals/other.bin"));

        button(d, "browseButton")->click(); // cancelled: the path stays
        QCOMPARE(edit(d, "comparisonPathEdit")->text(), QStringLiteral("/cals/other.bin"));
        answer = QStringLiteral("/cals/chosen.s19");
        button(d, "browseButton")->click();
        QCOMPARE(asked, 2);
        QCOMPARE(edit(d, "comparisonPathEdit")->text(), answer);

        child<QCheckBox>(d, QStringLiteral("reloadLastBox"))->click();
        child<QCheckBox>(d, QStringLiteral("hideMouseBox"))->click();
        slider->setValue(30);
        button(d, "okButton")->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(!d.values().reloadLast);
        QVERIFY(d.values().hideMouse);
        QCOMPARE(d.values().comparisonPath, std::string("/cals/chosen.s19"));
        QCOMPARE(d.values().flashSpeed, 30);
    }

    // ---------------------------------------------------------------- field dialogs
    void bitfieldReturnsTheTextsAsTyped() {
        BitNamesDialog::Names names;
        names.fill("Unused");
        BitNamesDialog d(names);
        QCOMPARE(d.windowTitle(), QStringLiteral("Bitfield Definitions"));
        QCOMPARE(edit(d, "bitEdit7")->text(), QStringLiteral("Unused"));
        QVERIFY(d.findChildren<QLabel*>().size() == 8);
        edit(d, "bitEdit0")->clear();
        edit(d, "bitEdit2")->setText(QStringLiteral("Fan"));
        button(d, "okButton")->click();
        QCOMPARE(d.names()[0], std::string());
        QCOMPARE(d.names()[2], std::string("Fan"));
    }

    void valueListReturnsTheTextsAsTyped() {
        ValueListTexts texts;
        texts.values[1] = "01";
        texts.descriptions[1] = "On";
        ValueNamesDialog d(texts);
        QCOMPARE(d.windowTitle(), QStringLiteral("Value List Properties"));
        QCOMPARE(edit(d, "valueEdit1")->text(), QStringLiteral("01"));
        QCOMPARE(edit(d, "valueDescriptionEdit1")->text(), QStringLiteral("On"));
        edit(d, "valueEdit1")->setText(QStringLiteral("1FF"));
        button(d, "okButton")->click();
        QCOMPARE(d.texts().values[1], std::string("1FF"));
    }

    // ---------------------------------------------------------------- Data Properties
    void propertiesOpensOnANewEntry() {
        EntryPropertiesDialog d{PropertiesValues{}};
        QCOMPARE(d.windowTitle(), QStringLiteral("Data Properties"));
        const std::pair<const char*, const char*> texts[] = {
            {"nameEdit", "New Table"}, {"hexAddressEdit", "C000"}, {"chryslerNameEdit", "NAME"},
            {"xNameEdit", "IN"},       {"xUnitEdit", "X"},         {"xMinEdit", "0"},
            {"xMaxEdit", "255"},       {"yNameEdit", "OUT"},       {"yUnitEdit", "Y"},
            {"yMinEdit", "0"},         {"yMaxEdit", "255"}};
        for (auto [name, text] : texts)
            QCOMPARE(edit(d, name)->text(), QString::fromLatin1(text));
        QCOMPARE(child<QPlainTextEdit>(d, QStringLiteral("descriptionEdit"))->toPlainText(),
                 QStringLiteral("Description"));
        QVERIFY(radio(d, QStringLiteral("typeButton0"))->isChecked());
        auto* quick = child<QComboBox>(d, QStringLiteral("quickSetBox"));
        QCOMPARE(quick->count(), 14);
        QCOMPARE(quick->currentText(), QStringLiteral("No Change"));
        QCOMPARE(quick->itemText(8), QStringLiteral("Y = Factor 0.0 - 1.0"));
        QVERIFY(!button(d, "defineFieldsButton")->isEnabled());
    }

    void propertiesDefineFieldsFollowsTheType() {
        EntryPropertiesDialog d{PropertiesValues{}};
        const std::pair<int, bool> steps[] = {{5, true},  {7, false}, {6, true}, {8, false},
                                              {1, false}, {5, true},  {3, false}};
        for (auto [type, enabled] : steps) {
            radio(d, QStringLiteral("typeButton%1").arg(type))->click();
            QCOMPARE(button(d, "defineFieldsButton")->isEnabled(), enabled);
        }
    }

    void propertiesQuickSetKeepsTheOtherTyping() {
        EntryPropertiesDialog d{PropertiesValues{}};
        edit(d, "nameEdit")->setText(QStringLiteral("Spark"));
        edit(d, "yNameEdit")->setText(QStringLiteral("typed"));
        auto* quick = child<QComboBox>(d, QStringLiteral("quickSetBox"));
        quick->setCurrentIndex(3);
        emit quick->activated(3); // "X = RPM"
        QCOMPARE(edit(d, "xNameEdit")->text(), QStringLiteral("RPM"));
        QCOMPARE(edit(d, "xUnitEdit")->text(), QStringLiteral("rpm"));
        QCOMPARE(edit(d, "xMaxEdit")->text(), QStringLiteral("8192"));
        QCOMPARE(edit(d, "nameEdit")->text(), QStringLiteral("Spark"));
        QCOMPARE(edit(d, "yNameEdit")->text(), QStringLiteral("typed"));
        QCOMPARE(quick->currentText(), QStringLiteral("X = RPM"));
        quick->setCurrentIndex(8);
        emit quick->activated(8);
        QCOMPARE(edit(d, "yUnitEdit")->text(), QStringLiteral("%%"));
    }

    void propertiesOkReadsEverything() {
        PropertiesValues v;
        v.type = EntryType::Constant16;
        EntryPropertiesDialog d{v};
        QVERIFY(radio(d, QStringLiteral("typeButton4"))->isChecked());
        radio(d, QStringLiteral("typeButton7"))->click();
        edit(d, "hexAddressEdit")->setText(QStringLiteral("C1A4"));
        child<QPlainTextEdit>(d, QStringLiteral("descriptionEdit"))
            ->setPlainText(QString(800, QLatin1Char('d')));
        button(d, "okButton")->click();
        const PropertiesResult& r = d.result();
        QVERIFY(r.accepted);
        QCOMPARE(r.navigationStep, 0);
        QCOMPARE(r.values.type, EntryType::Table3D);
        QCOMPARE(r.values.hexAddress, std::string("C1A4"));
        QCOMPARE(r.values.description.size(), std::size_t{750});
    }

    void propertiesNavigationEndsAsCancelled_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("step");
        QTest::newRow("next") << "nextButton" << 1;
        QTest::newRow("prev") << "prevButton" << -1;
        QTest::newRow("cancel") << "cancelButton" << 0;
    }
    void propertiesNavigationEndsAsCancelled() {
        QFETCH(QString, button);
        QFETCH(int, step);
        EntryPropertiesDialog d{PropertiesValues{}};
        d.show();
        child<QPushButton>(d, button)->click();
        QVERIFY(!d.isVisible());
        QVERIFY(!d.result().accepted);
        QCOMPARE(d.result().navigationStep, step);
    }

    void propertiesTypeOutsideTheButtonsIsKept() {
        PropertiesValues v;
        v.type = static_cast<EntryType>(42);
        EntryPropertiesDialog d{v};
        for (int k = 0; k < 9; ++k)
            QVERIFY(!radio(d, QStringLiteral("typeButton%1").arg(k))->isChecked());
        button(d, "okButton")->click();
        QCOMPARE(static_cast<int>(d.result().values.type), 42);
    }

    void propertiesDefineFieldsForAFlagByte() {
        PropertiesValues v;
        v.type = EntryType::FlagByte;
        v.itemNames.fill("Unused");
        std::array<std::string, 8> shown;
        std::optional<std::array<std::string, 8>> answer;
        EntryPropertiesDialog::FieldDialogs fields;
        fields.bitfield = [&](const std::array<std::string, 8>& names) {
            shown = names;
            return answer;
        };
        EntryPropertiesDialog d(v, fields);
        button(d, "defineFieldsButton")->click(); // cancelled
        QCOMPARE(shown[0], std::string("Unused"));
        answer = std::array<std::string, 8>{"Fan", "", "", "", "", "", "", "AC"};
        button(d, "defineFieldsButton")->click();
        button(d, "okButton")->click();
        const auto& names = d.result().values.itemNames;
        QCOMPARE(names[0], std::string("Fan"));
        QCOMPARE(names[3], std::string("Bit 3"));
        QCOMPARE(names[7], std::string("AC"));
    }

    void propertiesDefineFieldsForAValueList() {
        PropertiesValues v;
        v.type = EntryType::ValueList;
        v.itemValues = {0, 1, 2, 3, 0x10, 0x20, 0x40, 200};
        v.itemNames.fill("Unused");
        ValueListTexts shown;
        EntryPropertiesDialog::FieldDialogs fields;
        fields.valueList = [&](const ValueListTexts& t) {
            shown = t;
            ValueListTexts typed = t;
            typed.values[0] = "1FF";
            typed.values[1] = "7g";
            typed.values[2] = "xyz";
            typed.descriptions[5] = "";
            return std::optional<ValueListTexts>(typed);
        };
        EntryPropertiesDialog d(v, fields);
        button(d, "defineFieldsButton")->click();
        QCOMPARE(shown.values[7], std::string("C8"));
        QCOMPARE(shown.values[0], std::string("00"));
        button(d, "okButton")->click();
        const PropertiesValues& out = d.result().values;
        QCOMPARE(out.itemValues[0], 0xFF);
        QCOMPARE(out.itemValues[1], 7);
        QCOMPARE(out.itemValues[2], 2);
        QCOMPARE(out.itemNames[5], std::string("Value 5"));
    }

    // ---------------------------------------------------------------- Scan For Tables
    void scanEnablesTheCrossIdentifyControlsWithItsChoice() {
        QString answer = QStringLiteral("/cals/known.bin");
        ScanDialog d(ScanValues{}, [&] { return answer; });
        QCOMPARE(d.windowTitle(), QStringLiteral("Scan For Tables"));
        QVERIFY(
            child<QLabel>(d, QStringLiteral("scanNote1"))
                ->text()
                .startsWith(QStringLiteral("Please note that scanning is not an exact science.")));
        QVERIFY(
            child<QLabel>(d, QStringLiteral("scanNote2"))
                ->text()
                .endsWith(QStringLiteral("Manual verification of the results will be necessary.")));
        const QStringList linked{QStringLiteral("browseButton"), QStringLiteral("otherPathEdit"),
                                 QStringLiteral("qualitySlider"), QStringLiteral("qualityLowLabel"),
                                 QStringLiteral("qualityHighLabel")};
        auto enabled = [&](bool on) {
            for (const QString& name : linked)
                QVERIFY2(child(d, name)->isEnabled() == on, qPrintable(name));
        };
        QVERIFY(radio(d, QStringLiteral("heuristicButton"))->isChecked());
        enabled(false);
        radio(d, QStringLiteral("crossIdentifyButton"))->click();
        enabled(true);
        QCOMPARE(child<QLabel>(d, QStringLiteral("qualityLowLabel"))->text(),
                 QStringLiteral("Match Quality 50%"));
        button(d, "browseButton")->click();
        child<QSlider>(d, QStringLiteral("qualitySlider"))->setValue(40);
        radio(d, QStringLiteral("heuristicButton"))->click();
        enabled(false);
        radio(d, QStringLiteral("crossIdentifyButton"))->click();
        button(d, "okButton")->click();
        QCOMPARE(d.values().choice, int(ScanValues::CrossIdentify));
        QCOMPARE(d.values().otherPath, std::string("/cals/known.bin"));
        QCOMPARE(d.values().quality, 40);
    }

    void scanCarriesWithThePathButWithoutTheQuality() {
        QString answer = QStringLiteral("/cals/first.bin");
        ScanDialog d(ScanValues{}, [&] { return answer; });
        radio(d, QStringLiteral("carryButton"))->click();
        for (const char* name : {"browseButton", "otherPathEdit"})
            QVERIFY2(child(d, QString::fromLatin1(name))->isEnabled(), name);
        for (const char* name : {"qualitySlider", "qualityLowLabel", "qualityHighLabel"})
            QVERIFY2(!child(d, QString::fromLatin1(name))->isEnabled(), name);
        button(d, "browseButton")->click();
        button(d, "okButton")->click();
        QCOMPARE(d.values().choice, int(ScanValues::Carry));
        QCOMPARE(d.values().otherPath, std::string("/cals/first.bin"));

        // Opened again with the choice, the dialog shows it.
        ScanDialog again(d.values());
        QVERIFY(radio(again, QStringLiteral("carryButton"))->isChecked());
        QVERIFY(!child(again, QStringLiteral("qualitySlider"))->isEnabled());
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
