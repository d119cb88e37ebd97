#pragma once
// What the host's side of the plug-in costs, measured through the built DLL
// under the test host, against servers of the mail lab.
class BenchResults;
class MailLab;

// Microseconds the host's thread spends in one broadcast, for messages of
// 100 B, 1 KiB, 64 KiB and 1 MiB split with "CharLimit" 100.
void measureBroadcasts(MailLab& lab, BenchResults& results);
// Milliseconds a stop takes while idle, during a long batch, and while the
// sender waits on a server that never answers.
void measureStops(MailLab& lab, BenchResults& results);
// Milliseconds of one SMTP session on loopback, connect to QUIT with one
// mail: plain, and STARTTLS and TLS with a login and the certificate check.
void measureSessions(MailLab& lab, BenchResults& results);
// The sender thread's CPU time over ten idle seconds.
void measureIdleCpu(BenchResults& results);
