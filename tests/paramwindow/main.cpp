#include <QApplication>
#include <QTest>

int runForm2Tests(int argc, char** argv);
int runEncoderTests(int argc, char** argv);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int failed = runForm2Tests(argc, argv);
    failed += runEncoderTests(argc, argv);
    return failed;
}
