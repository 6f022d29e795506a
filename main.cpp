#include "mainwindow.h"
#include "qtpolish.h"
#include "screenfit.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    installToolkitPolish();
    MainWindow window;
    fitToScreen(&window);
    window.show();
    return app.exec();
}
