// SPDX-License-Identifier: GPL-3.0-or-later
// The texts that become numbers and settings: what the user types into the
// value boxes, what the boxes show, and the serial settings text.
#include "LoopbackPort.h"
#include "NumberText.h"

#include <QtTest>

class tst_texts : public QObject
{
    Q_OBJECT

private slots:
    void parseDecimal_data();
    void parseDecimal();
    void fixed2_data();
    void fixed2();
    void plain_data();
    void plain();
    void parameterValue_data();
    void parameterValue();
    void settingsText_data();
    void settingsText();
    void refusedSettingsKeepThePrevious();
    void parityLettersAndNames();
};

void tst_texts::parseDecimal_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");
    QTest::newRow("50") << "50" << true << 50.0;
    QTest::newRow("blanks around") << " 12.5 " << true << 12.5;
    QTest::newRow(".5") << ".5" << true << 0.5;
    QTest::newRow("7.") << "7." << true << 7.0;
    QTest::newRow("0") << "0" << true << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("blanks only") << "   " << false << 0.0;
    QTest::newRow(".") << "." << false << 0.0;
    QTest::newRow("1.2.3") << "1.2.3" << false << 0.0;
    QTest::newRow("1e3") << "1e3" << false << 0.0;
    QTest::newRow("inf") << "inf" << false << 0.0;
    QTest::newRow("nan") << "nan" << false << 0.0;
    QTest::newRow("0x10") << "0x10" << false << 0.0;
    QTest::newRow("12abc") << "12abc" << false << 0.0;
    QTest::newRow("comma") << "12,5" << false << 0.0;
    QTest::newRow("blank inside") << "1 2" << false << 0.0;
    QTest::newRow("full-width digits") << QStringLiteral("５０") << false << 0.0;
    QTest::newRow("Arabic-Indic digits") << QStringLiteral("٥٠") << false << 0.0;
    QTest::newRow("overflow") << QString(400, u'9') << false << 0.0;
}

void tst_texts::parseDecimal()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, value);
    const std::optional<double> parsed = NumberText::ParseDecimal(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

void tst_texts::fixed2_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("0.5") << 0.5 << "0.50";
    QTest::newRow("5000") << 5000.0 << "5000.00";
    QTest::newRow("0") << 0.0 << "0.00";
    QTest::newRow("0.125") << 0.125 << "0.13";
    QTest::newRow("0.005") << 0.005 << "0.01";
    QTest::newRow("1.005") << 1.005 << "1.01";
    QTest::newRow("0.0049999999999") << 0.0049999999999 << "0.00";
    QTest::newRow("99.995") << 99.995 << "100.00";
    QTest::newRow("9.999") << 9.999 << "10.00";
    QTest::newRow("-0.125") << -0.125 << "-0.13";
    QTest::newRow("-0.001") << -0.001 << "0.00";
    // Values computed in single precision, as the running values are.
    QTest::newRow("single 12.3") << double(123 * 0.1f) << "12.30";
    QTest::newRow("single 0.005") << double(5 * 0.001f) << "0.01";
    QTest::newRow("single 1.005") << double(1005 * 0.001f) << "1.01";
    QTest::newRow("single 655.35") << double(65535 * 0.01f) << "655.35";
    QTest::newRow("single 0.125") << double(0.125f) << "0.13";
}

void tst_texts::fixed2()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(NumberText::Fixed2(value), text);
}

void tst_texts::plain_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("1450") << 1450.0f << "1450";
    QTest::newRow("123 x 0.1") << 123 * 0.1f << "12.3";
    QTest::newRow("5000 x 0.01") << 5000 * 0.01f << "50";
    QTest::newRow("1234 x 0.001") << 1234 * 0.001f << "1.234";
    QTest::newRow("65535") << 65535.0f << "65535";
    QTest::newRow("0") << 0.0f << "0";
}

void tst_texts::plain()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(NumberText::Plain(value), text);
}

void tst_texts::parameterValue_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("50 x 0.01") << 50 * 0.01 << "0.5";
    QTest::newRow("3 x 0.1") << 3 * 0.1 << "0.3";
    QTest::newRow("1234 x 0.001") << 1234 * 0.001 << "1.234";
    QTest::newRow("65535 x 1") << 65535.0 << "65535";
    QTest::newRow("65535 x 0.01") << 65535 * 0.01 << "655.35";
    QTest::newRow("0") << 0.0 << "0";
}

void tst_texts::parameterValue()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(NumberText::ParameterValue(value), text);
}

void tst_texts::settingsText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("stopBits");
    using P = SerialSettings::Parity;
    using St = SerialSettings::StopBits;
    auto row = [](const char* text, bool valid, int baud = 0, P p = P::None, int data = 0,
                  St stop = St::One) {
        QTest::newRow(text) << QString::fromLatin1(text) << valid << baud << int(p) << data
                            << int(stop);
    };
    row("9600,E,8,1", true, 9600, P::Even, 8, St::One);
    row("1200,O,7,2", true, 1200, P::Odd, 7, St::Two);
    row("38400,N,6,1.5", true, 38400, P::None, 6, St::OneAndHalf);
    row("19200,S,5,1", true, 19200, P::Space, 5, St::One);
    row("9600,E,9,1", false);
    row("9600,E,4,1", false);
    row("9600,X,8,1", false);
    row("9600,,8,1", false);
    row("9600,E,8", false);
    row("9600,E,8,1,1", false);
    row("9600,E,8,3", false);
    row("0,E,8,1", false);
    row("-9600,E,8,1", false);
    row("fast,E,8,1", false);
    row("", false);
}

void tst_texts::settingsText()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    const std::optional<SerialSettings> parsed = SerialSettings::parse(text);
    QCOMPARE(parsed.has_value(), valid);
    if (!valid)
        return;
    QFETCH(int, baud);
    QFETCH(int, parity);
    QFETCH(int, dataBits);
    QFETCH(int, stopBits);
    QCOMPARE(parsed->baudRate, baud);
    QCOMPARE(int(parsed->parity), parity);
    QCOMPARE(parsed->dataBits, dataBits);
    QCOMPARE(int(parsed->stopBits), stopBits);
    QCOMPARE(parsed->toString(), text);
}

void tst_texts::refusedSettingsKeepThePrevious()
{
    LoopbackPort port;
    QVERIFY(port.setSettings(QStringLiteral("1200,O,7,2")));
    QVERIFY(!port.setSettings(QStringLiteral("9600,E,9,1")));
    QVERIFY(!port.setSettings(QStringLiteral("9600,Q,8,1")));
    QCOMPARE(port.settings(), QStringLiteral("1200,O,7,2"));
    QCOMPARE(port.lineSettings().baudRate, 1200);
    QCOMPARE(port.lineSettings().parity, SerialSettings::Parity::Odd);
    QCOMPARE(port.lineSettings().dataBits, 7);
}

// One table gives the letter of a settings text and the word the windows
// show; each way there and back names the same parity.
void tst_texts::parityLettersAndNames()
{
    using P = SerialSettings::Parity;
    const struct
    {
        P parity;
        const char* letter;
        const char* name;
    } table[] = {{P::None, "N", "None"},
                 {P::Odd, "O", "Odd"},
                 {P::Even, "E", "Even"},
                 {P::Space, "S", "Space"},
                 {P::Mark, "M", "Mark"}};
    for (const auto& row : table) {
        const QString letter = QString::fromLatin1(row.letter);
        const QString name = QString::fromLatin1(row.name);
        QCOMPARE(SerialSettings::parityLetter(row.parity), letter);
        QCOMPARE(SerialSettings::parityName(row.parity), name);
        QCOMPARE(SerialSettings::parityFromLetter(letter), row.parity);
        QCOMPARE(SerialSettings::parityFromLetter(letter.toLower()), row.parity);
        QCOMPARE(SerialSettings::parityFromName(name), row.parity);
    }
    for (const char* text : {"", "X", "EE", "Even", "even"})
        QVERIFY2(!SerialSettings::parityFromLetter(QString::fromLatin1(text)), text);
    for (const char* text : {"", "E", "even", "Evenly"})
        QVERIFY2(!SerialSettings::parityFromName(QString::fromLatin1(text)), text);
}

QTEST_GUILESS_MAIN(tst_texts)
#include "tst_texts.moc"
