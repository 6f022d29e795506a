// SPDX-License-Identifier: GPL-3.0-or-later
#include "phrase.h"

#include "funcs.h"
#include "widgets/accessibility.h"
#include "widgets/copyresults.h"
#include "widgets/longwordwrap.h"

#include <QMessageBox>

PhraseWidget::PhraseWidget(QWidget *parent)
    : QWidget(parent)
{
    ui.setupUi(this);
    keepAlphabetsMonospaced();
    makeSelectable({ui.ciphalphabet});
    LongWordWrap::attach(ui.text);

    connect(ui.letter, SIGNAL(textChanged(const QString &)), this, SLOT(generateAlphabet()));
    connect(ui.phrase, SIGNAL(textChanged(const QString &)), this, SLOT(generateAlphabet()));
    connect(ui.cipher, SIGNAL(clicked()), this, SLOT(cipher()));
    connect(ui.decipher, SIGNAL(clicked()), this, SLOT(decipher()));
    describeForAssistiveTechnology();
}

// Names of the fields for a screen reader, and the text announced after either button, as
// the buttons replace it in place while the focus stays on them.
void PhraseWidget::describeForAssistiveTechnology()
{
    nameField(ui.text, tr("Tekst do zaszyfrowania lub odszyfrowania"));
    nameField(ui.phrase, tr("Fraza"), ui.label);
    nameField(ui.letter, tr("Litera"), ui.label_2);
    ResultAnnouncer::install(ui.cipher, ui.text);
    ResultAnnouncer::install(ui.decipher, ui.text);
}

// The two alphabet lines are read column by column, plain letter above its substitute.
// Where the form's typewriter face is missing, ask for another fixed-pitch face instead of
// the proportional default, which would break the columns apart.
void PhraseWidget::keepAlphabetsMonospaced()
{
    for (QLabel *alphabet : {ui.label_3, ui.ciphalphabet}) {
        QFont font = alphabet->font();
        font.setStyleHint(QFont::TypeWriter);
        alphabet->setFont(font);
    }
}

// Every action needs both fields; with either empty it silently does nothing.
bool PhraseWidget::hasPhraseAndLetter() const
{
    return !ui.phrase->text().isEmpty() && !ui.letter->text().isEmpty();
}

void PhraseWidget::showError(const QString &message)
{
    QMessageBox::critical(this, tr("Error"), message);
}

void PhraseWidget::generateAlphabet()
{
    if (!hasPhraseAndLetter())
        return;
    try {
        ui.ciphalphabet->setText(phrase_alphabet(ui.phrase->text(), ui.letter->text().at(0)));
    } catch (QString error) {
        showError(error);
    }
}

void PhraseWidget::perform(bool encipher)
{
    if (!hasPhraseAndLetter())
        return;
    const QString message = ui.text->toPlainText();
    const QChar letter = ui.letter->text().at(0);
    const QString phrase = ui.phrase->text();
    try {
        ui.text->setPlainText(phrase_perform(message, phrase, letter, encipher));
    } catch (QString error) {
        // The letter field accepts any character; the text stays as it was.
        showError(error);
    }
}

void PhraseWidget::cipher()
{
    perform(true);
}

void PhraseWidget::decipher()
{
    perform(false);
}
