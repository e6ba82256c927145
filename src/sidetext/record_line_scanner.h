// Reading one line of a hardpoint, emitter or sprite text file as a record. The rule
// is that of the C library's scanf with "%s" and "%f" conversions, implemented here
// so that every build reads the same bytes the same way:
// - white space is space, tab, LF, VT, FF and CR; any run of it separates fields;
// - a word is a run of characters that are not white space;
// - a number is an optional sign, digits with an optional fraction ("5.", ".5"), and
//   an optional exponent (e or E, optional sign, digits); the longest run of
//   characters that could begin such a number is taken, and when that run is not a
//   whole number ("1e", "-", ".") the line is no record; "inf", "nan" and hexadecimal
//   forms are not numbers, and neither is a run of more than 511 characters. Numbers
//   need no white space between them ("1.5-2").
// Text after the twelfth number is ignored. A line stops at its terminator.
#pragma once

#include "common/marker_records.h"

// Name and twelve numbers (transform rows 0-3, columns 0-2) into `record`, whose other
// bytes are left as they are. 1 when the line is a record; 0 when it is not, or when
// the name is longer than 255 characters (the line is then no record, never cut).
int ScanMarkerLine(const char* line, MarkerRecord* record);

// Name, emitter name (at most 127 characters) and twelve numbers, as above.
int ScanEmitterLine(const char* line, EmitterRecord* record);

// One number at *cursor after white space: 1 with the value (the matched characters
// converted with strtof) and *cursor moved past them, or 0 with *cursor unchanged.
int ScanNumber(const char** cursor, float* value);
