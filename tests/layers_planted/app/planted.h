// A core file that reaches into a front-end: the layers test must refuse it.
#pragma once

#include "qt/main_window.h"
