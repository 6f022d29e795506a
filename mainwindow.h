// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "ui_mainwindow.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QScopedPointer>
#include <QTimer>

#include <vector>

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The most exponents the Log n list holds; a search that finds more stops there.
    void setLogNListLimit(int limit);

public slots:
    void nwd();
    void mulmod();
    void odwr();
    void exp();
    void testPrime();
    void pollardRho();
    void pollard1();
    void shanks();
    void calculateLogN();
    void about();
    void primeTable();
    void calculateChecksum();

private slots:
    void lognstep();

private:
    void describeForAssistiveTechnology();
    QString logNFound() const;
    void setLogNFieldsEnabled(bool enabled);
    void listPendingExponents();
    void endLogN(const QString &buttonText);
    void holdLogNButtonSize(qlonglong lastExponent);
    void stopLogNAtListLimit();

    Ui::MainWindow ui;
    QTimer logntimer;
    QScopedPointer<QWidget> primeTab;
    // Matches of the Log n search not yet in its list: the list takes them once a frame.
    std::vector<qlonglong> lognPending;
    QElapsedTimer lognPainted;
    int lognListLimit;
};

#endif // MAINWINDOW_H
