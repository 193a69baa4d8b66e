// Rule actions of the HOST and SQL start conditions. Each receives the matched
// bytes (writable; the text operations shorten them in place) and their length.
#pragma once

namespace prax {

void host_declare_section(char *text, int len); // 8
void host_exec_sql(char *text, int len);        // 9
void host_char(char *text, int len);            // 10
void sql_comment(char *text, int len);          // 11
void sql_line_comment(char *text, int len);     // 38 ("--" to the end of the line)
void sql_subquery_select(char *text, int len);  // 12
void sql_select(char *text, int len);           // 13
void sql_statement_head(char *text, int len);   // 14
void sql_clause_phrase(char *text, int len);    // 15
void sql_statement_verb(char *text, int len);   // 16
void sql_clause_keyword(char *text, int len);   // 17
void sql_union(char *text, int len);            // 18
void sql_and_or(char *text, int len);           // 19
void sql_object_keyword(char *text, int len);   // 20
void sql_operator_keyword(char *text, int len); // 21
void sql_host_variable(char *text, int len);    // 22
void sql_aliased_item(char *text, int len);     // 23 (after the keyword test)
void sql_name(char *text, int len);             // 24
void sql_string(char *text, int len);           // 25
void sql_space(char *text, int len);            // 26
void sql_number(char *text, int len);           // 27
void sql_outer_join(char *text, int len);       // 28
void sql_operator2(char *text, int len);        // 29
void sql_operator1(char *text, int len);        // 30
void sql_lparen(char *text, int len);           // 31
void sql_rparen(char *text, int len);           // 32
void sql_comma(char *text, int len);            // 33
void sql_semicolon(char *text, int len);        // 34
void sql_bracket(char *text, int len);          // 35
void sql_other(char *text, int len);            // 37

} // namespace prax
