// The byte order of the machine: SOD files store numbers little-endian, and so does
// every machine the plug-in is built for, where a number is read or written in one go.
#pragma once

constexpr bool kLittleEndianMachine = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;
