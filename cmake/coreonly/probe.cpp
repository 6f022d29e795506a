// Compiled only by the layer check, with the logic library's include path: it must fail.
#include <QtWidgets/QWidget>
