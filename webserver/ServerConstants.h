#pragma once
// Every limit, default and fixed text of the board web server, in one place.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quorvane {

// Listening.
constexpr std::uint16_t BoardPort = 7350;               // default port of the default bindings
constexpr int DefaultListenQueue = 15;                  // backlog passed to listen
// Connections open at once from one client address (0: no cap). Each costs a thread; a screen
// keeps one or two, so 64 leaves room for a room full of them behind one NAT address while one
// client can no longer take every thread and descriptor.
constexpr int DefaultMaxClientConnections = 64;
constexpr std::string_view ServerThreadName = "BoardServer"; // names the listener and connection threads
constexpr int AcceptSliceMs = 250;                      // listener checks for a stop between slices
constexpr int AcceptRetryMs = 10;                       // pause after a failed accept or pass
constexpr int ReadSliceMs = 250;                        // a blocked read checks for a stop between slices
constexpr int DeactivationCheckMs = 500;                // deactivation looks at the live threads this often
constexpr std::size_t ConnectionThreadStackBytes = 512 * 1024;  // ample for one exchange
// A burst of at least this many connections at once has its freed memory handed back to the
// system when the last of them ends (malloc_trim); a few screens' requests never pay for it.
constexpr std::size_t TrimAfterConnections = 64;
constexpr int ListenerNiceValue = -10;                  // listeners run ahead of connection threads
constexpr int EphemeralBindAttempts = 8;                // port 0: tries to find one port free for both families

// Reading a request.
constexpr std::size_t MaxLineLength = 16384;            // bytes allowed before the LF of one line
// Bytes asked of the socket at once, received on the connection thread's stack: a request fits in
// one block, and 4 KiB stays within the stack pages a new thread starts with (32 KiB cost a page
// fault per connection).
constexpr std::size_t ReceiveBlockSize = 4096;
constexpr int DefaultMaximumHeaderLineCount = 1024;     // header lines beyond this + 1 fail the request
// The request line and every header line together, line ends counted: beyond it the connection
// is closed unanswered. Common servers allow 8-32 KiB; without a total, 1,024 lines of 16 KiB
// would let one connection pin 16 MiB.
constexpr std::size_t MaxRequestHeadBytes = 16384;
constexpr int DefaultRequestTimeoutMs = 30000;          // whole request must arrive within this of accept
constexpr std::int64_t MaxRequestBodyBytes = 1048576;   // larger bodies end the connection unanswered
// A body kept for the handler (a small form): bounded well below the above, since one is held in
// memory per connection thread and no form of ours comes near it.
constexpr std::int64_t MaxKeptBodyBytes = 4096;

// Answering.
constexpr std::size_t MaxAccessLineBytes = 65536;       // access lines are cut here (tokens in client text)
constexpr std::string_view ServerSoftware = "BaLtu";   // the Server header of every response
constexpr std::string_view DefaultContentType = "text/html";
constexpr std::string_view StatusLineStart = "HTTP/1.1 ";
constexpr std::string_view LineEnd = "\r\n";

// Messages carried by the errors that end a connection or an activation.
constexpr std::string_view MsgCouldNotBind = "Could not bind socket. Address and port are already in use.";
// Any other bind failure: "Could not bind socket to ADDRESS, port N: REASON." with the system's
// reason (an address not on this machine, a port below 1024 without the right to it).
constexpr std::string_view MsgCouldNotBindTo = "Could not bind socket to ";
constexpr std::string_view MsgNotAnAddress = "not an IP address of that family";
constexpr std::string_view MsgMaxLineLength = "Max line length exceeded.";
constexpr std::string_view MsgParsingCommand = "Error in parsing command.";
constexpr std::string_view MsgHeaderLineCount = "Maximum number of line allowed exceeded";
constexpr std::string_view MsgRequestHeadTooLarge = "Request header too large.";
constexpr std::string_view MsgHeaderWritten = "Header has already been written.";
constexpr std::string_view MsgClosedGracefully = "Connection Closed Gracefully.";
constexpr std::string_view MsgReadTimeout = "Read timed out.";
constexpr std::string_view MsgBodyTooLarge = "Request body too large.";
constexpr std::string_view MsgUnknownResponseCode = "Unknown Response Code";

}  // namespace quorvane
