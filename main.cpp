#include "mainwindow.h"
#include "widgets/desktopidentity.h"
#include "widgets/screenfit.h"
#include "widgets/toolkittranslation.h"

#include <QApplication>

#include <csignal>

int main(int argc, char *argv[])
{
    // Past a file size limit the system would end the program with this signal instead of
    // failing the write; ignored, a save fails with EFBIG, which it reports.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    setDesktopIdentity(QStringLiteral(KALMORA_APP_ID), QStringLiteral(":/icons"));
    installPolishToolkitTranslation();
    MainWindow window;
    fitToScreen(&window);
    showWithinScreen(&window);
    return app.exec();
}
