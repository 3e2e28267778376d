#include "runtime/strings.h"
