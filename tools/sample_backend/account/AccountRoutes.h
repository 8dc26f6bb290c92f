#pragma once

// The back end's user-centre paths, for signed-in learners:
//   "/sns/get_user_info"        the learner's profile from the catalogue under "obj": "real_name",
//                               "nick_name", "sex", "region1", "region2";
//   "/sns/get_user_headimage"   the avatar's URL under "obj"."headImage1", on the host the request was
//                               sent to (the picture itself is served by the media service);
//   "/pravik/account/zb"        the coin account under "obj" (AccountBook.h);
//   "/pravik/account/zb/list"   the coin transactions, newest first, as the array "obj";
//   "/pravik/order"             page "pageNo" of "pageSize" orders in "status" (-1 for all) under
//                               "obj"."z_data", with "obj"."totalCount";
//   "/pravik/order/cancel"      closes the unpaid order "orderNo" (9723 for an order the learner does not
//                               have, 9719 for one that is not unpaid).
// A required parameter that is missing or not a number is refused with 9801.
//
// Thread-safety: the handlers may run on any thread; the orders are kept under a lock (AccountBook.h).

#include <memory>

#include "sample_backend/account/AccountBook.h"
#include "sample_backend/api/ApiRouter.h"

namespace sample_backend::account {

inline constexpr int kCodeNoSuchOrder = 9723;
inline constexpr int kCodeOrderNotCancellable = 9719;

// Adds the user-centre paths to `router`; they keep the orders in `book`.
void addAccountRoutes(api::ApiRouter& router, const std::shared_ptr<AccountBook>& book);

}  // namespace sample_backend::account
