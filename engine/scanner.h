// Services of the token scanner, for format_file and the rule actions.
// Only scanner.l touches the scanner's input, buffer and start condition.
#pragma once

#include <cstdio>
#include <vector>

#include "engine/state.h"

namespace prax {

// Scans `input` from its first byte in condition `start` until the end of the
// input. Returns 0, kNoSqlFound, or kScannerFailed after a fatal scanner error
// (its message shown through show_status_message, the scanner reset).
int scan_input(std::FILE *input, ScanCondition start = ScanCondition::Detect);

void scanner_set_condition(ScanCondition condition);
void scanner_restart_input();

// Test support: when set, every token whose action runs is appended.
void scanner_set_trace(std::vector<TraceToken> *trace);
// Test support: runs the detection pass by the scanner's detection rules
// instead of by hand (detect.h), so that the two can be compared.
void scanner_detect_by_rules(bool on);

// Detection actions.
void detect_comment();
void detect_string();
void detect_exec_sql();
void detect_statement_keyword();
void detect_insert_into();
// The end of the input in the detection pass: kDetectGoesOn when the
// formatting pass follows (pure SQL), else the scan's result.
inline constexpr int kDetectGoesOn = 1;
int detect_end_of_input();
void detect_space();
void detect_other();

} // namespace prax
