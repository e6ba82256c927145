// DualString: a text field exchanged with the host, held twice: 260 UTF-16 units
// followed by 260 narrow characters of the system's ANSI code page. The wide half is
// the master; the narrow half is its conversion. Both halves of every DualString the
// plug-in fills are zero-terminated inside their 260 places.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t kDualStringUnits = 260;

struct DualString {
  char16_t wide[kDualStringUnits];
  char narrow[kDualStringUnits];
};

static_assert(sizeof(DualString) == 780, "DualString is 780 bytes");
static_assert(offsetof(DualString, narrow) == 520, "narrow half follows 260 UTF-16 units");

// Empties both halves.
int DualStringClear(DualString* s);

// Copies `text` into the wide half (cut to 259 units) and converts it into the narrow
// half with the runtime's wcstombs, at most 260 bytes. Should that conversion fail on
// a character, the narrow half is made with the ANSI code page instead ('?' for what
// it lacks), so it never holds an undefined text.
int DualStringSetWide(DualString* s, const char16_t* text);

// Copies narrow `text` into the narrow half (cut to 259 bytes) and converts it into
// the wide half with the runtime's mbstowcs, falling back to the ANSI code page.
int DualStringSetNarrow(DualString* s, const char* text);

// Copies `source` into `target`, narrow half first, then wide half; nothing happens
// when both are the same record. A source without a terminator is cut to 259.
int DualStringAssign(DualString* target, const DualString* source);
