#pragma once

// Helpers for the sample back end's tests: the shipped catalogue, requests signed and headed as the client
// sends them, and a loopback HTTP client whose every exchange ends within a deadline.

#include <gtest/gtest.h>

#include <boost/asio.hpp>
#include <boost/beast.hpp>
#include <chrono>
#include <optional>
#include <string>

#include "sample_backend/api/ApiRequest.h"
#include "sample_backend/api/RequestSign.h"
#include "sample_backend/api/SampleCatalogue.h"

namespace sample_backend::api::testutil {

inline constexpr char kSigningKey[] = "7b2e9d40c5a1f8e36d0b4c92a7f15e08";

inline SampleCatalogue defaultCatalogue() {
  ns::Result<SampleCatalogue> catalogue = SampleCatalogue::fromFile(SampleCatalogue::defaultPath());
  EXPECT_TRUE(catalogue.ok()) << (catalogue.ok() ? "" : catalogue.error().localizedDescription());
  return std::move(catalogue).value();
}

// The header fields the client's shared manager sends.
inline std::map<std::string, std::string, std::less<>> commonHeaders() {
  return {
      {"app_name", "澜屿考研"},      {"version", "v1.0.0"},
      {"protocol_version", "1.0"},   {"imei", "0123456789abcdef0123456789abcdef01234567"},
      {"platform", "ios_phone_9.3"}, {"model", "iOS"},
      {"screensize", "750*1334"},    {"channel", "000016"},
      {"network", "wifi"},
  };
}

// Returns a POST of `path` with the common headers, `parameters` plus "app_id" 83, and their sign.
inline ApiRequest signedRequest(std::string path,
                                std::map<std::string, std::string, std::less<>> parameters = {}) {
  ApiRequest request;
  request.method = "POST";
  request.path = std::move(path);
  request.headers = commonHeaders();
  request.parameters = std::move(parameters);
  request.parameters["app_id"] = "83";
  request.parameters["sign"] = computeRequestSign(request.parameters, kSigningKey);
  return request;
}

// Returns `text` with every byte but ASCII letters and digits written as %hh.
inline std::string formEscaped(const std::string& text) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string escaped;
  for (unsigned char c : text) {
    if (std::isalnum(c)) {
      escaped.push_back(static_cast<char>(c));
    } else {
      escaped += {'%', kDigits[c >> 4], kDigits[c & 15]};
    }
  }
  return escaped;
}

// Returns the form body of `parameters`.
inline std::string formBody(const std::map<std::string, std::string, std::less<>>& parameters) {
  std::string body;
  for (const auto& [key, value] : parameters) {
    body += (body.empty() ? "" : "&") + formEscaped(key) + "=" + formEscaped(value);
  }
  return body;
}

// Posts `requests` one after another over one loopback connection to `port` and returns the bodies of the
// replies; the list ends early when the server closes the connection. Gives up after five seconds.
inline std::vector<std::string> postOverOneConnection(std::uint16_t port,
                                                      const std::vector<ApiRequest>& requests) {
  namespace beast = boost::beast;
  namespace http = beast::http;
  boost::asio::io_context context;
  beast::tcp_stream stream(context);
  std::vector<std::string> replies;
  beast::flat_buffer buffer;
  std::vector<http::request<http::string_body>> messages;
  for (const ApiRequest& request : requests) {
    http::request<http::string_body> message(http::verb::post, request.path, 11);
    message.set(http::field::host, "127.0.0.1");
    message.set(http::field::content_type, "application/x-www-form-urlencoded; charset=utf-8");
    for (const auto& [name, value] : request.headers) {
      message.set(name, value);
    }
    message.body() = formBody(request.parameters);
    message.prepare_payload();
    messages.push_back(std::move(message));
  }
  http::response<http::string_body> response;
  std::function<void(std::size_t)> exchange = [&](std::size_t index) {
    if (index == messages.size()) {
      return;
    }
    http::async_write(stream, messages[index], [&, index](beast::error_code error, std::size_t) {
      if (error) {
        return;
      }
      response = {};
      http::async_read(stream, buffer, response, [&, index](beast::error_code readError, std::size_t) {
        if (readError) {
          return;
        }
        replies.push_back(response.body());
        exchange(index + 1);
      });
    });
  };
  stream.async_connect(boost::asio::ip::tcp::endpoint(boost::asio::ip::make_address_v4("127.0.0.1"), port),
                       [&](beast::error_code error) {
                         if (!error) {
                           exchange(0);
                         }
                       });
  context.run_for(std::chrono::seconds(5));
  return replies;
}

}  // namespace sample_backend::api::testutil
