// The report as JSON: one object per drawing, joined into one document.
#include <string>

#include "cli/report/json_writer.h"
#include "cli/report/report_parts.h"
#include "host/ui/text_encoding.h"

namespace cli::report {

namespace {

std::string Utf8(const std::string& text_1252) { return host::Cp1252ToUtf8(text_1252); }

void OptionalNumber(JsonWriter* json, const std::optional<double>& value) {
  if (value) {
    json->Number(*value);
  } else {
    json->Null();
  }
}

void Counts(JsonWriter* json, const char* key, const std::vector<CountRow>& rows) {
  json->Key(key);
  json->BeginArray();
  for (const CountRow& row : rows) {
    json->BeginObject();
    json->Key("name");
    json->String(Utf8(row.name));
    json->Key("before");
    json->Integer(static_cast<long long>(row.before));
    json->Key("after");
    json->Integer(static_cast<long long>(row.after));
    json->EndObject();
  }
  json->EndArray();
}

void Names(JsonWriter* json, const char* key, const std::vector<std::string>& names) {
  json->Key(key);
  json->BeginArray();
  for (const std::string& name : names) json->String(Utf8(name));
  json->EndArray();
}

void ByType(JsonWriter* json, const char* key, const std::vector<TypeCount>& counts, size_t total) {
  json->Key(key);
  json->BeginObject();
  json->Key("count");
  json->Integer(static_cast<long long>(total));
  json->Key("by_type");
  json->BeginObject();
  for (const TypeCount& count : counts) {
    json->Key(count.type);
    json->Integer(static_cast<long long>(count.count));
  }
  json->EndObject();
  json->EndObject();
}

void Check(JsonWriter* json, const ConversionCheck& check) {
  json->Key("check");
  json->BeginObject();
  json->Key("ok");
  json->Bool(check.changed.empty());
  json->Key("by_handle");
  json->Bool(check.by_handle);
  json->Key("entities_before");
  json->Integer(static_cast<long long>(check.entities_before));
  json->Key("entities_after");
  json->Integer(static_cast<long long>(check.entities_after));
  json->Key("deleted");
  json->Integer(static_cast<long long>(check.deleted));
  json->Key("added");
  json->Integer(static_cast<long long>(check.added));
  json->Key("dimensions_compared");
  json->Integer(static_cast<long long>(check.dimensions_compared));
  json->Key("dimensions_gone");
  json->Integer(static_cast<long long>(check.dimensions_gone));
  json->Key("unchecked");
  json->BeginArray();
  for (const std::string& handle : check.unchecked) json->String(Utf8(handle));
  json->EndArray();
  json->Key("changed");
  json->BeginArray();
  for (const DimensionChange& change : check.changed) {
    json->BeginObject();
    json->Key("handle");
    json->String(Utf8(change.handle));
    json->Key("layout");
    json->String(Utf8(change.layout));
    json->Key("before");
    json->Number(change.before);
    json->Key("after");
    json->Number(change.after);
    json->EndObject();
  }
  json->EndArray();
  json->EndObject();
}

void Pictures(JsonWriter* json, const char* key, const std::vector<SpacePicture>& pictures,
              size_t max_primitives) {
  json->Key(key);
  json->BeginArray();
  for (const SpacePicture& entry : pictures) {
    json->BeginObject();
    json->Key("space");
    json->String(entry.space);
    json->Key("current");
    json->Bool(entry.current);
    json->Key("caption");
    json->String(PictureCaption(entry, max_primitives));
    json->Key("primitives");
    json->Integer(static_cast<long long>(entry.picture.primitives));
    json->Key("truncated");
    json->Bool(entry.picture.truncated);
    json->Key("svg");
    json->String(entry.picture.svg);
    json->EndObject();
  }
  json->EndArray();
}

void Head(JsonWriter* json, const std::string& input, const std::string& output,
          const std::string& target, int exit_code, const std::string& error) {
  json->Key("input");
  json->String(input);
  json->Key("output");
  if (output.empty()) {
    json->Null();
  } else {
    json->String(output);
  }
  json->Key("target");
  json->String(target);
  json->Key("exit_code");
  json->Integer(exit_code);
  json->Key("error");
  if (error.empty()) {
    json->Null();
  } else {
    json->String(error);
  }
}

}  // namespace

std::string DrawingJson(const ConvertedDrawing& drawing) {
  const Changes& changes = *drawing.changes;
  JsonWriter json;
  json.BeginObject();
  Head(&json, drawing.input, drawing.output, drawing.target, 0, "");
  json.Key("status");
  json.String(drawing.status());
  json.Key("warnings");
  json.BeginArray();
  if (drawing.warnings)
    for (const std::string& warning : *drawing.warnings) json.String(warning);
  json.EndArray();
  json.Key("by_handle");
  json.Bool(changes.by_handle);
  Counts(&json, "spaces", changes.spaces);
  Counts(&json, "layers", changes.layers);
  Names(&json, "layers_created", changes.layers_created);
  Names(&json, "layers_removed", changes.layers_removed);

  json.Key("rewritten");
  json.BeginArray();
  for (const RewriteRow& row : changes.rewritten) {
    json.BeginObject();
    json.Key("type");
    json.String(row.type);
    json.Key("property");
    json.String(row.property);
    json.Key("from");
    json.String(Utf8(row.from));
    json.Key("to");
    json.String(Utf8(row.to));
    json.Key("count");
    json.Integer(static_cast<long long>(row.count));
    json.EndObject();
  }
  json.EndArray();

  json.Key("dimension_texts_cleaned");
  json.BeginObject();
  json.Key("count");
  json.Integer(static_cast<long long>(changes.texts_cleaned.size()));
  json.Key("items");
  json.BeginArray();
  for (size_t i = 0; i < changes.texts_cleaned.size() && i < kMaxListed; ++i) {
    const TextChange& change = changes.texts_cleaned[i];
    json.BeginObject();
    json.Key("handle");
    json.String(Utf8(change.handle));
    json.Key("before");
    json.String(Utf8(change.before));
    json.Key("after");
    json.String(Utf8(change.after));
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();

  json.Key("dimensions_rescaled");
  json.BeginObject();
  json.Key("count");
  json.Integer(static_cast<long long>(changes.rescaled.size()));
  json.Key("items");
  json.BeginArray();
  for (size_t i = 0; i < changes.rescaled.size() && i < kMaxListed; ++i) {
    const FactorChange& change = changes.rescaled[i];
    json.BeginObject();
    json.Key("handle");
    json.String(Utf8(change.handle));
    json.Key("dimlfac_before");
    OptionalNumber(&json, change.before);
    json.Key("dimlfac_after");
    OptionalNumber(&json, change.after);
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();

  ByType(&json, "deleted", changes.deleted, changes.deleted_total);
  ByType(&json, "added", changes.added, changes.added_total);
  Check(&json, *drawing.check);
  json.Key("pictures");
  json.BeginObject();
  Pictures(&json, "before", *drawing.before, drawing.max_primitives);
  Pictures(&json, "after", *drawing.after, drawing.max_primitives);
  json.EndObject();
  json.Key("transcript");
  json.String(drawing.transcript);
  json.EndObject();
  return json.text();
}

std::string FailedJson(const DrawingReport& entry) {
  JsonWriter json;
  json.BeginObject();
  Head(&json, entry.input, entry.output, entry.target, entry.exit_code, entry.error);
  json.Key("status");
  json.String("failed");
  json.EndObject();
  return json.text();
}

std::string JsonDocument(const std::vector<DrawingReport>& entries) {
  JsonWriter json;
  json.BeginObject();
  json.Key("report");
  json.String("dravolin conversion report");
  json.Key("format");
  json.Integer(1);
  json.Key("drawings");
  json.BeginArray();
  for (const DrawingReport& entry : entries) {
    json.Raw(entry.json.empty() ? FailedJson(entry) : entry.json);
  }
  json.EndArray();
  json.EndObject();
  return json.text() + "\n";
}

}  // namespace cli::report
