// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TOOLKITTRANSLATION_H
#define TOOLKITTRANSLATION_H

#include <QTranslator>

// Answers only for the toolkit's own contexts (file dialogs, message box buttons, the fields'
// context menus), so the program's texts always show exactly as written.
class ToolkitTranslator : public QTranslator {
    Q_OBJECT

public:
    using QTranslator::QTranslator;

    QString translate(const char *context, const char *sourceText,
                      const char *disambiguation = nullptr, int n = -1) const override;

    static bool isToolkitContext(const char *context);
};

// Where the toolkit keeps its own translations.
QString toolkitTranslationsPath();

// Installs the toolkit's Polish translation from `directory` (by default where the toolkit
// keeps its translations). False when it is missing: the toolkit's texts then stay English.
bool installPolishToolkitTranslation(const QString &directory = QString());

#endif // TOOLKITTRANSLATION_H
