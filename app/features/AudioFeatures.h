#pragma once
#include "app/features/MainWindowFeatures.h"
