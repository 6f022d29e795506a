#ifndef PRIMETABLE_H
#define PRIMETABLE_H

#include "ui_prime.h"

#include <QTimer>
#include <QWidget>

class ListSource;
class ListTarget;

// The window that lists the primes of a range, a chunk per timer tick, and saves the
// list to a text file or loads it back.
class PrimeTable : public QWidget {
    Q_OBJECT

public:
    explicit PrimeTable(QWidget *parent = nullptr);
    ~PrimeTable() override;

public slots:
    void loadTable();
    void saveTable();
    void generate();

private slots:
    void updateState();
    void timeout();

private:
    void finishGeneration();
    void setFileAndRangeEnabled(bool enabled);
    void setFileWorkRunning(bool running);
    bool advanceCandidate();
    bool writeList(ListTarget &file);
    QString readList(ListSource &file, const QString &fileName);

    QTimer timer;
    qlonglong m_current = 0;
    Ui::PrimeGenerator ui;
};

#endif // PRIMETABLE_H
