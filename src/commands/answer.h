#pragma once

#include <windows.h>

#include <initializer_list>

#include "host_text.h"

// Answers go back through the platform's formatter into the host's buffer, which must take 1024
// bytes. Each answer is cut to ANSWER_MAX characters before the formatter sees it, because the
// formatter's own cut-off differs between Windows versions and Wine.
constexpr int ANSWER_MAX = 1023;
// A Unicode host's answer takes the same 1024 bytes, or twice that when the host says its buffer
// holds them. A cut never splits a surrogate pair.
constexpr int WIDE_ANSWER_MAX = 511;
constexpr int WIDE_LONG_ANSWER_MAX = 1023;

void AnswerRefusal(HostText data, int status);
// `text` in the ANSI code page, or in UTF-16 for a Unicode host.
void AnswerText(HostText data, const char* text);
void AnswerText(HostText data, const WCHAR* text);
// A text the player keeps in UTF-16, for reading: a Unicode host gets every character, an 8-bit one
// the text as the system converts a window title for it (a look-alike letter or «?» for a character
// its code page lacks).
void AnswerReadable(HostText data, const WCHAR* text);
// A path the player keeps in UTF-16, which must open what it names: an 8-bit host gets it exactly in
// its code page, else its short (8.3) form when that fits exactly, else the empty text.
void AnswerPath(HostText data, const WCHAR* path);
void AnswerLengthAndNumber(HostText data, int length, const char* number);
void AnswerLengthAndNumber(HostText data, int length, const WCHAR* number);
// Signed decimals with one space between them: «151 245».
void AnswerNumbers(HostText data, std::initializer_list<int> numbers);
