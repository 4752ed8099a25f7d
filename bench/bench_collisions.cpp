// SPDX-License-Identifier: GPL-3.0-or-later
// Does the program ever talk over a drive on a busy PC? The main window runs
// drive 1 forward (FWD repeated at 500 ms) while polling it at 200 ms, and a
// whole-drive read goes over the same line once a minute, against a paced
// vfdsim that logs every request that overlaps an answer ("collision"). Other
// processes spinning on every core keep the machine busy meanwhile.
//
// The limit is 0 collisions: on a real two-wire line each one garbles a
// request and an answer. Printed: collisions, frames sent, answers the drive
// sent, the whole-drive reads and how many of their parameters went unanswered.
//
// Usage: bench_collisions --vfdsim PATH [--minutes 10] [--busy 2]
#include "DevicePort.h"
#include "ParamJobs.h"
#include "demo.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

QString argument(const QStringList& args, const QString& name, const QString& fallback)
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
}

int countLines(const QByteArray& log, const char* what)
{
    int count = 0;
    for (const QByteArray& line : log.split('\n'))
        count += line.contains(what);
    return count;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString vfdsim = argument(args, QStringLiteral("--vfdsim"), QString());
    const double minutes =
        argument(args, QStringLiteral("--minutes"), QStringLiteral("10")).toDouble();
    const int busy = argument(args, QStringLiteral("--busy"), QStringLiteral("2")).toInt();
    if (vfdsim.isEmpty() || minutes <= 0) {
        std::fprintf(stderr, "usage: bench_collisions --vfdsim PATH [--minutes 10] [--busy 2]\n");
        return 2;
    }

    std::vector<std::unique_ptr<QProcess>> spinners;
    for (int i = 0; i < busy; ++i) {
        auto p = std::make_unique<QProcess>();
        p->start(QStringLiteral("sh"),
                 {QStringLiteral("-c"), QStringLiteral("while :; do :; done")});
        spinners.push_back(std::move(p));
    }

    QProcess sim;
    sim.start(vfdsim, {QStringLiteral("--pty"), QStringLiteral("--log")});
    if (!sim.waitForStarted(3000) || !sim.waitForReadyRead(3000))
        return 1;
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();

    DevicePort port;
    demo window(&port);
    window.prompter().setResponder([](const Prompter::Prompt&) { return QMessageBox::Ok; });
    window.selectPort(device);
    window.Command1_Click();
    if (!port.isOpen()) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(device));
        return 1;
    }
    int frames = 0;
    QObject::connect(&window.link(), &Hexedit::frameSent, [&frames] { ++frames; });
    window.Check1->setChecked(true);
    window.Check1_Click();
    window.Text26->setText(QStringLiteral("500"));
    window.Text2->setText(QStringLiteral("200"));
    window.Command5_Click();
    window.Option1->click();

    int reads = 0;
    int unanswered = 0;
    std::unique_ptr<ReadJob> job;
    auto readWhole = [&] {
        if (job && job->running())
            return;
        job = std::make_unique<ReadJob>(window.linkClient(), quint8(1));
        QObject::connect(job.get(), &ReadJob::finished, [&] {
            ++reads;
            unanswered += int(job->unanswered().size());
        });
        job->start();
    };
    QTimer everyMinute;
    QObject::connect(&everyMinute, &QTimer::timeout, readWhole);
    everyMinute.start(60'000);
    QTimer::singleShot(1000, readWhole);

    QByteArray log;
    QObject::connect(&sim, &QProcess::readyReadStandardError,
                     [&] { log += sim.readAllStandardError(); });
    QTimer::singleShot(int(minutes * 60'000), &app, &QCoreApplication::quit);
    app.exec();
    window.Option9_Click();
    log += sim.readAllStandardError();
    for (auto& p : spinners) {
        p->kill();
        p->waitForFinished(1000);
    }

    const int collisions = countLines(log, "!! collision");
    std::printf("%.1f min, %d busy processes: %d collisions (limit 0); %d frames sent, %d answers "
                "sent by the drive; %d whole-drive reads, %d parameters unanswered\n",
                minutes, busy, collisions, frames, countLines(log, "-> "), reads, unanswered);
    sim.kill();
    sim.waitForFinished(3000);
    return 0;
}
