// The runtime's text functions: CLIP, SUB, LEFT, ALL, INSTRING, UPPER, LOWER, LEN, NUMERIC,
// INLIST, CHR. They work on bytes, as the runtime does; positions are 1-based byte positions.
// Functions that cut a text to a length never split a UTF-8 character.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace platform {

// CLIP: `text` without its trailing blanks.
std::string Clip(std::string_view text);

// SUB: `length` bytes of `text` from byte `start` (1-based).
// A negative `start` counts from the end (-1 is the last byte). The range
// [start, start + length) is then cut to the text, so the part before byte 1 or past the end
// is dropped: SUB('ABC', 0, 2) is 'A', SUB('ABC', 3, 5) is 'C', SUB('ABC', 4, 1) is ''.
// A `length` of 0 or less gives ''.
std::string Sub(std::string_view text, int64_t start, int64_t length);

// LEFT: `text` left-justified (its leading blanks moved to the end). With a `length` >= 0 the
// result is exactly `length` bytes: cut (on a character boundary) and blank-padded.
// A negative `length` keeps the length of `text`.
std::string Left(std::string_view text, int64_t length = -1);

// ALL: `text` repeated up to `length` bytes; the last copy is cut on a character boundary, so
// the result may be shorter than `length` by part of a character. '' for an empty `text`.
std::string All(std::string_view text, int64_t length);

// INSTRING: searches `text` for `sub`, comparing at the byte positions start, start + step,
// start + 2 * step, ... and answers the step number of the first match, counted from byte 1:
// (position - 1) / step + 1. For step 1 that is the byte position itself; with a step equal
// to LEN(sub) it is the number of the slot that matched (INSTRING('DEF', 'ABCDEFGHI', 3, 1)
// is 2). Answers 0 when there is no match, when `sub` is empty and when `step` < 1.
// A `start` below 1 searches from byte 1. The comparison is exact (case and blanks count).
int64_t InString(std::string_view sub, std::string_view text, int64_t step = 1, int64_t start = 1);

// UPPER and LOWER: ASCII letters changed; every other byte (UTF-8 included) kept.
std::string Upper(std::string_view text);
std::string Lower(std::string_view text);

// LEN of a text value: its length in bytes.
int64_t Len(std::string_view text);

// NUMERIC: true when `text` is a number as ParseNumber reads it.
bool Numeric(std::string_view text);

// INLIST: the 1-based position of the first entry of `list` equal to `needle` (the runtime's
// comparison: case-sensitive, trailing blanks ignored), 0 when none is.
int64_t InList(std::string_view needle, std::initializer_list<std::string_view> list);
int64_t InList(std::string_view needle, std::span<const std::string_view> list);

// CHR: the character of code `code`, as UTF-8. Codes up to 255 are those of the program's
// single-byte character set (Windows-1252: CHR(187) is "»", CHR(149) is "•"); larger codes
// are Unicode code points. '' for a code below 0, a surrogate, a code past Unicode and the
// five codes 1252 leaves unassigned.
std::string Chr(int64_t code);

}  // namespace platform
