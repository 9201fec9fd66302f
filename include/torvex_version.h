/* Version of the torvex module. Kept to plain #defines: the resource compiler reads this file too. */
#ifndef TORVEX_VERSION_H
#define TORVEX_VERSION_H

#define TORVEX_VERSION_MAJOR 1
#define TORVEX_VERSION_MINOR 6
#define TORVEX_VERSION_PATCH 5
#define TORVEX_VERSION_BUILD 0
#define TORVEX_VERSION_TEXT "1.6.5 b0"
#define TORVEX_PRODUCT_VERSION_TEXT "1.6.5.0"

#endif
