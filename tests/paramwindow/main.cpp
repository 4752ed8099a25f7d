// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QTest>

int runForm2Tests(int argc, char** argv);
int runForm2WriteTests(int argc, char** argv);
int runEncoderTests(int argc, char** argv);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int failed = runForm2Tests(argc, argv);
    failed += runForm2WriteTests(argc, argv);
    failed += runEncoderTests(argc, argv);
    return failed;
}
