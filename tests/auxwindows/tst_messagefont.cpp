// SPDX-License-Identifier: GPL-3.0-or-later
// The about box's message about the system-information viewer is Chinese; it
// must come out as characters, not as empty boxes, wherever the program runs
// with the font its package pulls in.
#include "AnswerBoxes.h"
#include "Glyphs.h"
#include "frmAbout.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QTest>

class tst_messagefont : public QObject
{
    Q_OBJECT
private slots:
    void glyphCheckSeesMissingCharacters();
    void sysInfoMessageIsDrawn();
};

void tst_messagefont::glyphCheckSeesMissingCharacters()
{
    // A character no font draws (a private-use code point) is found, a Latin
    // one is not: the check below can tell boxes from characters.
    const QString text = QStringLiteral("A") + QChar(0xE000);
    QCOMPARE(missingGlyphs(text, QApplication::font()), QString(QChar(0xE000)));
}

void tst_messagefont::sysInfoMessageIsDrawn()
{
#ifdef Q_OS_WIN
    QSKIP("Windows starts its system-information viewer instead of the message");
#else
    if (QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty())
        QSKIP("no font with Chinese characters is installed (Debian: fonts-wqy-microhei)");
    Prompter prompter;
    answerBoxes(prompter);
    frmAbout about(prompter);
    about.show();
    QTest::mouseClick(about.cmdSysInfo, Qt::LeftButton);
    QCOMPARE(prompter.history().size(), 1);
    const Prompter::Prompt prompt = prompter.history().first();
    QVERIFY(!prompt.text.isEmpty());

    // The box the prompter would show, with the font its text is drawn in.
    QMessageBox box(prompt.icon, prompt.title, prompt.text, prompt.buttons);
    const auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    QVERIFY(label);
    QCOMPARE(label->text(), prompt.text);
    QCOMPARE(missingGlyphs(prompt.text, label->font()), QString());
    // The title is drawn by the window system from the same installed fonts.
    QCOMPARE(missingGlyphs(prompt.title, QApplication::font()), QString());
#endif
}

QTEST_MAIN(tst_messagefont)
#include "tst_messagefont.moc"
