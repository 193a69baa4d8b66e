// The language server behind `prax-format --lsp`: formatting and range
// formatting over the Language Server Protocol (JSON-RPC 2.0 messages with
// Content-Length framing). No Qt; the engine is entered through engine.h only.
#pragma once

#include <cstdio>

namespace prax::lsp {

// Serves requests read from `in`, writing answers and notifications to `out`,
// until the client's "exit" notification or the end of `in`. Returns the
// process exit status: 0 when "shutdown" came first, 1 otherwise.
int run_language_server(std::FILE *in, std::FILE *out);

} // namespace prax::lsp
