// SPDX-License-Identifier: GPL-3.0-or-later
// Bad text in the entries of the parameter window and the password window.
#include "BadInput.h"
#include "Form2.h"
#include "LineRig.h"
#include "PasswordLock.h"
#include "encoder.h"

#include <QAction>
#include <QPushButton>

namespace {

// The parameter window with P0.03 (0.00 to 400 Hz, scale 0.01) read from
// drive 1 and on show, ready for a new value.
struct ParameterBench
{
    LoopbackPort port;
    demo window{&port};
    Form2* form = nullptr;

    ParameterBench()
    {
        answerBoxes(window.prompter());
        window.Command1_Click();
        window.data_set_Click();
        form = window.findChild<Form2*>();
        form->Combo2->setCurrentIndex(3);
        form->Combo2_Click();
        injectAndDrain(port, window.link(), withCrc(QByteArray::fromHex("010300031388")));
        port.clearWritten();
    }

    QStringList wireProblems() const
    {
        QStringList problems;
        for (const QByteArray& frame : port.written()) {
            if (const QString problem = wireProblem(frame); !problem.isEmpty())
                problems << hex(frame) + QStringLiteral(": ") + problem;
        }
        return problems;
    }
};

bool isPassword(const QString& text)
{
    if (text.size() < 3 || text.size() > 8)
        return false;
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

void tst_badinput::parameterValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Entry>("how");
    QTest::addColumn<int>("written"); // raw value that goes out, -1 for nothing
    for (const BadText& bad : badTexts()) {
        // " +5" is 5 Hz, within the limits: the one that may go out.
        const int written = bad.text == u" +5" ? 500 : -1;
        QTest::addRow("typed %s", bad.name) << asTyped(bad.text) << Entry::Typed << written;
        QTest::addRow("pasted %s", bad.name) << bad.text << Entry::Pasted << written;
    }
}

void tst_badinput::parameterValue()
{
    QFETCH(QString, text);
    QFETCH(Entry, how);
    QFETCH(int, written);
    ParameterBench b;
    QCOMPARE(b.form->Text1->text(), QStringLiteral("50"));
    enter(b.form->Text1, text, how);
    QCOMPARE(b.form->Text1->text(), text); // no filter here; the check is at "Enter"
    b.form->Command1_Click();

    QVERIFY2(b.wireProblems().isEmpty(), qPrintable(b.wireProblems().join(u'\n')));
    if (written < 0) {
        QVERIFY(b.port.written().isEmpty());
        // Refused with a message; the typed text stays for the user to mend.
        QCOMPARE(b.window.prompter().history().size(), 1);
        QCOMPARE(b.window.prompter().history().first().title, QStringLiteral("Error Warning"));
        QCOMPARE(b.form->Text1->text(), text);
    } else {
        QCOMPARE(b.port.written().size(), 1);
        const QByteArray frame = b.port.written().first();
        QCOMPARE(hex(frame.left(4)), QStringLiteral("01 06 00 03"));
        QCOMPARE(quint8(frame[4]) << 8 | quint8(frame[5]), written);
        QVERIFY(b.window.prompter().history().isEmpty());
    }
}

void tst_badinput::parameterAddress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Entry>("how");
    for (const BadText& bad : badTexts()) {
        QTest::addRow("typed %s", bad.name) << asTyped(bad.text) << Entry::Typed;
        QTest::addRow("pasted %s", bad.name) << bad.text << Entry::Pasted;
    }
}

void tst_badinput::parameterAddress()
{
    QFETCH(QString, text);
    QFETCH(Entry, how);
    ParameterBench b;
    enter(b.form->Combo3->lineEdit(), text, how);
    QCOMPARE(b.form->Combo3->currentText(), text);
    // A read (group picked), another read (index picked) and a write: none of
    // them may guess an address, least of all 0, which every drive obeys.
    b.form->Combo1->setCurrentIndex(0);
    b.form->Combo1_Click();
    b.form->Combo2->setCurrentIndex(3);
    b.form->Combo2_Click();
    b.form->Text1->setText(QStringLiteral("40"));
    b.form->Command1_Click();
    QVERIFY2(b.port.written().isEmpty(), qPrintable(b.wireProblems().join(u'\n')));
    QCOMPARE(b.window.prompter().history().size(), 3);
    QCOMPARE(b.form->Combo3->currentText(), text);
}

void tst_badinput::passwordBoxes_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Entry>("how");
    QTest::addColumn<QString>("expected"); // after "Enter"
    for (const BadText& bad : badTexts()) {
        for (const char* box : {"Text1", "Text2"}) {
            // Only digits get in while typing; a paste gets in whole or not at
            // all. "1.2.3" typed leaves "123", a password of the right length,
            // which the new-password box takes ("*******"); everything else is
            // refused at "Enter" and the box emptied.
            const bool takes = box == QLatin1String("Text2") && bad.text == u"1.2.3";
            QTest::addRow("%s typed %s", box, bad.name)
                << box << asTyped(bad.text) << Entry::Typed
                << (takes ? QStringLiteral("*******") : QString(""));
            QTest::addRow("%s pasted %s", box, bad.name)
                << box << bad.text << Entry::Pasted << QString("");
        }
    }
}

void tst_badinput::passwordBoxes()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(Entry, how);
    QFETCH(QString, expected);
    PasswordLock lock;
    Prompter prompter;
    answerBoxes(prompter);
    QAction dataSet;
    encoder window(lock, prompter, dataSet);
    QLineEdit* edit = box == u"Text1" ? window.Text1 : window.Text2;
    enter(edit, text, how);
    box == u"Text1" ? window.Command1_Click() : window.Command2_Click();

    QCOMPARE(edit->text(), expected);
    QVERIFY2(lock.CurrentPassword.isEmpty() || isPassword(lock.CurrentPassword),
             qPrintable(lock.CurrentPassword.left(40)));
    QCOMPARE(lock.PasswordSet, !lock.CurrentPassword.isEmpty());
    QVERIFY(!prompter.history().isEmpty()); // every bad text drew a word
}
