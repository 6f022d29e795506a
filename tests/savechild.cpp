// SPDX-License-Identifier: GPL-3.0-or-later
// A save of the prime table in a program that is ended while the save runs, for
// tst_saveend. It saves the numbers 1 to COUNT into TARGET, says "saving" once the save has
// reached number AT and waits there until its input ends: the test knows where the save is
// when it sends a signal or takes the display away.
//   savechild TARGET COUNT AT [exit] [nobody] [ignore-hup]
//     exit        ends there with exit(1), as the toolkit does when the display is lost
//     nobody      saves as the user nobody when run by root, for whom permissions count
//     ignore-hup  starts with SIGHUP ignored, as under nohup
// It prints every message box ("box: TEXT") and "saved" when the save has returned, and
// sets up the program's end as main() does.

#include "childnamed.h"
#include "fileaccess.h"
#include "modal.h"
#include "primefile.h"
#include "primetable.h"
#include "widgets/quitsignals.h"

#include <QApplication>
#include <QFileDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <grp.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

void waitForEndOfInput()
{
    char byte = 0;
    while (::read(STDIN_FILENO, &byte, 1) > 0) {
    }
}

// For root, the user nobody for good: then permissions count. A process that changed its
// user can no longer be examined, unless it says so, which the sanitizer's leak check at exit
// needs.
bool becomeNobody()
{
    constexpr uid_t nobody = WithoutRootPrivileges::nobody;
    if (geteuid() != 0)
        return true;
    return setgroups(0, nullptr) == 0 && setresgid(nobody, nobody, nobody) == 0 &&
           setresuid(nobody, nobody, nobody) == 0 && prctl(PR_SET_DUMPABLE, 1) == 0;
}

struct Options {
    QString target;
    int count = 0;
    int at = 0;
    bool exitThere = false;
    bool asNobody = false;
    bool ignoreHangUp = false;
};

Options parse(int argc, char *argv[])
{
    Options options;
    options.target = QString::fromLocal8Bit(argv[1]);
    options.count = QByteArray(argv[2]).toInt();
    options.at = QByteArray(argv[3]).toInt();
    for (int i = 4; i < argc; ++i) {
        const QByteArray option(argv[i]);
        options.exitThere |= option == "exit";
        options.asNobody |= option == "nobody";
        options.ignoreHangUp |= option == "ignore-hup";
    }
    return options;
}

void answerFileDialog(const QString &target)
{
    testing_modal::onNextModal([target](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
        if (QWidget *focused = QApplication::focusWidget())
            focused->clearFocus();
        dialog->selectFile(target);
        static_cast<QDialog *>(dialog)->done(QDialog::Accepted);
    });
}

int save(const Options &options)
{
    PrimeTable table;
    auto *list = childNamed<QListWidget>(&table, "list");
    for (int n = 1; n <= options.count; ++n)
        list->addItem(QString::number(n));
    table.show();
    if (options.asNobody && !becomeNobody())
        return 3;

    bool said = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            say(QStringLiteral("box: ") + box->text());
            box->accept();
        }
        auto *progress = table.findChild<QProgressDialog *>();
        if (said || !progress || progress->value() < options.at)
            return;
        said = true;
        say(QStringLiteral("saving"));
        if (options.exitThere)
            std::exit(1);
        waitForEndOfInput();
    });
    watch.start(0);
    QTimer::singleShot(0, &table, [&] {
        answerFileDialog(options.target);
        childNamed<QPushButton>(&table, "save")->click();
        say(QStringLiteral("saved"));
        QCoreApplication::exit(0);
    });
    return QApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 4)
        return 2;
    const Options options = parse(argc, argv);
    // Started in the background of a shell, a test would leave SIGINT ignored here.
    for (const int signal : {SIGTERM, SIGHUP, SIGINT})
        std::signal(signal, options.ignoreHangUp && signal == SIGHUP ? SIG_IGN : SIG_DFL);
    int status = 0;
    {
        QApplication app(argc, argv);
        const QuitSignals quitSignals(&ListTarget::settleUnfinished);
        status = save(options);
    }
    QuitSignals::endAsReceived();
    return status;
}
