// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit's own texts in Polish, the program's texts exactly as written.

#include "childnamed.h"
#include "mainwindow.h"
#include "modal.h"
#include "primetable.h"
#include "widgets/toolkittranslation.h"

#include <QtTest>

#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include <memory>

namespace {

// Every text a user can read on `root` and its descendants, one "object.property=value"
// line each, in creation order.
QStringList visibleTexts(const QObject *root)
{
    static const char *const properties[] = {"windowTitle", "title",           "text",
                                             "toolTip",     "statusTip",       "whatsThis",
                                             "plainText",   "placeholderText", "shortcut"};
    QStringList texts;
    QList<const QObject *> objects{root};
    for (const QObject *object : root->findChildren<QObject *>())
        objects << object;
    for (const QObject *object : objects) {
        const QString name = object->objectName() + QLatin1Char('.');
        for (const char *property : properties) {
            const QVariant value = object->property(property);
            if (value.isValid())
                texts << name + QLatin1String(property) + QLatin1Char('=') + value.toString();
        }
        if (const auto *tabs = qobject_cast<const QTabWidget *>(object))
            for (int i = 0; i < tabs->count(); ++i)
                texts << name + QStringLiteral("tab=") + tabs->tabText(i);
    }
    return texts;
}

// The texts of the main window after every button whose result needs no random choice has
// been pressed, of the About dialog and of the prime table window.
QStringList programTexts()
{
    MainWindow window;
    childNamed<QSpinBox>(&window, "odwr")->setValue(4);
    childNamed<QSpinBox>(&window, "odwrN")->setValue(6);
    for (const char *button :
         {"nwdGo", "mulmodGo", "odwrGo", "expGo", "shanksGo", "crcButton", "lognGo"})
        childNamed<QPushButton>(&window, button)->click();
    QStringList texts = visibleTexts(&window);
    childNamed<QPushButton>(&window, "lognGo")->click(); // stopped: the undotted text
    texts << visibleTexts(childNamed<QPushButton>(&window, "lognGo"));

    QStringList about;
    testing_modal::onNextModal([&about](QWidget *dialog) {
        about = visibleTexts(dialog);
        dialog->close();
    });
    childNamed<QAction>(&window, "actionAbout")->trigger();
    texts << about;

    PrimeTable table;
    texts << visibleTexts(&table);
    return texts;
}

QStringList fileDialogButtons()
{
    QFileDialog dialog(nullptr, QString(), QString(), QString());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList texts;
    for (QAbstractButton *button : childNamed<QDialogButtonBox>(&dialog, "buttonBox")->buttons())
        texts << button->text();
    texts << childNamed<QLabel>(&dialog, "lookInLabel")->text();
    return texts;
}

} // namespace

class TestToolkitTranslation : public QObject {
    Q_OBJECT

private slots:
    void toolkitContexts_data();
    void toolkitContexts();
    void programContextsNeverTranslated();
    void missingTranslationLeavesEnglish();
    void fileDialogPolishAndProgramTextsUnchanged();
};

void TestToolkitTranslation::toolkitContexts_data()
{
    QTest::addColumn<QByteArray>("context");
    QTest::addColumn<bool>("toolkit");
    QTest::newRow("file dialog") << QByteArray("QFileDialog") << true;
    QTest::newRow("platform theme") << QByteArray("QPlatformTheme") << true;
    QTest::newRow("line edit menu") << QByteArray("QWidgetTextControl") << true;
    for (const char *program :
         {"MainWindow", "AboutDialog", "Phrase", "PhraseWidget", "PrimeGenerator", "PrimeTable"})
        QTest::newRow(program) << QByteArray(program) << false;
    QTest::newRow("Q alone") << QByteArray("Q") << false;
    QTest::newRow("lower case") << QByteArray("Qt") << false;
    QTest::newRow("empty") << QByteArray("") << false;
}

void TestToolkitTranslation::toolkitContexts()
{
    QFETCH(QByteArray, context);
    QFETCH(bool, toolkit);
    QCOMPARE(ToolkitTranslator::isToolkitContext(context.constData()), toolkit);
}

// A translation file that also holds the program's contexts: only the toolkit's answer.
void TestToolkitTranslation::programContextsNeverTranslated()
{
    ToolkitTranslator translator;
    QVERIFY(translator.load(QFINDTESTDATA("data/contexts.qm")));
    QCOMPARE(translator.translate("QFileDialog", "Look in:"), QStringLiteral("Szukaj w:"));
    QCOMPARE(translator.translate("MainWindow", "Stop"), QString());
    QCOMPARE(translator.translate("PrimeGenerator", "Generuj liczby"), QString());

    QTranslator plain; // what the filter is for
    QVERIFY(plain.load(QFINDTESTDATA("data/contexts.qm")));
    QCOMPARE(plain.translate("MainWindow", "Stop"), QStringLiteral("Zatrzymaj"));
}

void TestToolkitTranslation::missingTranslationLeavesEnglish()
{
    const QStringList english = fileDialogButtons();
    QVERIFY(!installPolishToolkitTranslation(QStringLiteral("/nonexistent")));
    QCOMPARE(fileDialogButtons(), english);
}

void TestToolkitTranslation::fileDialogPolishAndProgramTextsUnchanged()
{
    const QString directory = toolkitTranslationsPath();
    if (!QFileInfo::exists(directory + QStringLiteral("/qtbase_pl.qm")))
        QSKIP("the toolkit's Polish translation is not installed");
    const QStringList asWritten = programTexts();
    QVERIFY(asWritten.contains(QStringLiteral("lognGo.text=Znajdz logarytm")));
    QVERIFY(asWritten.contains(QStringLiteral("AboutDialog.windowTitle=O programie")));
    QVERIFY(asWritten.contains(
        QStringLiteral("PrimeGenerator.windowTitle=Generator liczb pierwszych")));
    QCOMPARE(fileDialogButtons(), (QStringList{QStringLiteral("&Save"), QStringLiteral("Cancel"),
                                               QStringLiteral("Look in:")}));

    QVERIFY(installPolishToolkitTranslation());
    QCOMPARE(fileDialogButtons(),
             (QStringList{QStringLiteral("&Zachowaj"), QStringLiteral("Anuluj"),
                          QStringLiteral("Szukaj w:")}));
    QCOMPARE(programTexts(), asWritten);
}

QTEST_MAIN(TestToolkitTranslation)
#include "tst_toolkittranslation.moc"
