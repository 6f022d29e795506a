// SPDX-License-Identifier: GPL-3.0-or-later
// Both windows as a screen reader meets them through the toolkit's accessibility
// interface: a name of its own for every field, labelled by the label beside it; results
// in words and announced without a move of the focus; long work that sends few updates
// and its final state at once; the prime table a window whose list tells its size.

#include "childnamed.h"
#include "mainwindow.h"
#include "modal.h"
#include "primetable.h"
#include "rununtil.h"
#include "widgets/updatepacer.h"

#include <QtTest>

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>

// The offscreen platform has no screen reader to ask for events, so the toolkit sends none
// to an update handler; the toolkit's own tests switch its accessibility on the same way.
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <memory>
#include <vector>

namespace {

// One event as it left the pacer, with what a screen reader would read at that moment.
struct Seen {
    QAccessible::Event type;
    QPointer<QObject> object;
    QAccessible::Role role;
    QString name;
    QString message;
    qint64 ms;
};

QElapsedTimer &sinceStart()
{
    static QElapsedTimer started;
    return started;
}

std::vector<Seen> &seen()
{
    static std::vector<Seen> events;
    return events;
}

void record(QAccessibleEvent *event)
{
    QAccessibleInterface *iface = event->accessibleInterface();
    QString message;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    if (event->type() == QAccessible::Announcement)
        message = static_cast<QAccessibleAnnouncementEvent *>(event)->message();
#endif
    seen().push_back({event->type(), event->object(), iface ? iface->role() : QAccessible::NoRole,
                      iface ? iface->text(QAccessible::Name) : QString(), message,
                      sinceStart().elapsed()});
}

std::vector<Seen> seenFrom(const QObject *object, QAccessible::Event type)
{
    std::vector<Seen> found;
    for (const Seen &event : seen())
        if (event.object == object && event.type == type)
            found.push_back(event);
    return found;
}

// The most events of `events` within any one second.
int mostInOneSecond(const std::vector<Seen> &events)
{
    int most = 0;
    for (size_t first = 0, last = 0; last < events.size(); ++last) {
        while (events[last].ms - events[first].ms >= 1000)
            ++first;
        most = qMax(most, int(last - first + 1));
    }
    return most;
}

// What a screen reader is told while the focus stays put: on Qt 6.8 announcements, before
// a notification that appears, named with the message.
QStringList announced()
{
    QStringList messages;
    for (const Seen &event : seen()) {
        if (event.type == QAccessible::ObjectShow && event.role == QAccessible::Notification)
            messages << event.name;
        if (!event.message.isEmpty())
            messages << event.message;
    }
    return messages;
}

QString accessibleName(QObject *object)
{
    return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Name);
}

bool labelledBy(QWidget *field, QLabel *label)
{
    const auto relations =
        QAccessible::queryAccessibleInterface(field)->relations(QAccessible::Label);
    for (const auto &relation : relations)
        if (relation.first->object() == label)
            return true;
    return false;
}

// The fields, spin boxes and lists a user fills in or reads, as the accessible tree has
// them: the line edit inside a spin box is part of the spin box.
QList<QWidget *> inputsOf(QWidget *window)
{
    QList<QWidget *> inputs;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        const bool input = qobject_cast<QAbstractSpinBox *>(widget) ||
                           qobject_cast<QLineEdit *>(widget) || qobject_cast<QTextEdit *>(widget) ||
                           qobject_cast<QPlainTextEdit *>(widget) ||
                           qobject_cast<QListWidget *>(widget);
        if (input && !qobject_cast<QAbstractSpinBox *>(widget->parentWidget()))
            inputs << widget;
    }
    return inputs;
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void everyInputNamedOnItsOwn_data();
    void everyInputNamedOnItsOwn();
    void labelledByTheLabelBeside_data();
    void labelledByTheLabelBeside();
    void resultsSpoken_data();
    void resultsSpoken();
    void resultAnnouncedFocusStays_data();
    void resultAnnouncedFocusStays();
    void cipherTextAnnounced();
    void logNSearchEndAnnounced();
    void logNSearchPaced();
    void fermatBarPaced();
    void primeTableIsAWindowWithANamedList();
    void primeListCountPaced();

private:
    template <typename T>
    T *child(const char *name) const
    {
        return childNamed<T>(window.get(), name);
    }
    QWidget *windowNamed(const QString &which);
    void showPage(int index);
    void press(QPushButton *button);

    std::unique_ptr<MainWindow> window;
    std::unique_ptr<PrimeTable> primes;
    testing_modal::Watchdog watchdog;
};

void TestAccessibility::initTestCase()
{
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
    QVERIFY(QAccessible::isActive());
    sinceStart().start();
}

// The recorder is installed first, so each window's pacer puts itself in front of it.
void TestAccessibility::init()
{
    QAccessible::installUpdateHandler(record);
    window = std::make_unique<MainWindow>();
    primes = std::make_unique<PrimeTable>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    seen().clear();
}

void TestAccessibility::cleanup()
{
    primes.reset();
    window.reset();
    QAccessible::installUpdateHandler(nullptr);
    QVERIFY2(watchdog.unexpected().isEmpty(),
             qPrintable(watchdog.unexpected().join(QStringLiteral(", "))));
}

QWidget *TestAccessibility::windowNamed(const QString &which)
{
    return which == QLatin1String("main") ? static_cast<QWidget *>(window.get()) : primes.get();
}

void TestAccessibility::showPage(int index)
{
    child<QTabWidget>("tabWidget")->setCurrentIndex(index);
}

// Space on the focused button, as a keyboard user presses it.
void TestAccessibility::press(QPushButton *button)
{
    window->activateWindow();
    button->setFocus();
    QTRY_VERIFY(button->hasFocus());
    QTest::keyClick(button, Qt::Key_Space);
}

void TestAccessibility::everyInputNamedOnItsOwn_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<int>("inputs");
    // 17 spin boxes of the enabled boxes, 3 of the disabled "Log" box, 4 line edits, the
    // Log n list, and on the cipher and CRC pages 2 line edits and 2 text fields.
    QTest::newRow("main window") << QStringLiteral("main") << 29;
    QTest::newRow("prime table window") << QStringLiteral("prime") << 3;
}

void TestAccessibility::everyInputNamedOnItsOwn()
{
    QFETCH(QString, which);
    QFETCH(int, inputs);
    const QList<QWidget *> found = inputsOf(windowNamed(which));
    QCOMPARE(found.size(), inputs);
    QHash<QString, QString> owners;
    for (QWidget *input : found) {
        const QString name = accessibleName(input);
        const QString object = input->objectName();
        QVERIFY2(!name.trimmed().isEmpty(), qPrintable(object + QStringLiteral(" has no name")));
        auto *box = qobject_cast<QGroupBox *>(input->parentWidget());
        QVERIFY2(!box || name != box->title(),
                 qPrintable(object + QStringLiteral(" is named by its box alone")));
        QVERIFY2(!owners.contains(name), qPrintable(QStringLiteral("%1 and %2 share the name %3")
                                                        .arg(owners.value(name), object, name)));
        owners.insert(name, object);
    }
}

void TestAccessibility::labelledByTheLabelBeside_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("labelText");
    QTest::addColumn<QString>("name");

    const auto row = [](const char *which, const char *field, const char *label, const char *text,
                        const char *name) {
        QTest::newRow(field) << QString::fromUtf8(which) << QString::fromUtf8(field)
                             << QString::fromUtf8(label) << QString::fromUtf8(text)
                             << QString::fromUtf8(name);
    };
    row("main", "nwd1", "label_2", "Pierwsza liczba:", "NWD – pierwsza liczba");
    row("main", "nwd2", "label_3", "Druga liczba:", "NWD – druga liczba");
    row("main", "mulmod1", "label_5", "Czynnik:", "Mnożenie – pierwszy czynnik");
    row("main", "mulmod2", "label_6", "Czynnik:", "Mnożenie – drugi czynnik");
    row("main", "mulmodN", "label_7", "Moduł:", "Mnożenie – moduł");
    row("main", "exp1", "label_8", "Podstawa:", "Potęgowanie – podstawa");
    row("main", "exp2", "label_9", "Wykładnik:", "Potęgowanie – wykładnik");
    row("main", "expN", "label_10", "Moduł:", "Potęgowanie – moduł");
    row("main", "odwr", "label", "Baza:", "Odwrotność – baza");
    row("main", "odwrN", "label_4", "Moduł:", "Odwrotność – moduł");
    row("main", "primeNumber", "label_11",
        "Testowana liczba:", "Test pierwszości – testowana liczba");
    row("main", "primeTries", "label_12", "Liczba prób:", "Test pierwszości – liczba prób");
    row("main", "pollardRho", "label_13",
        "Liczba do faktoryzacji:", "Pollard rho – liczba do faktoryzacji");
    row("main", "pollardP", "label_17",
        "Liczba do faktoryzacji:", "Pollard p-1 – liczba do faktoryzacji");
    row("main", "qs", "label_18",
        "Liczba do faktoryzacji:", "Quadratic sieve – liczba do faktoryzacji");
    row("main", "shanksA", "label_28", "a:", "Shanks – a");
    row("main", "shanksY", "label_30", "y:", "Shanks – y");
    row("main", "shanksN", "label_29", "n:", "Shanks – n");
    row("main", "spinBox_11", "label_32", "a:", "Log – a");
    row("main", "spinBox_10", "label_31", "y:", "Log – y");
    row("main", "spinBox_12", "label_33", "n:", "Log – n");
    row("main", "lognA", "label_21", "a:", "Log n – a");
    row("main", "lognY", "label_22", "y:", "Log n – y");
    row("main", "lognN", "label_23", "n:", "Log n – n");
    // The cipher page's own labels: "label" and "label_2" inside the page's widget.
    row("phrase", "phrase", "label", "Fraza:", "Fraza");
    row("phrase", "letter", "label_2", "Litera:", "Litera");
    row("prime", "min", "label", "Od:", "Od");
    row("prime", "max", "label_2", "Do:", "Do");
}

void TestAccessibility::labelledByTheLabelBeside()
{
    QFETCH(QString, which);
    QFETCH(QString, field);
    QFETCH(QString, label);
    QFETCH(QString, labelText);
    QFETCH(QString, name);
    QWidget *root = which == QLatin1String("phrase")
                        ? child<QWidget>("tab_4")->findChild<QWidget *>(QStringLiteral("phrase"),
                                                                        Qt::FindDirectChildrenOnly)
                        : windowNamed(which);
    auto *input = root->findChild<QWidget *>(field);
    // Names of labels repeat across the forms: the one beside the field is its sibling.
    auto *beside =
        input ? input->parentWidget()->findChild<QLabel *>(label, Qt::FindDirectChildrenOnly)
              : nullptr;
    QVERIFY(input && beside);
    QCOMPARE(accessibleName(input), name);
    QVERIFY(labelledBy(input, beside));
    // The label shows what it showed, and takes no Alt shortcut for its buddy.
    QCOMPARE(beside->text(), labelText);
    QVERIFY(QKeySequence::mnemonic(beside->text()).isEmpty());
}

void TestAccessibility::resultsSpoken_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("spoken");

    const auto row = [](const char *name, int page, const QStringList &inputs, const char *button,
                        const char *result, const char *shown, const char *spoken) {
        QTest::newRow(name) << page << inputs << QString::fromUtf8(button)
                            << QString::fromUtf8(result) << QString::fromUtf8(shown)
                            << QString::fromUtf8(spoken);
    };
    const auto fields = [](std::initializer_list<const char *> pairs) {
        QStringList list;
        for (const char *item : pairs)
            list << QString::fromUtf8(item);
        return list;
    };
    row("power", 0, fields({"exp1", "3", "exp2", "5", "expN", "7"}), "expGo", "expResult",
        "<i>3</i><sup> <i>5</i></sup> mod <i>7</i> = 5", "3 do potęgi 5 modulo 7 równa się 5");
    row("inverse", 0, fields({"odwr", "3", "odwrN", "7"}), "odwrGo", "odwrResult",
        "<i>3</i> <sup>-1</sup> mod <i>7</i> = 5", "odwrotność 3 modulo 7 równa się 5");
    row("product", 0, fields({"mulmod1", "7", "mulmod2", "8", "mulmodN", "5"}), "mulmodGo",
        "mulmodResult", "<i>7</i> ⋅ <i>8</i> mod <i>5</i> = 1", "7 razy 8 modulo 5 równa się 1");
    row("gcd", 0, fields({"nwd1", "12", "nwd2", "18"}), "nwdGo", "nwdResult", "NWD(12, 18) = 6",
        "największy wspólny dzielnik liczb 12 i 18 równa się 6");
    row("rho", 1, fields({"pollardRho", "8051"}), "pollardGo", "pollardRhoResult", "8051 = 97 ⋅ 83",
        "8051 równa się 97 razy 83");
    row("p-1 of typed markup", 1, fields({"pollardP", "<b>1"}), "pollard1Go", "pollardPResult",
        "&lt;b&gt;1 = 2 ⋅ 0", "<b>1 równa się 2 razy 0");
    row("Shanks", 2, fields({"shanksA", "2", "shanksY", "3", "shanksN", "11"}), "shanksGo",
        "shanksResult", "log<sub>2</sub>3 (mod <i>11</i>) = 8",
        "logarytm o podstawie 2 z 3 modulo 11 równa się 8");
    row("CRC", 4, fields({"crcContent", "123456789"}), "crcButton", "crcLabel",
        "hex=0xCBF43926\tdec=3421780262", "szesnastkowo C B F 4 3 9 2 6, dziesiętnie 3421780262");
}

// The label paints the form's text as before; its accessible name says it in words.
void TestAccessibility::resultsSpoken()
{
    QFETCH(int, page);
    QFETCH(QStringList, inputs);
    QFETCH(QString, button);
    QFETCH(QString, result);
    QFETCH(QString, shown);
    QFETCH(QString, spoken);
    showPage(page);
    for (int i = 0; i < inputs.size(); i += 2) {
        auto *field = window->findChild<QWidget *>(inputs[i]);
        if (auto *spin = qobject_cast<QSpinBox *>(field))
            spin->setValue(inputs[i + 1].toInt());
        else if (auto *line = qobject_cast<QLineEdit *>(field))
            line->setText(inputs[i + 1]);
        else
            qobject_cast<QPlainTextEdit *>(field)->setPlainText(inputs[i + 1]);
    }
    window->findChild<QPushButton *>(button)->click();
    auto *label = window->findChild<QLabel *>(result);
    QCOMPARE(label->text(), shown);
    QCOMPARE(accessibleName(label), spoken);
}

void TestAccessibility::resultAnnouncedFocusStays_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("spoken");
    // The start values of the fields.
    QTest::newRow("gcd") << 0 << "nwdGo"
                         << QStringLiteral("największy wspólny dzielnik liczb 1 i 1 równa się 1");
    QTest::newRow("power") << 0 << "expGo" << QStringLiteral("0 do potęgi 0 modulo 2 równa się 0");
    QTest::newRow("p-1, its box disabled meanwhile")
        << 1 << "pollard1Go" << QStringLiteral("równa się 2 razy 0");
    QTest::newRow("Shanks") << 2 << "shanksGo" << QStringLiteral("Nie znaleziono logarytmu");
    QTest::newRow("CRC") << 4 << "crcButton" << QStringLiteral("szesnastkowo 0, dziesiętnie 0");
}

// Pressed twice: the same result is told again, as the user asked for it again.
void TestAccessibility::resultAnnouncedFocusStays()
{
    QFETCH(int, page);
    QFETCH(QString, button);
    QFETCH(QString, spoken);
    showPage(page);
    auto *pressed = window->findChild<QPushButton *>(button);
    for (int time = 1; time <= 2; ++time) {
        press(pressed);
        QTRY_COMPARE(announced().size(), time);
        QCOMPARE(announced().last(), spoken);
        QVERIFY(pressed->hasFocus());
    }
}

void TestAccessibility::cipherTextAnnounced()
{
    showPage(3);
    auto *page = child<QWidget>("tab_4");
    page->findChild<QLineEdit *>(QStringLiteral("phrase"))->setText(QStringLiteral("KLUCZ"));
    page->findChild<QTextEdit *>(QStringLiteral("text"))
        ->setPlainText(QStringLiteral("ala ma kota"));
    press(page->findChild<QPushButton *>(QStringLiteral("cipher")));
    const QString ciphertext = page->findChild<QTextEdit *>(QStringLiteral("text"))->toPlainText();
    QVERIFY(ciphertext != QLatin1String("ala ma kota"));
    QTRY_COMPARE(announced(), QStringList{ciphertext});
}

void TestAccessibility::logNSearchEndAnnounced()
{
    showPage(2);
    child<QSpinBox>("lognA")->setValue(3);
    child<QSpinBox>("lognY")->setValue(1);
    child<QSpinBox>("lognN")->setValue(7);
    auto *list = child<QListWidget>("lognResult");
    press(child<QPushButton>("lognGo"));
    QTRY_COMPARE(announced(), QStringList{QStringLiteral(
                                  "Log n: wyszukiwanie zakończone, znalezione wykładniki: 0, 6.")});
    QCOMPARE(list->count(), 2);
    QTRY_COMPARE(list->accessibleDescription(), QStringLiteral("Wykładników: 2"));
    QCOMPARE(accessibleName(list), QStringLiteral("Log n – znalezione wykładniki"));
}

// The button's painted text changes after every slice of twenty exponents; a screen reader
// hears about 1000 / UpdatePacer::interval of these a second, and the text after Stop at
// once. A loaded machine fires a late timer close to the next one, so a second may hold a
// couple more; twenty a second is what a reader can still follow.
void TestAccessibility::logNSearchPaced()
{
    showPage(2);
    child<QSpinBox>("lognA")->setValue(3);
    child<QSpinBox>("lognY")->setValue(5);
    child<QSpinBox>("lognN")->setValue(2000000000);
    auto *button = child<QPushButton>("lognGo");
    press(button);
    QElapsedTimer searching;
    searching.start();
    runUntil([&] { return searching.hasExpired(1500); }, 5000);
    const QString lastCount = button->text();
    const qint64 stopped = sinceStart().elapsed();
    press(button);
    QCOMPARE(button->text(), QStringLiteral("Znajdz logarytm"));
    QElapsedTimer afterStop;
    afterStop.start();
    runUntil([&] { return afterStop.hasExpired(1500); }, 5000);

    const std::vector<Seen> names = seenFrom(button, QAccessible::NameChanged);
    QVERIFY(!names.empty());
    const qlonglong slices = lastCount.mid(6).chopped(1).toLongLong() / 20;
    QVERIFY2(slices > 10 * qlonglong(names.size()),
             qPrintable(QStringLiteral("%1 slices, %2 names sent").arg(slices).arg(names.size())));
    QVERIFY2(mostInOneSecond(names) <= 2 * (1000 / UpdatePacer::interval),
             qPrintable(QString::number(mostInOneSecond(names))));
    QCOMPARE(names.back().name, QStringLiteral("Znajdz logarytm"));
    QVERIFY2(names.back().ms - stopped < 1000,
             qPrintable(QString::number(names.back().ms - stopped)));
}

// 200 tries move the bar 200 times to exact values; it sends a few of them.
void TestAccessibility::fermatBarPaced()
{
    showPage(1);
    child<QLineEdit>("primeNumber")->setText(QStringLiteral("999999999999989"));
    child<QSpinBox>("primeTries")->setValue(200);
    auto *bar = child<QProgressBar>("fermatPb");
    QElapsedTimer testing;
    testing.start();
    press(child<QPushButton>("primeGo"));
    const qint64 seconds = testing.elapsed() / 1000 + 1;
    QCOMPARE(bar->value(), 200);
    QTRY_VERIFY(!seenFrom(bar, QAccessible::ValueChanged).empty());
    QElapsedTimer settled;
    settled.start();
    runUntil([&] { return settled.hasExpired(2 * UpdatePacer::interval); }, 5000);
    const std::vector<Seen> values = seenFrom(bar, QAccessible::ValueChanged);
    QVERIFY2(qint64(values.size()) <= seconds * (1000 / UpdatePacer::interval) + 1,
             qPrintable(QString::number(values.size())));
    // The percentage is written in the default locale's number format.
    QCOMPARE(announced().size(), 1);
    QVERIFY(announced().first().startsWith(
        QStringLiteral("Liczba jest pierwsza z prawdopodobieństwem 100")));
    QVERIFY(announced().first().endsWith(QStringLiteral(" procent")));
}

void TestAccessibility::primeTableIsAWindowWithANamedList()
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(primes.get());
    QCOMPARE(iface->role(), QAccessible::Window);
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Generator liczb pierwszych"));
    auto *list = childNamed<QListWidget>(primes.get(), "list");
    QCOMPARE(accessibleName(list), QStringLiteral("Liczby pierwsze"));
    QCOMPARE(list->accessibleDescription(), QStringLiteral("Liczb: 0"));
}

// 9592 rows arrive in chunks; the list tells its size a few times, and the full count at
// the end.
void TestAccessibility::primeListCountPaced()
{
    primes->show();
    QVERIFY(QTest::qWaitForWindowExposed(primes.get()));
    auto *list = childNamed<QListWidget>(primes.get(), "list");
    auto *generate = childNamed<QPushButton>(primes.get(), "generate");
    childNamed<QLineEdit>(primes.get(), "max")->setText(QStringLiteral("100000"));
    seen().clear();
    QElapsedTimer generating;
    generating.start();
    generate->click();
    QVERIFY(runUntil([&] { return generate->text() == QLatin1String("Generuj liczby"); }));
    const qint64 seconds = generating.elapsed() / 1000 + 1;
    QCOMPARE(list->count(), 9592);
    QCOMPARE(list->accessibleDescription(), QStringLiteral("Liczb: 9592"));
    QTRY_COMPARE(announced(), QStringList{QStringLiteral("Liczb na liście: 9592")});
    QElapsedTimer settled;
    settled.start();
    runUntil([&] { return settled.hasExpired(2 * UpdatePacer::interval); }, 5000);
    const std::vector<Seen> counts = seenFrom(list, QAccessible::DescriptionChanged);
    QVERIFY(!counts.empty());
    QVERIFY2(qint64(counts.size()) <= seconds * (1000 / UpdatePacer::interval) + 1,
             qPrintable(QString::number(counts.size())));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
