#pragma once
// A text/ file that reaches up to app/: the layer check must refuse it.
#include "app/Controller.h"
