// SPDX-License-Identifier: GPL-3.0-or-later
// The one rule for lists of drives that every command and window takes.
#include "DriveList.h"

#include <QTest>

class tst_drivelist : public QObject
{
    Q_OBJECT
private slots:
    void lists_data();
    void lists();
    void single_data();
    void single();
};

void tst_drivelist::lists_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("drives"); // empty: refused
    QTest::addColumn<QString>("why");       // a part of the reason given

    QTest::newRow("single") << "7" << QList<int>{7} << QString();
    QTest::newRow("range") << "1-3" << QList<int>{1, 2, 3} << QString();
    QTest::newRow("list and ranges") << "1,4,7-9" << QList<int>{1, 4, 7, 8, 9} << QString();
    QTest::newRow("blanks") << " 2 , 5 - 6 " << QList<int>{2, 5, 6} << QString();
    QTest::newRow("named twice, listed once") << "2,1-3" << QList<int>{2, 1, 3} << QString();
    QTest::newRow("backwards") << "31-1" << QList<int>{} << "runs backwards";
    QTest::newRow("empty item") << "1,,2" << QList<int>{} << "empty item";
    QTest::newRow("blank item") << "1, ,2" << QList<int>{} << "empty item";
    QTest::newRow("trailing comma") << "1," << QList<int>{} << "empty item";
    QTest::newRow("leading comma") << ",2" << QList<int>{} << "empty item";
    QTest::newRow("nothing") << " " << QList<int>{} << "no drive address";
    QTest::newRow("zero") << "0-3" << QList<int>{} << "\"0-3\" is no drive address 1..31";
    QTest::newRow("32") << "30,32" << QList<int>{} << "\"32\" is no drive address 1..31";
    QTest::newRow("letters") << "a-b" << QList<int>{} << "\"a-b\" is no drive address";
    QTest::newRow("sign") << "-3" << QList<int>{} << "is no drive address";
    QTest::newRow("other digits") << QString::fromUtf8("١") << QList<int>{}
                                  << "is no drive address";
}

void tst_drivelist::lists()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, drives);
    QFETCH(QString, why);
    QString error;
    const std::optional<QList<quint8>> parsed = DriveList::parse(text, &error);
    QCOMPARE(parsed.has_value(), !drives.isEmpty());
    if (parsed) {
        QList<int> got(parsed->begin(), parsed->end());
        QCOMPARE(got, drives);
    } else {
        QVERIFY2(error.contains(why), qPrintable(error));
    }
}

void tst_drivelist::single_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("drive"); // 0: refused

    QTest::newRow("one") << "1" << 1;
    QTest::newRow("blanks") << " 31 " << 31;
    QTest::newRow("a list") << "1,2" << 0;
    QTest::newRow("a range") << "1-2" << 0;
    QTest::newRow("32") << "32" << 0;
    QTest::newRow("empty") << "" << 0;
}

void tst_drivelist::single()
{
    QFETCH(QString, text);
    QFETCH(int, drive);
    QString error;
    const std::optional<quint8> parsed = DriveList::parseOne(text, &error);
    QCOMPARE(parsed.has_value(), drive != 0);
    if (parsed)
        QCOMPARE(int(*parsed), drive);
    else
        QVERIFY2(error.contains(u"is no drive address 1..31"), qPrintable(error));
}

QTEST_MAIN(tst_drivelist)
#include "tst_drivelist.moc"
