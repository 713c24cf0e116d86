#include "app/features/Equalizer.h"
