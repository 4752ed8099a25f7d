// SPDX-License-Identifier: GPL-3.0-or-later
#include "ParamCtl.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vfdctl"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    ParamCtl ctl(out, err);
    ctl.showProgress = ::isatty(STDERR_FILENO);
    ctl.confirm = [&](const QString& question) {
        out << question << " [y/N] " << Qt::flush;
        QTextStream in(stdin);
        const QString answer = in.readLine().trimmed().toLower();
        return answer == u"y" || answer == u"yes";
    };
    const int code = ctl.run(QCoreApplication::arguments().mid(1));
    out.flush();
    err.flush();
    return code;
}
