#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "ui_mainwindow.h"

#include <QMainWindow>
#include <QScopedPointer>
#include <QTimer>

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

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
    void setLogNFieldsEnabled(bool enabled);

    Ui::MainWindow ui;
    QTimer logntimer;
    QScopedPointer<QWidget> primeTab;
};

#endif // MAINWINDOW_H
