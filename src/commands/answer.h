#pragma once

// Answers go back through the platform's formatter into the host's buffer, which must take 1024
// bytes. Each answer is cut to ANSWER_MAX characters before the formatter sees it, because the
// formatter's own cut-off differs between Windows versions and Wine.
constexpr int ANSWER_MAX = 1023;

void AnswerRefusal(char* data, int status);
void AnswerText(char* data, const char* text);
void AnswerLengthAndNumber(char* data, int length, const char* number);
