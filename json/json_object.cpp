#include "json/json_object.h"

#include <new>
#include <optional>

#include "json/script_engine.h"
#include "json/support_script.h"
#include "text/encoding.h"
#include "text/text_primitives.h"

namespace orvendel {
namespace {

// The global that carries a document's text into the engine as a string.
constexpr const char* kDocumentText = "__document_text";

std::string to_engine(const Text& t) {
  return convert_encoding(t, Encoding::kGbk, Encoding::kUtf8);
}

Text from_engine(const std::string& utf8) {
  Text t = convert_encoding(utf8, Encoding::kUtf8, Encoding::kGbk);
  const std::size_t nul = t.find('\0');
  if (nul != Text::npos) t.resize(nul);
  return t;
}

Text separator_for(const Text& key) { return text_left(key, 1) == "[" ? "" : "."; }

}  // namespace

JsonObject::JsonObject() : var_name_("da") { start_engine(); }
JsonObject::~JsonObject() = default;
JsonObject::JsonObject(const JsonObject&) = default;
JsonObject& JsonObject::operator=(const JsonObject&) = default;

void JsonObject::start_engine() {
  engine_.reset();
  try {
    auto engine = std::make_shared<ScriptEngine>();
    if (engine->usable()) engine_ = std::move(engine);
  } catch (const std::bad_alloc&) {
  }
  if (!engine_) return;
  engine_->run(support_script);
  run("var " + var_name_ + "={}");
}

bool JsonObject::parse(const Text& text) {
  if (!engine_) return false;
  start_engine();
  if (!engine_) return false;
  const Text& n = var_name_;
  run("var " + n + "=null");
  if (text.empty()) {
    run(n + "=undefined");
    return false;
  }
  // The text goes in as a string value and is read by JSON.parse: whoever
  // serves the document cannot make the program run anything.
  if (engine_->set_global_string(kDocumentText, to_engine(text)))
    run(concat_text("try {", n, "=JSON.parse(", kDocumentText, ")} finally {delete ", kDocumentText,
                    "}"));
  return boolean("null !=" + n);
}

Text JsonObject::to_json() const { return text("JSON.stringify(" + var_name_ + ")"); }

void JsonObject::set_member(const Text& key, const Text& value, bool json) {
  if (json)
    run(concat_text(var_name_, ".", key, "= eval(", value.empty() ? Text("{}") : value, ")"));
  else
    run(concat_text(var_name_, ".", key, "='", value, "'"));
}

void JsonObject::set_member_json(const Text& key, const Text& json_text) {
  run(concat_text(var_name_, ".", key, "= eval(", json_text, ")"));
}

void JsonObject::set_member_number(const Text& key, double number) {
  run(concat_text(var_name_, ".", key, "=", number_to_text(number)));
}

double JsonObject::get_member_number(const Text& key) const {
  return number(concat_text(var_name_, ".", key));
}

Text JsonObject::member_to_json(const Text& key) const {
  return text(concat_text("JSON.stringify(", var_name_, ".", key, ")"));
}

Text JsonObject::get_member_text(const Text& key, bool json) const {
  const Text path = concat_text(var_name_, separator_for(key), key);
  if (json) return text("JSON.stringify(" + path + ")");
  if (!engine_) return {};
  if (member_type(key) == kJsonNumber) return number_to_text(get_member_number(key));
  return text(path);
}

JsonObject JsonObject::get_member_object(const Text& key) const {
  const Text json = text(concat_text("JSON.stringify(", var_name_, separator_for(key), key, ")"));
  JsonObject member;
  member.parse(json);
  return member;
}

int JsonObject::member_count(const Text& key) const {
  const Text path = key.empty() ? var_name_ : concat_text(var_name_, separator_for(key), key);
  return real_to_int(number("get__count(" + path + ")"));
}

void JsonObject::push_value(const Text& value, const Text& key, bool raw) {
  const Text path = key.empty() ? var_name_ : concat_text(var_name_, ".", key);
  const Text q = raw ? "" : "'";
  run(concat_text("if (Object.prototype.toString.call(", path, ") != '[object Array]') { ", path,
                  "=new Array();} ", path, ".push(", q, value, q, ")"));
}

JsonObject JsonObject::get_element_object(int index, const Text& key) const {
  const Text path = key.empty() ? var_name_ : concat_text(var_name_, ".", key);
  const Text json = text(concat_text("JSON.stringify(", path, "[", number_to_text(index), "])"));
  JsonObject element;
  element.parse(json);
  return element;
}

Text JsonObject::get_element_text(int index, const Text& key, bool json) const {
  const Text path = key.empty() ? var_name_ : concat_text(var_name_, ".", key);
  const Text element = concat_text(path, "[", number_to_text(index), "]");
  return text(json ? "JSON.stringify(" + element + ")" : element);
}

void JsonObject::set_element(int index, const Text& value, bool raw) {
  const Text q = raw ? "" : "'";
  run(concat_text(var_name_, "[", number_to_text(index), "]=", q, value, q));
}

void JsonObject::remove_element(int index) {
  run(concat_text(var_name_, ".splice(", number_to_text(index), ",1)"));
}

void JsonObject::delete_member(const Text& key) {
  run(concat_text("delete ", var_name_, ".", key));
}

void JsonObject::reset_as(int type_code) {
  if (type_code == kJsonAbsent || type_code == kJsonObject)
    run("var " + var_name_ + "={}");
  else if (type_code == kJsonArray)
    run("var " + var_name_ + "=new Array()");
}

void JsonObject::assign(const Text& value, bool raw) {
  const Text q = raw ? "" : "'";
  run(concat_text(var_name_, "=", q, value, q));
}

bool JsonObject::has_member(const Text& key) const {
  return boolean(concat_text(var_name_, ".", key, " !=null"));
}

int JsonObject::member_names(TextList& names, const Text& key) const {
  const Text path = key.empty() ? var_name_ : concat_text(var_name_, ".", key);
  Text listed = text("var ary=''; for (var key in " + path + ") {ary=ary+ key+','; }");
  listed = replace_text(listed, "toJSONString,", "", 1, std::nullopt, true);
  listed = replace_text(listed, "parseJSON,", "", 1, std::nullopt, true);
  run("ary=null");
  names = split_text(listed, ",");
  return list_count(names);
}

int JsonObject::member_type(const Text& key) const {
  const Text path = key.empty() ? var_name_ : concat_text(var_name_, ".", key);
  if (boolean(path + "==null")) return kJsonAbsent;
  const Text type = text("typeof (" + path + ")");
  if (type == "string") return kJsonString;
  if (type == "number") return kJsonNumber;
  if (type == "object")
    return text_left(text("JSON.stringify(" + path + ")"), 1) == "[" ? kJsonArray : kJsonObject;
  return kJsonOther;
}

void JsonObject::clear() { run(var_name_ + "={}"); }

void JsonObject::run(const Text& source) const {
  if (engine_) engine_->run(to_engine(source));
}

Text JsonObject::text(const Text& source) const {
  if (!engine_) return {};
  const std::optional<std::string> answer = engine_->text(to_engine(source));
  return answer ? from_engine(*answer) : Text();
}

double JsonObject::number(const Text& source) const {
  return engine_ ? engine_->number(to_engine(source)).value_or(0) : 0;
}

bool JsonObject::boolean(const Text& source) const {
  return engine_ && engine_->boolean(to_engine(source)).value_or(false);
}

}  // namespace orvendel
