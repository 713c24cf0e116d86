#include "app/features/AudioFeatures.h"
