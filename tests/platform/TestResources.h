// Image resources that only the platform tests carry.
#pragma once

// A 4 by 2 GIF: red, green, blue, white / white, blue, green, red; white is transparent.
#define IDB_TEST_GIF 9001
// A 3 by 2 24-bit BMP: red, green, blue / yellow, black, RGB(128, 0, 128).
#define IDB_TEST_BMP 9002
// Neither GIF nor BMP.
#define IDB_TEST_GARBAGE 9003
