#include "sample_backend/account/AccountRoutes.h"

#include <charconv>
#include <optional>
#include <string>

#include "sample_backend/api/SampleCatalogue.h"
#include "sample_backend/media/SampleImages.h"

namespace sample_backend::account {
namespace {

using api::ApiReply;
using api::RouteContext;

std::optional<int> integerParameter(const RouteContext& context, std::string_view name) {
  const std::optional<std::string> text = context.request.parameter(name);
  if (!text) {
    return std::nullopt;
  }
  int value = 0;
  const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
  if (error != std::errc() || end != text->data() + text->size()) {
    return std::nullopt;
  }
  return value;
}

ApiReply missing(std::string_view name) {
  return ApiReply::refusal(api::kCodeMissingParameter, "missing or malformed " + std::string(name));
}

ApiReply userInfoReply(const RouteContext& context) {
  const nlohmann::json* learner = context.catalogue.learnerWithId(context.userId.value_or(""));
  if (learner == nullptr) {
    return ApiReply::refusal(api::kCodeNoSuchUser, "no such learner");
  }
  return ApiReply::success({
      {"real_name", learner->value("realName", "")},
      {"nick_name", learner->value("nickName", "")},
      {"sex", learner->value("sex", "")},
      {"region1", learner->value("region1", "")},
      {"region2", learner->value("region2", "")},
  });
}

ApiReply avatarReply(const RouteContext& context) {
  // Each learner has an address of their own; the query only tells them apart.
  const std::string host = context.request.header("host").value_or("");
  return ApiReply::success({{"headImage1", "http://" + host + std::string(media::kAvatarImagePath) +
                                               "?user=" + context.userId.value_or("")}});
}

ApiReply orderPageReply(const RouteContext& context, AccountBook& book) {
  const std::optional<int> status = integerParameter(context, "status");
  const std::optional<int> page = integerParameter(context, "pageNo");
  const std::optional<int> pageSize = integerParameter(context, "pageSize");
  if (!status) {
    return missing("status");
  }
  if (!page) {
    return missing("pageNo");
  }
  if (!pageSize) {
    return missing("pageSize");
  }
  const std::string userId = context.userId.value_or("");
  return ApiReply::success({{"z_data", book.orderPage(userId, *status, *page, *pageSize)},
                            {"totalCount", book.orderCount(userId, *status)}});
}

ApiReply cancelReply(const RouteContext& context, AccountBook& book) {
  const std::optional<std::string> orderNo = context.request.parameter("orderNo");
  if (!orderNo || orderNo->empty()) {
    return missing("orderNo");
  }
  switch (book.cancelOrder(context.userId.value_or(""), *orderNo)) {
    case AccountBook::CancelOutcome::kCancelled:
      return ApiReply::success(nullptr);
    case AccountBook::CancelOutcome::kNoSuchOrder:
      return ApiReply::refusal(kCodeNoSuchOrder, "no order " + *orderNo);
    case AccountBook::CancelOutcome::kNotUnpaid:
      break;
  }
  return ApiReply::refusal(kCodeOrderNotCancellable, "order " + *orderNo + " is not unpaid");
}

}  // namespace

void addAccountRoutes(api::ApiRouter& router, const std::shared_ptr<AccountBook>& book) {
  using api::SessionRule;
  router.add("/sns/get_user_info", SessionRule::kSignedIn, userInfoReply);
  router.add("/sns/get_user_headimage", SessionRule::kSignedIn, avatarReply);
  router.add("/pravik/account/zb", SessionRule::kSignedIn, [book](const RouteContext& context) {
    return ApiReply::success(book->coinAccount(context.userId.value_or("")));
  });
  router.add("/pravik/account/zb/list", SessionRule::kSignedIn, [book](const RouteContext& context) {
    return ApiReply::success(book->coinTransactions(context.userId.value_or("")));
  });
  router.add("/pravik/order", SessionRule::kSignedIn,
             [book](const RouteContext& context) { return orderPageReply(context, *book); });
  router.add("/pravik/order/cancel", SessionRule::kSignedIn,
             [book](const RouteContext& context) { return cancelReply(context, *book); });
}

}  // namespace sample_backend::account
