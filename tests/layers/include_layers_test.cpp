// Reads every include of our own code in every source and header under src/ and tools/ (`#include "..."`,
// and `#include <...>` of a path in one of our folders) and fails on one that goes up a layer or across to a
// neighbour it may not use, naming the file and the line. The table below is the one place that says which
// part may include which; it follows the libraries' links in src/CMakeLists.txt and tools/CMakeLists.txt.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Part {
  // The folder of the part, as its headers are included ("platform/net" for "platform/net/URL.h").
  std::string_view folder;
  // The parts it may include directly; it may also include whatever those may include.
  std::vector<std::string_view> uses;
};

// Top to bottom: the executable (its entry over the composition root over the terminal front end); the
// application (learning above app); the HTTP client; the neighbouring services; the platform stand-ins over
// foundation; inside foundation, its libraries over values over the checks. The sample back end serves tests
// and demos and is used only by the executable. A group (`platform/foundation`) stands for all its members,
// as the INTERFACE library of that name does; no file belongs to a group itself.
const std::vector<Part> kParts = {
    {"main", {"main/assembly", "main/terminal"}},
    {"main/assembly", {"main/terminal", "app", "learning", "sample_backend"}},
    {"main/terminal", {"platform/uikit", "platform/outside", "platform/foundation"}},
    {"learning", {"app", "embedded_server", "ui", "http_client"}},
    {"app",
     {"http_client", "ui", "analytics", "platform/coredata", "platform/outside", "platform/avfoundation"}},
    {"http_client", {"platform/net", "platform/uikit", "platform/coredata"}},
    {"embedded_server", {"platform/net"}},
    {"ui", {"platform/uikit"}},
    {"analytics", {"platform/uikit"}},
    {"sample_backend", {"embedded_server", "platform/avfoundation"}},
    {"quillmark_sample_backend.cpp", {"sample_backend"}},
    {"platform/net", {"platform/foundation"}},
    {"platform/uikit", {"platform/net", "platform/foundation"}},
    {"platform/coredata", {"platform/foundation"}},
    {"platform/outside", {"platform/net", "platform/uikit", "platform/foundation"}},
    {"platform/avfoundation", {"platform/net", "platform/foundation"}},
    {"platform/foundation",
     {"platform/foundation/values", "platform/foundation/text", "platform/foundation/crypto",
      "platform/foundation/formats", "platform/foundation/loop", "platform/foundation/notify",
      "platform/foundation/storage", "platform/foundation/check"}},
    {"platform/foundation/storage",
     {"platform/foundation/formats", "platform/foundation/loop", "platform/foundation/crypto"}},
    {"platform/foundation/notify", {"platform/foundation/loop"}},
    {"platform/foundation/formats", {"platform/foundation/text"}},
    {"platform/foundation/text", {"platform/foundation/values"}},
    {"platform/foundation/crypto", {"platform/foundation/values"}},
    {"platform/foundation/loop", {"platform/foundation/values"}},
    {"platform/foundation/values", {"platform/foundation/check"}},
    {"platform/foundation/check", {}},
};

const std::set<std::string_view> kGroups = {"platform/foundation"};

// Returns the part that `path` (relative to src/ or tools/, or as included) lies in: the longest folder of
// the table that is `path` itself or one of its parents. Returns nullopt for a path in no part or only in a
// group.
std::optional<std::string_view> partOf(std::string_view path) {
  std::optional<std::string_view> best;
  for (const Part& part : kParts) {
    const bool inside =
        path == part.folder || (path.starts_with(part.folder) && path.size() > part.folder.size() &&
                                path[part.folder.size()] == '/');
    if (inside && (!best || part.folder.size() > best->size())) {
      best = part.folder;
    }
  }
  if (best && kGroups.contains(*best)) {
    return std::nullopt;
  }
  return best;
}

// Returns every part that `folder` may include: itself and, following the table, all that its uses reach.
std::set<std::string_view> reachableFrom(std::string_view folder) {
  std::set<std::string_view> reached;
  std::vector<std::string_view> pending = {folder};
  while (!pending.empty()) {
    const std::string_view next = pending.back();
    pending.pop_back();
    if (!reached.insert(next).second) {
      continue;
    }
    const auto part =
        std::find_if(kParts.begin(), kParts.end(), [&](const Part& p) { return p.folder == next; });
    if (part != kParts.end()) {
      pending.insert(pending.end(), part->uses.begin(), part->uses.end());
    }
  }
  return reached;
}

bool isSourceFile(const fs::path& path) {
  static const std::set<std::string> kExtensions = {".h", ".hh", ".hpp", ".inc", ".ipp", ".cpp", ".cc"};
  return kExtensions.contains(path.extension().string());
}

// True when `included` starts in one of our top folders ("learning/..."), so that an angle-bracket include of
// it is one of ours, found through the libraries' include path, and not a system or outside header.
bool namesOurFolder(std::string_view included) {
  const std::string_view top = included.substr(0, included.find('/'));
  return std::any_of(kParts.begin(), kParts.end(),
                     [&](const Part& part) { return part.folder.substr(0, part.folder.find('/')) == top; });
}

// Returns the faults of one file, each as "file:line: what is wrong".
std::vector<std::string> faultsOf(const fs::path& root, const fs::path& file) {
  const std::string shownName = fs::relative(file, root.parent_path()).generic_string();
  const std::optional<std::string_view> part = partOf(fs::relative(file, root).generic_string());
  if (!part) {
    return {shownName + ": lies in no part of the layer table; place its folder in the table"};
  }
  const std::set<std::string_view> allowed = reachableFrom(*part);
  static const std::regex kInclude(R"re(^\s*#\s*include\s*(?:"([^"]+)"|<([^>]+)>))re");
  std::vector<std::string> faults;
  std::ifstream in(file);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    std::smatch match;
    if (!std::regex_search(line, match, kInclude)) {
      continue;
    }
    const bool quoted = match[1].matched;
    const std::string included = quoted ? match[1].str() : match[2].str();
    if (!quoted && !namesOurFolder(included)) {
      continue;
    }
    const std::optional<std::string_view> target = partOf(included);
    const std::string where = shownName + ":" + std::to_string(number) + ": includes " +
                              (quoted ? "\"" + included + "\"" : "<" + included + ">");
    if (!target) {
      faults.push_back(where + ", which lies in no part of the layer table");
    } else if (!allowed.contains(*target)) {
      faults.push_back(where + ": " + std::string(*part) + " may not include " + std::string(*target));
    }
  }
  return faults;
}

struct Reading {
  int filesRead = 0;
  std::vector<std::string> faults;
};

// Reads every source and header under `root` (src/ or tools/, or a folder laid out like them).
Reading readTree(const fs::path& root) {
  Reading reading;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file() || !isSourceFile(entry.path())) {
      continue;
    }
    ++reading.filesRead;
    for (std::string& fault : faultsOf(root, entry.path())) {
      reading.faults.push_back(std::move(fault));
    }
  }
  return reading;
}

TEST(IncludeLayersTest, NoIncludeGoesUpALayerOrAcrossToAForbiddenNeighbour) {
  const fs::path sourceRoot = QUILLMARK_SOURCE_ROOT;
  int filesRead = 0;
  for (const char* top : {"src", "tools"}) {
    const fs::path root = sourceRoot / top;
    ASSERT_TRUE(fs::is_directory(root)) << root;
    const Reading reading = readTree(root);
    filesRead += reading.filesRead;
    for (const std::string& fault : reading.faults) {
      ADD_FAILURE() << fault;
    }
  }
  // A wrong root would read nothing and pass; the tree holds hundreds of files.
  EXPECT_GT(filesRead, 100);
}

// Each way of writing an include, planted alone in a file of app/ in a scratch tree, is read and refused;
// the includes around it that are allowed, or not ours, are not.
TEST(IncludeLayersTest, EveryFormOfAnIncludeAndEveryKindOfFileIsRead) {
  const fs::path scratch = fs::path(testing::TempDir()) / ("include-layers-" + std::to_string(getpid()));
  const fs::path root = scratch / "src";
  struct Planted {
    std::string file;
    std::string include;
    std::string shown;
  };
  const std::vector<Planted> planted = {
      {"Planted.h", "#include \"learning/downloads/QMDownloadHelper.h\"",
       "\"learning/downloads/QMDownloadHelper.h\""},
      {"Planted.h", "#include <learning/downloads/QMDownloadHelper.h>",
       "<learning/downloads/QMDownloadHelper.h>"},
      {"Planted.h", "  #  include<main/assembly/ApplicationAssembly.h>",
       "<main/assembly/ApplicationAssembly.h>"},
      {"Planted.hpp", "#include <learning/X.h>", "<learning/X.h>"},
      {"Planted.inc", "#include \"learning/X.h\"", "\"learning/X.h\""},
      {"Planted.ipp", "#include <learning/X.h>", "<learning/X.h>"},
      {"Planted.cpp", "#include <learning/X.h>", "<learning/X.h>"},
      {"Planted.cc", "#include <sample_backend/X.h>", "<sample_backend/X.h>"},
  };
  for (const Planted& each : planted) {
    fs::remove_all(scratch);
    fs::create_directories(root / "app");
    std::ofstream(root / "app" / each.file) << "#include <vector>\n"
                                            << each.include << "\n"
                                            << "#include <platform/foundation/values/Value.h>\n"
                                            << "#include \"app/network/QMAPIRequest.h\"\n";
    const Reading reading = readTree(root);
    EXPECT_EQ(reading.filesRead, 1) << each.file;
    EXPECT_EQ(reading.faults.size(), 1u) << each.file << " with " << each.include;
    for (const std::string& fault : reading.faults) {
      EXPECT_TRUE(
          fault.starts_with("src/app/" + each.file + ":2: includes " + each.shown + ": app may not include "))
          << fault;
    }
  }
  fs::remove_all(scratch);
}

}  // namespace
