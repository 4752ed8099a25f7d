// SPDX-License-Identifier: GPL-3.0-or-later
// A device the user may not open: the advice must name the group that really
// owns it and what to do. Tried on a pseudo-terminal whose mode shuts the
// test's user out; as root, through vfdsim running as the unprivileged user
// "nobody", since root may open anything.
#include "AnswerBoxes.h"
#include "PseudoTerminal.h"
#include "demo.h"

#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kNoOtherUser = 77;

QString groupOf(const QString& path)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    const group* entry = ::getgrgid(info.st_gid);
    return entry ? QString::fromLocal8Bit(entry->gr_name) : QString::number(info.st_gid);
}

} // namespace

class tst_access : public QObject
{
    Q_OBJECT

private slots:
    void permissionDenied_data();
    void permissionDenied();
};

void tst_access::permissionDenied_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("groupHelps");
    QTest::newRow("group may read and write") << 0060 << true;
    QTest::newRow("only the owner may") << 0600 << false;
}

void tst_access::permissionDenied()
{
    QFETCH(int, mode);
    QFETCH(bool, groupHelps);
    PseudoTerminal pty;
    QVERIFY2(pty.open(), qPrintable(pty.errorString()));
    const QString path = pty.slavePath();
    const QString group = groupOf(path);
    QVERIFY(!group.isEmpty());
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);

    QString said;
    QString user;
    if (::geteuid() != 0) {
        // Our own pseudo-terminal, shut to its owner: the window says why.
        user = QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name);
        demo w;
        answerBoxes(w.prompter());
        w.selectPort(path);
        w.Command1_Click();
        QCOMPARE(w.prompter().history().size(), 1);
        QCOMPARE(w.prompter().history().first().title, QStringLiteral("Error Waining!"));
        said = w.prompter().history().first().text;
        QCOMPARE(w.Command1->text(), QStringLiteral("Open Serial"));
    } else {
        user = QStringLiteral("nobody");
        const passwd* nobody = ::getpwnam("nobody");
        if (!nobody)
            QSKIP("This machine has no user \"nobody\" to try the device as.");
        const uid_t uid = nobody->pw_uid;
        const gid_t gid = nobody->pw_gid;
        QProcess sim;
        sim.setProgram(QStringLiteral(VFDSIM_PATH));
        sim.setArguments({QStringLiteral("--device"), path});
        sim.setChildProcessModifier([uid, gid] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
                ::_exit(kNoOtherUser);
        });
        sim.start();
        QVERIFY(sim.waitForFinished(5000));
        if (sim.exitCode() == kNoOtherUser)
            QSKIP("The test runs as root and may not take another user's identity here.");
        QCOMPARE(sim.exitCode(), 1);
        said = QString::fromLocal8Bit(sim.readAllStandardError());
    }

    QVERIFY2(said.contains(QStringLiteral("You may not use the port %1").arg(path)),
             qPrintable(said));
    QVERIFY2(said.contains(QStringLiteral("group \"%1\"").arg(group)), qPrintable(said));
    if (groupHelps) {
        const bool alreadyMember = said.contains(u"which your account is in");
        QVERIFY2(alreadyMember ||
                     said.contains(QStringLiteral("sudo usermod -aG %1 %2").arg(group, user)),
                 qPrintable(said));
        QVERIFY2(said.contains(u"new login"), qPrintable(said));
    } else {
        QVERIFY2(said.contains(u"not even that group") && !said.contains(u"usermod"),
                 qPrintable(said));
    }
}

QTEST_MAIN(tst_access)
#include "tst_access.moc"
