// Text operations on a token's bytes, in place. Each works on (text, length),
// never on a terminated string, so a NUL byte in a token is kept like any other
// byte, and each returns the new length (texts only ever get shorter).
#pragma once

namespace prax {

// White space for the writer and the text operations: blank, tab, line feed,
// vertical tab, form feed and carriage return.
inline bool is_space_char(unsigned char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Removes every white-space character; the others close up in order.
int strip_blanks(char *text, int len);
// Removes leading white space and turns every other run into one blank
// (a run at the end becomes one trailing blank).
int squeeze_blanks(char *text, int len);
// By keyword_case: 1 leaves the text alone, 0 upper-cases A-Z, anything else lower-cases.
void apply_keyword_case(char *text, int len);
// 1 when the word is one of the 29 words of keyword_list, ignoring ASCII case.
int is_keyword(const char *word, int len);
// The aliased-item test: is the text's first word (up to the first white space) a keyword?
bool first_word_is_keyword(const char *text, int len);

} // namespace prax
