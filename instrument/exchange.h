#pragma once
// One request to the instrument and its reply, on the program's port (com_nummer): the only way
// the poll and the controller-parameter exchange talk to the line.
//
// Rules that keep every reply with the request it answers:
// - A reply is judged only on bytes that arrived after its request was sent: whatever was
//   waiting in the input before is discarded.
// - A request that timed out may still be answered late. Before the next request the line is
//   brought back in step: bytes that arrive are read and dropped until the line has been quiet
//   for kQuietSeconds and, for a request whose replies carry no echo, until the late answer has
//   come or one more time-out of the failed request has passed. A reply cut off at its byte
//   limit has its rest dropped the same way. The wait is bounded: kMaxResyncSeconds beyond
//   that.
// - A request whose reply echoes it (`answers` given) drops lines that do not answer it (a late
//   answer to an earlier request) and goes on reading within its time-out.
// - A healthy line pays for none of this: only a failed exchange arms the resynchronisation.
// - A port whose device went away is opened again before the request; an exchange that got its
//   answer clears the link's message in the status line.

// The line is quiet when no byte came for this long [s] (about 50 bytes at 9600 baud).
constexpr double kQuietSeconds = 0.05;
// At most this long [s] is spent dropping bytes beyond the wait for a late answer.
constexpr double kMaxResyncSeconds = 0.5;

// Whether a reply line (NUL-terminated) answers the request; nullptr takes every line.
using ReplyCheck = bool (*)(const char* reply, int request);

// Sends `request` (NUL-terminated) and reads the reply up to its carriage return, at most
// `maxCount` bytes, into `reply` (which holds maxCount + 1: the reply is NUL-terminated where the
// read ended). Waits at most `timeoutSeconds` for the reply. Returns the RS-232 status of the
// read (0, RS232_ERR_TIMEOUT, ...), which ReturnRS232Err also gives afterwards.
int exchange(const char* request, double timeoutSeconds, char* reply, int maxCount,
             ReplyCheck answers = nullptr, int requestNumber = 0);

// A port whose device went away (an unplugged USB adapter) is opened again on the same device
// only, so that a long recording resumes by itself once the device is back.
void reopenIfGone();
