// SPDX-License-Identifier: GPL-3.0-or-later
// What the readiness book learns from answers others asked for: the scan's or
// the parameter window's reads and writes of P0.04 and P0.01, never anything
// it asks itself, and only from answers that fit their request.
#include "BusLine.h"
#include "Readiness.h"

#include <QSignalSpy>
#include <QTest>

class tst_readiness : public QObject
{
    Q_OBJECT
private slots:
    void learnsFromOthersAnswersAndAsksNothing();
    void answersThatDoNotFitTeachNothing();
};

void tst_readiness::learnsFromOthersAnswersAndAsksNothing()
{
    BusLine line;
    line.bus.drive(2)->factorySources();
    ReadinessBook book(line.link);
    QSignalSpy learned(&book, &ReadinessBook::learned);
    QVERIFY(line.runUntil([] { return true; }));
    QCOMPARE(line.port.written().size(), 0); // the book asks nothing

    // One source known is not enough to judge by.
    line.submit(LinkRequest::read(2, Readiness::RunSourceRegister));
    QVERIFY(line.runUntil([&] { return line.results.size() == 1; }));
    QCOMPARE(learned.size(), 0);
    line.submit(LinkRequest::read(2, Readiness::FrequencySourceRegister));
    QVERIFY(line.runUntil([&] { return line.results.size() == 2; }));
    QCOMPARE(learned.size(), 1);
    const Readiness keypad = learned[0][0].value<Readiness>();
    QCOMPARE(keypad.address, quint8(2));
    QVERIFY(!keypad.ready());
    QCOMPARE(keypad.problems().size(), 2);
    QVERIFY(keypad.problems()[0].startsWith(QStringLiteral("drive 2 will ignore run commands")));

    // Reading the same again says nothing new; a write's echo does.
    line.submit(LinkRequest::read(2, Readiness::RunSourceRegister));
    QVERIFY(line.runUntil([&] { return line.results.size() == 3; }));
    QCOMPARE(learned.size(), 1);
    line.submit(LinkRequest::write(2, Readiness::RunSourceRegister, 2));
    line.submit(LinkRequest::write(2, Readiness::FrequencySourceRegister, 3));
    QVERIFY(line.runUntil([&] { return line.results.size() == 5; }));
    QCOMPARE(learned.size(), 3);
    QVERIFY(book.of(2).ready());
    QVERIFY(!book.of(1).known());

    // Another opening of the port may be another line.
    QSignalSpy forgotten(&book, &ReadinessBook::forgotten);
    line.link.ResetLine();
    QCOMPARE(forgotten.size(), 1);
    QVERIFY(!book.of(2).known());
}

void tst_readiness::answersThatDoNotFitTeachNothing()
{
    BusLine line;
    ReadinessBook book(line.link);
    QSignalSpy learned(&book, &ReadinessBook::learned);
    // A refusal, an answer from another drive, and one for another register.
    line.intercept = [](const QByteArray& request) -> std::optional<QByteArray> {
        const quint16 reg = registerOf(request);
        if (quint8(request[0]) == 1)
            return exceptionAnswer(1, 0x03, 0x02);
        if (quint8(request[0]) == 2)
            return parameterAnswer(3, 0x03, reg, 0);
        return parameterAnswer(3, 0x03, quint16(reg + 0x10), 0);
    };
    for (quint8 address : {1, 2, 3}) {
        line.submit(LinkRequest::read(address, Readiness::RunSourceRegister));
        line.submit(LinkRequest::read(address, Readiness::FrequencySourceRegister));
    }
    QVERIFY(line.runUntil([&] { return line.results.size() == 6; }));
    QCOMPARE(learned.size(), 0);
    for (quint8 address : {1, 2, 3})
        QVERIFY(!book.of(address).runSource && !book.of(address).frequencySource);
}

QTEST_GUILESS_MAIN(tst_readiness)
#include "tst_readiness.moc"
