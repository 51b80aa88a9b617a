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
void AnswerLengthAndNumber(HostText data, int length, const char* number);
void AnswerLengthAndNumber(HostText data, int length, const WCHAR* number);
// Signed decimals with one space between them: «151 245».
void AnswerNumbers(HostText data, std::initializer_list<int> numbers);
