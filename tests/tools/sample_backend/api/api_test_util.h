#pragma once

// Helpers for the sample back end's tests: the shipped catalogue, requests signed and headed as the client
// sends them, and a loopback HTTP client whose every exchange ends within a deadline.

#include <gtest/gtest.h>

#include <boost/asio.hpp>
#include <boost/beast.hpp>
#include <chrono>
#include <nlohmann/json.hpp>
#include <string>

#include "sample_backend/api/ApiRequest.h"
#include "sample_backend/api/ApiService.h"
#include "sample_backend/api/RequestSign.h"
#include "sample_backend/api/SampleCatalogue.h"

namespace sample_backend::api::testutil {

using Parameters = std::map<std::string, std::string, std::less<>>;

inline constexpr char kSigningKey[] = "7b2e9d40c5a1f8e36d0b4c92a7f15e08";
inline constexpr char kLearnerPassword[] = "cXVpbGwyMDE2";  // "quill2016"

inline SampleCatalogue defaultCatalogue() {
  ns::Result<SampleCatalogue> catalogue = SampleCatalogue::fromFile(SampleCatalogue::defaultPath());
  EXPECT_TRUE(catalogue.ok()) << (catalogue.ok() ? "" : catalogue.error().localizedDescription());
  return std::move(catalogue).value();
}

// Returns a POST of `path` with the client's common header fields, `parameters` plus "app_id" 83, and their
// sign.
inline ApiRequest signedRequest(std::string path, Parameters parameters = {}) {
  ApiRequest request{"POST", std::move(path), {}, std::move(parameters)};
  request.headers = {
      {"app_name", "澜屿考研"},      {"version", "v1.0.0"},
      {"protocol_version", "1.0"},   {"imei", "0123456789abcdef0123456789abcdef01234567"},
      {"platform", "ios_phone_9.3"}, {"model", "iOS"},
      {"screensize", "750*1334"},    {"channel", "000016"},
      {"network", "wifi"},
  };
  request.parameters["app_id"] = "83";
  request.parameters["sign"] = computeRequestSign(request.parameters, kSigningKey);
  return request;
}

// Returns the parsed body of `service`'s answer to `request`, failing the test unless its status is 200.
inline nlohmann::json replyOf(ApiService& service, ApiRequest request) {
  ApiService::Answer answer = service.answer(std::move(request));
  EXPECT_EQ(answer.status, 200u);
  return nlohmann::json::parse(answer.body);
}

// Returns the form body of `parameters`, with every byte but ASCII letters and digits written as %hh.
inline std::string formBody(const Parameters& parameters) {
  const auto escaped = [](const std::string& text) {
    std::string escaped;
    for (unsigned char c : text) {
      escaped += std::isalnum(c) ? std::string(1, static_cast<char>(c))
                                 : std::string{'%', "0123456789ABCDEF"[c >> 4], "0123456789ABCDEF"[c & 15]};
    }
    return escaped;
  };
  std::string body;
  for (const auto& [key, value] : parameters) {
    body += (body.empty() ? "" : "&") + escaped(key) + "=" + escaped(value);
  }
  return body;
}

// Posts `requests` one after another over one loopback connection to `port` and returns the bodies of the
// replies; the list ends early when the server closes the connection. Gives up after five seconds.
inline std::vector<std::string> postOverOneConnection(std::uint16_t port,
                                                      const std::vector<ApiRequest>& requests) {
  namespace asio = boost::asio;
  namespace http = boost::beast::http;
  std::vector<std::string> replies;
  asio::io_context context;
  const auto exchange = [&]() -> asio::awaitable<void> {
    boost::beast::tcp_stream stream(co_await asio::this_coro::executor);
    co_await stream.async_connect({asio::ip::address_v4::loopback(), port}, asio::use_awaitable);
    boost::beast::flat_buffer buffer;
    for (const ApiRequest& request : requests) {
      http::request<http::string_body> message(http::verb::post, request.path, 11);
      message.set(http::field::host, "127.0.0.1");
      message.set(http::field::content_type, "application/x-www-form-urlencoded; charset=utf-8");
      for (const auto& [name, value] : request.headers) {
        message.set(name, value);
      }
      message.body() = formBody(request.parameters);
      message.prepare_payload();
      co_await http::async_write(stream, message, asio::use_awaitable);
      http::response<http::string_body> response;
      co_await http::async_read(stream, buffer, response, asio::use_awaitable);
      replies.push_back(response.body());
    }
  };
  asio::co_spawn(context, exchange, asio::detached);
  context.run_for(std::chrono::seconds(5));
  return replies;
}

}  // namespace sample_backend::api::testutil
