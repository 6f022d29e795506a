// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SPOKENRESULT_H
#define SPOKENRESULT_H

#include <QString>

// A result line of the calculator's pages as a screen reader should say it, in Polish
// words: an exponent as a power, the inverse as an inverse, a logarithm with its base and
// argument, "⋅" as "razy", "mod" as "modulo", "=" as "równa się", the CRC's two forms
// with their names. Messages are said as they are shown. `richText` tells whether the
// label shows `shown` as rich text, whose markup (superscripts, subscripts) carries part
// of the meaning that its plain text loses.
QString spokenResult(const QString &shown, bool richText);

#endif // SPOKENRESULT_H
