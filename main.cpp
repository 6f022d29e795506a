#include "mainwindow.h"
#include "widgets/screenfit.h"
#include "widgets/toolkittranslation.h"

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
