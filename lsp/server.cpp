// The language server: message framing, dispatch, open documents and the two
// formatting requests. One message is handled at a time, to its end, which is
// also what the engine needs (its state is process-wide).
//
// Failures never end the server: a malformed message, an unknown method or a
// request for a document that is not open is answered with the protocol's
// error and the next message is read.
#include "lsp/server.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>

#include <nlohmann/json.hpp>

#include "engine/engine.h"
#include "lsp/positions.h"
#include "lsp/profile_lookup.h"

namespace prax::lsp {

namespace {

using json = nlohmann::json;

// JSON-RPC and protocol error codes.
enum ErrorCode : int {
    kParseError = -32700,
    kInvalidRequest = -32600,
    kMethodNotFound = -32601,
    kInvalidParams = -32602,
    kInternalError = -32603,
    kServerNotInitialized = -32002,
    kRequestFailed = -32803,
};

// window/showMessage and window/logMessage types.
enum MessageType : int { kError = 1, kWarning = 2, kInfo = 3, kLog = 4 };

struct RpcError : std::runtime_error {
    RpcError(int code, const std::string &message) : std::runtime_error(message), code(code) {}
    int code;
};

// A body larger than this is refused unread (skipped): a bad length must not
// make the server allocate gigabytes.
constexpr std::size_t kMaxBodyBytes = std::size_t(256) << 20;
constexpr std::size_t kNoLength = static_cast<std::size_t>(-1);

// ---- Framing ---------------------------------------------------------------

// "Content-Length: 52\r\n\r\n{...}" in both directions. Other header fields
// (Content-Type) are read and ignored.
class Transport {
public:
    Transport(std::FILE *in, std::FILE *out) : in_(in), out_(out) {}

    enum class Read { Message, BadHeader, End };

    // Reads one message body. BadHeader leaves `problem` set and the stream
    // after the header block, so the caller can answer and read on.
    Read read(std::string &body, std::string &problem)
    {
        std::size_t length = kNoLength;
        std::string line;
        bool any_line = false;
        for (;;) {
            if (!read_line(line))
                return Read::End;
            if (line.empty() && any_line)
                break;
            if (line.empty())
                continue; // blank lines between messages
            any_line = true;
            take_length(line, length, problem);
        }
        if (length == kNoLength) {
            if (problem.empty())
                problem = "header without Content-Length";
            return Read::BadHeader;
        }
        if (length > kMaxBodyBytes) {
            problem = "message of " + std::to_string(length) + " bytes is larger than the server accepts";
            return skip(length) ? Read::BadHeader : Read::End;
        }
        body.resize(length);
        if (std::fread(body.data(), 1, body.size(), in_) != body.size())
            return Read::End;
        return Read::Message;
    }

    void write(const json &message)
    {
        // Text that is not valid UTF-8 cannot go into JSON as it is; replace
        // such bytes rather than fail the whole answer.
        const std::string body = message.dump(-1, ' ', false, json::error_handler_t::replace);
        std::fprintf(out_, "Content-Length: %zu\r\n\r\n", body.size());
        std::fwrite(body.data(), 1, body.size(), out_);
        std::fflush(out_);
    }

private:
    // One header line without its CR LF (a bare LF is taken too).
    bool read_line(std::string &line)
    {
        line.clear();
        int c;
        while ((c = std::getc(in_)) != EOF) {
            if (c == '\n') {
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                return true;
            }
            line.push_back(static_cast<char>(c));
        }
        return false;
    }

    // "Content-Length: 52". The field is also found after other bytes on the
    // line: the body of a message whose header was bad is read as a header
    // line, "{...}Content-Length: 40", and the next message must still be found.
    static void take_length(const std::string &line, std::size_t &length, std::string &problem)
    {
        static constexpr std::string_view kField = "content-length:";
        std::string lower(line);
        for (char &c : lower)
            c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
        const std::size_t at = lower.rfind(kField);
        if (at == std::string::npos) {
            if (line.find(':') == std::string::npos)
                problem = "malformed header line";
            return;
        }
        std::size_t i = at + kField.size();
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        std::size_t value = 0;
        const std::size_t digits_from = i;
        for (; i < line.size() && line[i] >= '0' && line[i] <= '9' && value <= kMaxBodyBytes * 2; ++i)
            value = value * 10 + static_cast<std::size_t>(line[i] - '0');
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i == digits_from || i != line.size()) {
            problem = "invalid Content-Length value";
            length = kNoLength;
            return;
        }
        length = value;
        problem.clear();
    }

    bool skip(std::size_t bytes)
    {
        char chunk[1 << 16];
        while (bytes > 0) {
            const std::size_t n = std::fread(chunk, 1, bytes < sizeof chunk ? bytes : sizeof chunk, in_);
            if (n == 0)
                return false;
            bytes -= n;
        }
        return true;
    }

    std::FILE *in_;
    std::FILE *out_;
};

// ---- Documents -------------------------------------------------------------

struct Document {
    std::string text;
    std::string path; // the file's path for a file: URI, else empty
};

int hex_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// "file:///home/ann/My%20Queries/q.sql" -> "/home/ann/My Queries/q.sql";
// any other scheme (an unsaved "untitled:" buffer) has no path.
std::string path_of_uri(const std::string &uri)
{
    static constexpr std::string_view kScheme = "file://";
    if (uri.compare(0, kScheme.size(), kScheme) != 0)
        return std::string();
    const std::size_t slash = uri.find('/', kScheme.size()); // after an authority, if any
    if (slash == std::string::npos)
        return std::string();
    std::string path;
    for (std::size_t i = slash; i < uri.size(); ++i) {
        int high, low;
        if (uri[i] == '%' && i + 2 < uri.size() && (high = hex_value(uri[i + 1])) >= 0 &&
            (low = hex_value(uri[i + 2])) >= 0) {
            path.push_back(static_cast<char>(high * 16 + low));
            i += 2;
        } else {
            path.push_back(uri[i]);
        }
    }
    return path;
}

// A text whose first line ends in CR LF gets CR LF line ends in what the
// engine writes (it writes LF): "SELECT a\nFROM t" -> "SELECT a\r\nFROM t".
// A CR LF that the engine copied through (host text, a comment) stays as it is.
bool uses_crlf(std::string_view text)
{
    const std::size_t lf = text.find('\n');
    return lf != std::string_view::npos && lf > 0 && text[lf - 1] == '\r';
}

std::string with_crlf(const std::string &text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out.push_back('\r');
        out.push_back(text[i]);
    }
    return out;
}

// The selection's column as the editor counts it: the bytes between the last
// line break before `offset` and `offset` ("\tSELECT" selected at S: 1).
int column_at(std::string_view text, std::size_t offset)
{
    int column = 0;
    while (offset > 0 && text[offset - 1] != '\n' && text[offset - 1] != '\r') {
        --offset;
        ++column;
    }
    return column;
}

const char *describe(int result)
{
    switch (result) {
    case kScannerFailed: return "a token exceeds the scanner's 16,383-character limit";
    case kOutputFailed: return "the formatted text could not be written";
    case kInputNotOpened: return "the text could not be read";
    default: return "formatting failed";
    }
}

std::string trimmed(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}

// ---- The server ------------------------------------------------------------

class Server {
public:
    Server(std::FILE *in, std::FILE *out) : transport_(in, out)
    {
        requests_ = {
            {"initialize", [this](const json &p) { return initialize(p); }},
            {"shutdown", [this](const json &) { shutdown_ = true; return json(nullptr); }},
            {"textDocument/formatting", [this](const json &p) { return format_document(p); }},
            {"textDocument/rangeFormatting", [this](const json &p) { return format_range(p); }},
        };
        notifications_ = {
            {"initialized", [](const json &) {}},
            {"textDocument/didOpen", [this](const json &p) { did_open(p); }},
            {"textDocument/didChange", [this](const json &p) { did_change(p); }},
            {"textDocument/didClose", [this](const json &p) { documents_.erase(uri_of(p)); }},
        };
        set_status_hook([this](std::string_view text) { engine_messages_.append(text); });
    }

    ~Server() { set_status_hook(nullptr); }

    int run()
    {
        std::string body, problem;
        while (!exit_) {
            problem.clear();
            switch (transport_.read(body, problem)) {
            case Transport::Read::End: return shutdown_ ? 0 : 1;
            case Transport::Read::BadHeader: send_error(nullptr, kInvalidRequest, problem); break;
            case Transport::Read::Message: handle(body); break;
            }
        }
        return shutdown_ ? 0 : 1;
    }

private:
    using Request = std::function<json(const json &)>;
    using Notification = std::function<void(const json &)>;

    void handle(const std::string &body)
    {
        json message;
        try {
            message = json::parse(body);
        } catch (const json::parse_error &e) {
            send_error(nullptr, kParseError, std::string("Parse error: ") + e.what());
            return;
        }
        if (!message.is_object()) {
            send_error(nullptr, kInvalidRequest, "a message must be a JSON object");
            return;
        }
        const auto id_it = message.find("id");
        const bool has_id = id_it != message.end();
        json id = has_id ? *id_it : json(nullptr);
        if (has_id && !id.is_number_integer() && !id.is_string()) {
            send_error(nullptr, kInvalidRequest, "id must be a number or a string");
            return;
        }
        const auto method_it = message.find("method");
        if (method_it == message.end() || !method_it->is_string()) {
            // An answer to something we sent: we send no requests, so nothing waits for it.
            if (has_id && (message.contains("result") || message.contains("error")))
                return;
            send_error(id, kInvalidRequest, "a request needs a method name");
            return;
        }
        const std::string &method = method_it->get_ref<const std::string &>();
        // "shutdown" and "exit" carry no params, or "params": null.
        json params = message.value("params", json::object());
        if (params.is_null())
            params = json::object();

        if (method == "exit") {
            exit_ = true;
            return;
        }
        if (!has_id) {
            notify(method, params);
            return;
        }
        if (!initialized_ && method != "initialize") {
            send_error(id, kServerNotInitialized, "the server has not been initialized");
            return;
        }
        if (shutdown_) {
            send_error(id, kInvalidRequest, "the server is shutting down");
            return;
        }
        const auto handler = requests_.find(method);
        if (handler == requests_.end()) {
            send_error(id, kMethodNotFound, "unknown method " + method);
            return;
        }
        try {
            if (!params.is_object())
                throw RpcError(kInvalidParams, "params must be an object");
            send({{"jsonrpc", "2.0"}, {"id", id}, {"result", handler->second(params)}});
        } catch (const RpcError &e) {
            send_error(id, e.code, e.what());
        } catch (const json::exception &e) {
            send_error(id, kInvalidParams, std::string("invalid params: ") + e.what());
        } catch (const std::exception &e) {
            send_error(id, kInternalError, e.what());
        }
    }

    // Notifications get no answer, not even an error; what goes wrong is logged.
    void notify(const std::string &method, const json &params)
    {
        if (!initialized_ || shutdown_)
            return;
        const auto handler = notifications_.find(method);
        if (handler == notifications_.end())
            return; // "$/cancelRequest", "workspace/didChangeConfiguration", ...: nothing to do
        try {
            handler->second(params);
        } catch (const std::exception &e) {
            log(kError, method + ": " + e.what());
        }
    }

    json initialize(const json &params)
    {
        if (initialized_)
            throw RpcError(kInvalidRequest, "initialize was already received");
        encoding_ = PositionEncoding::Utf16;
        const json encodings = params.value("/capabilities/general/positionEncodings"_json_pointer, json::array());
        if (encodings.is_array()) {
            for (const json &name : encodings)
                if (name == "utf-8")
                    encoding_ = PositionEncoding::Utf8;
        }
        initialized_ = true;
        return {
            {"capabilities",
             {{"positionEncoding", encoding_ == PositionEncoding::Utf8 ? "utf-8" : "utf-16"},
              {"textDocumentSync", {{"openClose", true}, {"change", 1}}},
              {"documentFormattingProvider", true},
              {"documentRangeFormattingProvider", true}}},
            {"serverInfo", {{"name", "prax-format"}, {"version", "1.1"}}},
        };
    }

    static const std::string &uri_of(const json &params)
    {
        return params.at("textDocument").at("uri").get_ref<const std::string &>();
    }

    Document &document(const json &params)
    {
        const std::string &uri = uri_of(params);
        const auto it = documents_.find(uri);
        if (it == documents_.end())
            throw RpcError(kInvalidParams, "document is not open: " + uri);
        return it->second;
    }

    void did_open(const json &params)
    {
        const json &item = params.at("textDocument");
        const std::string &uri = item.at("uri").get_ref<const std::string &>();
        documents_[uri] = Document{item.at("text").get<std::string>(), path_of_uri(uri)};
    }

    // Full changes replace the text. A client that sends ranged changes
    // anyway gets them applied in order rather than a corrupted copy.
    void did_change(const json &params)
    {
        Document &doc = document(params);
        for (const json &change : params.at("contentChanges")) {
            const std::string &text = change.at("text").get_ref<const std::string &>();
            if (!change.contains("range")) {
                doc.text = text;
                continue;
            }
            const auto [from, to] = offsets_of(doc.text, change.at("range"));
            doc.text.replace(from, to - from, text);
        }
    }

    std::pair<std::size_t, std::size_t> offsets_of(std::string_view text, const json &range) const
    {
        const std::size_t from = offset_of(text, position_from(range.at("start")), encoding_);
        const std::size_t to = offset_of(text, position_from(range.at("end")), encoding_);
        if (to < from)
            throw RpcError(kInvalidParams, "range ends before it starts");
        return {from, to};
    }

    static Position position_from(const json &position)
    {
        const int line = position.at("line").get<int>(), character = position.at("character").get<int>();
        if (line < 0 || character < 0)
            throw RpcError(kInvalidParams, "negative position");
        return Position{line, character};
    }

    json range_json(std::string_view text, std::size_t from, std::size_t to) const
    {
        const Position start = position_of(text, from, encoding_), end = position_of(text, to, encoding_);
        return {{"start", {{"line", start.line}, {"character", start.character}}},
                {"end", {{"line", end.line}, {"character", end.character}}}};
    }

    // The edit list replacing bytes [from, to) of the document by `formatted`:
    // empty when there is nothing to change.
    json edits(const Document &doc, std::size_t from, std::size_t to, const std::optional<std::string> &formatted) const
    {
        json list = json::array();
        if (formatted && std::string_view(doc.text).substr(from, to - from) != *formatted)
            list.push_back({{"range", range_json(doc.text, from, to)}, {"newText", *formatted}});
        return list;
    }

    json format_document(const json &params)
    {
        const Document &doc = document(params);
        FormatRequest request;
        request.host_source = is_host_source_path(doc.path.empty() ? uri_of(params) : doc.path);
        return edits(doc, 0, doc.text.size(), run_engine(doc, doc.text, request, params));
    }

    // The editor's Beautify of a selection: the selected text alone is
    // formatted, its first line laid out at the selection's column, and
    // only the selection is replaced. As there, the file's kind does not
    // count: "SELECT a FROM t" selected inside the EXEC SQL of a .pc file
    // is SQL, though it holds no EXEC SQL itself.
    json format_range(const json &params)
    {
        const Document &doc = document(params);
        const auto [from, to] = offsets_of(doc.text, params.at("range"));
        if (from == to)
            return json::array();
        const std::string_view selected = std::string_view(doc.text).substr(from, to - from);
        FormatRequest request;
        request.start_column = column_at(doc.text, from);
        return edits(doc, from, to, run_engine(doc, selected, request, params));
    }

    // Formats `text` (all or part of `doc`). Nothing when it holds no SQL; a
    // failure is shown to the user and answered as an error, the document
    // untouched.
    std::optional<std::string> run_engine(const Document &doc, std::string_view text,
                                          const FormatRequest &request, const json &params)
    {
        // Each run starts from the profile's options: a run over host text
        // stores the column of its EXEC SQL into the record, and that must
        // not carry over to the next document.
        format_options = profiles_.options_for(doc.path);
        // The client's tab size is the one option with a Prax counterpart:
        // the columns a tab in copied host text counts for.
        const json tab_size = params.value("/options/tabSize"_json_pointer, json());
        if (tab_size.is_number_integer() && tab_size.get<int>() >= 1 && tab_size.get<int>() <= 16)
            format_options.tab_width = tab_size.get<int>();

        engine_messages_.clear();
        std::string formatted;
        const int result = format_text(text, formatted, request);
        if (!engine_messages_.empty())
            log(kLog, trimmed(engine_messages_));
        if (result == kNoSqlFound)
            return std::nullopt;
        if (result != kFormatOk) {
            const std::string name = doc.path.empty() ? uri_of(params) : doc.path;
            std::string message = "Prax could not format " + name + ": " + describe(result);
            if (const std::string detail = trimmed(engine_messages_); !detail.empty())
                message += " (" + detail + ")";
            send({{"jsonrpc", "2.0"},
                  {"method", "window/showMessage"},
                  {"params", {{"type", kError}, {"message", message}}}});
            throw RpcError(kRequestFailed, message);
        }
        return uses_crlf(doc.text) ? with_crlf(formatted) : formatted;
    }

    void log(int type, const std::string &message)
    {
        send({{"jsonrpc", "2.0"}, {"method", "window/logMessage"}, {"params", {{"type", type}, {"message", message}}}});
    }

    void send_error(const json &id, int code, const std::string &message)
    {
        send({{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}});
    }

    void send(const json &message) { transport_.write(message); }

    Transport transport_;
    std::map<std::string, Request> requests_;
    std::map<std::string, Notification> notifications_;
    std::unordered_map<std::string, Document> documents_;
    ProfileCache profiles_;
    PositionEncoding encoding_ = PositionEncoding::Utf16;
    std::string engine_messages_;
    bool initialized_ = false;
    bool shutdown_ = false;
    bool exit_ = false;
};

} // namespace

int run_language_server(std::FILE *in, std::FILE *out)
{
    Server server(in, out);
    return server.run();
}

} // namespace prax::lsp
