#pragma once
// Resource numbers shared by Tavrin.rc and the code that loads them.

#define TAVRIN_ICON_RESOURCE 1
