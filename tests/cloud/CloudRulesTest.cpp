// The request rules both clients share: where requests may go, how long a Retry-After waits,
// and the one-line reason made of an error answer.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QLocale>

#include "cloud/CloudFailure.h"
#include "cloud/CloudHttp.h"

namespace {

TEST(CloudRulesTest, OnlyHttpsOrLoopback) {
    const std::pair<const char*, bool> cases[] = {
        {"https://graph.microsoft.com", true}, {"https://login.example.org:8443/t", true},
        {"http://127.0.0.1:8080", true},       {"http://127.4.5.6", true},
        {"http://[::1]:80/x", true},           {"http://localhost:1234", true},
        {"http://graph.microsoft.com", false}, {"http://192.168.1.2", false},
        {"ftp://127.0.0.1/", false},           {"https://", false},
    };
    for (const auto& [address, allowed] : cases) EXPECT_EQ(isAllowedCloudAddress(QUrl(address)), allowed) << address;
}

TEST(CloudRulesTest, RetryAfterInSecondsCapped) {
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"5", 5}, {" 0 ", 0}, {"120", 60}, {"-3", 0}, {"", std::nullopt}, {"soon", std::nullopt},
    };
    for (const auto& [header, seconds] : cases) EXPECT_EQ(retryAfterSeconds(header), seconds) << header;
    const QString inTenSeconds = QLocale::c().toString(QDateTime::currentDateTimeUtc().addSecs(10), "ddd, dd MMM yyyy hh:mm:ss 'GMT'");
    const std::optional<int> dated = retryAfterSeconds(inTenSeconds.toLatin1());
    ASSERT_TRUE(dated) << inTenSeconds.toStdString();
    EXPECT_GE(*dated, 8);
    EXPECT_LE(*dated, 10);
}

TEST(CloudRulesTest, FailureIsStatusAndServiceCode) {
    const std::tuple<int, const char*, const char*> cases[] = {
        {403, R"({"error":{"code":"ErrorAccessDenied","message":"Access is denied."}})", "HTTP 403 (ErrorAccessDenied)"},
        {403, R"({"error":{"code":403,"status":"PERMISSION_DENIED","errors":[{"reason":"forbidden"}]}})",
         "HTTP 403 (PERMISSION_DENIED)"},
        {404, R"({"error":{"code":404,"errors":[{"reason":"notFound"}]}})", "HTTP 404 (notFound)"},
        {400, R"({"error":"invalid_grant","error_description":"Invalid JWT Signature."})", "HTTP 400 (invalid_grant)"},
        {502, "<html>Bad gateway</html>", "HTTP 502"},
        {400, R"({"error":"an error text, not a code"})", "HTTP 400"},
        {500, R"({"error":{"code":"x123456789012345678901234567890123456789012345678901234567890123456789012345678901"}})",
         "HTTP 500"},
    };
    for (const auto& [status, body, expected] : cases) EXPECT_EQ(httpFailure(status, body), expected) << body;
}

}  // namespace
