// SPDX-License-Identifier: GPL-3.0-or-later
// Compiled only by the layer check, with the logic library's include path: it must fail.
#include <QtWidgets/QWidget>
