// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkittranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>

QString ToolkitTranslator::translate(const char *context, const char *sourceText,
                                     const char *disambiguation, int n) const
{
    if (!isToolkitContext(context))
        return QString();
    return QTranslator::translate(context, sourceText, disambiguation, n);
}

// The toolkit names its contexts after its classes, Q and a capital letter (QFileDialog,
// QPlatformTheme); the program's classes and forms carry no such prefix.
bool ToolkitTranslator::isToolkitContext(const char *context)
{
    return context && context[0] == 'Q' && context[1] >= 'A' && context[1] <= 'Z';
}

QString toolkitTranslationsPath()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
}

bool installPolishToolkitTranslation(const QString &directory)
{
    auto *app = QCoreApplication::instance();
    if (!app)
        return false;
    const QString from = directory.isEmpty() ? toolkitTranslationsPath() : directory;
    auto *translator = new ToolkitTranslator(app);
    if (!translator->load(QStringLiteral("qtbase_pl"), from)) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
