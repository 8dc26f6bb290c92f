// JSON text to ns::Value and back, measured against nlohmann::json alone, on a reply shaped like the back
// end's course tree (chapters, units and lessons: string ids, names, integer statuses, nested arrays).
//
// The "ViaTree" cases measure the design that JSONSerialization does not use: parsing into an
// nlohmann::json tree and converting that tree into ns::Value (and the reverse for writing). They stay
// here so that the choice of the direct paths can be checked again on other machines and versions.

#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>
#include <string>

#include "platform/foundation/formats/JSONSerialization.h"

namespace {

constexpr int kChapters = 20;
constexpr int kUnitsPerChapter = 10;
constexpr int kLessonsPerUnit = 15;

// The back end writes members in its own order, not sorted, so the generated text keeps insertion order.
using OrderedJson = nlohmann::ordered_json;

OrderedJson courseNode(int id, const std::string& name, int type, OrderedJson children) {
  OrderedJson node = {
      {"nodeId", std::to_string(100000 + id)},
      {"name", name},
      {"teacher", "张老师"},
      {"isNew", id % 7 == 0 ? 1 : 0},
      {"type", type},
      {"videoId", 5000000 + id},
      {"status", id % 4},
      {"progress", (id % 100) / 100.0},
  };
  if (!children.empty()) {
    node["children"] = std::move(children);
  }
  return node;
}

// A reply of 3,220 nodes, about 470 KB of JSON text.
std::string courseTreeReply() {
  int id = 0;
  OrderedJson chapters = OrderedJson::array();
  for (int c = 0; c < kChapters; ++c) {
    OrderedJson units = OrderedJson::array();
    for (int u = 0; u < kUnitsPerChapter; ++u) {
      OrderedJson lessons = OrderedJson::array();
      for (int l = 0; l < kLessonsPerUnit; ++l) {
        ++id;
        lessons.push_back(
            courseNode(id, "第" + std::to_string(l + 1) + "讲 线性代数 Lesson " + std::to_string(id), 2,
                       OrderedJson::array()));
      }
      units.push_back(courseNode(++id, "Unit " + std::to_string(u + 1), 1, std::move(lessons)));
    }
    chapters.push_back(
        courseNode(++id, "第" + std::to_string(c + 1) + "章 \"Matrices\"", 0, std::move(units)));
  }
  return OrderedJson{{"code", 0}, {"msg", "success"}, {"obj", {{"chapters", std::move(chapters)}}}}.dump();
}

const std::string& replyText() {
  static const std::string text = courseTreeReply();
  return text;
}

ns::Value valueFromTree(const nlohmann::json& tree) {
  switch (tree.type()) {
    case nlohmann::json::value_t::boolean:
      return ns::Value(tree.get<bool>());
    case nlohmann::json::value_t::number_integer:
      return ns::Value(tree.get<std::int64_t>());
    case nlohmann::json::value_t::number_unsigned:
      return ns::Value(static_cast<std::int64_t>(tree.get<std::uint64_t>()));
    case nlohmann::json::value_t::number_float:
      return ns::Value(tree.get<double>());
    case nlohmann::json::value_t::string:
      return ns::Value(tree.get_ref<const std::string&>());
    case nlohmann::json::value_t::array: {
      ns::Array array;
      array.reserve(tree.size());
      for (const auto& member : tree) {
        array.push_back(valueFromTree(member));
      }
      return ns::Value(std::move(array));
    }
    case nlohmann::json::value_t::object: {
      ns::Dictionary dictionary;
      for (const auto& [key, member] : tree.items()) {
        dictionary.emplace(key, valueFromTree(member));
      }
      return ns::Value(std::move(dictionary));
    }
    default:
      return ns::Value();
  }
}

nlohmann::json treeFromValue(const ns::Value& value) {
  switch (value.kind()) {
    case ns::ValueKind::kBool:
      return value.asBool();
    case ns::ValueKind::kInteger:
      return value.asInteger();
    case ns::ValueKind::kDouble:
      return value.asDouble();
    case ns::ValueKind::kString:
      return value.asString();
    case ns::ValueKind::kArray: {
      nlohmann::json array = nlohmann::json::array();
      for (const ns::Value& member : value.asArray()) {
        array.push_back(treeFromValue(member));
      }
      return array;
    }
    case ns::ValueKind::kDictionary: {
      nlohmann::json object = nlohmann::json::object();
      for (const auto& [key, member] : value.asDictionary()) {
        object.emplace(key, treeFromValue(member));
      }
      return object;
    }
    default:
      return nullptr;
  }
}

void countBytes(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * replyText().size()));
}

void BM_ParseToValue(benchmark::State& state) {
  for (auto _ : state) {
    ns::Result<ns::Value> value = ns::JSONSerialization::JSONObjectWithData(replyText());
    benchmark::DoNotOptimize(value);
  }
  countBytes(state);
}
BENCHMARK(BM_ParseToValue);

void BM_ParseToValueViaTree(benchmark::State& state) {
  for (auto _ : state) {
    ns::Value value = valueFromTree(nlohmann::json::parse(replyText()));
    benchmark::DoNotOptimize(value);
  }
  countBytes(state);
}
BENCHMARK(BM_ParseToValueViaTree);

void BM_ParseNlohmannAlone(benchmark::State& state) {
  for (auto _ : state) {
    nlohmann::json tree = nlohmann::json::parse(replyText());
    benchmark::DoNotOptimize(tree);
  }
  countBytes(state);
}
BENCHMARK(BM_ParseNlohmannAlone);

void BM_WriteValue(benchmark::State& state) {
  const ns::Value value = *ns::JSONSerialization::JSONObjectWithData(replyText());
  for (auto _ : state) {
    ns::Result<ns::Data> text = ns::JSONSerialization::dataWithJSONObject(value);
    benchmark::DoNotOptimize(text);
  }
  countBytes(state);
}
BENCHMARK(BM_WriteValue);

void BM_WriteValueViaTree(benchmark::State& state) {
  const ns::Value value = *ns::JSONSerialization::JSONObjectWithData(replyText());
  for (auto _ : state) {
    std::string text = treeFromValue(value).dump();
    benchmark::DoNotOptimize(text);
  }
  countBytes(state);
}
BENCHMARK(BM_WriteValueViaTree);

void BM_DumpNlohmannAlone(benchmark::State& state) {
  const nlohmann::json tree = nlohmann::json::parse(replyText());
  for (auto _ : state) {
    std::string text = tree.dump();
    benchmark::DoNotOptimize(text);
  }
  countBytes(state);
}
BENCHMARK(BM_DumpNlohmannAlone);

}  // namespace

BENCHMARK_MAIN();
