#pragma once

extern "C" const char* pluginInfo(int field);
