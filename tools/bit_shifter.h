// The Bit Shifter's 32-bit register without a window: shifts and rotations
// by one bit, the feedback bit of a Fibonacci linear feedback shift register
// over chosen taps, the hex texts of the displays and the reading of the
// load field.
#pragma once

#include <cstdint>
#include <string>

namespace tools {

enum class ShiftType { Rotate = 0, Arithmetic = 1, Logical = 2, Feedback = 3 };

// The parity of the register bits whose tap is set (bit i of taps): 1 when
// an odd number of tapped bits is 1.
int FeedbackBit(uint32_t value, uint32_t taps);

// One step right: Rotate puts old bit 0 into bit 31, Arithmetic keeps bit 31,
// Logical clears it. Feedback has no right shift: the value is returned.
uint32_t ShiftRight(uint32_t value, ShiftType type);

// One step left: Rotate puts old bit 31 into bit 0; Arithmetic and Logical
// clear bit 0; Feedback puts feedbackBit (0 or 1) into bit 0.
uint32_t ShiftLeft(uint32_t value, ShiftType type, int feedbackBit = 0);

// The load field as a 32-bit value: leading white space, an optional sign,
// an optional "0x", hex digits up to the first other character (none: 0);
// beyond 32 bits gives FFFFFFFF; a minus negates modulo 2^32.
//   ParseLoadValue("-1") == 0xFFFFFFFF, ParseLoadValue("xyz") == 0
uint32_t ParseLoadValue(const std::string& text);

// The displays: byte i (0..3) "%02x", the words "%04x" and the register
// "%04x %04x" (high word, low word), in upper case when upperCase.
std::string ByteText(uint32_t value, int index, bool upperCase);
std::string WordText(uint32_t value, bool high, bool upperCase);
std::string RegisterText(uint32_t value, bool upperCase);

} // namespace tools
