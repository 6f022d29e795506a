// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PHRASE_H
#define PHRASE_H

#include "ui_phrase.h"

#include <QWidget>

// The phrase cipher page: shows the cipher alphabet of the phrase and letter while they
// are typed, and enciphers or deciphers the text field in place.
class PhraseWidget : public QWidget {
    Q_OBJECT

public:
    explicit PhraseWidget(QWidget *parent = nullptr);

private slots:
    void generateAlphabet();
    void cipher();
    void decipher();

private:
    void describeForAssistiveTechnology();
    void keepAlphabetsMonospaced();
    bool hasPhraseAndLetter() const;
    void perform(bool encipher);
    void showError(const QString &message);

    Ui::Phrase ui;
};

#endif // PHRASE_H
