#include <string>
#include <vector>

#include "BenchResults.h"
#include "HostMeasurements.h"
#include "MailLab.h"
#include "Stopwatch.h"
#include "mail/SmtpSession.h"

namespace {

const int kRounds = 5;
const char kHeloDomain[] = "example.org";
const char kUser[] = "bench@example.org";
const char kPassword[] = "bench password";

// One session from connect to QUIT, with one short mail, in milliseconds;
// a session that fails counts as no sample.
bool timedSession(const std::string& server, const SmtpOptions& options, double& milliseconds) {
    const MailJob job{server, "me@example.org", "you@example.net", "IM: bench", "one short mail"};
    const Stopwatch watch;
    SmtpSession session;
    if (!session.open(server, kHeloDomain, options).succeeded) return false;
    const bool sent = session.sendMail(job).succeeded;
    session.close();
    milliseconds = watch.milliseconds();
    return sent;
}

void measure(const std::string& name, const std::string& server, const SmtpOptions& options,
             BenchResults& results) {
    std::vector<double> samples;
    for (int round = 0; round < kRounds; ++round) {
        double milliseconds = 0;
        if (timedSession(server, options, milliseconds)) samples.push_back(milliseconds);
    }
    if (!samples.empty()) results.addSamples(name, samples, "ms");
}

SmtpOptions loginOptions(MailLab& lab, const LabServer& server, SmtpSecurity security) {
    SmtpOptions options;
    options.port = server.port;
    options.security = security;
    options.user = kUser;
    options.password = kPassword;
    options.trustedCaFile = lab.caFile();
    return options;
}

TlsServerOptions loginServer(TlsServerOptions::Mode mode) {
    TlsServerOptions server;
    server.mode = mode;
    server.user = kUser;
    server.password = kPassword;
    return server;
}

}  // namespace

void measureSessions(MailLab& lab, BenchResults& results) {
    const LabServer plain = lab.startSmtp();
    SmtpOptions plainOptions;
    plainOptions.port = plain.port;
    measure("session.plain", plain.host, plainOptions, results);

    const LabServer startTls = lab.startTls(loginServer(TlsServerOptions::StartTls));
    measure("session.startTls", kTlsServerName, loginOptions(lab, startTls, SmtpSecurity::StartTls), results);

    const LabServer tls = lab.startTls(loginServer(TlsServerOptions::Implicit));
    measure("session.tls", kTlsServerName, loginOptions(lab, tls, SmtpSecurity::Tls), results);
}
