// Resource ids shared by the resource script and the code that loads them.
#pragma once

// The first icon is the application icon.
#define IDI_APP 1
