#include "sample_backend/account/AccountBook.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace sample_backend::account {
namespace {

// The products an order may hold: one, two or three of them, joined by "," as the list shows them.
constexpr std::array<const char*, 3> kProductNames = {
    "政治全程班",
    "英语一全程班,数学一全程班",
    "政治冲刺班,英语一冲刺班,数学一冲刺班",
};
constexpr std::array<const char*, 3> kPrices = {"199.00", "398.00", "297.00"};

// Every fifth order is paid; the others alternate between unpaid and closed.
int statusOfOrder(int index) {
  if (index % 5 == 0) {
    return kStatusPaid;
  }
  const int unpaidOrClosed = index - index / 5 - 1;
  return unpaidOrClosed % 2 == 0 ? kStatusUnpaid : kStatusClosed;
}

nlohmann::json makeOrder(const std::string& userId, int index) {
  char orderNo[48];
  std::snprintf(orderNo, sizeof orderNo, "QM%s%03d", userId.c_str(), AccountBook::kOrderCount - index);
  // Newest first: one order a day back from September 2016, at a time that moves with the index.
  char createTime[32];
  std::snprintf(createTime, sizeof createTime, "2016-%02d-%02d %02d:%02d:00", 9 - index / 30, 30 - index % 30,
                8 + index % 12, (index * 7) % 60);
  const std::size_t product = static_cast<std::size_t>(index) % kProductNames.size();
  return {
      {"orderNo", orderNo},
      {"status", statusOfOrder(index)},
      {"createTime", createTime},
      {"price", kPrices[product]},
      {"productDisplayNames", kProductNames[product]},
  };
}

nlohmann::json transaction(int type, const char* typeDesc, const char* amount, const char* balance,
                           const char* date, const char* time, const char* remark) {
  return {
      {"type", type},     {"type_desc", typeDesc}, {"amount", amount},
      {"yu_e", balance},  {"yyyyMMdd_time", date}, {"yyyyMMddhhmmss_time", std::string(date) + time},
      {"remark", remark},
  };
}

}  // namespace

nlohmann::json AccountBook::coinAccount(const std::string& /*userId*/) {
  return {{"amount", kBalance}, {"freezeAmount", 0}, {"remark", "Z币可用于购买课程"}};
}

nlohmann::json AccountBook::coinTransactions(const std::string& /*userId*/) {
  // The balance after each, oldest at the bottom, ends at kBalance.
  return nlohmann::json::array({
      transaction(2, "购买课程", "-50.00", "12.50", "20160905", "143000", "政治全程班"),
      transaction(1, "充值", "+50.00", "62.50", "20160901", "091500", "在线充值"),
      transaction(4, "订单抵扣", "-40.00", "12.50", "20160820", "200000", "英语一全程班"),
      transaction(3, "活动赠送", "+2.50", "52.50", "20160815", "100000", "开学活动"),
      transaction(1, "充值", "+50.00", "50.00", "20160810", "083000", "在线充值"),
  });
}

std::vector<nlohmann::json>& AccountBook::ordersOf(const std::string& userId) {
  std::vector<nlohmann::json>& orders = orders_[userId];
  if (orders.empty()) {
    for (int index = 0; index < kOrderCount; ++index) {
      orders.push_back(makeOrder(userId, index));
    }
  }
  return orders;
}

std::vector<nlohmann::json> AccountBook::matching(const std::string& userId, int status) {
  std::vector<nlohmann::json> found;
  for (const nlohmann::json& order : ordersOf(userId)) {
    if (status == kStatusAll || order["status"] == status) {
      found.push_back(order);
    }
  }
  return found;
}

nlohmann::json AccountBook::orderPage(const std::string& userId, int status, int page, int pageSize) {
  ns::MutexLock lock(mutex_);
  const std::vector<nlohmann::json> found = matching(userId, status);
  nlohmann::json pageOrders = nlohmann::json::array();
  if (page < 1 || pageSize < 1) {
    return pageOrders;
  }
  const std::size_t first = static_cast<std::size_t>(page - 1) * static_cast<std::size_t>(pageSize);
  for (std::size_t index = first; index < found.size() && index < first + static_cast<std::size_t>(pageSize);
       ++index) {
    pageOrders.push_back(found[index]);
  }
  return pageOrders;
}

int AccountBook::orderCount(const std::string& userId, int status) {
  ns::MutexLock lock(mutex_);
  return static_cast<int>(matching(userId, status).size());
}

AccountBook::CancelOutcome AccountBook::cancelOrder(const std::string& userId, const std::string& orderNo) {
  ns::MutexLock lock(mutex_);
  std::vector<nlohmann::json>& orders = ordersOf(userId);
  const auto order = std::find_if(orders.begin(), orders.end(), [&](const nlohmann::json& candidate) {
    return candidate["orderNo"] == orderNo;
  });
  if (order == orders.end()) {
    return CancelOutcome::kNoSuchOrder;
  }
  if ((*order)["status"] != kStatusUnpaid) {
    return CancelOutcome::kNotUnpaid;
  }
  (*order)["status"] = kStatusClosed;
  return CancelOutcome::kCancelled;
}

}  // namespace sample_backend::account
