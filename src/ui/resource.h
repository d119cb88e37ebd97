#pragma once
// Resource numbers of the module, shared by the .rc file and the code.

#define IDB_ENVELOPE 101
#define IDD_PREFS_PAGE 102
#define IDD_ABOUT 104
#define IDD_README 105
#define IDD_ADVANCED 106

// Controls without an id of their own: the frames and the pictures.
#define IDC_STATIC -1

// Controls of the preferences page (dialog 102).
#define IDC_SERVER_FRAME 1021
#define IDC_FORWARDING_ENABLED 1005
#define IDC_SMTP_SERVER 1001
#define IDC_FROM_ADDRESS 1035
#define IDC_EMAIL_ADDRESS 1002
#define IDC_PROVIDER 1006
#define IDC_PHONE_NUMBER 1010
#define IDC_REPLY_ENABLED 1022
#define IDC_REPLY 1033
#define IDC_PREFIX_ENABLED 1017
#define IDC_TRIGGER_PREFIX 1031
#define IDC_CHAR_LIMIT_ENABLED 1009
#define IDC_CHAR_LIMIT 1032
#define IDC_MESSAGE_LIMIT 1034
#define IDC_SHOW_SYSTRAY_ALERT 1015
#define IDC_ABOUT 1016
#define IDC_BEHAVIOR_FRAME 1024
#define IDC_FORWARD_EMAIL 1004
#define IDC_FORWARD_PHONE 1008
#define IDC_FROM_ADDRESS_LABEL 1011
#define IDC_EMAIL_ADDRESS_LABEL 1012
#define IDC_PROVIDER_LABEL 1013
#define IDC_PHONE_NUMBER_LABEL 1014
#define IDC_PREFIX_HINT 1019
#define IDC_PREFIX_LABEL 1018
#define IDC_CHAR_LIMIT_LABEL 1020
#define IDC_REPLY_LABEL 1023
#define IDC_MESSAGE_LIMIT_LABEL 1025
#define IDC_SYSTRAY_LABEL 1026
#define IDC_SMTP_SERVER_LABEL 1027
#define IDC_NAME_IN_BODY 1028
#define IDC_NAME_IN_BODY_LABEL 1029
#define IDC_READ_ME 1030
#define IDC_ADVANCED 1036
// The third destination, push.
#define IDC_FORWARD_PUSH 1037
#define IDC_PUSH_URL_STATE 1038
#define IDC_PUSH_URL_LABEL 1039
#define IDC_PUSH_URL 1040

// Controls of the Advanced Settings dialog (106), group "Mail Server".
#define IDC_MAIL_SERVER_FRAME 1101
#define IDC_SECURITY_LABEL 1102
#define IDC_SECURITY 1103
#define IDC_PORT_LABEL 1104
#define IDC_PORT 1105
#define IDC_USER_LABEL 1106
#define IDC_USER 1107
#define IDC_PASSWORD_LABEL 1108
#define IDC_PASSWORD 1109
#define IDC_TRUSTED_CA_LABEL 1110
#define IDC_TRUSTED_CA_FILE 1111
// Group "When to Forward".
#define IDC_WHEN_TO_FORWARD_FRAME 1112
#define IDC_AWAY_MINUTES_LABEL 1113
#define IDC_AWAY_MINUTES 1114
#define IDC_AWAY_MINUTES_UNIT 1115
// Group "Mail Server", continued.
#define IDC_SEND_TEST_MAIL 1116
#define IDC_TEST_MAIL_RESULT 1117
// Group "Mail Server", its last row.
#define IDC_RETRY_LABEL 1118
#define IDC_RETRY_MINUTES 1119
#define IDC_RETRY_UNIT 1120
// "Browse..." beside "Trusted CA File".
#define IDC_BROWSE_TRUSTED_CA 1121
// Group "When to Forward", continued: the quiet phone.
#define IDC_COOLDOWN_LABEL 1130
#define IDC_COOLDOWN_MINUTES 1131
#define IDC_COOLDOWN_UNIT 1132
#define IDC_QUIET_FROM_LABEL 1133
#define IDC_QUIET_FROM 1134
#define IDC_QUIET_TO_LABEL 1135
#define IDC_QUIET_TO 1136
#define IDC_CONTACT_FILTER_LABEL 1137
#define IDC_CONTACT_FILTER 1138
#define IDC_CONTACTS_LABEL 1139
#define IDC_CONTACTS 1140
#define IDC_CONTACTS_HINT 1141
// Group "Replies".
#define IDC_REPLIES_FRAME 1150
#define IDC_IMAP_SERVER_LABEL 1151
#define IDC_IMAP_SERVER 1152
#define IDC_IMAP_SECURITY_LABEL 1153
#define IDC_IMAP_SECURITY 1154
#define IDC_IMAP_PORT_LABEL 1155
#define IDC_IMAP_PORT 1156
#define IDC_CHECK_INBOX 1157
#define IDC_CHECK_INBOX_RESULT 1158
#define IDC_REPLIES_NOTE 1159

// Controls of the About box (dialog 104) and the release notes (dialog 105).
// Their numbers repeat ids of the page; each dialog has its own id space.
#define IDC_ABOUT_WEB_ADDRESS 1018
#define IDC_RELEASE_NOTES 1030
