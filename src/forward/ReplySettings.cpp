#include "forward/ReplySettings.h"

#include "forward/ForwardPlan.h"
#include "settings/Settings.h"

bool repliesOn(const Settings& settings) {
    const SmtpSecurity security = securityFromNumber(settings.smtpSecurity);
    return !settings.imapServer.empty() &&
           (settings.forwardType == kForwardToEmail || settings.forwardType == kForwardToPhone) &&
           (security == SmtpSecurity::StartTls || security == SmtpSecurity::Tls);
}

ReplyConfig replyConfig(const Settings& settings) {
    ReplyConfig config;
    config.on = repliesOn(settings);
    config.imap.server = settings.imapServer;
    config.imap.port = settings.imapPort;
    config.imap.security = imapSecurityFromNumber(settings.imapSecurity);
    config.imap.user = settings.smtpUser;
    config.imap.password = settings.smtpPassword;
    config.imap.trustedCaFile = settings.trustedCaFile;
    config.notice = DeliveryJob(testMailJob(settings), settings.retryMinutes);
    config.destination = config.notice.mail.recipient;
    return config;
}
