// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow.h"
#include "primefile.h"
#include "widgets/desktopidentity.h"
#include "widgets/quitsignals.h"
#include "widgets/screenfit.h"
#include "widgets/toolkittranslation.h"

#include <QApplication>

#include <csignal>

int main(int argc, char *argv[])
{
    // Past a file size limit the system would end the program with this signal instead of
    // failing the write; ignored, a save fails with EFBIG, which it reports.
    std::signal(SIGXFSZ, SIG_IGN);
    int status = 0;
    {
        QApplication app(argc, argv);
        setDesktopIdentity(QStringLiteral(KALMORA_APP_ID), QStringLiteral(":/icons"));
        installPolishToolkitTranslation();
        const QuitSignals quitSignals(&ListTarget::settleUnfinished);
        MainWindow window;
        fitToScreen(&window);
        showWithinScreen(&window);
        status = app.exec();
    }
    QuitSignals::endAsReceived();
    return status;
}
