// The course agreement's page: named by the agreement status at the host the client reached, and served as
// HTML from the catalogue's clauses.

#include <gtest/gtest.h>

#include "sample_backend/course/AgreementPage.h"
#include "tools/sample_backend/api/api_test_util.h"

namespace sample_backend::course {
namespace {

TEST(AgreementPageTest, TheStatusNamesThePageTheBackEndServes) {
  api::ApiService service(api::testutil::defaultCatalogue());
  api::ApiRequest status = api::testutil::signedRequest(
      "/pravik/vestra/checkUserProtocolStatus", {{"sid", service.sessions().openSession("20160002")}});
  status.headers["host"] = "127.0.0.1:45745";
  const nlohmann::json reply = api::testutil::replyOf(service, status);
  ASSERT_EQ(reply["code"], 0);
  EXPECT_EQ(reply["obj"]["signURL"], "http://127.0.0.1:45745/quillmark/agreement/P2017001.html");

  const api::ApiService::Answer page =
      service.answer(api::ApiRequest{"GET", "/quillmark/agreement/P2017001.html", {}, {}});
  EXPECT_EQ(page.status, 200u);
  EXPECT_EQ(page.contentType, "text/html;charset=UTF-8");
  EXPECT_NE(page.body.find("<h1>2017考研全程班学员协议</h1>"), std::string::npos) << page.body;
  EXPECT_NE(page.body.find("<p>第一条 学员应按课程安排参加学习，不得将账号转借他人使用。</p>"),
            std::string::npos);

  // Another agreement's page, and a page posted to, are not there; both requests are on the record.
  EXPECT_EQ(service.answer(api::ApiRequest{"GET", "/quillmark/agreement/P1.html", {}, {}}).status, 404u);
  EXPECT_EQ(service.answer(api::ApiRequest{"POST", "/quillmark/agreement/P2017001.html", {}, {}}).status,
            404u);
  EXPECT_EQ(service.recordedRequests("/quillmark/agreement/P2017001.html").size(), 2u);
}

TEST(AgreementPageTest, TextsThatLookLikeMarkupStayText) {
  const nlohmann::json agreement = {
      {"protocolId", 7}, {"name", "A&B <协议>"}, {"clauses", {"x < y", 3, "<script>"}}};
  EXPECT_EQ(agreementPageURL(agreement, ""), "http://127.0.0.1/quillmark/agreement/7.html");
  const std::optional<std::string> page = agreementPage(agreement, "/quillmark/agreement/7.html");
  ASSERT_TRUE(page);
  EXPECT_NE(page->find("<h1>A&amp;B &lt;协议&gt;</h1>"), std::string::npos) << *page;
  EXPECT_NE(page->find("<p>x &lt; y</p>\n<p>&lt;script&gt;</p>"), std::string::npos) << *page;
  EXPECT_FALSE(agreementPage(nlohmann::json::object(), "/quillmark/agreement/.html"));
}

}  // namespace
}  // namespace sample_backend::course
