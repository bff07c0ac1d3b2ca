// The device layer must not reach the instance above it: this must not compile.
#include "instance/Tevrin.h"
