#include "AppEnv.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    AppEnv::init();
    return 0;
}
