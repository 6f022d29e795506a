#include "funcs.h"
