// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PRIMETABLE_H
#define PRIMETABLE_H

#include "ui_prime.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class ListSource;
class ListTarget;
class ListWriter;

// The window that lists the primes of a range, a chunk per timer tick, and saves the
// list to a text file or loads it back.
class PrimeTable : public QWidget {
    Q_OBJECT

public:
    explicit PrimeTable(QWidget *parent = nullptr);
    ~PrimeTable() override;

    // The most numbers the list holds; a generation or a load stops there. For tests.
    void setListLimit(int limit);

public slots:
    void loadTable();
    void saveTable();
    void generate();

private slots:
    void updateState();
    void timeout();

private:
    void describeForAssistiveTechnology();
    void announceListed();
    void finishGeneration();
    void setFileAndRangeEnabled(bool enabled);
    void setFileWorkRunning(bool running);
    bool advanceCandidate();
    void clearList();
    bool listNumber(qlonglong number);
    void showListed(bool now);
    void reportListFull(const QString &title);
    bool writeList(ListTarget &file, int longest, int &cancelledAt);
    bool writeRest(ListWriter &writer, QString &text, ListTarget &file, int written);
    QString readList(ListSource &file, const QString &fileName);

    QTimer timer;
    qlonglong m_current = 0;
    Ui::PrimeGenerator ui;
    int listLimit;
    int unshownRows = 0;
    QElapsedTimer sinceShown;
};

#endif // PRIMETABLE_H
