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
find_package(Boost REQUIRED)
find_package(SQLite3 REQUIRED)
# The line editor of the terminal front end (BSD licence).
pkg_check_modules(LIBEDIT REQUIRED IMPORTED_TARGET libedit)
