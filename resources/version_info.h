/* The program's version, read by the resource compiler and by the code. Plain macros only. */
#ifndef PYRAVEL_VERSION_INFO_H
#define PYRAVEL_VERSION_INFO_H

#define PYRAVEL_VERSION_NUMBERS 1, 1, 0, 0
#define PYRAVEL_VERSION_TEXT "1.1.0.0"

#endif
