// SPDX-License-Identifier: GPL-3.0-or-later
#include "Tab.h"
#include "menu.h"

#include <QtTest>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <set>
#include <string>

namespace {

QString q(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The row of "P5.12", "PA.07" through the public look-ups, as a caller would.
int RowOf(const char* number)
{
    const int group = Tab::GroupFromDigit(std::string_view(number + 1, 1));
    return Tab::CatalogueRow(group, std::atoi(number + 3));
}

} // namespace

class tst_catalogue : public QObject
{
    Q_OBJECT

private slots:
    void groupsCoverEveryRowOnce();
    void everyRowSitsUnderItsNumber();
    void onlyReservedRowsLackAScale();
    void limitsReadInOrder();
    void catalogueRow_data();
    void catalogueRow();
    void columns_data();
    void columns();
    void scaleConvertsRawValues_data();
    void scaleConvertsRawValues();
    void typedValueToRaw();
    void optionText_data();
    void optionText();
    void rangesShareOneText();
    void faults_data();
    void faults();
    void outsideTheTables();
    void leadingNumber_data();
    void leadingNumber();
};

void tst_catalogue::groupsCoverEveryRowOnce()
{
    int offered = 0;
    int next = 0;
    for (int g = 0; g < Tab::GroupCount; ++g) {
        QCOMPARE(Tab::GroupFirstRow(g), next);
        QVERIFY(Tab::GroupSize(g) <= Tab::GroupRowCount(g));
        QCOMPARE(Tab::GroupFromDigit(Tab::GroupDigit(g)), g);
        QVERIFY(!Tab::GroupTitle(g).empty());
        offered += Tab::GroupSize(g);
        next += Tab::GroupRowCount(g);
    }
    // Group A owns seven rows (A.13..A.19) that the window never offers.
    QCOMPARE(offered + 7, Tab::RowCount);
    QCOMPARE(next, Tab::RowCount);
    QCOMPARE(Tab::GroupSize(10), 13);
    QCOMPARE(Tab::GroupDigit(10), std::string("A"));
    QCOMPARE(q(Tab::GroupTitle(8)), QStringLiteral("User  Manage Interface Parameter"));
    QCOMPARE(q(Tab::GroupTitle(1)), QStringLiteral("Moter and Vector Control Parameter"));
}

void tst_catalogue::everyRowSitsUnderItsNumber()
{
    std::set<int> seen;
    for (int g = 0; g < Tab::GroupCount; ++g) {
        for (int i = 0; i < Tab::GroupRowCount(g); ++i) {
            const int row = Tab::CatalogueRow(g, i);
            QVERIFY(seen.insert(row).second);
            const QString number = QStringLiteral("P%1.%2")
                                       .arg(QString::fromStdString(Tab::GroupDigit(g)))
                                       .arg(i, 2, 10, QLatin1Char('0'));
            QCOMPARE(q(Tab::ParamNumber(row)), number);
            const QString attribute = q(Tab::ParamAttribute(row));
            QVERIFY2(attribute == "0" || attribute == "1", qPrintable(number));
        }
    }
    QCOMPARE(static_cast<int>(seen.size()), Tab::RowCount);
}

void tst_catalogue::onlyReservedRowsLackAScale()
{
    const std::set<QString> reserved{"P1.09", "P2.35", "P5.12", "P5.14", "P7.08", "PA.08",
                                     "PA.09", "PA.10", "PA.11", "PA.12", "PA.13", "PA.14",
                                     "PA.15", "PA.16", "PA.17", "PA.18", "PA.19"};
    for (int row = 0; row < Tab::RowCount; ++row) {
        const QString number = q(Tab::ParamNumber(row));
        const std::optional<double> scale = Tab::ParamScale(row);
        QCOMPARE(!scale.has_value(), reserved.count(number) == 1);
        if (scale) {
            QVERIFY2(*scale == 1 || *scale == 0.1 || *scale == 0.01 || *scale == 0.001,
                     qPrintable(number));
            continue;
        }
        QCOMPARE(q(Tab::ParamName(row)), QStringLiteral("reserved"));
        QCOMPARE(q(Tab::ParamAttribute(row)), QStringLiteral("1"));
        QVERIFY(Tab::ParamResolution(row).empty() && Tab::ParamDefault(row).empty());
        QVERIFY(Tab::ParamMin(row).empty() && Tab::ParamMax(row).empty());
        // Its value shows as a word, so its help text must not depend on it.
        const int group = Tab::GroupFromDigit(number.mid(1, 1).toStdString());
        const int index = number.mid(3).toInt();
        const std::string_view text = menu::OptionText(group, index, 0);
        for (double value : {1.0, 2.0, 5.0, 65535.0, -1.0})
            QCOMPARE(q(menu::OptionText(group, index, value)), q(text));
    }
    // Named "reserved" but an ordinary parameter.
    QCOMPARE(Tab::ParamScale(RowOf("P3.03")), std::optional<double>(1));
}

void tst_catalogue::limitsReadInOrder()
{
    // A swapped or shifted column shows up as a minimum above its maximum.
    for (int row = 0; row < Tab::RowCount; ++row) {
        if (!Tab::ParamScale(row))
            continue;
        QVERIFY2(Tab::LeadingNumber(Tab::ParamMin(row)) <= Tab::LeadingNumber(Tab::ParamMax(row)),
                 qPrintable(q(Tab::ParamNumber(row))));
    }
}

void tst_catalogue::catalogueRow_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("row");
    QTest::newRow("PA.12") << 10 << 12 << 184;
    QTest::newRow("P9.03") << 9 << 3 << 171;
    QTest::newRow("P0.23") << 0 << 23 << 23;
    QTest::newRow("P1.00") << 1 << 0 << 24;
    QTest::newRow("PA.19 exists, never offered") << 10 << 19 << 191;
    QTest::newRow("PA.20") << 10 << 20 << -1;
    QTest::newRow("P0.24") << 0 << 24 << -1;
    QTest::newRow("P2.44") << 2 << 44 << -1;
    QTest::newRow("group 11") << 11 << 0 << -1;
    QTest::newRow("group -1") << -1 << 0 << -1;
    QTest::newRow("index -1") << 1 << -1 << -1;
}

void tst_catalogue::catalogueRow()
{
    QFETCH(int, group);
    QFETCH(int, index);
    QFETCH(int, row);
    QCOMPARE(Tab::CatalogueRow(group, index), row);
}

void tst_catalogue::columns_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("resolution");
    QTest::addColumn<QString>("defaultText");
    QTest::addColumn<QString>("minimum");
    QTest::addColumn<QString>("maximum");
    QTest::addColumn<double>("scale");
    // clang-format off
    QTest::newRow("P3.03") << "P3.03" << "reserved" << "1" << "0" << "0" << "9999" << 1.0;
    QTest::newRow("P3.08") << "P3.08" << "sofeware edition" << "0.01" << "" << "0" << "99.99" << 0.01;
    QTest::newRow("P3.00") << "P3.00" << "LCD " << "1" << "0" << "0" << "1" << 1.0;
    QTest::newRow("P5.07") << "P5.07" << "Set ferq. corresponding to min analog input" << "0.01Hz"
                           << "O.01Hz" << "0.0" << "400.00" << 0.01;
    QTest::newRow("P6.03") << "P6.03" << "Given digital setting" << "0.01V" << "0.00v" << "0.00"
                           << "10.00" << 0.01;
    QTest::newRow("P6.09") << "P6.09" << "PID sampling T" << "0.01s" << "0.OOS" << "0.00" << "10.00"
                           << 0.01;
    QTest::newRow("P4.13") << "P4.13" << "Overload pre-alarm level" << "1%" << "10O%" << "20" << "120"
                           << 1.0;
    QTest::newRow("P7.12") << "P7.12" << "Wobbling Preferences frequence " << "0.1Hz" << "10.00Hz"
                           << "0.00" << "400.00" << 0.01;
    QTest::newRow("P1.12") << "P1.12" << "The duration of pre-excitation motor" << "0.1" << "0.2S"
                           << "0.1" << "10.0" << 0.01;
    QTest::newRow("P8.03") << "P8.03" << "The delay time of machine response " << "1mS" << "5mS" << "0"
                           << "1000" << 1.0;
    QTest::newRow("PA.07") << "PA.07" << "the length of Timer" << "1S" << "1S" << "1" << "65535" << 1.0;
    // clang-format on
}

void tst_catalogue::columns()
{
    QFETCH(QString, number);
    const int row = RowOf(qPrintable(number));
    QCOMPARE(q(Tab::ParamNumber(row)), number);
    QTEST(q(Tab::ParamName(row)), "name");
    QTEST(q(Tab::ParamResolution(row)), "resolution");
    QTEST(q(Tab::ParamDefault(row)), "defaultText");
    QTEST(q(Tab::ParamMin(row)), "minimum");
    QTEST(q(Tab::ParamMax(row)), "maximum");
    QTEST(Tab::ParamScale(row).value_or(-1), "scale");
}

void tst_catalogue::scaleConvertsRawValues_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<int>("raw");
    QTest::addColumn<double>("shown");
    QTest::newRow("P0.03") << "P0.03" << 5000 << 50.0;
    QTest::newRow("P1.05") << "P1.05" << 1234 << 1.234;
    QTest::newRow("P0.09") << "P0.09" << 380 << 380.0;
    QTest::newRow("P1.01 res 0.1A, scale 0.01") << "P1.01" << 1234 << 12.34;
    QTest::newRow("P0.12") << "P0.12" << 55 << 5.5;
}

void tst_catalogue::scaleConvertsRawValues()
{
    QFETCH(QString, number);
    QFETCH(int, raw);
    QFETCH(double, shown);
    const std::optional<double> scale = Tab::ParamScale(RowOf(qPrintable(number)));
    QVERIFY(scale);
    QCOMPARE(raw * *scale, shown);
}

void tst_catalogue::typedValueToRaw()
{
    const std::optional<double> scale = Tab::ParamScale(RowOf("P0.03"));
    QVERIFY(scale);
    // Written value = typed / scale, a half to the even neighbour.
    const auto raw = static_cast<unsigned>(std::nearbyint(50.5 / *scale));
    QCOMPARE(raw, 5050u);
    QCOMPARE(raw >> 8, 0x13u);
    QCOMPARE(raw & 0xFF, 0xBAu);
}

void tst_catalogue::optionText_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("P0.05 2") << 0 << 5 << 2.0 << "Prohibit reverse";
    QTest::newRow("P0.05 3") << 0 << 5 << 3.0 << "";
    QTest::newRow("P0.05 2.5") << 0 << 5 << 2.5 << "";
    QTest::newRow("P0.16 raw 30 x 0.1")
        << 0 << 16 << 30 * 0.1 << "V/F curve settde  by user (determined by the P0.17--P0.22)";
    QTest::newRow("P0.01 1")
        << 0 << 1 << 1.0 << "Figures given 1,operating panel▲/▼ button or Digital encoder settings";
    QTest::newRow("P2.00 5") << 2 << 0 << 5.0 << "1";
    QTest::newRow("P3.02 7") << 3 << 2 << 7.0 << "Parameter-Write Protection";
    QTest::newRow("P2.04 0") << 2 << 4 << 0.0 << "DC brake unit don't work";
    QTest::newRow("P2.04 1.5") << 2 << 4 << 1.5 << "0.1--30.0S";
    QTest::newRow("P2.14 0") << 2 << 14 << 0.0 << "DC brake unit don't work";
    QTest::newRow("P2.14 30") << 2 << 14 << 30.0 << "0.1--30.0S";
    QTest::newRow("P6.08 0") << 6 << 8 << 0.0 << "0.0：no Differential";
    QTest::newRow("P6.08 2.5") << 6 << 8 << 2.5 << "0.1--10.0S";
    QTest::newRow("P6.09 0") << 6 << 9 << 0.0 << "0.00：Auto";
    QTest::newRow("P6.09 0.05") << 6 << 9 << 0.05 << "0.00--10.00S";
    QTest::newRow("P6.01 9") << 6 << 1 << 9.0 << "MIN{AVI，ACI}";
    QTest::newRow("P4.03 12") << 4 << 3 << 12.0 << "12:Frequency increment / UP command";
    QTest::newRow("P4.08 12") << 4 << 8 << 12.0 << "Inverter error";
    QTest::newRow("P8.00 0") << 8 << 0 << 0.0 << "0:Main engine";
    QTest::newRow("P8.00 7") << 8 << 0 << 7.0 << "1--31:Slave engine";
    QTest::newRow("P1.05") << 1 << 5 << 1.234 << "0.001--10.000Ω";
    QTest::newRow("P3.03") << 3 << 3 << 0.0 << "Reserved";
    QTest::newRow("P7.18") << 7 << 18 << 10.0 << "0.00Hz～max freq.";
    QTest::newRow("PA.04 1") << 10 << 4 << 1.0 << "Run After Power On";
    QTest::newRow("PA.12") << 10 << 12 << 0.0 << "";
    QTest::newRow("PA.13 not in the table") << 10 << 13 << 0.0 << "";
    QTest::newRow("P9.30") << 9 << 30 << 0.0 << "";
    QTest::newRow("P0.-1") << 0 << -1 << 0.0 << "";
    QTest::newRow("group 11") << 11 << 0 << 0.0 << "";
    QTest::newRow("group -1") << -1 << 0 << 0.0 << "";
    QTest::newRow("NaN value") << 0 << 5 << std::numeric_limits<double>::quiet_NaN() << "";
}

void tst_catalogue::optionText()
{
    QFETCH(int, group);
    QFETCH(int, index);
    QFETCH(double, value);
    QTEST(q(menu::OptionText(group, index, value)), "text");
}

void tst_catalogue::rangesShareOneText()
{
    const QString acceleration = q(menu::OptionText(2, 20, 10));
    QVERIFY(acceleration.startsWith("0.1--3600 ,("));
    for (int i = 20; i <= 27; ++i)
        QCOMPARE(q(menu::OptionText(2, i, i)), acceleration);
    for (int i = 28; i <= 34; ++i)
        QCOMPARE(q(menu::OptionText(2, i, 0)), QStringLiteral("0.00 to Maximal frequency"));
    QCOMPARE(q(menu::OptionText(2, 35, 0)), QString());
    // The digit-by-digit texts keep their odd ends: a blank and a double quote.
    for (int index : {0, 10})
        QVERIFY(q(menu::OptionText(7, index, 0)).endsWith(QStringLiteral("reserved \"")));
    QVERIFY(q(menu::OptionText(7, 0, 0)).startsWith(QStringLiteral("  LED 1:PLC")));
}

void tst_catalogue::faults_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("hasCode");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("hasText");
    QTest::addColumn<QString>("text");
    QTest::newRow("1") << 1 << true << "OC-1" << true << "OC-1:Overcurrent during acceleration";
    // The fault field of the status word sits in bits 5..12.
    QTest::newRow("status 0x0160")
        << (0x0160 & 0x1FE0) / 32 << true << "OH" << true << "OH:Radiator overheating";
    QTest::newRow("16") << 16 << true << "CE-2" << true << "CE-2:reserved";
    QTest::newRow("19") << 19 << true << "CPU" << true << "CPU:CPU：CPU failure";
    QTest::newRow("20") << 20 << true << "" << false << "";
    QTest::newRow("0") << 0 << false << "" << false << "";
    QTest::newRow("21") << 21 << false << "" << false << "";
    QTest::newRow("255") << 255 << false << "" << false << "";
    QTest::newRow("-1") << -1 << false << "" << false << "";
}

void tst_catalogue::faults()
{
    QFETCH(int, number);
    const std::optional<std::string_view> code = Tab::FaultCode(number);
    const std::optional<std::string_view> text = Tab::FaultText(number);
    QTEST(code.has_value(), "hasCode");
    QTEST(q(code.value_or("")), "code");
    QTEST(text.has_value(), "hasText");
    QTEST(q(text.value_or("")), "text");
    // What the scan, the recorder and its snapshots call the fault: the text,
    // and for a number without one, the same words everywhere.
    QCOMPARE(QString::fromStdString(Tab::FaultDescription(number)),
             text ? q(*text) : QStringLiteral("Fault %1").arg(number));
}

void tst_catalogue::outsideTheTables()
{
    for (int row : {-1, 192, 100000, std::numeric_limits<int>::min()}) {
        QVERIFY(Tab::ParamNumber(row).empty() && Tab::ParamName(row).empty());
        QVERIFY(Tab::ParamResolution(row).empty() && Tab::ParamDefault(row).empty());
        QVERIFY(Tab::ParamAttribute(row).empty());
        QVERIFY(Tab::ParamMin(row).empty() && Tab::ParamMax(row).empty());
        QVERIFY(!Tab::ParamScale(row));
        // Callers copy the bytes of what they get; "no entry" must still point somewhere.
        QVERIFY(Tab::ParamName(row).data() != nullptr);
    }
    QVERIFY(menu::OptionText(11, 0, 0).data() != nullptr);
    for (int group : {-1, 11, 255}) {
        QVERIFY(Tab::GroupTitle(group).empty());
        QCOMPARE(Tab::GroupSize(group), 0);
        QCOMPARE(Tab::GroupRowCount(group), 0);
        QCOMPARE(Tab::GroupFirstRow(group), -1);
        QCOMPARE(Tab::GroupDigit(group), std::string());
    }
    for (const char* digit : {"", "a", "B", "10", "00", "A "})
        QCOMPARE(Tab::GroupFromDigit(digit), -1);
}

void tst_catalogue::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");
    QTest::newRow("400.00") << "400.00" << 400.0;
    QTest::newRow("0.00") << "0.00" << 0.0;
    QTest::newRow("00") << "00" << 0.0;
    QTest::newRow("99.99") << "99.99" << 99.99;
    QTest::newRow("12abc") << "12abc" << 12.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("-5") << "-5" << 0.0;
    QTest::newRow(".5") << ".5" << 0.0;
    QTest::newRow("blank first") << " 7" << 0.0;
    QTest::newRow("1.2.3") << "1.2.3" << 1.2;
    QTest::newRow("12.") << "12." << 12.0;
    QTest::newRow("1e5") << "1e5" << 1.0;
    QTest::newRow("0.1--30.0S") << "0.1--30.0S" << 0.1;
    QTest::newRow("400 digits") << QString(400, QLatin1Char('9'))
                                << std::numeric_limits<double>::max();
    QTest::newRow("400 zeros then 5") << QString(400, QLatin1Char('0')) + "5" << 5.0;
    QTest::newRow("tiny fraction") << "0." + QString(400, QLatin1Char('0')) + "1" << 0.0;
}

void tst_catalogue::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, number);
    const QByteArray utf8 = text.toUtf8();
    const double read = Tab::LeadingNumber(std::string_view(utf8.constData(), utf8.size()));
    QVERIFY(std::isfinite(read));
    QCOMPARE(read, number);
}

QTEST_APPLESS_MAIN(tst_catalogue)
#include "tst_catalogue.moc"
