// SPDX-License-Identifier: GPL-3.0-or-later
#include "AnswerBoxes.h"
#include "Colorful.h"
#include "Form1.h"
#include "frmAbout.h"
#include "frmSplash.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Runs the deferred deletes that close() with WA_DeleteOnClose leaves behind.
void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class tst_auxwindows : public QObject
{
    Q_OBJECT
private slots:
    void instructionTextShape();
    void instructionTextLines_data();
    void instructionTextLines();
    void guideShowsTextReadOnly();
    void guideExitDiscardsOnlyItsWindow();

    void welcomeHandsOverOnce_data();
    void welcomeHandsOverOnce();
    void welcomeIgnoresPressOnLabel();

    void aboutBoxTexts();
    void aboutSysInfoUnavailable();
    void aboutOkDiscards();

    void colorValues_data();
    void colorValues();
    void colorfulClick();
    void colorfulFocusOutline();
    void colorfulShapeRect_data();
    void colorfulShapeRect();
    void colorfulPaintsItsColour();
};

void tst_auxwindows::instructionTextShape()
{
    const QString text = frmSplash::InstructionText();
    QCOMPARE(text.size(), 2111);
    QVERIFY(text.startsWith(QStringLiteral("Operating instruction:\r\n")));
    QVERIFY(text.endsWith(QStringLiteral("\r\n    stop running.")));
    // Every line end is a CR LF pair: as many CRs as LFs, and each LF follows a CR.
    QCOMPARE(text.count(QLatin1Char('\n')), 32);
    QCOMPARE(text.count(QLatin1Char('\r')), 32);
    QCOMPARE(text.count(QStringLiteral("\r\n")), 32);
    QCOMPARE(text.split(QStringLiteral("\r\n")).size(), 33);
}

void tst_auxwindows::instructionTextLines_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("heading") << 1 << QStringLiteral("Operating instruction:");
    QTest::newRow("indented") << 4 << QStringLiteral("    parameter P0.01,P0.04,P8).");
    QTest::newRow("empty line") << 18 << QString();
    QTest::newRow("second heading") << 19 << QStringLiteral("Announcements:");
    QTest::newRow("trailing blank after press")
        << 22
        << QStringLiteral("  b.In error state,the \"error code\" will show \"xxx error\";now only "
                          "need to press ");
    QTest::newRow("trailing blank after to")
        << 32
        << QStringLiteral("    will stop,\"continuous running\"send only one directive,then "
                          "pressing\" STOP\" to ");
    QTest::newRow("last") << 33 << QStringLiteral("    stop running.");
}

void tst_auxwindows::instructionTextLines()
{
    QFETCH(int, line);
    QFETCH(QString, expected);
    const QStringList lines = frmSplash::InstructionText().split(QStringLiteral("\r\n"));
    QCOMPARE(lines.value(line - 1), expected);
}

void tst_auxwindows::guideShowsTextReadOnly()
{
    frmSplash guide(QStringLiteral("/home/tech/.config/vfdtool/vfdtool.conf"));
    guide.show();
    QVERIFY(QTest::qWaitForWindowExposed(&guide));
    QCOMPARE(guide.windowTitle(), QStringLiteral("USER GUIDE"));

    QPlainTextEdit* box = guide.Text1;
    QCOMPARE(guide.findChild<QPlainTextEdit*>(QStringLiteral("Text1")), box);
    QVERIFY(box->isReadOnly());
    QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    // The box keeps its lines as blocks; the characters on them must be the text's.
    QCOMPARE(box->document()->blockCount(), 33);
    const QString shown = frmSplash::InstructionText().replace(QStringLiteral("\r\n"), "\n");
    QCOMPARE(box->toPlainText(), shown);

    // Typing and deleting change nothing, but the text can be selected and copied.
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("xyz"));
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(box->toPlainText(), shown);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(box->textCursor().selectedText().size(), shown.size());

    QCOMPARE(guide.lblVersion->text(), QStringLiteral("Edition    1.00"));
    QCOMPARE(guide.lblPlatform->text(), QStringLiteral("Used in Upper WINDOWS 95 Platform"));
    QCOMPARE(guide.Command1->text(), QStringLiteral("Exit"));
    // The foot says what is kept on disk, and where.
    const QString notice = guide.lblNotice->text();
    QVERIFY2(notice.contains(QStringLiteral("/home/tech/.config/vfdtool/vfdtool.conf")) &&
                 notice.contains(QStringLiteral("port")) && !notice.contains(u"nothing on disk"),
             qPrintable(notice));
}

void tst_auxwindows::guideExitDiscardsOnlyItsWindow()
{
    QPointer<frmSplash> first = new frmSplash(QStringLiteral("a.conf"));
    QPointer<frmSplash> second = new frmSplash(QStringLiteral("a.conf"));
    first->show();
    second->show();
    QTest::mouseClick(first->Command1, Qt::LeftButton);
    flushDeletes();
    QVERIFY(first.isNull());
    QVERIFY(!second.isNull());
    QVERIFY(second->isVisible());
    QCOMPARE(second->Text1->document()->blockCount(), 33);
    second->Command1_Click();
    flushDeletes();
    QVERIFY(second.isNull());
}

void tst_auxwindows::welcomeHandsOverOnce_data()
{
    QTest::addColumn<QStringList>("actions");
    QTest::newRow("timer") << QStringList{"timer"};
    QTest::newRow("click on the picture") << QStringList{"click"};
    QTest::newRow("click, then a late tick") << QStringList{"click", "timer"};
    QTest::newRow("tick, then a late click") << QStringList{"timer", "click"};
    QTest::newRow("two clicks") << QStringList{"click", "click"};
    QTest::newRow("label first, then timer") << QStringList{"label", "timer"};
}

void tst_auxwindows::welcomeHandsOverOnce()
{
    QFETCH(QStringList, actions);
    int handOvers = 0;
    bool visibleAtHandOver = false;
    QPointer<Form1> welcome;
    welcome = new Form1([&] {
        ++handOvers;
        visibleAtHandOver = welcome && welcome->isVisible();
    });
    QCOMPARE(welcome->windowTitle(), QStringLiteral("Welcome Using KORVANTEX Inverter"));
    QCOMPARE(welcome->Label1->text(), welcome->windowTitle());
    QVERIFY(!welcome->Timer1->isActive());
    welcome->show();
    QVERIFY(QTest::qWaitForWindowExposed(welcome));
    QVERIFY(welcome->Timer1->isActive());
    QCOMPARE(welcome->Timer1->interval(), 5000);

    for (const QString& action : actions) {
        if (action == "timer")
            welcome->Timer1_Timer();
        else if (action == "label")
            QTest::mouseClick(welcome->Label1, Qt::LeftButton);
        else
            QTest::mouseClick(welcome, Qt::LeftButton, {}, QPoint(2, 2));
    }
    QCOMPARE(handOvers, 1);
    // The main window is shown before the welcome window goes away.
    QVERIFY(visibleAtHandOver);
    QVERIFY(!welcome->isVisible());
    QVERIFY(!welcome->Timer1->isActive());
    flushDeletes();
    QVERIFY(welcome.isNull());
}

void tst_auxwindows::welcomeIgnoresPressOnLabel()
{
    int handOvers = 0;
    QPointer<Form1> welcome = new Form1([&] { ++handOvers; });
    welcome->show();
    QVERIFY(QTest::qWaitForWindowExposed(welcome));
    QTest::mousePress(welcome->Label1, Qt::LeftButton);
    QTest::mouseRelease(welcome->Label1, Qt::LeftButton);
    QTest::mouseDClick(welcome->Label1, Qt::LeftButton);
    QCOMPARE(handOvers, 0);
    QVERIFY(welcome->isVisible());
    QVERIFY(welcome->Timer1->isActive());
    welcome->Form1_Click();
    QCOMPARE(handOvers, 1);
    flushDeletes();
    QVERIFY(welcome.isNull());
}

void tst_auxwindows::aboutBoxTexts()
{
    Prompter prompter;
    frmAbout about(prompter);
    QCOMPARE(about.windowTitle(), QStringLiteral("SOFEWARE INFOMATION"));
    QCOMPARE(about.lblVersion->text(), QStringLiteral("Edition 1.00"));
    QCOMPARE(about.cmdOK->text(), QStringLiteral("OK"));
    QCOMPARE(about.cmdSysInfo->text(), QStringLiteral("SYSTEM INFO(&S)"));
    QVERIFY(about.lblDescription->text().contains(QStringLiteral("\"User Guide\"")));
}

void tst_auxwindows::aboutSysInfoUnavailable()
{
#ifdef Q_OS_WIN
    QSKIP("Windows has a system-information viewer to start");
#else
    const frmAbout::KeyValue key = frmAbout::GetKeyValue(
        QStringLiteral("HKEY_LOCAL_MACHINE"),
        QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"), QStringLiteral("PATH"));
    QVERIFY(!key.found);
    QVERIFY(key.value.isEmpty());

    Prompter prompter;
    answerBoxes(prompter);
    QPointer<frmAbout> about = new frmAbout(prompter);
    about->show();
    QTest::mouseClick(about->cmdSysInfo, Qt::LeftButton);
    QCOMPARE(prompter.history().size(), 1);
    const Prompter::Prompt& prompt = prompter.history().first();
    QCOMPARE(prompt.icon, QMessageBox::Warning);
    QCOMPARE(prompt.title, QStringLiteral("错误提示！"));
    QCOMPARE(prompt.text, QStringLiteral("此时系统信息不可用"));
    QCOMPARE(prompt.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    flushDeletes();
    QVERIFY(!about.isNull());
    QVERIFY(about->isVisible());
    delete about;
#endif
}

void tst_auxwindows::aboutOkDiscards()
{
    Prompter prompter;
    answerBoxes(prompter);
    QPointer<frmAbout> about = new frmAbout(prompter);
    about->show();
    QTest::mouseClick(about->cmdOK, Qt::LeftButton);
    flushDeletes();
    QVERIFY(about.isNull());
    QVERIFY(prompter.history().isEmpty());
}

void tst_auxwindows::colorValues_data()
{
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("yellow") << quint32(65535) << QColor(255, 255, 0);
    QTest::newRow("blue") << quint32(16711680) << QColor(0, 0, 255);
    QTest::newRow("red") << quint32(255) << QColor(255, 0, 0);
    QTest::newRow("green 62580") << quint32(62580) << QColor(116, 244, 0);
    QTest::newRow("white") << quint32(16777215) << QColor(255, 255, 255);
    QTest::newRow("black") << quint32(0) << QColor(0, 0, 0);
    QTest::newRow("mixed") << quint32(0x123456) << QColor(0x56, 0x34, 0x12);
}

void tst_auxwindows::colorValues()
{
    QFETCH(quint32, value);
    QFETCH(QColor, expected);
    QCOMPARE(Colorful::toQColor(value), expected);
    QCOMPARE(Colorful::fromQColor(expected), value);

    Colorful lamp;
    QVERIFY(lamp.setProperty("color", value));
    QCOMPARE(lamp.property("color").value<quint32>(), value);
    QCOMPARE(lamp.color(), value);
}

void tst_auxwindows::colorfulClick()
{
    Colorful lamp;
    lamp.resize(60, 40);
    lamp.show();
    QVERIFY(QTest::qWaitForWindowExposed(&lamp));
    QCOMPARE(lamp.color(), quint32(65535));
    QCOMPARE(lamp.outlineWidth(), 5);
    QSignalSpy changed(&lamp, &Colorful::colorChanged);

    // Pressing on the lamp and letting go elsewhere is no click.
    QTest::mousePress(&lamp, Qt::LeftButton, {}, QPoint(30, 20));
    QTest::mouseRelease(&lamp, Qt::LeftButton, {}, QPoint(200, 200));
    QCOMPARE(lamp.color(), quint32(65535));

    QTest::mouseClick(&lamp, Qt::LeftButton, {}, QPoint(30, 20));
    QCOMPARE(lamp.color(), quint32(16711680));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.first().first().value<quint32>(), quint32(16711680));

    // Only 24 bits carry a colour; a value above that reads back as what is painted.
    lamp.setColor(0x01000000u | 255u);
    QCOMPARE(lamp.color(), quint32(255));
}

void tst_auxwindows::colorfulFocusOutline()
{
    QWidget holder;
    auto* lamp = new Colorful(&holder);
    auto* other = new QLineEdit(&holder);
    auto* layout = new QVBoxLayout(&holder);
    layout->addWidget(lamp);
    layout->addWidget(other);
    holder.show();
    holder.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&holder));

    QCOMPARE(lamp->focusPolicy(), Qt::StrongFocus);
    other->setFocus();
    QCOMPARE(lamp->outlineColor(), quint32(0));
    QTest::keyClick(other, Qt::Key_Backtab);
    QVERIFY(lamp->hasFocus());
    QCOMPARE(lamp->outlineColor(), quint32(16777215));
    other->setFocus();
    QCOMPARE(lamp->outlineColor(), quint32(0));
}

void tst_auxwindows::colorfulShapeRect_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRectF>("expected");
    QTest::newRow("1000x600") << QSize(1000, 600) << QRectF(2.5, 2.5, 995, 595);
    QTest::newRow("square") << QSize(40, 40) << QRectF(2.5, 2.5, 35, 35);
    QTest::newRow("just the outline") << QSize(5, 5) << QRectF(2.5, 2.5, 0, 0);
    QTest::newRow("smaller than the outline") << QSize(3, 8) << QRectF(2.5, 2.5, 0, 3);
}

void tst_auxwindows::colorfulShapeRect()
{
    QFETCH(QSize, size);
    QFETCH(QRectF, expected);
    Colorful lamp;
    lamp.setMinimumSize(0, 0);
    lamp.resize(size);
    QCOMPARE(lamp.size(), size);
    QCOMPARE(lamp.shapeRect(), expected);
}

void tst_auxwindows::colorfulPaintsItsColour()
{
    Colorful lamp;
    lamp.resize(80, 60);
    lamp.setColor(255);
    const QImage image = lamp.grab().toImage();
    const QPoint centre = image.rect().center();
    QCOMPARE(image.pixelColor(centre), QColor(255, 0, 0));
    // The oval leaves the corners alone.
    QVERIFY(image.pixelColor(0, 0) != QColor(255, 0, 0));
}

QTEST_MAIN(tst_auxwindows)
#include "tst_auxwindows.moc"
