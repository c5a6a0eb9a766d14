// The deployment files in server/deploy: nginx accepts the site as written, with a certificate of the test's own.
#include "ServerTestSupport.h"
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>

using namespace ServerTests;

namespace {

TEST(DeploymentTest, NginxAcceptsTheSite) {
    if (std::system("test -x /usr/sbin/nginx && command -v openssl > /dev/null") != 0)
        GTEST_SKIP() << "nginx or openssl is not installed";
    TempFolder folder;
    const std::string& at = folder.Path();
    ASSERT_EQ(std::system(("openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=scores.kestrovar.example"
                           " -keyout " +
                           at + "/privkey.pem -out " + at + "/fullchain.pem > /dev/null 2>&1")
                              .c_str()),
              0);
    // The site as installed, only its certificate paths pointed at the test's own.
    std::string site = FileText(KESTROVAR_SOURCE_DIR "/server/deploy/kestrovar-scores.nginx");
    ASSERT_FALSE(site.empty());
    site = std::regex_replace(site, std::regex("/etc/ssl/kestrovar"), at);
    std::ofstream(at + "/site.conf") << site;
    std::ofstream(at + "/nginx.conf") << "pid " + at + "/nginx.pid;\nerror_log " + at +
                                             "/error.log;\nevents {}\nhttp {\n  include " + at + "/site.conf;\n}\n";
    std::string command = "/usr/sbin/nginx -t -q -p " + at + " -e " + at + "/error.log -c " + at + "/nginx.conf > " +
                          at + "/test.log 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << FileText(at + "/test.log");
}
} // namespace
