// SPDX-License-Identifier: GPL-3.0-or-later
// Linked into every test: the toolkit's per-user files, the file dialog's history among
// them, go to its test locations under the tests' scratch home instead of the configuration
// folder. It must be on before the first settings object, which fixes the folder for good.

#include <QCoreApplication>
#include <QStandardPaths>

namespace {

void useTestLocations()
{
    QStandardPaths::setTestModeEnabled(true);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(useTestLocations)
