#include "app/features/EnvironmentEffects.h"
