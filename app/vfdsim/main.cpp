#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::fputs("vfdsim: the simulated drives are still being built.\n", stderr);
    return 1;
}
