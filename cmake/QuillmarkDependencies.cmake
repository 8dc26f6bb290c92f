# Every outside library, found once here and named by imported targets below.
find_package(Threads REQUIRED)
if(QUILLMARK_TESTS OR QUILLMARK_BENCHMARKS)
  find_package(GTest REQUIRED)
endif()
find_package(OpenSSL REQUIRED)
find_package(ICU REQUIRED COMPONENTS uc i18n data)
find_package(nlohmann_json REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(PLIST REQUIRED IMPORTED_TARGET libplist-2.0)
# libxml2: the event-driven XML reader of XML replies, and the HTML parser that reads web pages' text.
find_package(LibXml2 REQUIRED)
# FFmpeg: the media engine (demuxing, decoding, picture conversion, the sound's tempo) and the sample lessons
# (encoding, muxing).
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET libavformat libavcodec libavutil libswresample libswscale
                  libavfilter)
# The sound server's client library: the media engine's sound output.
pkg_check_modules(PULSE REQUIRED IMPORTED_TARGET libpulse)
if(QUILLMARK_BENCHMARKS)
  find_package(benchmark REQUIRED)
endif()
find_package(CURL REQUIRED)
# zlib: the picture decoder's bound on what a PNG's pixel data inflates to.
find_package(ZLIB REQUIRED)
# libtiff: the picture decoder's TIFF reading.
find_package(TIFF REQUIRED)
find_package(Boost REQUIRED)
# Boost.Asio 1.74 looks for co_await under clang only beside libc++'s <experimental/coroutine>, so with
# libstdc++ it sees none and its awaitables do not compile, although clang and libstdc++'s <coroutine> support
# them. Where that is so, tell Asio: every user of Asio links Boost::headers, so all see the same setting.
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  include(CheckCXXSourceCompiles)
  set(CMAKE_REQUIRED_FLAGS "-std=c++20")
  set(CMAKE_REQUIRED_INCLUDES ${Boost_INCLUDE_DIRS})
  check_cxx_source_compiles([[
    #include <boost/asio/detail/config.hpp>
    #include <coroutine>
    #if defined(BOOST_ASIO_HAS_CO_AWAIT) || !defined(BOOST_ASIO_HAS_STD_COROUTINE)
    #error Asio decides for itself
    #endif
    struct Task {
      struct promise_type {
        Task get_return_object() { return {}; }
        std::suspend_never initial_suspend() noexcept { return {}; }
        std::suspend_never final_suspend() noexcept { return {}; }
        void return_void() {}
        void unhandled_exception() {}
      };
    };
    Task run() { co_await std::suspend_never{}; }
    int main() { run(); }
  ]] QUILLMARK_ASIO_MISSES_CO_AWAIT)
  unset(CMAKE_REQUIRED_FLAGS)
  unset(CMAKE_REQUIRED_INCLUDES)
  if(QUILLMARK_ASIO_MISSES_CO_AWAIT)
    set_property(TARGET Boost::headers APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS BOOST_ASIO_HAS_CO_AWAIT=1)
  endif()
endif()
find_package(SQLite3 REQUIRED)
# The line editor of the terminal front end (BSD licence).
pkg_check_modules(LIBEDIT REQUIRED IMPORTED_TARGET libedit)
