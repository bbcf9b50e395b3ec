#pragma once
// One JSON document held in an embedded JavaScript engine, read and written
// by evaluating short JavaScript texts built from the document's variable
// name ("da"), the caller's key, value or index, and fixed fragments.
//
// Keys are JavaScript member paths relative to the document: a name
// ("title"), a dotted path ("album.title") or an index in brackets ("[0]")
// for a document that is an array. Most operations join the variable and
// the key with "."; get_member_text, get_member_object and member_count join
// a key that begins with "[" without it. An empty optional key means the
// whole document. Indexes are 0-based.
//
// Values are written into the JavaScript text between single quotes, as a
// string literal, or unchanged with the raw switch (a number, true, any
// expression). Nothing is escaped: a value holding a single quote, a
// backslash or a line break changes nothing or something else. Keys and
// values are the caller's own code; only parse takes outside data, and it
// never runs it.
//
// Text crosses into the engine as UTF-8 converted from GBK and comes back
// converted to GBK; a character that GBK lacks becomes "?", and a text
// answer ends at its first NUL character.
//
// Every failure (a script error, memory running out, no engine) gives the
// empty answer of its kind: "", 0, false, or nothing changed; the object
// carries on. Nothing is raised. Each engine's memory is capped (see
// ScriptEngine); its execution time is not, so a key or value that loops
// for ever blocks its caller.
//
// An object belongs to one thread at a time; objects on different threads
// share nothing. A copy shares the engine, so both read and write the same
// document, until either parses anew.

#include <memory>

#include "text/text_types.h"

namespace orvendel {

class ScriptEngine;

// Codes of member_type; reset_as takes 0, 4 and 5.
enum JsonType : int {
  kJsonAbsent = 0,  // null or undefined
  kJsonNumber = 2,
  kJsonObject = 4,
  kJsonArray = 5,
  kJsonString = 6,
  kJsonOther = -1,  // boolean, function, ...
};

class JsonObject {
 public:
  // An engine whose document is an empty object.
  JsonObject();
  ~JsonObject();
  JsonObject(const JsonObject&);
  JsonObject& operator=(const JsonObject&);

  // A new engine (a fresh global scope with the support definitions) holding
  // an empty object; when no engine can be made, every operation fails.
  void start_engine();

  // The document becomes the JSON text `text`, read as data by the engine's
  // JSON.parse in a fresh engine: nothing of an earlier document or of
  // earlier writes survives, and the text is never run. True when the
  // document is neither null nor undefined. False, with a null document,
  // for "null", for a text that is not JSON (an HTML page, a truncated body,
  // JavaScript such as {a:1} or "(function(){for(;;);})()"); false with
  // an undefined document for "". A JSON string text is the string itself.
  // Once no engine could be made, false at once.
  bool parse(const Text& text);

  // The document in JSON (JSON.stringify): "" for an undefined document.
  Text to_json() const;

  // da.key = 'value'; with json set, da.key = eval(value) ("" counts as
  // "{}"), so value is evaluated as code.
  void set_member(const Text& key, const Text& value, bool json = false);
  // da.key = eval(json_text): the caller's text is evaluated as code.
  void set_member_json(const Text& key, const Text& json_text);
  // da.key = number, written with number_to_text (13 significant digits).
  void set_member_number(const Text& key, double number);
  // The number at da.key; 0 when it is absent or not a number ("abc").
  double get_member_number(const Text& key) const;
  // JSON.stringify(da.key): "\"x\"" for the string x, "" when absent.
  Text member_to_json(const Text& key) const;

  // The member as text. Without json: a string as its characters, a number
  // as number_to_text gives it (12345 -> "12345", 0.5 -> "0.5",
  // 1e21 -> "1e+21"), null and absent as "", other values as the engine
  // converts them (true -> "true"). With json: JSON.stringify of it, so a
  // string comes in double quotes with JSON escapes.
  Text get_member_text(const Text& key, bool json = false) const;

  // A new object with its own engine holding a copy of the member (through
  // its JSON text); its document is null when the member is absent.
  JsonObject get_member_object(const Text& key) const;

  // The number of members of an object, the length of an array, the number
  // of characters of a string; 0 for a number and for null or absent.
  // The two support methods that every object inherits are not counted.
  int member_count(const Text& key = {}) const;

  // Appends value (quoted unless raw) to the array at the key, which first
  // becomes an empty array when it is not one.
  void push_value(const Text& value, const Text& key = {}, bool raw = false);

  // A new object holding a copy of element index of the array at the key.
  JsonObject get_element_object(int index, const Text& key = {}) const;
  // Element index of the array at the key, as text (as get_member_text,
  // except that a number reads through the engine's conversion); with json,
  // JSON.stringify of it.
  Text get_element_text(int index, const Text& key = {}, bool json = false) const;
  // da[index] = value, quoted unless raw.
  void set_element(int index, const Text& value, bool raw = false);
  // Removes element index of the document array, closing the gap.
  void remove_element(int index);
  // delete da.key.
  void delete_member(const Text& key);

  // The document becomes {} for the codes 0 and 4, an empty array for 5;
  // any other code changes nothing.
  void reset_as(int type_code);
  // The document becomes value, quoted unless raw.
  void assign(const Text& value, bool raw = false);
  // da.key is neither null nor undefined.
  bool has_member(const Text& key) const;

  // Replaces names with the enumerable member names of the object at the
  // key (of the document when it is empty), in enumeration order, and
  // returns their number; an array gives its indexes "0", "1", ... The two
  // support methods every object inherits are left out.
  int member_names(TextList& names, const Text& key = {}) const;

  // The kind of value at the key (the document when it is empty), as
  // JsonType: 0 null or absent, 2 number, 4 object, 5 array, 6 string,
  // -1 anything else (a boolean). A key in brackets gives -1.
  int member_type(const Text& key = {}) const;

  // The document becomes an empty object.
  void clear();

 private:
  void run(const Text& source) const;
  Text text(const Text& source) const;
  double number(const Text& source) const;
  bool boolean(const Text& source) const;

  Text var_name_;
  std::shared_ptr<ScriptEngine> engine_;
};

}  // namespace orvendel
