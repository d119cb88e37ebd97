#include <gtest/gtest.h>

#include <string>

#include "delivery/ReplyBook.h"
#include "delivery/ReplyPacer.h"
#include "imap/MailHeaders.h"
#include "imap/MimeText.h"
#include "imap/ReplyText.h"

TEST(MailHeaders, FindsTheSenderAndTheIdsAnAnswerNames) {
    const std::string mail =
        "Received: x\r\nfrom: \"Pager, Me\" <Pager@Example.NET> (phone)\r\n"
        "In-Reply-To:\r\n <1.2.abc@example.org>\r\nReferences: <a@b> <c@d>\r\n"
        "  <1.2.abc@example.org>\r\n\r\nFrom: body@example.net\r\n";
    const std::string headers = MailHeaders::headerSection(mail);
    EXPECT_EQ(MailHeaders::address(MailHeaders::field(headers, "From")), "Pager@Example.NET");
    EXPECT_TRUE(MailHeaders::sameAddress("Pager@Example.NET", "pager@example.net"));
    EXPECT_FALSE(MailHeaders::sameAddress("pager@example.net.evil", "pager@example.net"));
    EXPECT_EQ(MailHeaders::messageIds(MailHeaders::field(headers, "In-Reply-To")),
              std::vector<std::string>{"<1.2.abc@example.org>"});
    EXPECT_EQ(MailHeaders::messageIds(MailHeaders::field(headers, "References")).size(), 3u);
    EXPECT_EQ(MailHeaders::address("plain@example.net"), "plain@example.net");
    EXPECT_EQ(MailHeaders::field(headers, "Subject"), "");
}

TEST(MimeText, TakesTheFirstPlainPartElseTheHtmlDecoded) {
    const struct {
        const char* what;
        std::string mail;
        std::string text;
        std::string charset;
    } cases[] = {
        {"no MIME at all", "From: a\r\n\r\nhello\r\n", "hello\r\n", "us-ascii"},
        {"quoted-printable Latin-1",
         "Content-Type: text/plain; charset=\"ISO-8859-1\"\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
         "caf=E9 soft=\r\nbreak =3D\r\n",
         "caf\xe9 softbreak =\r\n", "iso-8859-1"},
        {"base64 UTF-8, format=flowed",
         "Content-Type: text/plain; charset=utf-8; format=flowed\r\nContent-Transfer-Encoding: base64\r\n\r\n"
         "b25lIA0KdHfDtg0K\r\n",
         "one tw\xc3\xb6\r\n", "utf-8"},
        {"alternative: the plain part, wherever it stands",
         "Content-Type: multipart/alternative; boundary=\"b1\"\r\n\r\npreamble\r\n--b1\r\n"
         "Content-Type: text/html\r\n\r\n<p>html</p>\r\n--b1\r\nContent-Type: text/plain\r\n\r\nplain\r\n--b1--\r\n",
         "plain", "us-ascii"},
        {"HTML only, nested, attachment passed over",
         "Content-Type: multipart/mixed; boundary=m\r\n\r\n--m\r\nContent-Type: text/plain\r\n"
         "Content-Disposition: attachment\r\n\r\nfile\r\n--m\r\nContent-Type: multipart/alternative; boundary=a\r\n\r\n"
         "--a\r\nContent-Type: text/html; charset=utf-8\r\n\r\n<head><title>t</title></head><b>Yes</b> &amp; "
         "caf&#233;<br>ok<blockquote>old <i>text</i></blockquote>\r\n--a--\r\n--m--\r\n",
         "Yes & caf\xc3\xa9\nok\n> \n", "utf-8"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        const MimeText text = readableText(test.mail);
        EXPECT_TRUE(text.found);
        EXPECT_EQ(text.text, test.text);
        EXPECT_EQ(text.charset, test.charset);
    }
    EXPECT_FALSE(readableText("Content-Type: image/png\r\n\r\nxx").found);
    EXPECT_EQ(decodeBase64("aGk=\r\n"), "hi");
    EXPECT_EQ(decodeBase64("aGVsbG8gd29yb"), "hello wor") << "a fetch cut off mid-group";
    EXPECT_EQ(decodeQuotedPrintable("a=zz=4"), "a=zz=4");
}

TEST(ReplyText, KeepsOnlyWhatTheUserWrote) {
    const struct {
        const char* what;
        std::string in;
        std::string out;
    } cases[] = {
        {"quote and its attribution", "Sure,  see you\r\n\r\nOn Mon, Dec 7, 2026, IM <x@y> wrote:\r\n> hi\r\n>> older\r\n",
         "Sure, see you"},
        {"attribution folded over two lines", "Yes\nOn Mon, Dec 7, 2026 at 10:00 AM IM\n<x@y> wrote:\n\n> hi\n", "Yes"},
        {"signature and phone footer", "Fine\n\n\n\nthanks\nSent from my iPhone\n-- \nMe\nPhone 123\n",
         "Fine\r\n\r\nthanks"},
        {"a line that only looks like one", "On my way, I wrote: soon\n", "On my way, I wrote: soon"},
        {"nothing left", "\r\n> only a quote\r\n", ""},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        EXPECT_EQ(ReplyText::clean(test.in), test.out);
    }
    EXPECT_EQ(ReplyText::clean(std::string(3000, 'x')).size(), ReplyText::kMaxBytes);
}

TEST(ReplyPacer, OnePerContactEveryTenSecondsAndTwentyAMinute) {
    ReplyPacer pacer;
    EXPECT_TRUE(pacer.admit("ann", 0));
    EXPECT_FALSE(pacer.admit("ann", 9999));
    EXPECT_TRUE(pacer.admit("ann", 10000));
    for (int i = 0; i < 18; ++i) EXPECT_TRUE(pacer.admit("c" + std::to_string(i), 10000 + i));
    EXPECT_FALSE(pacer.admit("bob", 20000)) << "twenty in the last minute";
    EXPECT_TRUE(pacer.admit("bob", 60000)) << "the first has left the minute";
}

TEST(ReplyBook, KnowsAnIdForADayOnly) {
    ReplyBook book;
    book.remember("<1@x>", ReplyTarget{"AIM", 3, "ann"}, 1000);
    const std::optional<ReplyTarget> found = book.find("<1@x>", 1000 + ReplyBook::kKeepMs - 1);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->medium + found->name + std::to_string(found->connection), "AIMann3");
    EXPECT_FALSE(book.find("<2@x>", 1000));
    EXPECT_FALSE(book.find("<1@x>", 1000 + ReplyBook::kKeepMs));
}
