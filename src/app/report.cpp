// The summary as one line of JSON.
#include "app/report.h"

#include <cstdio>
#include <fstream>

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

const TSceneRecord* GameSceneOf(const TRunReport& report) {
  for (const TSceneRecord& scene : report.Scenes)
    if (scene.Game) return &scene;
  return nullptr;
}

std::string SummaryJson(const TRunReport& report) {
  // Built by appending only: GCC 12 reports false overlaps on chains of operator+.
  std::string json = "{\"exit_code\":";
  json += std::to_string(report.ExitCode);
  json += ",\"frames\":";
  json += std::to_string(report.Frames);
  json += ",\"seed\":";
  json += report.Seed ? std::to_string(*report.Seed) : "null";
  json += ",\"scenes\":[";
  for (size_t i = 0; i < report.Scenes.size(); ++i) {
    const TSceneRecord& scene = report.Scenes[i];
    if (i > 0) json += ',';
    json += "{\"name\":";
    json += JsonString(scene.Name);
    json += ",\"frames\":";
    json += std::to_string(scene.Frames);
    json += ",\"end\":";
    json += JsonString(scene.End);
    for (const auto& [key, value] : scene.Extra) {
      json += ',';
      json += JsonString(key);
      json += ':';
      json += value;
    }
    json += '}';
  }
  json += "]}";
  return json;
}

bool WriteSummary(const std::string& path, const TRunReport& report) {
  const std::string json = SummaryJson(report) + "\n";
  if (path == "-") {
    std::fputs(json.c_str(), stdout);
    return std::fflush(stdout) == 0;
  }
  std::ofstream out(path, std::ios::binary);
  out << json;
  if (!out) std::fprintf(stderr, "quibbet: cannot write the summary %s\n", path.c_str());
  return static_cast<bool>(out);
}
