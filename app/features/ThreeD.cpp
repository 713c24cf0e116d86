#include "app/features/ThreeD.h"
